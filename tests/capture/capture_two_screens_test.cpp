// Two displays (two X screens joined by Xinerama): the all-displays capture takes the rectangle
// around every monitor, the chosen-display capture only the chosen one.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "wine_test_support.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  reinterpret_cast<std::vector<MONITORINFOEXW>*>(out)->push_back(info);
  return TRUE;
}

bool ImageSize(const std::wstring& path, int& w, int& h) {
  const std::string bytes = pelmo::test::ReadFileBytes(path);
  int n = 0;
  return stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &w,
                               &h, &n) != 0;
}

TEST(CaptureTwoScreens, AllDisplaysTakesTheBoundingRectangleAndADisplayOnlyItself) {
  std::vector<MONITORINFOEXW> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.size() < 2) GTEST_SKIP() << "this X server shows " << monitors.size() << " monitor(s)";
  RECT bounds{0, 0, 0, 0};  // the point (0, 0) always belongs to it
  const MONITORINFOEXW* second = nullptr;
  for (const auto& m : monitors) {
    UnionRect(&bounds, &bounds, &m.rcMonitor);
    if (!(m.dwFlags & MONITORINFOF_PRIMARY)) second = &m;
  }
  ASSERT_NE(second, nullptr);

  pelmo::test::DebugMonitor trace;
  ASSERT_TRUE(trace.ok());
  pelmo::test::PelmoProcess pelmo;
  const std::wstring out = pelmo.path(L"out");
  ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
  pelmo::test::TestProfile profile;
  profile.name = L"two";
  profile.saveFolder = out;
  profile.imageType = 3;
  profile.fileName = L"%r";
  profile.digitCount = 1;
  profile.keys = {{L"ScreenShot_AllDisplay", VK_F8}, {L"ScreenShot_Display", VK_F9}};
  profile.extraSections = std::wstring(L"[DISPLAY]\r\nDisplayName=") + second->szDevice + L"\r\n";
  ASSERT_TRUE(pelmo::test::InstallProfile(pelmo.folder().path(), profile));
  ASSERT_TRUE(pelmo.Start());
  HWND main = pelmo.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  int n = 0;
  for (WORD key : {VK_F8, VK_F9}) {
    PostMessageW(main, WM_APP + 4, key, 0);
    PostMessageW(main, WM_APP + 5, key, 0);
    ++n;  // not inside the comparison: its operands are unsequenced
    if (trace.WaitFor(L" done", n, 20000).size() != static_cast<size_t>(n)) {
      std::string all;
      for (const auto& line : trace.Lines(L"pelmo")) all += std::string(line.begin(), line.end()) + "\n";
      FAIL() << "event did not finish; trace:\n" << all;
    }
  }
  int w = 0, h = 0;
  ASSERT_TRUE(ImageSize(out + L"\\1.png", w, h));
  EXPECT_EQ(w, bounds.right - bounds.left);
  EXPECT_EQ(h, bounds.bottom - bounds.top);
  ASSERT_TRUE(ImageSize(out + L"\\2.png", w, h));
  EXPECT_EQ(w, second->rcMonitor.right - second->rcMonitor.left);
  EXPECT_EQ(h, second->rcMonitor.bottom - second->rcMonitor.top);
}

}  // namespace
