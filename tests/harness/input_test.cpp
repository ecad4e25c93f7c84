#include <gtest/gtest.h>
#include <windows.h>

#include "wine_test_support.h"

using pelmo::test::ChildProcess;
using pelmo::test::PressKey;

TEST(Harness, DesktopExistsAndHasSize) {
  HWND desk = GetDesktopWindow();
  ASSERT_NE(desk, nullptr);
  RECT r{};
  ASSERT_TRUE(GetWindowRect(desk, &r));
  EXPECT_GT(r.right - r.left, 0);
  EXPECT_GT(r.bottom - r.top, 0);
}

TEST(Harness, SynthesizedKeysReachAnotherProcess) {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"pelmo_key_probe_ready");
  ASSERT_NE(ready, nullptr);
  ChildProcess probe(pelmo::test::TestBinDir() + L"\\key_probe.exe", L"120 4000");
  ASSERT_TRUE(probe.started());
  ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
  CloseHandle(ready);
  Sleep(200);
  for (int i = 0; i < 3; ++i) {
    PressKey(VK_F9);
    pelmo::test::PumpFor(150);
  }
  EXPECT_EQ(probe.wait(10000), 3u);
}
