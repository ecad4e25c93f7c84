// Monitors and display devices as Wine reports them on the test's own X display.
#include <gtest/gtest.h>
#include <windows.h>

#include "capture/Displays.h"

using namespace pelmo;

TEST(EnumerateMonitors, OneScreen) {
  const std::vector<MonitorEntry> monitors = EnumerateMonitors();
  ASSERT_EQ(monitors.size(), static_cast<size_t>(GetSystemMetrics(SM_CMONITORS)));
  ASSERT_GE(monitors.size(), 1u);
  const MonitorEntry& first = monitors[0];
  EXPECT_EQ(first.devicePath.rfind(L"\\\\.\\", 0), 0u) << testing::PrintToString(first.devicePath);
  EXPECT_EQ(first.devicePath, first.devicePath.substr(first.devicePath.find_first_not_of(L' ')));

  // The primary monitor is the one at (0, 0) of the virtual screen.
  const DisplayBounds all = AllDisplaysBounds(monitors);
  EXPECT_EQ(all.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
  EXPECT_EQ(all.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
  EXPECT_EQ(all.right - all.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(all.bottom - all.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TEST(EnumerateMonitors, EachMonitorNamesItsOwnDevice) {
  for (const MonitorEntry& m : EnumerateMonitors()) {
    SCOPED_TRACE(testing::PrintToString(m.devicePath));
    const RECT r{m.bounds.left, m.bounds.top, m.bounds.right, m.bounds.bottom};
    HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    ASSERT_TRUE(monitor);
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
    EXPECT_EQ(m.devicePath, info.szDevice);
    EXPECT_FALSE(m.description.empty());
  }
}

TEST(DisplayDeviceRect, SizeOfEachDisplayAndUnknownDevices) {
  for (const MonitorEntry& m : EnumerateMonitors()) {
    SCOPED_TRACE(testing::PrintToString(m.devicePath));
    const auto rect = DisplayDeviceRect(m.devicePath);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->right, m.bounds.right - m.bounds.left);
    EXPECT_EQ(rect->bottom, m.bounds.bottom - m.bounds.top);
    const auto placed = MonitorRectOfDevice(m.devicePath);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(*placed, m.bounds);
  }
  EXPECT_FALSE(DisplayDeviceRect(L"").has_value());
  EXPECT_FALSE(DisplayDeviceRect(L"\\\\.\\DISPLAY99").has_value());
  EXPECT_FALSE(MonitorRectOfDevice(L"\\\\.\\DISPLAY99").has_value());
  EXPECT_FALSE(MonitorRectOfDevice(L"").has_value());
}

TEST(DisplayDeviceRect, ReleasesItsDeviceContexts) {
  const std::wstring device = EnumerateMonitors().at(0).devicePath;
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 500; ++i) ASSERT_TRUE(DisplayDeviceRect(device).has_value());
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 5);
}
