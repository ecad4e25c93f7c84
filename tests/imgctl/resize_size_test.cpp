// The size an image is scaled to before saving.
#include <gtest/gtest.h>

#include "output/Resize.h"

namespace pelmo {
namespace {

TEST(ComputeResizedSize, ByPercentTruncatesTheProductOfTheFactor) {
  struct Case {
    int32_t px, py;
    uint32_t w, h, ew, eh;
  } cases[] = {
      {50, 50, 1920, 1080, 960, 540},
      {33, 33, 100, 100, 33, 33},
      {29, 29, 100, 100, 28, 28},  // 0.29 * 100 = 28.999...
      {57, 58, 100, 100, 56, 57},
      {1, 1, 50, 50, 0, 0},
      {150, 100, 200, 100, 300, 100},
      {100, 100, 4294967295u, 7, 4294967295u, 7},
      // Percentages are unsigned: -1 % is 4294967295 %; products beyond 32 bits saturate.
      {-1, 100, 10, 10, 429496729u, 10},
      {2147483647, 2147483647, 1920, 1080, 4294967295u, 4294967295u},
  };
  for (const Case& c : cases) {
    CResizeProfile r;
    r.SetResizeType(CResizeProfile::kByPercent);
    r.SetPercentX(c.px);
    r.SetPercentY(c.py);
    uint32_t w = 0, h = 0;
    ComputeResizedSize(r, w, h, c.w, c.h);
    EXPECT_EQ(w, c.ew) << c.px << "% of " << c.w;
    EXPECT_EQ(h, c.eh) << c.py << "% of " << c.h;
  }
}

TEST(ComputeResizedSize, ToPixelsIgnoresTheSourceAndOtherTypesKeepTheIncomingSize) {
  CResizeProfile r;
  r.SetResizeType(CResizeProfile::kToPixels);
  uint32_t w = 0, h = 0;
  ComputeResizedSize(r, w, h, 320, 200);  // enlarging to the default 640 x 480
  EXPECT_EQ(w, 640u);
  EXPECT_EQ(h, 480u);
  r.SetPixelsX(-5);
  ComputeResizedSize(r, w, h, 320, 200);
  EXPECT_EQ(w, 4294967291u);

  r.SetResizeType(7);
  w = 11, h = 12;
  ComputeResizedSize(r, w, h, 320, 200);
  EXPECT_EQ(w, 11u);
  EXPECT_EQ(h, 12u);
}

}  // namespace
}  // namespace pelmo
