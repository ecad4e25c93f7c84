// Saving and loading through files: a failed write never harms the file already there, names
// may hold any Unicode character, broken or huge files are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "CodecTestUtil.h"
#include "Decode.h"
#include "Library.h"
#include "SyntheticImages.h"

namespace imgctl {
namespace {

using test::TempFolder;

std::filesystem::path U8(const char8_t* s) { return std::filesystem::path(s); }

TEST(SaveFiles, FailedWriteKeepsThePreviousFile) {
  TempFolder dir;
  auto file = dir / "capture.gif";
  test::WriteBytes(file, {'o', 'l', 'd'});
  Image* deep = Adopt(testing::Pattern(30, 20, 24));
  GifRecord refuse{0, 0, 0, 0, 0, 8, 0};  // no reduce flag: the encoder refuses a 24-bit image
  EXPECT_FALSE(SaveGif(file.native(), deep, &refuse));
  EXPECT_EQ(test::ReadBytes(file), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(dir.FileCount(), 1u) << "no temporary file may stay behind";

  // A successful write replaces it.
  ASSERT_TRUE(SaveBmp(file.native(), deep));
  EXPECT_GT(test::ReadBytes(file).size(), 30u * 20u * 3u);
  EXPECT_EQ(dir.FileCount(), 1u);
  Free(deep);
}

TEST(SaveFiles, ImpossibleTargetsFailCleanly) {
  TempFolder dir;
  Image* img = Adopt(testing::Pattern(8, 8, 32));
  std::filesystem::create_directory(dir / "folder");
  EXPECT_FALSE(SavePng((dir / "folder").native(), img, false));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
  EXPECT_FALSE(SavePng((dir / "missing" / "x.png").native(), img, false));
  EXPECT_FALSE(SavePng(NativePath(), img, false));
  EXPECT_FALSE(SaveBmp((dir / "x.bmp").native(), nullptr));
  EXPECT_EQ(dir.FileCount(), 1u);
  Free(img);
}

TEST(SaveFiles, UnicodeNamesWork) {
  TempFolder dir;
  auto folder = dir / U8(u8"スクリーンショット 📷 Ωmega");
  std::filesystem::create_directory(folder);
  auto file = folder / U8(u8"画像 ☃.png");
  Image* img = Adopt(testing::Pattern(16, 9, 24));
  ASSERT_TRUE(SavePng(file.native(), img, false));
  Image* back = LoadFile(file.native());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(test::FirstDifference(*back, *img, false), -1);
  Free(back);
  Free(img);
}

TEST(LoadFiles, BrokenFilesAreRefused) {
  TempFolder dir;
  Image* src = Adopt(testing::Screenshot(64, 48));
  GifRecord rec{0x80000, 0, 0, 0, 0, 8, 0};
  ASSERT_TRUE(SavePng((dir / "a.png").native(), src, true));
  ASSERT_TRUE(SaveGif((dir / "a.gif").native(), src, &rec));
  ASSERT_TRUE(SaveBmp((dir / "a.bmp").native(), src));
  Free(src);
  for (const char* name : {"a.png", "a.gif", "a.bmp"}) {
    std::vector<uint8_t> bytes = test::ReadBytes(dir / name);
    // Every prefix either loads (some decoders fill missing rows) or is refused; none may crash.
    for (size_t n : {size_t{0}, size_t{1}, size_t{8}, size_t{20}, size_t{60}, bytes.size() / 2, bytes.size() - 1}) {
      Image* h = LoadMemory(bytes.data(), n);
      if (n < 20) {
        EXPECT_EQ(h, nullptr) << name << " " << n;
      }
      Free(h);
    }
  }
  const uint8_t text[] = "just some text, not an image";
  EXPECT_EQ(LoadMemory(text, sizeof text), nullptr);
  EXPECT_EQ(LoadFile((dir / "none.png").native()), nullptr);
  EXPECT_EQ(LoadFile(dir.path().native()), nullptr);
}

// Headers that claim a size beyond the limit are refused before pixels are allocated.
TEST(LoadFiles, OversizedImagesAreRefused) {
  auto le32 = [](std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
  };
  auto be32 = [](std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (24 - 8 * i));
  };
  struct Case {
    int w, h;
  } cases[] = {{10000, 10000}, {70000, 1}, {1, 70000}, {8193, 4096}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    EXPECT_FALSE(SizeAllowed(c.w, c.h));
    // An 8-bit BMP header without its pixels.
    std::vector<uint8_t> bmp(54 + 1024, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    le32(bmp, 10, 54 + 1024);
    le32(bmp, 14, 40);
    le32(bmp, 18, static_cast<uint32_t>(c.w));
    le32(bmp, 22, static_cast<uint32_t>(c.h));
    bmp[26] = 1, bmp[28] = 8;
    Image img;
    EXPECT_FALSE(Decode(bmp.data(), bmp.size(), img));
    // A PNG signature and IHDR (CRC not even checked that far).
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                0, 0, 0, 0, 0, 0, 0, 0, 8, 2, 0, 0, 0, 0, 0, 0, 0};
    be32(png, 16, static_cast<uint32_t>(c.w));
    be32(png, 20, static_cast<uint32_t>(c.h));
    EXPECT_FALSE(Decode(png.data(), png.size(), img));
  }
  EXPECT_TRUE(SizeAllowed(7680, 4320));  // an 8K screen
  EXPECT_TRUE(SizeAllowed(8192, 4096));
}

}  // namespace
}  // namespace imgctl

namespace imgctl {
namespace {

// Inputs the fuzz targets found, each once a fault (the sanitizers of the native build watch them
// now). Broken ones are refused; "png-empty-idat" is a valid file shape and may load.
TEST(LoadFiles, FuzzRegressions) {
  const std::filesystem::path dir = std::filesystem::path(PELMO_SOURCE_DIR) / "tests" / "imgctl" / "regressions";
  size_t seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::vector<uint8_t> bytes = test::ReadBytes(entry.path());
    ASSERT_FALSE(bytes.empty()) << entry.path();
    Image* h = LoadMemory(bytes.data(), bytes.size());
    if (entry.path().filename().string().rfind("png-", 0) != 0) {
      EXPECT_EQ(h, nullptr) << entry.path();
    }
    Free(h);
    ++seen;
  }
  EXPECT_GE(seen, 5u);
}

}  // namespace
}  // namespace imgctl

namespace imgctl {
namespace {

TEST(SaveFiles, JpegFromOurEncoderLoadsBack) {
  if (!HaveJpegEncoder()) GTEST_SKIP() << "built without the JPEG encoder";
  TempFolder dir;
  Image* src = Adopt(testing::Photo(96, 64));
  for (bool progressive : {false, true}) {
    auto file = dir / "a.jpg";
    ASSERT_TRUE(SaveJpeg(file.native(), src, 90, progressive));
    Image* back = LoadFile(file.native());
    ASSERT_NE(back, nullptr) << progressive;
    double err = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 96; ++x) {
        Bgra a = test::At(*src, x, y), b = test::At(*back, x, y);
        err += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
      }
    EXPECT_LT(err / (3.0 * 96 * 64), 6.0) << progressive;
    Free(back);
  }
  Free(src);
}

}  // namespace
}  // namespace imgctl

namespace imgctl {
namespace {

TEST(LoadFiles, EmptyIdatChunksAreSkipped) {
  TempFolder dir;
  Image* src = Adopt(testing::Pattern(20, 10, 24));
  ASSERT_TRUE(SavePng((dir / "a.png").native(), src, false));
  std::vector<uint8_t> png = test::ReadBytes(dir / "a.png");
  // An empty IDAT (with its CRC) right before the first real one.
  const uint8_t empty[] = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
  size_t at = 0;
  for (size_t i = 8; i + 8 <= png.size(); ++i)
    if (std::memcmp(&png[i + 4], "IDAT", 4) == 0) {
      at = i;
      break;
    }
  ASSERT_GT(at, 0u);
  png.insert(png.begin() + static_cast<std::ptrdiff_t>(at), empty, empty + sizeof empty);
  Image* back = LoadMemory(png.data(), png.size());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(test::FirstDifference(*back, *src, false), -1);
  Free(back);
  Free(src);
}

}  // namespace
}  // namespace imgctl
