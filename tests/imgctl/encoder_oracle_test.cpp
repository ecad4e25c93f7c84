// Our writers checked by decoders we did not write: libpng, giflib, and ImageMagick's identify
// for the file properties. Lossless formats must give back exactly the pixels written.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <memory>
#include <string>

#include "CodecTestUtil.h"
#include "Depth.h"
#include "Library.h"
#include "Quantize.h"
#include "SyntheticImages.h"

namespace imgctl {
namespace {

using test::At;
using test::TempFolder;

// Output of a shell command.
std::string Run(const std::string& cmd) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p.get())) > 0) out.append(buf, n);
  return out;
}

// identify's value of a property (format escape) of a file.
std::string Identify(const std::filesystem::path& file, const std::string& format) {
  std::string out = Run("identify -format '" + format + "' '" + file.string() + "[0]' 2>&1");
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// Pixels as libpng decodes them, as 8-bit BGRA.
struct PngRead {
  bool ok = false;
  Image img;
  int colourType = -1, bitDepth = -1, interlace = -1, paletteSize = 0;
};

PngRead ReadWithLibpng(const std::filesystem::path& file) {
  PngRead r;
  FILE* f = fopen(file.c_str(), "rb");
  if (!f) return r;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(f);
    r.ok = false;
    return r;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  r.colourType = png_get_color_type(png, info);
  r.bitDepth = png_get_bit_depth(png, info);
  r.interlace = png_get_interlace_type(png, info);
  png_colorp pal = nullptr;
  png_get_PLTE(png, info, &pal, &r.paletteSize);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  int w = static_cast<int>(png_get_image_width(png, info)), h = static_cast<int>(png_get_image_height(png, info));
  Allocate(r.img, w, h, 32);
  r.img.hasAlpha = true;
  for (int y = 0; y < h; ++y) rows.push_back(r.img.Row(y));
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  fclose(f);
  r.ok = true;
  return r;
}

struct GifRead {
  bool ok = false;
  Image img;  // 8 bits with the file's colour table
  bool interlaced = false;
  int transparent = -1;
  int tableSize = 0;
};

GifRead ReadWithGiflib(const std::filesystem::path& file) {
  GifRead r;
  int err = 0;
  GifFileType* gif = DGifOpenFileName(file.c_str(), &err);
  if (!gif) return r;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1) {
    const SavedImage& si = gif->SavedImages[0];
    const ColorMapObject* map = si.ImageDesc.ColorMap ? si.ImageDesc.ColorMap : gif->SColorMap;
    int w = si.ImageDesc.Width, h = si.ImageDesc.Height;
    if (map && Allocate(r.img, w, h, 8)) {
      r.tableSize = map->ColorCount;
      for (int i = 0; i < map->ColorCount; ++i)
        r.img.palette.push_back(Bgra{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 255});
      for (int y = 0; y < h; ++y)
        memcpy(r.img.Row(y), si.RasterBits + static_cast<size_t>(y) * w, static_cast<size_t>(w));
      r.interlaced = si.ImageDesc.Interlace;
      GraphicsControlBlock gcb;
      if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK) r.transparent = gcb.TransparentColor;
      r.ok = true;
    }
  }
  DGifCloseFile(gif, &err);
  return r;
}

Image FewColours(int w, int h, int colours) {
  Image img;
  Allocate(img, w, h, 32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int i = (x / 3 + y * 7) % colours;
      uint8_t* p = img.Row(y) + 4 * x;
      p[0] = static_cast<uint8_t>(i * 37), p[1] = static_cast<uint8_t>(255 - i * 11), p[2] = static_cast<uint8_t>(i * 5);
      p[3] = 0;  // undefined, as in a screen copy
    }
  return img;
}

Image ZeroAlphaPattern(int w, int h) {
  Image img = testing::Pattern(w, h, 32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.Row(y)[4 * x + 3] = 0;
  return img;
}

struct PngCase {
  const char* name;
  Image (*make)();
  int colourType;
  int bitDepth;
};

const PngCase kPngCases[] = {
    {"screen copy, undefined alpha", [] { return ZeroAlphaPattern(61, 47); }, 2, 8},
    {"32 bits with alpha", [] { return testing::Pattern(61, 47, 32, true); }, 6, 8},
    {"24 bits", [] { return testing::Pattern(61, 47, 24); }, 2, 8},
    {"16 bits", [] { return testing::Pattern(61, 47, 16); }, 2, 8},
    {"8 bits, 200 colours", [] { return testing::Pattern(61, 47, 8); }, 3, 8},
    {"screenshot", [] { return testing::Screenshot(640, 400); }, 3, 8},
    {"2 colours", [] { return FewColours(33, 9, 2); }, 3, 1},
    {"4 colours", [] { return FewColours(33, 9, 4); }, 3, 2},
    {"11 colours", [] { return FewColours(33, 9, 11); }, 3, 4},
    {"1 x 1", [] { return FewColours(1, 1, 1); }, 3, 1},
    {"3 x 2 (empty passes)", [] { return testing::Pattern(3, 2, 24); }, 3, 4},
    {"photo, several IDAT chunks", [] { return testing::Photo(800, 600); }, 2, 8},
    {"rich screenshot", [] { return testing::RichScreenshot(800, 600); }, 2, 8},
};

TEST(PngWriter, LibpngReadsBackExactlyThePixels) {
  TempFolder dir;
  for (const PngCase& c : kPngCases) {
    for (bool interlace : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (interlace ? ", interlaced" : ""));
      Image src = c.make();
      Image* h = Adopt(Image(src));
      auto file = dir / "out.png";
      ASSERT_TRUE(SavePng(file.native(), h, interlace));
      Free(h);
      PngRead r = ReadWithLibpng(file);
      ASSERT_TRUE(r.ok);
      EXPECT_EQ(r.colourType, c.colourType);
      EXPECT_EQ(r.bitDepth, c.bitDepth);
      EXPECT_EQ(r.interlace, interlace ? 1 : 0);
      EXPECT_EQ(test::FirstDifference(r.img, src, true), -1);
      EXPECT_EQ(Identify(file, "%[interlace]"), interlace ? "PNG" : "None");
    }
  }
}

TEST(PngWriter, ScreenCopiesComeOutOpaque) {
  TempFolder dir;
  Image* h = Adopt(testing::Screenshot(300, 200));  // alpha bytes 0
  ASSERT_TRUE(SavePng((dir / "a.png").native(), h, false));
  ASSERT_TRUE(To24(h));
  ASSERT_TRUE(SavePng((dir / "b.png").native(), h, true));
  Free(h);
  for (const char* name : {"a.png", "b.png"}) {
    PngRead r = ReadWithLibpng(dir / name);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.colourType, 3);
    EXPECT_EQ(Identify(dir / name, "%[opaque]"), "true") << name;
    for (int y = 0; y < r.img.height; y += 7)
      for (int x = 0; x < r.img.width; x += 5) ASSERT_EQ(At(r.img, x, y).a, 255);
  }
}

TEST(PngWriter, EightBitScreenshotKeepsEveryColour) {
  TempFolder dir;
  Image shot = testing::Screenshot(1024, 768);
  Image* h = Adopt(Image(shot));
  ASSERT_TRUE(To8(h, 0x201));
  ASSERT_TRUE(SavePng((dir / "s.png").native(), h, false));
  Free(h);
  PngRead r = ReadWithLibpng(dir / "s.png");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.colourType, 3);
  EXPECT_EQ(test::FirstDifference(r.img, shot, false), -1);
  EXPECT_EQ(Identify(dir / "s.png", "%k"), std::to_string(r.paletteSize));
}

struct GifCase {
  const char* name;
  Image (*make)();
  uint32_t flags;
  uint32_t transparent;
  int transparentIndex;  // expected, -1 none
};

Image TwoColours() { return FewColours(20, 20, 2); }  // colours 0 = (0,255,0) and 1 = (5,244,37)

const GifCase kGifCases[] = {
    {"8 bits", [] { return testing::Pattern(64, 50, 8); }, 0x80000, 0, -1},
    {"8 bits interlaced", [] { return testing::Pattern(64, 50, 8); }, 0x80080, 0, -1},
    {"screenshot", [] { return testing::Screenshot(500, 300); }, 0x80000, 0, -1},
    {"screenshot interlaced", [] { return testing::Screenshot(500, 300); }, 0x80080, 0, -1},
    {"transparent colour present", TwoColours, 0x80008, 0x25f405, 1},
    {"transparent colour present, interlaced", TwoColours, 0x80088, 0x00ff00, 0},
    {"transparent colour absent", TwoColours, 0x80008, 0xffffff, -1},
    {"1 x 1", [] { return FewColours(1, 1, 1); }, 0x80000, 0, -1},
    {"7 rows interlaced", [] { return FewColours(9, 7, 5); }, 0x80080, 0, -1},
    // Noise defeats the dictionary: many table resets at 12-bit codes.
    {"photo, reduced", [] { return testing::Photo(400, 300); }, 0x80000, 0, -1},
};

TEST(GifWriter, GiflibReadsBackThePixelsAndOptions) {
  TempFolder dir;
  for (const GifCase& c : kGifCases) {
    SCOPED_TRACE(c.name);
    Image src = c.make();
    Image expected;
    ASSERT_TRUE(QuantizeTo8(src, true, true, expected));
    Image* h = Adopt(Image(src));
    GifRecord rec{c.flags, c.transparent, 0, 0, 0, 8, 0};
    auto file = dir / "out.gif";
    ASSERT_TRUE(SaveGif(file.native(), h, &rec));
    Free(h);
    GifRead r = ReadWithGiflib(file);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.interlaced, (c.flags & 0x80) != 0);
    EXPECT_EQ(r.transparent, c.transparentIndex);
    EXPECT_EQ(test::FirstDifference(r.img, expected, false), -1);
    if (src.bpp == 8 || c.flags == 0x80000) {
      EXPECT_EQ(Identify(file, "%[interlace]"), (c.flags & 0x80) ? "GIF" : "None");
    }
  }
}

TEST(GifWriter, RefusesDeepImagesWithoutTheReduceFlag) {
  TempFolder dir;
  Image* h = Adopt(testing::Pattern(10, 10, 24));
  GifRecord rec{0, 0, 0, 0, 0, 8, 0};
  EXPECT_FALSE(SaveGif((dir / "x.gif").native(), h, &rec));
  EXPECT_FALSE(SaveGif((dir / "x.gif").native(), h, nullptr));
  EXPECT_EQ(dir.FileCount(), 0u);
  Free(h);
}

TEST(GifWriter, ColourPairPaintsTheTransparentColourWithTheBackground) {
  // Transparent and background both chosen: the pair step runs and no transparency is written.
  TempFolder dir;
  Image* h = Adopt(TwoColours());
  uint32_t pair[2] = {0x00ff00, 0x0000ff};
  EXPECT_EQ(ReplacePairs(h, pair, 1), 200);
  GifRecord rec{0x80000, 0, 0, 0, 0, 8, 0};
  ASSERT_TRUE(SaveGif((dir / "p.gif").native(), h, &rec));
  Free(h);
  GifRead r = ReadWithGiflib(dir / "p.gif");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.transparent, -1);
  EXPECT_TRUE(At(r.img, 0, 0) == (Bgra{0, 0, 255, 255}));
}

TEST(BmpWriter, EveryDepthReadsBackAndScreenCopiesAreOpaque) {
  TempFolder dir;
  struct Case {
    int bpp;
    Image (*make)();
  } cases[] = {{32, [] { return ZeroAlphaPattern(61, 47); }},
               {24, [] { return testing::Pattern(61, 47, 24); }},
               {16, [] { return testing::Pattern(61, 47, 16); }},
               {8, [] { return testing::Pattern(61, 47, 8); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bpp);
    Image src = c.make();
    Image* h = Adopt(Image(src));
    auto file = dir / "out.bmp";
    ASSERT_TRUE(SaveBmp(file.native(), h));
    Free(h);
    std::vector<uint8_t> bytes = test::ReadBytes(file);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[28], c.bpp);
    EXPECT_EQ(Identify(file, "%wx%h"), "61x47");
    Image* back = LoadFile(file.native());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(test::FirstDifference(*back, src, false), -1);
    if (c.bpp == 32) {
      uint32_t offset = bytes[10] | bytes[11] << 8;
      for (size_t i = offset + 3; i < bytes.size(); i += 4) ASSERT_EQ(bytes[i], 255) << i;
    }
    Free(back);
  }
}

}  // namespace
}  // namespace imgctl
