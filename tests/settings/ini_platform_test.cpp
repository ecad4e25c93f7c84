// Our store against the platform's private-profile functions under Wine: the same contract
// table, files written by each read back by the other, and the platform's lost characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "ini_contract.h"
#include "settings/IniStore.h"
#include "settings/Profile.h"
#include "settings_fixture.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

class Platform : public IniBackend {
 public:
  const char* Name() const override { return "platform"; }
  int32_t ReadInt(const std::wstring& f, const std::wstring& s, const std::wstring& k, int32_t d) override {
    return static_cast<int32_t>(GetPrivateProfileIntW(s.c_str(), k.c_str(), d, f.c_str()));
  }
  std::wstring ReadString(const std::wstring& f, const std::wstring& s, const std::wstring& k,
                          const std::wstring& d, size_t b) override {
    std::wstring buf(b, L'\0');
    DWORD n = GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), buf.data(), static_cast<DWORD>(b), f.c_str());
    buf.resize(n);
    return buf;
  }
  bool WriteString(const std::wstring& f, const std::wstring& s, const std::wstring& k,
                   const std::wstring& v) override {
    return WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), f.c_str()) != FALSE;
  }
};

using IniPlatformTest = SettingsFolderTest;

TEST_F(IniPlatformTest, TheContractHoldsForThePlatformToo) {
  Platform platform;
  RunReadCases(platform, app_);
}

TEST_F(IniPlatformTest, FilesWrittenByEitherAreReadByTheOther) {
  OurStore ours;
  Platform platform;
  fs::create_directory(dir_ / "a");
  fs::create_directory(dir_ / "b");
  RunWriteCases(ours, platform, app_ + L"a\\");
  RunWriteCases(platform, ours, app_ + L"b\\");
}

TEST_F(IniPlatformTest, ThePlatformLosesCharactersOutsideTheAnsiCodePageAndWeDoNot) {
  const std::wstring value = L"D:\\写真\\스크린샷\\Ελληνικά";
  Platform platform;
  OurStore ours;
  // The platform creates new files in the ANSI code page.
  const std::wstring theirs = App(L"platform.ini");
  ASSERT_TRUE(platform.WriteString(theirs, L"OPTION", L"SaveFolder", value));
  const std::wstring back = platform.ReadString(theirs, L"OPTION", L"SaveFolder", L"", 256);
  if (GetACP() != CP_UTF8) {
    EXPECT_NE(back, value) << "code page " << GetACP() << " kept every character";
  }
  std::printf("ANSI code page %u: the platform read back %s\n", GetACP(), WideToUtf8(back).c_str());

  // Ours keeps them, and the platform reads our file as Unicode.
  const std::wstring mine = App(L"ours.ini");
  ASSERT_TRUE(ours.WriteString(mine, L"OPTION", L"SaveFolder", value));
  EXPECT_EQ(ours.ReadString(mine, L"OPTION", L"SaveFolder", L"", 256), value);
  EXPECT_EQ(platform.ReadString(mine, L"OPTION", L"SaveFolder", L"", 256), value);

  // After the platform writes another key into our file, it is still Unicode for both.
  ASSERT_TRUE(platform.WriteString(mine, L"OPTION", L"ImageType", L"3"));
  EXPECT_EQ(ours.ReadString(mine, L"OPTION", L"SaveFolder", L"", 256), value);
  EXPECT_EQ(ours.ReadInt(mine, L"OPTION", L"ImageType", 0), 3);
}

TEST_F(IniPlatformTest, AnsiFilesReadAsThePlatformReadsThem) {
  // Characters of the running ANSI code page, stored as the platform stores them.
  const wchar_t* candidates[] = {L"é à ü", L"日本語", L"Привет", L"ﾃｽﾄ ﾌｫﾙﾀﾞ"};
  for (const wchar_t* text : candidates) {
    BOOL lossy = FALSE;
    char bytes[64];
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, bytes, sizeof bytes, nullptr, &lossy);
    if (n <= 0 || lossy) continue;
    const std::wstring file = App(L"ansi.ini");
    WriteBytes(file, "[S]\r\nK=" + std::string(bytes) + "\r\n");
    SCOPED_TRACE(WideToUtf8(text));
    Platform platform;
    EXPECT_EQ(IniStore::ReadString(file, L"S", L"K", L"", 64), platform.ReadString(file, L"S", L"K", L"", 64));
    EXPECT_EQ(IniStore::ReadString(file, L"S", L"K", L"", 64), text);
  }
}

// Every key of the section names the platform lists, with its text.
std::vector<Write> PlatformKeys(const std::wstring& file, std::vector<std::wstring>& store) {
  std::vector<Write> keys;
  std::wstring names(65536, L'\0');
  DWORD n = GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()), file.c_str());
  for (const wchar_t* sec = names.data(); sec < names.data() + n && *sec; sec += wcslen(sec) + 1) {
    std::wstring body(65536, L'\0');
    DWORD m = GetPrivateProfileSectionW(sec, body.data(), static_cast<DWORD>(body.size()), file.c_str());
    for (const wchar_t* line = body.data(); line < body.data() + m && *line; line += wcslen(line) + 1) {
      std::wstring l = line;
      size_t eq = l.find(L'=');
      if (eq == std::wstring::npos) continue;
      store.push_back(sec);
      store.push_back(l.substr(0, eq));
      store.push_back(l.substr(eq + 1));
    }
  }
  for (size_t i = 0; i + 2 < store.size(); i += 3) keys.push_back({store[i].c_str(), store[i + 1].c_str(), store[i + 2].c_str()});
  return keys;
}

TEST_F(IniPlatformTest, WholeProfilesPassBetweenOurStoreAndThePlatform) {
  CProfile m;
  m.Current().gen.SetSaveFolder(L"D:\\画像\\キャプチャ");
  m.Current().translate.SetSaveDirectory(L"E:\\変換済み");
  m.Current().resize.SetPixelsX(-1);
  m.Current().key.SetBindingCode(kEventScreenCut, 1, 0x70);
  ASSERT_EQ(m.CreateProfile(L"ours", true), 1);
  std::wstring ours;
  const std::wstring oursName = L"ours";
  m.GetProfilePath(ours, &oursName);

  // The platform sees every key we wrote, with the same text.
  std::vector<std::wstring> store;
  const std::vector<Write> keys = PlatformKeys(ours, store);
  EXPECT_EQ(keys.size(), 121u);
  for (const auto& k : keys) {
    EXPECT_EQ(IniStore::ReadString(ours, k.section, k.key, L"<missing>", 2048), k.value) << WideToUtf8(k.key);
  }

  // A profile the platform wrote key by key (ANSI, as a legacy profile) loads into equal sections.
  m.Current().gen.SetSaveFolder(L"D:\\captures");
  m.Current().translate.SetSaveDirectory(L"E:\\converted");
  // Only characters of this prefix's ANSI code page survive the platform's file.
  for (CaptureEventId e = 0; e < kEventCount; ++e) m.Current().sound.SetSoundFile(e, L"Sounds\\camera.wav");
  ASSERT_EQ(m.CreateProfile(L"reference", true), 1);
  std::wstring reference;
  const std::wstring referenceName = L"reference";
  m.GetProfilePath(reference, &referenceName);
  std::vector<std::wstring> store2;
  const std::vector<Write> refKeys = PlatformKeys(reference, store2);
  const std::wstring legacy = App(L"Profile\\legacy.ini");
  for (const auto& k : refKeys) ASSERT_TRUE(WritePrivateProfileStringW(k.section, k.key, k.value, legacy.c_str()));
  ASSERT_NE(ReadBytes(legacy).substr(0, 2), "\xFF\xFE");  // the platform wrote ANSI
  CProfile loaded;
  loaded.SetCurrentName(L"legacy");
  ASSERT_TRUE(loaded.LoadCurrent());
  auto a = loaded.Current().Pointers();
  auto b = m.Current().Pointers();
  for (size_t i = 0; i < kSectionCount; ++i) EXPECT_TRUE(a[i]->IsEqual(*b[i])) << "section " << i;
}

}  // namespace
