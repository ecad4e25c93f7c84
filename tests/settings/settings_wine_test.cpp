// What only the real platform shows: its file system (names without regard to case, locks,
// renames), the process priority, the start-up shortcut and the overwrite question.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include "capture/Displays.h"
#include "core/LongPath.h"

#include "core/AppMessages.h"
#include "core/MessageBoxService.h"
#include "settings/OtherProfile.h"
#include "settings/Profile.h"
#include "core/Strings.h"
#include "settings_fixture.h"

using namespace pelmo;
using namespace pelmo::test;

namespace {

class WineSettingsTest : public SettingsFolderTest {
 protected:
  std::wstring ProfilePath(const std::wstring& name) const { return App(L"Profile\\" + name + L".ini"); }
};

TEST_F(WineSettingsTest, NamesDifferingInCaseNeverOverwriteAnotherProfile) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Game", false), 1);
  m.SetCurrentName(L"Game");
  ASSERT_TRUE(m.LoadCurrent());
  m.Current().jpg.SetJpgCompression(11);
  ASSERT_TRUE(m.SaveCurrent());
  const std::string saved = ReadBytes(ProfilePath(L"Game"));

  // The platform opens Game.ini for GAME.ini: without the check the copy would replace it.
  m.Current().jpg.SetJpgCompression(99);
  EXPECT_FALSE(m.ProfileExists(L"GAME"));
  EXPECT_EQ(m.CreateProfile(L"GAME", true), -4);
  EXPECT_EQ(m.CreateProfile(L" game ", true), -4);
  EXPECT_EQ(ReadBytes(ProfilePath(L"Game")), saved);

  ASSERT_EQ(m.CreateProfile(L"Work", false), 1);
  m.SetCurrentName(L"Work");
  ASSERT_TRUE(m.LoadCurrent());
  EXPECT_EQ(m.RenameProfile(L"gAME"), -4);
  EXPECT_EQ(ReadBytes(ProfilePath(L"Game")), saved);
  EXPECT_TRUE(Exists(ProfilePath(L"Work")));
}

TEST_F(WineSettingsTest, ACaseOnlyRenameOfTheCurrentProfileChangesTheFileName) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"game", false), 1);
  m.SetCurrentName(L"game");
  ASSERT_TRUE(m.LoadCurrent());
  EXPECT_EQ(m.RenameProfile(L"Game"), 1);
  // The list shows the new spelling, as the current name does.
  ProfileSearch search;
  std::wstring name;
  ASSERT_TRUE(m.FindFirstProfile(search, name));
  EXPECT_EQ(name, L"Game");
  EXPECT_EQ(m.GetCurrentName(), name);
  EXPECT_TRUE(m.LoadCurrent());
}

TEST_F(WineSettingsTest, TheProfileFolderIsCreatedOneLevelOnFirstUse) {
  EXPECT_FALSE(IsDirectoryPath(App(L"Profile")));
  CProfile m;
  std::wstring path;
  const std::wstring name = L"x";
  ASSERT_TRUE(m.GetProfilePath(path, &name));
  EXPECT_EQ(path, App(L"Profile\\x.ini"));
  EXPECT_TRUE(IsDirectoryPath(App(L"Profile")));

  // Under a program folder that has vanished nothing is created and nothing fails loudly.
  SetAppDirectoryForTesting(App(L"gone\\deeper"));
  CProfile lost;
  EXPECT_EQ(lost.CreateProfile(L"p", false), 0);
  EXPECT_FALSE(IsDirectoryPath(App(L"gone")));
  SetAppDirectoryForTesting(app_);
}

TEST_F(WineSettingsTest, ALockedProfileIsNeitherLoadedAsDefaultsNorOverwritten) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Busy", false), 1);
  m.SetCurrentName(L"Busy");
  ASSERT_TRUE(m.LoadCurrent());
  m.Current().jpg.SetJpgCompression(33);
  ASSERT_TRUE(m.SaveCurrent());
  const std::string saved = ReadBytes(ProfilePath(L"Busy"));

  HANDLE lock = CreateFileW(ProfilePath(L"Busy").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  CProfile other;
  other.SetCurrentName(L"Busy");
  other.Current().jpg.SetJpgCompression(5);
  EXPECT_FALSE(other.LoadCurrent());
  EXPECT_EQ(other.Current().jpg.GetJpgCompression(), 5);
  m.Current().jpg.SetJpgCompression(44);
  EXPECT_FALSE(m.SaveCurrent());
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(ProfilePath(L"Busy")), saved);
  EXPECT_TRUE(other.LoadCurrent());
  EXPECT_EQ(other.Current().jpg.GetJpgCompression(), 33);
}

DWORD WINAPI CloseAfterAMoment(void* handle) {
  Sleep(30);
  CloseHandle(static_cast<HANDLE>(handle));
  return 0;
}

TEST_F(WineSettingsTest, ASaveWaitsBrieflyForAReaderThatHoldsTheFile) {
  CProfile m;
  ASSERT_EQ(m.CreateProfile(L"Scanned", false), 1);
  m.SetCurrentName(L"Scanned");
  ASSERT_TRUE(m.LoadCurrent());
  // A scanner reads the file and lets others read it, but not replace it, for a moment.
  HANDLE reader = CreateFileW(ProfilePath(L"Scanned").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  HANDLE done = CreateThread(nullptr, 0, CloseAfterAMoment, reader, 0, nullptr);
  m.Current().jpg.SetJpgCompression(61);
  EXPECT_TRUE(m.SaveCurrent());
  WaitForSingleObject(done, INFINITE);
  CloseHandle(done);
  CProfile other;
  other.SetCurrentName(L"Scanned");
  ASSERT_TRUE(other.LoadCurrent());
  EXPECT_EQ(other.Current().jpg.GetJpgCompression(), 61);
}

TEST(WineDisplays, TheMonitorsOfTheDesktopAreListedWithTheirDevices) {
  InstallMonitorSource();
  CDispProfile disp;  // enumerates at construction
  ASSERT_GE(disp.GetCount(), 1);
  DisplayRect all;
  disp.GetAllDisplaysRect(all);
  EXPECT_EQ(all.left, 0);
  EXPECT_EQ(all.top, 0);
  EXPECT_EQ(all.right, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(all.bottom, GetSystemMetrics(SM_CYVIRTUALSCREEN));
  auto first = disp.GetDisplay(0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->devicePath.rfind(L"\\\\.\\DISPLAY", 0), 0u) << WideToUtf8(first->devicePath);
  auto rect = DisplayDeviceRect(first->devicePath);
  ASSERT_TRUE(rect);
  EXPECT_GT(rect->right, 0);
  EXPECT_GT(rect->bottom, 0);

  int seen = 0;
  disp.ForEachDisplay([](int32_t, const DisplayPair&, void* user) { return ++*static_cast<int*>(user), 0; }, &seen);
  EXPECT_EQ(seen, 1);  // stops when the callback says so
}

TEST(WinePriority, AppliedOnlyWhenItChanges) {
  HANDLE self = GetCurrentProcess();
  COtherProfile a;
  a.SetPriority(1);
  a.ApplyPriority();
  EXPECT_EQ(GetPriorityClass(self), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));

  // Another profile with the same value: no call, so a class set meanwhile stays.
  SetPriorityClass(self, NORMAL_PRIORITY_CLASS);
  COtherProfile b;
  b.SetPriority(1);
  b.ApplyPriority();
  EXPECT_EQ(GetPriorityClass(self), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));

  b.SetPriority(3);
  b.ApplyPriority();
  EXPECT_EQ(GetPriorityClass(self), static_cast<DWORD>(ABOVE_NORMAL_PRIORITY_CLASS));
  b.SetPriority(9);  // remembered, sets nothing
  b.ApplyPriority();
  EXPECT_EQ(GetPriorityClass(self), static_cast<DWORD>(ABOVE_NORMAL_PRIORITY_CLASS));
  b.SetPriority(2);
  b.ApplyPriority();
  EXPECT_EQ(GetPriorityClass(self), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST(WineStartupShortcut, CreateTwiceReadAndRemove) {
  std::wstring shortcut, exe;
  ASSERT_TRUE(COtherProfile::GetStartupShortcutPath(&shortcut, &exe));
  ASSERT_GT(shortcut.size(), 10u);
  EXPECT_EQ(shortcut.substr(shortcut.size() - 10), L"\\PELMO.lnk");
  EXPECT_TRUE(COtherProfile::GetStartupShortcutPath(nullptr, nullptr));
  COtherProfile::RemoveStartupShortcut();

  ASSERT_TRUE(COtherProfile::CreateStartupShortcut());
  ASSERT_TRUE(COtherProfile::CreateStartupShortcut());
  ASSERT_TRUE(Exists(shortcut));

  // The link starts this executable with "/s".
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    ASSERT_TRUE(SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)));
    wchar_t target[MAX_PATH] = L"", args[MAX_PATH] = L"";
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetArguments(args, MAX_PATH);
    EXPECT_EQ(lstrcmpiW(target, exe.c_str()), 0) << WideToUtf8(target);
    EXPECT_STREQ(args, L"/s");
    file->Release();
    link->Release();
  }
  CoUninitialize();

  COtherProfile other;
  other.Read(L"");
  EXPECT_EQ(other.GetStartupShortcutPresent(), 1);
  EXPECT_TRUE(COtherProfile::RemoveStartupShortcut());
  EXPECT_FALSE(Exists(shortcut));
  other.Read(L"");
  EXPECT_EQ(other.GetStartupShortcutPresent(), 0);
  EXPECT_TRUE(COtherProfile::RemoveStartupShortcut());  // nothing to remove
}

// Stands in for the main window's message-box service.
struct Asked {
  int count = 0;
  std::wstring text;
  UINT type = 0;
  int answer = IDYES;
} g_asked;

LRESULT CALLBACK AnswerWindow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP_MESSAGEBOX) {
    ++g_asked.count;
    g_asked.text = *reinterpret_cast<const std::wstring*>(wp);
    g_asked.type = static_cast<UINT>(lp);
    return g_asked.answer;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

class WineOverwriteTest : public SettingsFolderTest {
 protected:
  void SetUp() override {
    SettingsFolderTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = AnswerWindow;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PelmoSettingsTestAnswer";
    RegisterClassW(&wc);
    window_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    SetMessageBoxWindow(window_);
    g_asked = Asked{};
  }
  void TearDown() override {
    SetMessageBoxWindow(nullptr);
    DestroyWindow(window_);
    SettingsFolderTest::TearDown();
  }
  HWND window_ = nullptr;
};

TEST_F(WineOverwriteTest, AsksOnlyForAnExistingFileWhileTheWarningIsOn) {
  COtherProfile other;
  const std::wstring file = App(L"shot.jpg");
  EXPECT_EQ(other.CheckOverwrite(window_, file), COtherProfile::kOverwriteNoFile);
  WriteBytes(file, "jpeg");
  other.SetCheckRewrite(0);
  EXPECT_EQ(other.CheckOverwrite(window_, file), COtherProfile::kOverwriteGoAhead);
  EXPECT_EQ(g_asked.count, 0);

  other.SetCheckRewrite(1);
  g_asked.answer = IDYES;
  EXPECT_EQ(other.CheckOverwrite(window_, file), COtherProfile::kOverwriteGoAhead);
  EXPECT_EQ(g_asked.count, 1);
  EXPECT_EQ(g_asked.text, L"既に同名のファイルが存在します。上書きしますか？");
  EXPECT_EQ(g_asked.type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
  g_asked.answer = IDNO;
  EXPECT_EQ(other.CheckOverwrite(window_, file), COtherProfile::kOverwriteDeclined);

  // With nobody to ask, the file is kept.
  SetMessageBoxWindow(nullptr);
  EXPECT_EQ(other.CheckOverwrite(nullptr, file), COtherProfile::kOverwriteDeclined);
}

// Windows' plain functions stop at 260 characters; the question must still come for longer paths.
TEST_F(WineOverwriteTest, AsksForAnExistingFileBeyondTheOldPathLimit) {
  std::wstring dir = App(L"");
  while (dir.size() < 300) dir += L"長いフォルダ名の一部分\\";
  ASSERT_TRUE(pelmo::CreateDirectoryTree(dir));
  const std::wstring file = dir + L"shot.png";
  ASSERT_GT(file.size(), 260u);
  COtherProfile other;
  EXPECT_EQ(other.CheckOverwrite(window_, file), COtherProfile::kOverwriteNoFile);
  HANDLE h = CreateFileW(pelmo::ToExtendedPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  g_asked.answer = IDNO;
  const int asked = g_asked.count;
  EXPECT_EQ(other.CheckOverwrite(window_, file), COtherProfile::kOverwriteDeclined);
  EXPECT_EQ(g_asked.count, asked + 1);
  // The fixture's clean-up cannot walk such paths: take the tree down here, deepest first.
  DeleteFileW(pelmo::ToExtendedPath(file).c_str());
  for (std::wstring d = dir; d.size() > App(L"").size();) {
    RemoveDirectoryW(pelmo::ToExtendedPath(d).c_str());
    d.pop_back();
    d.erase(d.find_last_of(L'\\') + 1);
  }
}

}  // namespace
