// Loading files that other encoders wrote: JPEG from cjpeg (baseline and progressive, compared
// with djpeg's pixels), PNG of every colour type from libpng, GIF frames from giflib.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "CodecTestUtil.h"
#include "Library.h"
#include "SyntheticImages.h"

namespace imgctl {
namespace {

using test::At;
using test::TempFolder;

// The test pattern as 8-bit RGB values: value(x, y, channel).
uint8_t Value(int x, int y, int c) { return static_cast<uint8_t>(c == 0 ? x * 9 + y : c == 1 ? y * 7 + x / 2 : (x ^ y) * 5); }

void WritePpm(const std::filesystem::path& p, int w, int h) {
  std::ofstream f(p, std::ios::binary);
  f << "P6\n" << w << " " << h << "\n255\n";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) f.put(static_cast<char>(Value(x, y, c)));
}

// Pixels of a PPM (P6) or PGM (P5) file as R, G, B bytes.
std::vector<uint8_t> ReadPpm(const std::filesystem::path& p, int& w, int& h) {
  std::ifstream f(p, std::ios::binary);
  std::string magic;
  int maxv = 0;
  f >> magic >> w >> h >> maxv;
  f.get();
  size_t channels = magic == "P5" ? 1 : 3;
  std::vector<uint8_t> raw(static_cast<size_t>(w) * h * channels);
  f.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
  if (channels == 3) return raw;
  std::vector<uint8_t> px;
  for (uint8_t v : raw) px.insert(px.end(), {v, v, v});
  return px;
}

TEST(Decoder, JpegBaselineAndProgressiveMatchDjpeg) {
  TempFolder dir;
  WritePpm(dir / "in.ppm", 67, 45);
  for (const char* options : {"", "-progressive", "-sample 1x1", "-progressive -sample 1x1", "-grayscale"}) {
    SCOPED_TRACE(options);
    std::string jpg = (dir / "a.jpg").string(), ppm = (dir / "ref.ppm").string();
    ASSERT_EQ(std::system(("cjpeg -quality 92 " + std::string(options) + " -outfile '" + jpg + "' '" +
                           (dir / "in.ppm").string() + "'").c_str()), 0);
    // libjpeg's decoder is the reference.
    ASSERT_EQ(std::system(("djpeg -pnm -outfile '" + ppm + "' '" + jpg + "'").c_str()), 0);
    int w = 0, h = 0;
    std::vector<uint8_t> ref = ReadPpm(ppm, w, h);
    Image* img = LoadFile(jpg);
    ASSERT_NE(img, nullptr);
    ASSERT_EQ(img->width, 67);
    ASSERT_EQ(img->height, 45);
    EXPECT_FALSE(img->hasAlpha);
    // Both decoders follow the standard: IDCT and upsampling differ by small rounding only.
    double sum = 0;
    int worst = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        Bgra p = At(*img, x, y);
        const uint8_t* q = &ref[(static_cast<size_t>(y) * w + x) * 3];
        int d[3] = {std::abs(p.r - q[0]), std::abs(p.g - q[1]), std::abs(p.b - q[2])};
        for (int k : d) {
          sum += k;
          worst = std::max(worst, k);
        }
      }
    EXPECT_LT(sum / (3.0 * w * h), 1.5);
    EXPECT_LE(worst, 40);
    Free(img);
  }
}

// A PNG written by libpng from the pattern in the given form.
void WritePng(const std::filesystem::path& p, int w, int h, int colourType, int depth, bool interlace) {
  FILE* f = fopen(p.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth, colourType,
               interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_color pal[16];
    png_byte alpha[16];
    for (int i = 0; i < 16; ++i) {
      pal[i] = {static_cast<png_byte>(i * 16), static_cast<png_byte>(255 - i * 8), static_cast<png_byte>(i * 3)};
      alpha[i] = static_cast<png_byte>(i == 0 ? 0 : 255);
    }
    png_set_PLTE(png, info, pal, 16);
    png_set_tRNS(png, info, alpha, 16, nullptr);
  }
  png_write_info(png, info);
  int channels = colourType == PNG_COLOR_TYPE_RGB ? 3 : colourType == PNG_COLOR_TYPE_RGBA ? 4
               : colourType == PNG_COLOR_TYPE_GA ? 2 : 1;
  std::vector<std::vector<png_byte>> rows(static_cast<size_t>(h));
  std::vector<png_bytep> ptrs;
  for (int y = 0; y < h; ++y) {
    auto& r = rows[static_cast<size_t>(y)];
    r.assign(static_cast<size_t>(w) * channels * 2 + 1, 0);
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < channels; ++c) {
        int v = colourType == PNG_COLOR_TYPE_PALETTE ? (x + y) % 16
              : (channels >= 3 || c == 0) ? Value(x, y, c % 3) : 200;  // gray+alpha: alpha 200
        if (c == 3) v = 128;
        if (depth == 16) {
          r[(static_cast<size_t>(x) * channels + c) * 2] = static_cast<png_byte>(v);
          r[(static_cast<size_t>(x) * channels + c) * 2 + 1] = static_cast<png_byte>(v);  // v * 257
        } else if (depth == 8) {
          r[static_cast<size_t>(x) * channels + c] = static_cast<png_byte>(v);
        } else {  // packed gray or palette
          int per = 8 / depth, mask = (1 << depth) - 1;
          int s = colourType == PNG_COLOR_TYPE_PALETTE ? v & mask : v >> (8 - depth);
          r[static_cast<size_t>(x / per)] |= static_cast<png_byte>(s << (8 - depth * (x % per + 1)));
        }
      }
    ptrs.push_back(r.data());
  }
  png_write_image(png, ptrs.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  fclose(f);
}

TEST(Decoder, PngOfEveryColourType) {
  TempFolder dir;
  struct Case {
    const char* name;
    int type, depth;
  } cases[] = {{"gray 1", PNG_COLOR_TYPE_GRAY, 1},   {"gray 4", PNG_COLOR_TYPE_GRAY, 4},
               {"gray 8", PNG_COLOR_TYPE_GRAY, 8},   {"gray 16", PNG_COLOR_TYPE_GRAY, 16},
               {"gray+alpha 8", PNG_COLOR_TYPE_GA, 8}, {"gray+alpha 16", PNG_COLOR_TYPE_GA, 16},
               {"rgb 8", PNG_COLOR_TYPE_RGB, 8},     {"rgb 16", PNG_COLOR_TYPE_RGB, 16},
               {"rgba 8", PNG_COLOR_TYPE_RGBA, 8},   {"rgba 16", PNG_COLOR_TYPE_RGBA, 16},
               {"palette 4 + tRNS", PNG_COLOR_TYPE_PALETTE, 4}, {"palette 8 + tRNS", PNG_COLOR_TYPE_PALETTE, 8}};
  const int w = 37, h = 23;
  for (const Case& c : cases) {
    for (bool interlace : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (interlace ? " interlaced" : ""));
      auto file = dir / "t.png";
      WritePng(file, w, h, c.type, c.depth, interlace);
      Image* img = LoadFile(file.native());
      ASSERT_NE(img, nullptr);
      ASSERT_EQ(img->width, w);
      ASSERT_EQ(img->height, h);
      bool alpha = c.type == PNG_COLOR_TYPE_GA || c.type == PNG_COLOR_TYPE_RGBA || c.type == PNG_COLOR_TYPE_PALETTE;
      EXPECT_EQ(img->hasAlpha, alpha);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          Bgra p = At(*img, x, y);
          if (c.type == PNG_COLOR_TYPE_PALETTE) {
            int i = (x + y) % 16;
            ASSERT_EQ(p.r, i * 16);
            ASSERT_EQ(p.a, i == 0 ? 0 : 255);
          } else if (c.type == PNG_COLOR_TYPE_GRAY || c.type == PNG_COLOR_TYPE_GA) {
            int v = Value(x, y, 0);
            if (c.depth < 8) {
              int s = v >> (8 - c.depth), max = (1 << c.depth) - 1;
              v = s * 255 / max;
            }
            ASSERT_EQ(p.r, v) << x << "," << y;
            ASSERT_EQ(p.b, v);
            if (c.type == PNG_COLOR_TYPE_GA) {
              ASSERT_EQ(p.a, 200);
            }
          } else {
            ASSERT_EQ(p.r, Value(x, y, 0)) << x << "," << y;
            ASSERT_EQ(p.g, Value(x, y, 1));
            ASSERT_EQ(p.b, Value(x, y, 2));
            ASSERT_EQ(p.a, c.type == PNG_COLOR_TYPE_RGBA ? 128 : 255);
          }
        }
      Free(img);
    }
  }
}

TEST(Decoder, GifLoadsTheFirstFrame) {
  TempFolder dir;
  auto file = dir / "anim.gif";
  int err = 0;
  GifFileType* gif = EGifOpenFileName(file.c_str(), false, &err);
  ASSERT_NE(gif, nullptr);
  GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif, true);
  ASSERT_EQ(EGifPutScreenDesc(gif, 16, 8, 2, 0, map), GIF_OK);
  GifByteType line[16];
  for (int frame = 0; frame < 2; ++frame) {
    ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 16, 8, frame == 0, nullptr), GIF_OK);  // first frame interlaced
    if (frame == 0) {
      // Interlaced rows go out in pass order: 0; 4; 2, 6; 1, 3, 5, 7.
      for (int y : {0, 4, 2, 6, 1, 3, 5, 7}) {
        for (int x = 0; x < 16; ++x) line[x] = static_cast<GifByteType>(y % 3);
        ASSERT_EQ(EGifPutLine(gif, line, 16), GIF_OK);
      }
    } else {
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) line[x] = 3;
        ASSERT_EQ(EGifPutLine(gif, line, 16), GIF_OK);
      }
    }
  }
  ASSERT_EQ(EGifCloseFile(gif, &err), GIF_OK);
  GifFreeMapObject(map);

  Image* img = LoadFile(file.native());
  ASSERT_NE(img, nullptr);
  ASSERT_EQ(img->width, 16);
  for (int y = 0; y < 8; ++y) {
    Bgra p = At(*img, 5, y);
    EXPECT_EQ(p.r, y % 3 == 0 ? 255 : 0) << y;
    EXPECT_EQ(p.g, y % 3 == 1 ? 255 : 0) << y;
    EXPECT_EQ(p.b, y % 3 == 2 ? 255 : 0) << y;
  }
  Free(img);
}

}  // namespace
}  // namespace imgctl
