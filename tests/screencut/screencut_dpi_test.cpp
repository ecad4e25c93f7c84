// The free cut on a display at 144 DPI (a prefix of its own, see dpi144): the file holds exactly
// the physical pixels dragged over, not a scaled or shifted area.
#include <gtest/gtest.h>
#include <windows.h>

#include "cut_driver.h"

namespace {

using namespace pelmo::test;

TEST(ScreenCutDpi, FreeCutAt144DpiHoldsExactlyTheDraggedPhysicalPixels) {
  // The driver works in physical pixels too, like the program (its manifest says per-monitor aware).
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 144) << "the prefix is not at 144 DPI";

  CutSession s;
  ASSERT_TRUE(s.Start());
  PatternWindow window(200, 150, 300, 200);
  const RECT c = window.ClientOnScreen();
  const POINT from{c.left + 250, c.top + 170}, to{c.left + 30, c.top + 20};
  ASSERT_TRUE(s.BeginCut(VK_F5));
  MoveTo(from.x, from.y);
  LeftDown();
  for (int i = 1; i <= 4; ++i) MoveTo(from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4);
  LeftUp();
  ASSERT_TRUE(s.WaitEventDone(5, 1));
  const Image img = DecodeImage(s.Out(L"ScreenCut001.png"));
  ASSERT_EQ(img.width, from.x - to.x);
  ASSERT_EQ(img.height, from.y - to.y);
  int wrong = 0;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      if (img.At(x, y) != window.ColourAt(to.x - c.left + x, to.y - c.top + y)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
