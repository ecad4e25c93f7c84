// Key messages reach the main window with the key code in wParam, which is pointer-sized: 32 bits
// in the i686 build, 64 in the x86_64 one. A value beyond any key code must not act as the key its
// low bits name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "wine_test_support.h"

namespace {

constexpr UINT kKeyDown = WM_APP + 4, kKeyUp = WM_APP + 5;

TEST(WideKeyMessage, OnlyRealKeyCodesRunEvents) {
  pelmo::test::DebugMonitor trace;
  ASSERT_TRUE(trace.ok());
  pelmo::test::PelmoProcess pelmo;
  const std::wstring out = pelmo.path(L"out");
  ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
  pelmo::test::TestProfile profile;
  profile.name = L"wide";
  profile.saveFolder = out;
  profile.imageType = 3;
  profile.fileName = L"%r";
  profile.digitCount = 1;
  profile.keys = {{L"ScreenShot_Desktop", VK_F5}};
  ASSERT_TRUE(pelmo::test::InstallProfile(pelmo.folder().path(), profile));
  ASSERT_TRUE(pelmo.Start());
  HWND main = pelmo.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  const WPARAM notKeys[] = {
#ifdef _WIN64
      (WPARAM{1} << 32) | VK_F5,  // F5 in the low 32 bits
      (~WPARAM{0} << 8) | VK_F5,
#endif
      WPARAM{0x100} | VK_F5,  // F5 in the low byte
  };
  DWORD_PTR result = 0;
  for (WPARAM w : notKeys) {
    EXPECT_TRUE(SendMessageTimeoutW(main, kKeyDown, w, 0, SMTO_ABORTIFHUNG, 10000, &result));
    EXPECT_TRUE(SendMessageTimeoutW(main, kKeyUp, w, 0, SMTO_ABORTIFHUNG, 10000, &result));
  }
  Sleep(500);
  EXPECT_TRUE(trace.Lines(L"event ").empty()) << "a value that is no key code ran an event";
  EXPECT_FALSE(pelmo::test::FileExists(out + L"\\1.png"));

  // The real key still works afterwards: nothing above was recorded as held.
  EXPECT_TRUE(SendMessageTimeoutW(main, kKeyDown, VK_F5, 0, SMTO_ABORTIFHUNG, 20000, &result));
  EXPECT_TRUE(SendMessageTimeoutW(main, kKeyUp, VK_F5, 0, SMTO_ABORTIFHUNG, 10000, &result));
  EXPECT_EQ(trace.WaitFor(L" done", 1, 20000).size(), 1u) << "F5 ran no event";
  EXPECT_TRUE(pelmo::test::FileExists(out + L"\\1.png"));
}

}  // namespace
