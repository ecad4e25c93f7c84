// A profile asks for the hook library, but the system refuses the hooks (here: a build of ravel.dll
// whose install always fails). The program says so once in a balloon and the keys work through the
// polling source.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "wine_test_support.h"

namespace pelmo::test {
namespace {

TEST(HookFallback, RefusedHooksFallBackToPollingWithOneBalloon) {
  DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  PelmoProcess pelmo;
  const std::wstring refusing = TestBinDir() + L"\\refusing-ravel\\ravel.dll";
  ASSERT_TRUE(FileExists(refusing));
  ASSERT_TRUE(CopyFileW(refusing.c_str(), pelmo.path(L"ravel.dll").c_str(), FALSE));

  const std::wstring out = pelmo.path(L"out");
  ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
  TestProfile profile;
  profile.name = L"hooks";
  profile.saveFolder = out;
  profile.imageType = 0;
  profile.keys.emplace_back(L"ScreenShot_Desktop", VK_F5);
  profile.otherSection = L"CheckRewrite=0\r\nGlobalKeyHook=1\r\n";
  ASSERT_TRUE(InstallProfile(pelmo.folder().path(), profile));
  ASSERT_TRUE(pelmo.Start());
  const HWND main = pelmo.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  const auto balloons = monitor.WaitFor(L"balloon flag=2 title=グローバルキーフックを使用できません", 1, 10000);
  EXPECT_EQ(balloons.size(), 1u);

  const size_t before = monitor.Lines(L"event ").size();
  PressKey(VK_F5, 80);
  monitor.WaitFor(L"event ", before + 1, 15000);
  EXPECT_TRUE(FileExists(out + L"\\screenshot\\hooks\\capture001.bmp")) << "the polling source took over";

  PostMessageW(main, WM_COMMAND, 32791, 0);
  EXPECT_EQ(pelmo.process().wait(20000), 0u);
  EXPECT_EQ(monitor.Lines(L"title=グローバルキーフックを使用できません").size(), 1u) << "one balloon, not one per retry";
}

}  // namespace
}  // namespace pelmo::test
