// The PNG row decoder: libpng's files with each filter forced, at widths where the first pixel,
// the last and the loads past the row's end matter; and the files it must leave to the general
// decoder, which then decides as before.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "Decode.h"
#include "PngDecode.h"

namespace imgctl {
namespace {

struct Pixels {
  int width = 0, height = 0, channels = 3;
  std::vector<uint8_t> rgba;  // R, G, B(, A) rows as written
};

// Content that makes every Paeth choice and carries across bytes: noise, runs and gradients.
Pixels MakePixels(int width, int height, int channels, unsigned seed) {
  Pixels p{width, height, channels, {}};
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) {
        int v;
        switch ((x / 5 + y) % 3) {
          case 0: v = static_cast<int>(random() & 0xFF); break;
          case 1: v = (x * 37 + y * 11 + c * 90) & 0xFF; break;
          default: v = c == 3 ? 255 : 250 - y; break;
        }
        p.rgba.push_back(static_cast<uint8_t>(v));
      }
    }
  }
  return p;
}

void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

std::vector<uint8_t> WritePng(const Pixels& p, int filters, bool withTrns = false) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), 8,
               p.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, 0, filters);
  if (withTrns) {
    png_color_16 colour{};
    colour.red = p.rgba[0];
    colour.green = p.rgba[1];
    colour.blue = p.rgba[2];
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
  png_write_info(png, info);
  for (int y = 0; y < p.height; ++y) {
    png_write_row(png, const_cast<png_bytep>(p.rgba.data() + static_cast<size_t>(y) * p.width * p.channels));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void ExpectPixels(const Image& img, const Pixels& p) {
  ASSERT_EQ(img.width, p.width);
  ASSERT_EQ(img.height, p.height);
  ASSERT_EQ(img.bpp, 32);
  bool anyAlpha = false;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const uint8_t* want = p.rgba.data() + (static_cast<size_t>(y) * p.width + x) * p.channels;
      const uint8_t* got = img.Row(y) + 4 * static_cast<size_t>(x);
      const uint8_t alpha = p.channels == 4 ? want[3] : 255;
      anyAlpha |= alpha != 255;
      ASSERT_EQ(got[2], want[0]) << x << "," << y;
      ASSERT_EQ(got[1], want[1]) << x << "," << y;
      ASSERT_EQ(got[0], want[2]) << x << "," << y;
      ASSERT_EQ(got[3], alpha) << x << "," << y;
    }
  }
  EXPECT_EQ(img.hasAlpha, anyAlpha);
}

TEST(PngRows, EveryFilterAtEveryEdgeWidth) {
  const struct {
    const char* name;
    int flags;
  } filters[] = {{"none", PNG_FILTER_NONE}, {"sub", PNG_FILTER_SUB},   {"up", PNG_FILTER_UP},
                 {"avg", PNG_FILTER_AVG},   {"paeth", PNG_FILTER_PAETH}, {"adaptive", PNG_ALL_FILTERS}};
  for (int channels : {3, 4}) {
    for (int width : {1, 2, 3, 5, 64, 301}) {
      for (const auto& f : filters) {
        SCOPED_TRACE(std::string(f.name) + " width " + std::to_string(width) + " channels " + std::to_string(channels));
        const Pixels p = MakePixels(width, 7, channels, static_cast<unsigned>(width * 10 + channels));
        const std::vector<uint8_t> file = WritePng(p, f.flags);
        Image img;
        ASSERT_TRUE(DecodePngRows(file.data(), file.size(), img));
        ExpectPixels(img, p);
        // The general decoder agrees on the same bytes.
        Image general;
        ASSERT_TRUE(Decode(file.data(), file.size(), general));
        ExpectPixels(general, p);
      }
    }
  }
}

// The file's single IDAT chunk inflated, changed and deflated again (chunk length and CRC anew).
std::vector<uint8_t> RewriteIdat(const std::vector<uint8_t>& file, const std::function<void(std::vector<uint8_t>&)>& change,
                                 bool breakChecksum = false) {
  auto be32 = [&](size_t at) {
    return (uint32_t{file[at]} << 24) | (uint32_t{file[at + 1]} << 16) | (uint32_t{file[at + 2]} << 8) | file[at + 3];
  };
  size_t at = 8;
  while (std::memcmp(&file[at + 4], "IDAT", 4) != 0) at += 12 + be32(at);
  const uint32_t len = be32(at);
  std::vector<uint8_t> raw(1 << 20);
  uLongf rawSize = static_cast<uLongf>(raw.size());
  EXPECT_EQ(uncompress(raw.data(), &rawSize, &file[at + 8], len), Z_OK);
  raw.resize(rawSize);
  change(raw);
  std::vector<uint8_t> packed(compressBound(static_cast<uLong>(raw.size())));
  uLongf packedSize = static_cast<uLongf>(packed.size());
  EXPECT_EQ(compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
  packed.resize(packedSize);
  if (breakChecksum) packed.back() ^= 0x5A;
  std::vector<uint8_t> out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(at));
  const uint32_t n = static_cast<uint32_t>(packed.size());
  std::vector<uint8_t> chunk = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                                static_cast<uint8_t>(n), 'I', 'D', 'A', 'T'};
  chunk.insert(chunk.end(), packed.begin(), packed.end());
  const uint32_t crc = static_cast<uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
  for (int s = 24; s >= 0; s -= 8) chunk.push_back(static_cast<uint8_t>(crc >> s));
  out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 12 + len), file.end());
  return out;
}

// Files the row decoder refuses: the general decoder then loads or refuses them as it always has.
TEST(PngRows, LeavesWhatItDoesNotTakeToTheGeneralDecoder) {
  const Pixels rgb = MakePixels(23, 9, 3, 7);
  const std::vector<uint8_t> good = WritePng(rgb, PNG_FILTER_PAETH);
  const size_t rowBytes = 23 * 3 + 1;
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    bool generalLoads;
  };
  std::vector<Case> cases;
  cases.push_back({"unknown filter type", RewriteIdat(good, [](std::vector<uint8_t>& raw) { raw[rowBytes * 4] = 5; }), false});
  cases.push_back({"a row short", RewriteIdat(good, [](std::vector<uint8_t>& raw) { raw.resize(raw.size() - rowBytes); }), false});
  cases.push_back({"a byte short", RewriteIdat(good, [](std::vector<uint8_t>& raw) { raw.pop_back(); }), false});
  cases.push_back({"data past the last row", RewriteIdat(good, [](std::vector<uint8_t>& raw) { raw.push_back(0); }), true});
  cases.push_back({"transparent colour", WritePng(rgb, PNG_FILTER_PAETH, true), true});
  std::vector<uint8_t> noEnd = good;
  noEnd.resize(noEnd.size() - 12);
  cases.push_back({"no IEND", noEnd, false});
  std::vector<uint8_t> cut = good;
  cut.resize(cut.size() / 2);
  cases.push_back({"cut in the IDAT chunk", cut, false});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image img;
    EXPECT_FALSE(DecodePngRows(c.file.data(), c.file.size(), img));
    EXPECT_EQ(img.width, 0);
    Image general;
    EXPECT_EQ(Decode(c.file.data(), c.file.size(), general), c.generalLoads);
  }
  // Taken: the same bytes through the rewriting, and a stream whose checksum is wrong, which the
  // general decoder has always loaded (neither checks it).
  for (bool breakChecksum : {false, true}) {
    SCOPED_TRACE(breakChecksum ? "bad zlib checksum" : "rewritten");
    const std::vector<uint8_t> file = RewriteIdat(good, [](std::vector<uint8_t>&) {}, breakChecksum);
    Image img;
    ASSERT_TRUE(DecodePngRows(file.data(), file.size(), img));
    ExpectPixels(img, rgb);
  }
}

}  // namespace
}  // namespace imgctl
