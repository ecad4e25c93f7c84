// The tray icon and its menu, seen through the program's diagnostic trace: icon states, tooltip,
// profile and format choice, greyed file commands, the input-disabled mode and the profile step.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "wine_test_support.h"

namespace {

using pelmo::test::DebugMonitor;
using pelmo::test::PelmoProcess;

constexpr UINT kTrayNotify = 0x8001;
constexpr UINT kStepProfile = 0x8009;

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(monitor_.ok());
    out_ = pelmo_.path(L"out");
    ASSERT_TRUE(CreateDirectoryW(out_.c_str(), nullptr));
    for (const wchar_t* name : {L"一番", L"二番"}) {
      pelmo::test::TestProfile profile;
      profile.name = name;
      profile.saveFolder = out_;
      profile.fileName = L"%p-%r";
      profile.digitCount = 1;
      profile.keys = {{L"ScreenShot_Desktop", 116}};
      ASSERT_TRUE(pelmo::test::InstallProfile(pelmo_.folder().path(), profile));
    }
    ASSERT_TRUE(pelmo_.Start());
    main_ = pelmo_.WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    pid_ = pelmo_.process().pid();
  }

  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main_, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
  }

  // The trace arrives through another thread: wait until the newest tray line has `part`.
  std::wstring LastTray(const std::wstring& part = L"") {
    std::wstring last;
    for (int i = 0; i < 100; ++i) {
      const auto lines = monitor_.Lines(L"tray ", pid_);
      last = lines.empty() ? L"" : lines.back();
      if (!last.empty() && last.find(part) != std::wstring::npos) break;
      pelmo::test::PumpFor(30);
    }
    return last;
  }

  bool TrayShows(const std::wstring& part) { return LastTray(part).find(part) != std::wstring::npos; }

  // Opens the menu with a right click on the icon, closes it with Esc, returns its trace line.
  std::wstring OpenMenu() {
    const size_t before = monitor_.Lines(L"menu ", pid_).size();
    PostMessageW(main_, kTrayNotify, 0, WM_RBUTTONUP);
    const auto lines = monitor_.WaitFor(L"menu ", before + 1, 5000, pid_);
    pelmo::test::PumpFor(300);
    pelmo::test::PressKey(VK_ESCAPE);
    pelmo::test::PumpFor(300);
    return lines.size() > before ? lines.back() : L"";
  }

  DebugMonitor monitor_;
  PelmoProcess pelmo_;
  std::wstring out_;
  HWND main_ = nullptr;
  DWORD pid_ = 0;
};

TEST_F(TrayTest, IconAndTooltipFollowTheProfileAndTheInputMode) {
  const auto added = monitor_.WaitFor(L"tray add", 1, 5000, pid_);
  ASSERT_EQ(added.size(), 1u);
  EXPECT_TRUE(TrayShows(L"icon=205 tip=Pelmo - 一番")) << LastTray();

  Send(WM_COMMAND, 32932);  // input-disabled mode on
  EXPECT_TRUE(TrayShows(L"icon=207")) << LastTray();
  EXPECT_NE(OpenMenu().find(L"input-disabled=1"), std::wstring::npos);
  Send(WM_COMMAND, 32932);  // and off again
  EXPECT_TRUE(TrayShows(L"icon=205")) << LastTray();
}

// After Explorer restarts every icon is gone; the program adds its own again.
TEST_F(TrayTest, IconIsAddedAgainWhenTheShellRestarts) {
  ASSERT_EQ(monitor_.WaitFor(L"tray add", 1, 5000, pid_).size(), 1u);
  const size_t before = monitor_.Lines(L"tray ", pid_).size();
  Send(RegisterWindowMessageW(L"TaskbarCreated"), 0);
  // Here the shell never lost the icon, so it may take the add or the modify that follows it.
  const auto lines = monitor_.WaitFor(L"tray ", before + 1, 5000, pid_);
  ASSERT_GT(lines.size(), before);
  EXPECT_NE(lines.back().find(L"icon=205 tip=Pelmo - 一番"), std::wstring::npos) << lines.back();
}

TEST_F(TrayTest, FileCommandsAreGreyUntilSomethingWasSaved) {
  EXPECT_NE(OpenMenu().find(L"file-commands=grey"), std::wstring::npos);
  PostMessageW(main_, WM_APP + 4, 116, 0);  // F5 down: the desktop capture of this profile
  PostMessageW(main_, WM_APP + 5, 116, 0);
  ASSERT_EQ(monitor_.WaitFor(L"event 0 done", 1, 5000, pid_).size(), 1u);
  EXPECT_NE(OpenMenu().find(L"file-commands=enabled"), std::wstring::npos);
}

TEST_F(TrayTest, FormatChoiceFromTheMenuChangesTheSavedType) {
  EXPECT_NE(OpenMenu().find(L"type=1"), std::wstring::npos);
  Send(WM_COMMAND, 32803);  // PNG
  EXPECT_NE(OpenMenu().find(L"type=3"), std::wstring::npos);
  PostMessageW(main_, WM_APP + 4, 116, 0);
  PostMessageW(main_, WM_APP + 5, 116, 0);
  ASSERT_EQ(monitor_.WaitFor(L"event 0 done", 1, 5000, pid_).size(), 1u);
  EXPECT_TRUE(pelmo::test::FileExists(out_ + L"\\一番-1.png"));
}

TEST_F(TrayTest, ProfileChoiceAndProfileStepSwitchTheProfile) {
  EXPECT_NE(OpenMenu().find(L"profile=0/2"), std::wstring::npos);
  Send(WM_COMMAND, 32831);  // the second profile
  EXPECT_TRUE(TrayShows(L"tip=Pelmo - 二番")) << LastTray();
  EXPECT_NE(OpenMenu().find(L"profile=1/2"), std::wstring::npos);

  EXPECT_EQ(Send(kStepProfile, 1), 0);  // already the last: nothing, no balloon
  EXPECT_TRUE(monitor_.Lines(L"balloon", pid_).empty());
  EXPECT_EQ(Send(kStepProfile, 0), 1);  // back to the first, with the balloon
  const auto balloons = monitor_.WaitFor(L"balloon", 1, 3000, pid_);
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_NE(balloons[0].find(L"flag=1 title=一番 text=プロファイルを切り替えました。"), std::wstring::npos) << balloons[0];
  EXPECT_TRUE(TrayShows(L"tip=Pelmo - 一番")) << LastTray();
}

TEST_F(TrayTest, RightClickWhileTheSettingsWindowIsOpenIsRefused) {
  Send(WM_COMMAND, 32794);  // settings
  pelmo::test::PumpFor(500);
  PostMessageW(main_, kTrayNotify, 0, WM_RBUTTONUP);
  const auto balloons = monitor_.WaitFor(L"balloon", 1, 3000, pid_);
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_NE(balloons[0].find(L"title=現在は右クリックが無効です"), std::wstring::npos) << balloons[0];
  EXPECT_TRUE(monitor_.Lines(L"menu ", pid_).empty());
}

}  // namespace
