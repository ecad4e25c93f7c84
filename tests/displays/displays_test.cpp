#include <gtest/gtest.h>

#include <vector>

#include "capture/Displays.h"

using namespace pelmo;

namespace {
MonitorEntry At(int32_t l, int32_t t, int32_t r, int32_t b) { return {{l, t, r, b}, L"", L""}; }
}  // namespace

TEST(AllDisplaysBounds, UnionOfTheMonitorsAndTheOrigin) {
  struct Case {
    const char* name;
    std::vector<MonitorEntry> monitors;
    DisplayBounds expected;
  };
  const Case cases[] = {
      {"none", {}, {0, 0, 0, 0}},
      {"one", {At(0, 0, 1920, 1080)}, {0, 0, 1920, 1080}},
      {"second on the left", {At(0, 0, 1920, 1080), At(-1280, 0, 0, 1024)}, {-1280, 0, 1920, 1080}},
      {"second above, taller", {At(0, 0, 1920, 1080), At(200, -1440, 2760, 0)}, {0, -1440, 2760, 1080}},
      // A monitor wholly right of and below the primary one still starts the rectangle at (0, 0).
      {"only far away", {At(3000, 2000, 4024, 2768)}, {0, 0, 4024, 2768}},
      {"three in a row", {At(-1024, 0, 0, 768), At(0, 0, 1280, 800), At(1280, 100, 2304, 868)},
       {-1024, 0, 2304, 868}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AllDisplaysBounds(c.monitors), c.expected);
  }
}

TEST(DisplayText, DeviceAndAdapter) {
  struct Case {
    const wchar_t* path;
    const wchar_t* description;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"", L"", L"（ディスプレイ未選択）"},
      {L"\\\\.\\DISPLAY2", L"Wine Adapter", L"DISPLAY2 on Wine Adapter"},
      {L"\\\\.\\DISPLAY1\\Monitor0", L"Generic", L"DISPLAY1\\Monitor0 on Generic"},
      {L"", L"Adapter only", L" on Adapter only"},
      {L"\\\\.\\DISPLAY3", L"", L"DISPLAY3 on "},
      {L"X\\\\.\\Y\\\\.\\", L"d", L"XY on d"},  // every occurrence goes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
    EXPECT_EQ(DisplayText(c.path, c.description), c.expected);
  }
}
