// Our store against the platform's private-profile functions under Wine: the same contract
// table, files written by each read back by the other, and the platform's lost characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "ini_contract.h"
#include "settings/IniStore.h"
#include "settings_fixture.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

class OurStore : public IniBackend {
 public:
  const char* Name() const override { return "our store"; }
  int32_t ReadInt(const std::wstring& f, const std::wstring& s, const std::wstring& k, int32_t d) override {
    return IniStore::ReadInt(f, s, k, d);
  }
  std::wstring ReadString(const std::wstring& f, const std::wstring& s, const std::wstring& k,
                          const std::wstring& d, size_t b) override {
    return IniStore::ReadString(f, s, k, d, b);
  }
  bool WriteString(const std::wstring& f, const std::wstring& s, const std::wstring& k,
                   const std::wstring& v) override {
    return IniStore::WriteString(f, s, k, v);
  }
};

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

}  // namespace
