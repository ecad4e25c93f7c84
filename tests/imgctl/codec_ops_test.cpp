// Depth conversion, scaling, cropping, colour pairs and handles of the codec library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BlockCache.h"
#include "CodecTestUtil.h"
#include "Depth.h"
#include "Edit.h"
#include "Library.h"
#include "Quantize.h"
#include "Scale.h"
#include "SyntheticImages.h"

namespace imgctl {
namespace {

using test::At;
using test::FirstDifference;

Image Solid(int w, int h, Bgra c) {
  Image img;
  Allocate(img, w, h, 32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = img.Row(y) + 4 * x;
      p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = c.a;
    }
  return img;
}

void Set(Image& img, int x, int y, Bgra c) {
  uint8_t* p = img.Row(y) + 4 * x;
  p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = c.a;
}

TEST(DepthConversion, EightBitsKeepsExactColoursOfAScreenshot) {
  Image shot = testing::Screenshot(800, 600);
  Image img = shot;
  ASSERT_TRUE(ConvertTo8(img, kTo8ExactFirst | kTo8Dither));
  EXPECT_EQ(img.bpp, 8);
  EXPECT_LE(img.palette.size(), 256u);
  EXPECT_EQ(FirstDifference(img, shot, false), -1);
}

TEST(DepthConversion, EightBitsOfAPhotoStaysClose) {
  Image photo = testing::Photo(256, 192);
  for (bool dither : {false, true}) {
    Image img = photo;
    ASSERT_TRUE(ConvertTo8(img, kTo8ExactFirst | (dither ? kTo8Dither : 0)));
    ASSERT_EQ(img.bpp, 8);
    ASSERT_LE(img.palette.size(), 256u);
    ASSERT_GT(img.palette.size(), 64u);
    // Mean error per channel, and the mean colour of the whole image (dithering keeps it).
    double err = 0, sum[2][3] = {};
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) {
        Bgra a = At(photo, x, y), b = At(img, x, y);
        err += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        sum[0][0] += a.r, sum[0][1] += a.g, sum[0][2] += a.b;
        sum[1][0] += b.r, sum[1][1] += b.g, sum[1][2] += b.b;
      }
    double n = 3.0 * img.width * img.height;
    EXPECT_LT(err / n, dither ? 9.0 : 6.0) << "dither " << dither;
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(sum[0][c] / (n / 3), sum[1][c] / (n / 3), 1.5);
  }
}

// Without dithering every pixel takes the palette entry nearest to it (red, green and blue
// weighted 3:4:2); the search that skips entries by green alone must never skip the nearest.
// Colours on a grid of 4 so that no two share a cell of the lookup cache.
TEST(DepthConversion, EightBitsWithoutDitherTakesTheNearestEntry) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    Image img = Solid(160, 120, Bgra{});
    uint32_t state = seed * 2654435761u;
    auto next = [&state] {
      state = state * 1664525u + 1013904223u;
      return static_cast<uint8_t>((state >> 24) & 0xFC);
    };
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) {
        // Clusters of related colours, as photographs have, and scattered ones.
        uint8_t base = next();
        Bgra c = seed == 1 ? Bgra{next(), next(), next(), 255}
                           : Bgra{static_cast<uint8_t>(base / 2 + (next() & 0x3C)), base,
                                  static_cast<uint8_t>(255 - base), 255};
        Set(img, x, y, c);
      }
    const Image source = img;
    ASSERT_TRUE(ConvertTo8(img, kTo8ExactFirst));
    ASSERT_EQ(img.bpp, 8);
    int wrong = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) {
        const Bgra s = At(source, x, y);
        auto distance = [&s](const Bgra& p) {
          const int dr = p.r - s.r, dg = p.g - s.g, db = p.b - s.b;
          return dr * dr * 3 + dg * dg * 4 + db * db * 2;
        };
        int best = distance(img.palette[0]);
        for (const Bgra& p : img.palette) best = std::min(best, distance(p));
        wrong += distance(img.palette[img.Row(y)[x]]) != best;
      }
    EXPECT_EQ(wrong, 0) << "seed " << seed;
  }
}

TEST(DepthConversion, SixteenBitsRoundsEachComponent) {
  struct Case {
    uint8_t v;
    uint8_t back;
  } cases[] = {{0, 0}, {255, 255}, {4, 0}, {5, 8}, {128, 132}, {250, 247}};
  for (const Case& c : cases) {
    Image img = Solid(3, 2, Bgra{c.v, c.v, c.v, 255});
    ASSERT_TRUE(ConvertTo16(img, 0));
    EXPECT_EQ(img.bpp, 16);
    Bgra p = At(img, 1, 1);
    EXPECT_EQ(p.r, c.back) << int(c.v);
    EXPECT_EQ(p.b, c.back) << int(c.v);
  }
}

TEST(DepthConversion, TwentyFourBitsFromEveryDepth) {
  for (int bpp : {32, 16, 8}) {
    Image src = testing::Pattern(37, 11, bpp);
    Image img = src;
    ASSERT_TRUE(ConvertTo24(img));
    EXPECT_EQ(img.bpp, 24);
    EXPECT_EQ(img.stride % 4, 0u);
    EXPECT_EQ(FirstDifference(img, src, false), -1) << bpp;
  }
}

TEST(Scale, ShrinkingAveragesTheCoveredArea) {
  // One-pixel black lines every fourth column of white: a quarter shrink gives even grey.
  Image img = Solid(64, 8, Bgra{255, 255, 255, 255});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 64; x += 4) Set(img, x, y, Bgra{0, 0, 0, 255});
  ASSERT_TRUE(ScaleImage(img, 16, 2));
  ASSERT_EQ(img.width, 16);
  ASSERT_EQ(img.height, 2);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(At(img, x, 1).g, 191) << x;

  // A non-integer factor: 3 pixels (0, 0, 255) into 2 pixels covering 1.5 each.
  Image row = Solid(3, 1, Bgra{0, 0, 0, 255});
  Set(row, 2, 0, Bgra{255, 255, 255, 255});
  ASSERT_TRUE(ScaleImage(row, 2, 1));
  EXPECT_EQ(At(row, 0, 0).r, 0);
  EXPECT_EQ(At(row, 1, 0).r, 170);
}

TEST(Scale, EnlargingInterpolatesAndKeepsFlatAreas) {
  Image img = Solid(2, 1, Bgra{0, 0, 0, 255});
  Set(img, 1, 0, Bgra{200, 200, 200, 255});
  ASSERT_TRUE(ScaleImage(img, 8, 3));
  EXPECT_EQ(At(img, 0, 0).r, 0);
  EXPECT_EQ(At(img, 7, 2).r, 200);
  for (int x = 1; x < 8; ++x) EXPECT_GE(At(img, x, 1).r, At(img, x - 1, 1).r);
}

TEST(Scale, TransparentPixelsDoNotBleedTheirColour) {
  Image img = Solid(2, 1, Bgra{0, 0, 255, 255});
  img.hasAlpha = true;
  Set(img, 1, 0, Bgra{255, 0, 0, 0});  // invisible blue
  ASSERT_TRUE(ScaleImage(img, 1, 1));
  EXPECT_EQ(At(img, 0, 0).r, 255);
  EXPECT_EQ(At(img, 0, 0).b, 0);
  EXPECT_EQ(At(img, 0, 0).a, 128);
}

TEST(Scale, SizesOutsideTheLimitsLeaveTheImageAlone) {
  Image src = testing::Pattern(40, 30, 32);
  struct Case {
    int w, h;
    bool ok;
    int ew, eh;
  } cases[] = {
      {0, 0, true, 1, 1},  {0, 10, true, 1, 10}, {-1, 10, false, 40, 30},
      {2147483647, 2147483647, false, 40, 30},   {65536, 1, false, 40, 30},
      {40000, 40000, false, 40, 30},             {40, 30, true, 40, 30},
  };
  for (const Case& c : cases) {
    Image img = src;
    EXPECT_EQ(ScaleImage(img, c.w, c.h), c.ok) << c.w << "x" << c.h;
    EXPECT_EQ(img.width, c.ew);
    EXPECT_EQ(img.height, c.eh);
    if (!c.ok) {
      EXPECT_EQ(FirstDifference(img, src, true), -1);
    }
  }
}

TEST(Scale, PaletteImagesComeOutAtTwentyFourBits) {
  Image img = testing::Pattern(20, 20, 8);
  ASSERT_TRUE(ScaleImage(img, 10, 10));
  EXPECT_EQ(img.bpp, 24);
}

TEST(Crop, ClipsToTheImageAndKeepsTheDepth) {
  Image src = testing::Pattern(50, 40, 8);
  struct Case {
    int x, y, w, h;
    bool ok;
    int ew, eh;
  } cases[] = {{5, 6, 10, 12, true, 10, 12},  {-5, -5, 10, 10, true, 5, 5},
               {45, 35, 100, 100, true, 5, 5}, {50, 0, 5, 5, false, 0, 0},
               {0, 0, 0, 5, false, 0, 0},      {2147483000, 0, 2147483000, 5, false, 0, 0}};
  for (const Case& c : cases) {
    Image out;
    ASSERT_EQ(Crop(src, c.x, c.y, c.w, c.h, out), c.ok) << c.x << "," << c.y;
    if (!c.ok) continue;
    EXPECT_EQ(out.width, c.ew);
    EXPECT_EQ(out.height, c.eh);
    EXPECT_EQ(out.bpp, 8);
    int x0 = std::max(c.x, 0), y0 = std::max(c.y, 0);
    EXPECT_TRUE(At(out, 0, 0) == At(src, x0, y0));
    EXPECT_TRUE(At(out, c.ew - 1, c.eh - 1) == At(src, x0 + c.ew - 1, y0 + c.eh - 1));
  }
}

TEST(ColourPairs, FirstColourTakesTheSecond) {
  const uint32_t white = 0xffffff, red = 0x0000ff;
  uint32_t pair[2] = {white, red};
  Image img = Solid(4, 4, Bgra{255, 255, 255, 255});
  Set(img, 1, 1, Bgra{0, 255, 0, 255});
  EXPECT_EQ(ReplaceColours(img, pair, 1), 15);
  EXPECT_TRUE(At(img, 0, 0) == (Bgra{0, 0, 255, 255}));
  EXPECT_TRUE(At(img, 1, 1) == (Bgra{0, 255, 0, 255}));

  Image pal = testing::Pattern(8, 8, 8);
  pal.palette[3] = Bgra{255, 255, 255, 255};
  EXPECT_EQ(ReplaceColours(pal, pair, 1), 1);
  EXPECT_TRUE(pal.palette[3] == (Bgra{0, 0, 255, 255}));
  EXPECT_EQ(ReplaceColours(pal, nullptr, 1), 0);
}

TEST(Handles, ForeignAndFreedHandlesAreRefused) {
  Image* h = Adopt(testing::Pattern(10, 10, 24));
  ASSERT_NE(h, nullptr);
  InfoHeader info{};
  ASSERT_TRUE(GetInfo(h, &info));
  EXPECT_EQ(info.size, 40u);
  EXPECT_EQ(info.width, 10);
  EXPECT_EQ(info.height, 10);
  EXPECT_EQ(info.bitCount, 24);
  EXPECT_EQ(info.planes, 1);
  EXPECT_FALSE(GetInfo(h, nullptr));

  Image local;
  EXPECT_FALSE(To24(&local));
  EXPECT_FALSE(GetInfo(&local, &info));
  Free(&local);  // not ours: ignored

  Image* part = CropHandle(h, 2, 2, 4, 4);
  ASSERT_NE(part, nullptr);
  ASSERT_TRUE(To8(part, 0x201));
  ASSERT_TRUE(GetInfo(part, &info));
  EXPECT_EQ(info.bitCount, 8);
  EXPECT_EQ(info.width, 4);
  Free(part);
  Free(h);
  EXPECT_FALSE(IsLive(h));
  Free(h);  // a second free is harmless
  EXPECT_FALSE(Resize(h, 5, 5));
  EXPECT_EQ(CropHandle(nullptr, 0, 0, 1, 1), nullptr);
}

// Large blocks are reused across images: a reused block must read as zeros when asked for
// zeros, a grown block keeps what it held, and a full cache drops blocks rather than growing.
TEST(BlockCache, ReusedBlocksAreZeroedAndGrowthKeepsTheContents) {
  constexpr size_t kBig = size_t{3} << 20;
  for (int round = 0; round < 3; ++round) {
    auto* p = static_cast<uint8_t*>(BlockAllocate(kBig, true));
    ASSERT_NE(p, nullptr);
    size_t nonZero = 0;
    for (size_t i = 0; i < kBig; i += 4093) nonZero += p[i] != 0;
    nonZero += p[kBig - 1] != 0;
    EXPECT_EQ(nonZero, 0u) << "round " << round;
    std::memset(p, 0xA5, kBig);
    BlockFree(p);
  }
  auto* small = static_cast<uint8_t*>(BlockAllocate(100, false));
  ASSERT_NE(small, nullptr);
  for (int i = 0; i < 100; ++i) small[i] = static_cast<uint8_t>(i);
  auto* grown = static_cast<uint8_t*>(BlockReallocate(small, kBig * 2));
  ASSERT_NE(grown, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(grown[i], i);
  EXPECT_EQ(BlockReallocate(grown, 10), grown) << "shrinking keeps the block";
  BlockFree(grown);
  std::vector<void*> many;
  for (int i = 0; i < 24; ++i) many.push_back(BlockAllocate((size_t{5} + i % 3) << 20, false));
  for (void* q : many) {
    ASSERT_NE(q, nullptr);
    BlockFree(q);
  }
  TrimBlockCache();
  EXPECT_EQ(BlockAllocate(static_cast<size_t>(-1) - 8, false), nullptr) << "size overflow refused";
  // Images built on the cache: a second image of the same size starts out black.
  for (int round = 0; round < 2; ++round) {
    Image img;
    ASSERT_TRUE(Allocate(img, 1024, 768, 32));
    size_t nonZero = 0;
    for (uint8_t byte : img.pixels) nonZero += byte != 0;
    EXPECT_EQ(nonZero, 0u) << "round " << round;
    std::memset(img.pixels.data(), 0x5A, img.pixels.size());
  }
}

}  // namespace
}  // namespace imgctl
