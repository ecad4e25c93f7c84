// Reading BMP files against ImageMagick's reader: RLE8 files ImageMagick wrote, an RLE4 file
// built here byte by byte (runs, literal runs with padding, a move, end of line and of bitmap),
// top-down rows, bit fields, alpha and the small palette depths; broken and cut files are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "CodecTestUtil.h"
#include "Decode.h"
#include "Library.h"

namespace imgctl {
namespace {

using test::At;
using test::TempFolder;

struct Rgba {
  int w = 0, h = 0;
  std::vector<uint8_t> px;  // R, G, B, A
};

void Magick(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

// ImageMagick's reading of a file, as 8-bit RGBA.
Rgba MagickDecode(const std::filesystem::path& file, const TempFolder& dir) {
  Rgba out;
  const std::string raw = (dir / "magick.rgba").string();
  const std::string size = (dir / "magick.size").string();
  if (std::system(("convert '" + file.string() + "' -depth 8 'rgba:" + raw + "' && identify -format '%w %h' '" +
                   file.string() + "' > '" + size + "'").c_str()) != 0)
    return out;
  std::ifstream(size) >> out.w >> out.h;
  out.px = test::ReadBytes(raw);
  return out;
}

// Index of the first pixel where our decoding and ImageMagick's differ (alpha compared when
// `alpha`), -1 when none, -2 for a size difference.
long Compare(const Image& img, const Rgba& ref, bool alpha) {
  if (img.width != ref.w || img.height != ref.h || ref.px.size() != size_t(ref.w) * ref.h * 4) return -2;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const Bgra p = At(img, x, y);
      const uint8_t* q = &ref.px[(size_t(y) * ref.w + x) * 4];
      if (p.r != q[0] || p.g != q[1] || p.b != q[2] || (alpha && p.a != q[3])) return long(y) * img.width + x;
    }
  return -1;
}

// A picture with long runs and busy stretches, in at most `colours` colours.
void WritePattern(const std::filesystem::path& p, int w, int h, int colours) {
  std::ofstream f(p, std::ios::binary);
  f << "P6\n" << w << " " << h << "\n255\n";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int band = x < w / 3 ? x + y / 2 : x < 2 * w / 3 ? (x * 7 + y * 13) % 11 : (x / 6 + y) % 5;
      const int c = band % colours;
      f.put(static_cast<char>(c * 37)).put(static_cast<char>(255 - c * 19)).put(static_cast<char>((c * 91) & 255));
    }
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool DecodeBytes(const std::vector<uint8_t>& bytes, Image& img) { return Decode(bytes.data(), bytes.size(), img); }

TEST(BmpDecode, FilesImageMagickWroteMatchItsReading) {
  TempFolder dir;
  WritePattern(dir / "in.ppm", 61, 37, 40);
  struct Case {
    const char* what;
    const char* options;
    uint16_t bpp;
    uint32_t compression;
    bool alpha;
  } cases[] = {
      {"RLE8", "-type Palette -compress RLE BMP3:", 8, 1, false},
      {"8-bit", "-type Palette -compress None BMP3:", 8, 0, false},
      {"4-bit", "-colors 14 -type Palette -compress None BMP3:", 4, 0, false},
      {"1-bit", "-monochrome BMP3:", 1, 0, false},
      {"24-bit", "-type TrueColor BMP3:", 24, 0, false},
      {"RGB565 bit fields", "-define bmp:subtype=RGB565 BMP:", 16, 3, false},
      {"32-bit with alpha", "-alpha set -channel A -fx 'i/w' +channel -type TrueColorAlpha BMP:", 32, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir / "out.bmp";
    Magick("convert '" + (dir / "in.ppm").string() + "' " + c.options + "'" + file.string() + "'");
    const std::vector<uint8_t> bytes = test::ReadBytes(file);
    ASSERT_GT(bytes.size(), 54u);
    // The file really is of the kind the case is about.
    EXPECT_EQ(bytes[28], c.bpp);
    EXPECT_EQ(Le32(bytes, 30), c.compression);
    Image img;
    ASSERT_TRUE(DecodeBytes(bytes, img));
    EXPECT_EQ(Compare(img, MagickDecode(file, dir), c.alpha), -1);
    EXPECT_EQ(img.hasAlpha, c.alpha);
  }
}

// The same pixels stored top-down (negative height) read as the bottom-up original.
TEST(BmpDecode, TopDownRowsReadAsTheBottomUpOriginal) {
  TempFolder dir;
  WritePattern(dir / "in.ppm", 45, 29, 40);
  for (const char* options : {"-type TrueColor BMP3:", "-type Palette -compress None BMP3:",
                              "-colors 14 -type Palette -compress None BMP3:", "-define bmp:subtype=RGB565 BMP:"}) {
    SCOPED_TRACE(options);
    const auto file = dir / "up.bmp";
    Magick("convert '" + (dir / "in.ppm").string() + "' " + options + "'" + file.string() + "'");
    const std::vector<uint8_t> up = test::ReadBytes(file);
    const uint32_t offset = Le32(up, 10);
    const int w = static_cast<int>(Le32(up, 18)), h = static_cast<int>(Le32(up, 22));
    const size_t stride = (size_t(w) * up[28] + 31) / 32 * 4;
    ASSERT_GE(up.size(), offset + stride * h);
    std::vector<uint8_t> down(up.begin(), up.begin() + offset);
    for (int r = h - 1; r >= 0; --r) down.insert(down.end(), up.begin() + offset + stride * r, up.begin() + offset + stride * (r + 1));
    PutLe32(down, 22, static_cast<uint32_t>(-h));
    test::WriteBytes(dir / "down.bmp", down);

    Image fromUp, fromDown;
    ASSERT_TRUE(DecodeBytes(up, fromUp));
    ASSERT_TRUE(DecodeBytes(down, fromDown));
    EXPECT_EQ(fromDown.width, w);
    EXPECT_EQ(fromDown.height, h);
    EXPECT_EQ(test::FirstDifference(fromDown, fromUp, true), -1);
    // ImageMagick reads the flipped file the same way.
    EXPECT_EQ(Compare(fromDown, MagickDecode(dir / "down.bmp", dir), false), -1);
    EXPECT_EQ(Compare(fromDown, MagickDecode(file, dir), false), -1);
  }
}

// A BMP file header and a 40-byte information header, then a palette of `colours` entries.
std::vector<uint8_t> BmpHead(int w, int h, int bpp, uint32_t compression, int colours) {
  std::vector<uint8_t> b(54 + 4 * colours, 0);
  b[0] = 'B', b[1] = 'M';
  PutLe32(b, 10, static_cast<uint32_t>(b.size()));
  PutLe32(b, 14, 40);
  PutLe32(b, 18, static_cast<uint32_t>(w));
  PutLe32(b, 22, static_cast<uint32_t>(h));
  b[26] = 1, b[28] = static_cast<uint8_t>(bpp);
  PutLe32(b, 30, compression);
  PutLe32(b, 46, static_cast<uint32_t>(colours));
  for (int i = 0; i < colours; ++i) {
    b[54 + 4 * i] = static_cast<uint8_t>(i * 16 + 3);       // blue
    b[54 + 4 * i + 1] = static_cast<uint8_t>(255 - i * 9);  // green
    b[54 + 4 * i + 2] = static_cast<uint8_t>(i * 40);       // red
  }
  return b;
}

std::vector<uint8_t> WithStream(std::vector<uint8_t> head, const std::vector<uint8_t>& stream) {
  head.insert(head.end(), stream.begin(), stream.end());
  PutLe32(head, 2, static_cast<uint32_t>(head.size()));
  PutLe32(head, 34, static_cast<uint32_t>(stream.size()));
  return head;
}

// Rows from the bottom; pixels the stream skips (the move, the early end) are left unwritten.
std::vector<uint8_t> Rle4Stream() {
  return {
      5, 0x12, 8, 0xa4,                    // row 0: runs of alternating indices 1,2 and 10,4 (13 pixels)
      0, 0,                                // end of line
      0, 5, 0x12, 0x34, 0x50, 0,           // row 1: literal run of 5 indices, 3 bytes padded to 4
      0, 2, 3, 1,                          // move 3 right and 1 up: row 2 from x = 8
      5, 0xef,                             // row 2, x 8..12
      0, 0,                                // end of line
      13, 0x77,                            // row 3: one index
      0, 0,                                // end of line
      0, 13, 0x9a, 0xbc, 0xde, 0xf0, 0x12, 0x34, 0x50, 0,  // row 4: literal run of 13, 7 bytes padded to 8
      0, 0,                                // end of line
      13, 0x9a,                            // row 5, then the end of the bitmap
      0, 1,
  };
}

std::vector<uint8_t> Rle8Stream() {
  return {
      4, 7, 0, 3, 1, 2, 3, 0,  // row 0: a run of 4, a literal run of 3 padded to 4 bytes
      0, 0,                    // end of line
      0, 2, 2, 1,              // move 2 right and 1 up: row 1 stays unwritten, row 2 from x = 2
      5, 9,                    // row 2, x 2..6
      0, 0,
      7, 15,                   // row 3
      0, 1,
  };
}

TEST(BmpDecode, HandMadeRleStreamsMatchImageMagick) {
  TempFolder dir;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"RLE4", WithStream(BmpHead(13, 6, 4, 2, 16), Rle4Stream())},
      {"RLE8", WithStream(BmpHead(7, 4, 8, 1, 16), Rle8Stream())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir / "rle.bmp";
    test::WriteBytes(file, c.bytes);
    Image img;
    ASSERT_TRUE(DecodeBytes(c.bytes, img));
    EXPECT_EQ(Compare(img, MagickDecode(file, dir), false), -1);
  }
  // Spot checks of the RLE4 picture (coded rows count from the bottom).
  Image img;
  ASSERT_TRUE(DecodeBytes(cases[0].bytes, img));
  auto red = [&](int x, int codedRow) { return At(img, x, 5 - codedRow).r; };
  auto paletteRed = [](int index) { return static_cast<uint8_t>(index * 40); };
  EXPECT_EQ(red(0, 5), paletteRed(9));
  EXPECT_EQ(red(1, 5), paletteRed(10));
  EXPECT_EQ(red(2, 5), paletteRed(9));
  EXPECT_EQ(red(4, 1), paletteRed(5));  // the literal run's last index
  EXPECT_EQ(red(5, 1), paletteRed(0));  // skipped by the move
  EXPECT_EQ(red(8, 2), paletteRed(14));
}

// Streams that break the format are refused, whole, without reading or writing outside the file
// or the picture (the native build runs under AddressSanitizer).
TEST(BmpDecode, BrokenRleStreamsAreRefused) {
  struct Case {
    const char* what;
    int bpp;
    std::vector<uint8_t> stream;
    bool ok;
  } cases[] = {
      {"complete without an end-of-bitmap mark", 8, {4, 1, 0, 0, 4, 2, 0, 0}, true},
      {"an early end of the bitmap leaves the rest unwritten", 8, {4, 1, 0, 1}, true},
      {"a run longer than the row is cut", 8, {200, 1, 0, 0, 4, 2, 0, 1}, true},
      {"a literal run longer than the row is cut", 8, {0, 6, 1, 2, 3, 4, 5, 6, 0, 0, 4, 2, 0, 1}, true},
      {"ends after the first row", 8, {4, 1, 0, 0}, false},
      {"ends inside a literal run", 8, {0, 9, 1, 2, 3}, false},
      {"ends inside a move", 8, {0, 2, 1}, false},
      {"moves past the right edge", 8, {0, 2, 5, 0, 0, 1}, false},
      {"moves past the top", 8, {0, 2, 0, 3, 0, 1}, false},
      {"a run above the last row", 8, {4, 1, 0, 0, 4, 2, 0, 0, 1, 3, 0, 1}, false},
      {"a literal run above the last row", 8, {0, 0, 0, 0, 0, 3, 1, 2, 3, 0}, false},
      {"too many line ends", 8, {0, 0, 0, 0, 0, 0, 0, 1}, false},
      {"empty stream", 8, {}, false},
      {"RLE4 literal run cut short", 4, {0, 7, 0x12, 0x34}, false},
      {"RLE4 moves past the right edge", 4, {0, 2, 9, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto bytes = WithStream(BmpHead(4, 2, c.bpp, c.bpp == 8 ? 1 : 2, 16), c.stream);
    Image img;
    EXPECT_EQ(DecodeBytes(bytes, img), c.ok);
  }
  // Coded rows run bottom-up only; a top-down RLE file is not a valid file.
  auto topDown = WithStream(BmpHead(4, 2, 8, 1, 16), {4, 1, 0, 0, 4, 2, 0, 1});
  PutLe32(topDown, 22, static_cast<uint32_t>(-2));
  Image img;
  EXPECT_FALSE(DecodeBytes(topDown, img));
}

// A file cut short is refused, as cut PNG and JPEG files are: it never decodes as a whole image.
TEST(BmpDecode, TruncatedFilesAreRefused) {
  TempFolder dir;
  WritePattern(dir / "in.ppm", 64, 48, 14);
  for (const char* options : {"-type TrueColor BMP3:", "-type Palette -compress None BMP3:",
                              "-type Palette -compress RLE BMP3:", "-define bmp:subtype=RGB565 BMP:"}) {
    SCOPED_TRACE(options);
    const auto file = dir / "whole.bmp";
    Magick("convert '" + (dir / "in.ppm").string() + "' " + options + "'" + file.string() + "'");
    const std::vector<uint8_t> whole = test::ReadBytes(file);
    Image img;
    ASSERT_TRUE(DecodeBytes(whole, img));
    const size_t offset = Le32(whole, 10);
    for (size_t size : {size_t{200}, size_t{40}, offset - 1, offset + 1, offset + (whole.size() - offset) / 2,
                        whole.size() - 5}) {
      SCOPED_TRACE(size);
      const std::vector<uint8_t> cut(whole.begin(), whole.begin() + size);
      EXPECT_FALSE(DecodeBytes(cut, img));
    }
  }
  // The same through the file loader.
  const std::vector<uint8_t> whole = test::ReadBytes(dir / "whole.bmp");
  test::WriteBytes(dir / "cut.bmp", std::vector<uint8_t>(whole.begin(), whole.begin() + 200));
  EXPECT_EQ(LoadFile((dir / "cut.bmp").native()), nullptr);
}

// Headers that lie about the layout: refused, never read past.
TEST(BmpDecode, ImpossibleHeadersAreRefused) {
  auto base = [] { return WithStream(BmpHead(4, 2, 8, 0, 4), std::vector<uint8_t>(8, 1)); };
  Image img;
  ASSERT_TRUE(DecodeBytes(base(), img));
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    int bytes;
  } cases[] = {
      {"pixel offset past the end", 10, 5000, 4},
      {"pixel offset inside the header", 10, 20, 4},
      {"header size past the end", 14, 4000, 4},
      {"unknown header size", 14, 44, 4},
      {"zero width", 18, 0, 4},
      {"negative width", 18, 0xfffffffcu, 4},
      {"zero height", 22, 0, 4},
      {"smallest height", 22, 0x80000000u, 4},
      {"two planes", 26, 2, 2},
      {"2 bits per pixel", 28, 2, 2},
      {"RLE4 with 8 bits", 30, 2, 4},
      {"unknown compression", 30, 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto bytes = base();
    for (int i = 0; i < c.bytes; ++i) bytes[c.at + i] = static_cast<uint8_t>(c.value >> (8 * i));
    EXPECT_FALSE(DecodeBytes(bytes, img));
  }
}

}  // namespace
}  // namespace imgctl
