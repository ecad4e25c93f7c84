// Two X screens (1280x800 and 1024x768) joined by Xinerama: Wine shows two monitors, both at (0, 0).
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "capture/Displays.h"

using namespace pelmo;

TEST(TwoScreens, BothMonitorsWithTheirOwnDevicesAndSizes) {
  const std::vector<MonitorEntry> monitors = EnumerateMonitors();
  ASSERT_EQ(monitors.size(), 2u) << "Xinerama did not give two monitors";

  std::set<std::wstring> devices;
  for (const MonitorEntry& m : monitors) {
    SCOPED_TRACE(testing::PrintToString(m.devicePath));
    devices.insert(m.devicePath);
    const auto size = DisplayDeviceRect(m.devicePath);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->right, m.bounds.right - m.bounds.left);
    EXPECT_EQ(size->bottom, m.bounds.bottom - m.bounds.top);
    EXPECT_EQ(DisplayText(m.devicePath, m.description), m.devicePath.substr(4) + L" on " + m.description);
  }
  EXPECT_EQ(devices, (std::set<std::wstring>{L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY2"}));

  const auto second = DisplayDeviceRect(L"\\\\.\\DISPLAY2");
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(*second, (DisplayBounds{0, 0, 1024, 768}));
  EXPECT_EQ(AllDisplaysBounds(monitors), (DisplayBounds{0, 0, 1280, 800}));
}
