// What the encoder writes, read back with a strict marker parser: arguments it refuses, the
// segments of baseline and progressive files, quantisation tables and frame geometry.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "JpegEncoder.h"
#include "jpeg_file_parser.h"
#include "test_images.h"

namespace {

using imgctl::jpeg::Encode;
using imgctl::jpeg::EncodeOptions;
using jpegtest::Image;
using jpegtest::ParsedFile;
using jpegtest::ParseJpeg;

constexpr uint8_t kSof0 = 0xC0, kSof2 = 0xC2, kDht = 0xC4, kSos = 0xDA, kDqt = 0xDB, kApp0 = 0xE0;

std::vector<uint8_t> EncodeImage(const Image& image, EncodeOptions options) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(Encode(image.pixels.data(), image.width, image.height, image.Stride(), image.bytesPerPixel,
                     options, out));
  return out;
}

EncodeOptions Options(int quality, bool progressive, bool subsample420) {
  EncodeOptions options;
  options.quality = quality;
  options.progressive = progressive;
  options.subsample420 = subsample420;
  return options;
}

ParsedFile Parse(const std::vector<uint8_t>& file) {
  ParsedFile parsed = ParseJpeg(file.data(), file.size());
  EXPECT_TRUE(parsed.ok) << parsed.error;
  return parsed;
}

int Word(const std::vector<uint8_t>& bytes, size_t at) { return (bytes[at] << 8) | bytes[at + 1]; }

TEST(JpegEncoderArguments, RefusesInvalidInputAndLeavesOutputAlone) {
  const std::vector<uint8_t> pixels(16 * 16 * 4, 0x55);
  struct Case {
    const char* what;
    const uint8_t* pixels;
    int width, height;
    long stride;
    int bytesPerPixel;
  };
  const Case cases[] = {
      {"null pixels", nullptr, 4, 4, 16, 4},
      {"zero width", pixels.data(), 0, 4, 16, 4},
      {"zero height", pixels.data(), 4, 0, 16, 4},
      {"negative width", pixels.data(), -4, 4, 16, 4},
      {"negative height", pixels.data(), 4, -1, 16, 4},
      {"width over 65535", pixels.data(), 65536, 1, 65536 * 4, 4},
      {"height over 65535", pixels.data(), 1, 65536, 4, 4},
      {"2 bytes per pixel", pixels.data(), 4, 4, 8, 2},
      {"1 byte per pixel", pixels.data(), 4, 4, 4, 1},
      {"5 bytes per pixel", pixels.data(), 2, 2, 10, 5},
      {"0 bytes per pixel", pixels.data(), 2, 2, 0, 0},
      {"stride shorter than a row", pixels.data(), 4, 4, 15, 4},
      {"negative stride shorter than a row", pixels.data() + 48, 4, 4, -12, 4},
      {"zero stride", pixels.data(), 4, 4, 0, 4},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> out = {1, 2, 3};
    EXPECT_FALSE(Encode(c.pixels, c.width, c.height, c.stride, c.bytesPerPixel, EncodeOptions{}, out)) << c.what;
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3})) << c.what;
  }
}

TEST(JpegEncoderArguments, AppendsAfterExistingContent) {
  const Image image = jpegtest::MakePhoto(9, 5);
  std::vector<uint8_t> out = {'a', 'b', 'c'};
  ASSERT_TRUE(Encode(image.pixels.data(), 9, 5, image.Stride(), 4, EncodeOptions{}, out));
  ASSERT_GT(out.size(), 5u);
  EXPECT_EQ(std::string(out.begin(), out.begin() + 3), "abc");
  const std::vector<uint8_t> file(out.begin() + 3, out.end());
  EXPECT_EQ(file, EncodeImage(image, EncodeOptions{}));
}

TEST(JpegEncoderStructure, BaselineFileHasJfifHeaderTablesAndOneScan) {
  const Image image = jpegtest::MakePhoto(37, 21);
  for (bool subsample : {true, false}) {
    SCOPED_TRACE(subsample ? "4:2:0" : "4:4:4");
    const ParsedFile file = Parse(EncodeImage(image, Options(75, false, subsample)));
    ASSERT_TRUE(file.ok);
    ASSERT_GE(file.segments.size(), 3u);
    EXPECT_EQ(file.segments[1].marker, kApp0);
    const std::vector<uint8_t>& app0 = file.segments[1].payload;
    ASSERT_EQ(app0.size(), 14u);
    EXPECT_EQ(std::memcmp(app0.data(), "JFIF\0", 5), 0);
    EXPECT_EQ(app0[5], 1);  // version 1.01
    EXPECT_EQ(app0[6], 1);

    EXPECT_EQ(file.All(kSof0).size(), 1u);
    EXPECT_TRUE(file.All(kSof2).empty());
    EXPECT_EQ(file.All(kDht).size(), 4u);
    EXPECT_EQ(file.All(kSos).size(), 1u);

    const std::vector<uint8_t>& sof = file.First(kSof0)->payload;
    ASSERT_EQ(sof.size(), 15u);
    EXPECT_EQ(sof[0], 8);  // precision
    EXPECT_EQ(Word(sof, 1), 21);
    EXPECT_EQ(Word(sof, 3), 37);
    EXPECT_EQ(sof[5], 3);
    const uint8_t lumaSampling = subsample ? 0x22 : 0x11;
    const std::array<uint8_t, 9> components = {1, lumaSampling, 0, 2, 0x11, 1, 3, 0x11, 1};
    EXPECT_TRUE(std::equal(components.begin(), components.end(), sof.begin() + 6));

    const std::vector<uint8_t>& sos = file.First(kSos)->payload;
    const std::vector<uint8_t> expectedSos = {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0};
    EXPECT_EQ(sos, expectedSos);
    EXPECT_FALSE(file.First(kSos)->entropy.empty());
  }
}

TEST(JpegEncoderStructure, ProgressiveFileFollowsTheScanScript) {
  struct Scan {
    std::vector<uint8_t> components;
    int ss, se, ah, al;
  };
  const std::vector<Scan> script = {
      {{1, 2, 3}, 0, 0, 0, 1}, {{1}, 1, 5, 0, 2},  {{3}, 1, 63, 0, 1}, {{2}, 1, 63, 0, 1},
      {{1}, 6, 63, 0, 2},      {{1}, 1, 63, 2, 1}, {{1, 2, 3}, 0, 0, 1, 0}, {{3}, 1, 63, 1, 0},
      {{2}, 1, 63, 1, 0},      {{1}, 1, 63, 1, 0}};
  for (const Image& image : {jpegtest::MakePhoto(45, 30), jpegtest::MakeFlat(1, 1, 0, 0, 0)}) {
    SCOPED_TRACE(image.width);
    const ParsedFile file = Parse(EncodeImage(image, Options(80, true, true)));
    ASSERT_TRUE(file.ok);
    EXPECT_TRUE(file.All(kSof0).empty());
    ASSERT_EQ(file.All(kSof2).size(), 1u);
    const std::vector<const jpegtest::Segment*> scans = file.All(kSos);
    ASSERT_EQ(scans.size(), script.size());
    for (size_t i = 0; i < script.size(); ++i) {
      SCOPED_TRACE(i);
      const std::vector<uint8_t>& sos = scans[i]->payload;
      const size_t n = script[i].components.size();
      ASSERT_EQ(sos.size(), 4 + 2 * n);
      ASSERT_EQ(sos[0], n);
      for (size_t c = 0; c < n; ++c) EXPECT_EQ(sos[1 + 2 * c], script[i].components[c]);
      EXPECT_EQ(sos[1 + 2 * n], script[i].ss);
      EXPECT_EQ(sos[2 + 2 * n], script[i].se);
      EXPECT_EQ(sos[3 + 2 * n], (script[i].ah << 4) | script[i].al);
    }
    // Every scan but the DC refinement is preceded by the Huffman tables it uses.
    int tablesBefore = 0;
    size_t scanIndex = 0;
    for (const auto& segment : file.segments) {
      if (segment.marker == kDht) ++tablesBefore;
      if (segment.marker != kSos) continue;
      const bool dcRefine = script[scanIndex].ss == 0 && script[scanIndex].ah != 0;
      const int expected = dcRefine ? 0 : script[scanIndex].ss == 0 ? 2 : 1;
      EXPECT_EQ(tablesBefore, expected) << "scan " << scanIndex;
      tablesBefore = 0;
      ++scanIndex;
    }
  }
}

// Quantisation tables as stored (zigzag order) for the three fixed points of the quality scale.
TEST(JpegEncoderStructure, QualityScalesTheExampleTables) {
  const std::array<int, 64> lumaZigzag = {16, 11, 12, 14, 12, 10, 16, 14, 13, 14, 18, 17, 16,
                                          19, 24, 40, 26, 24, 22, 22, 24, 49, 35, 37, 29, 40,
                                          58, 51, 61, 60, 57, 51, 56, 55, 64, 72, 92, 78, 64,
                                          68, 87, 69, 55, 56, 80, 109, 81, 87, 95, 98, 103,
                                          104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101,
                                          103, 99};
  const Image image = jpegtest::MakePhoto(8, 8);
  auto tables = [&](int quality) {
    const ParsedFile file = Parse(EncodeImage(image, Options(quality, false, true)));
    const jpegtest::Segment* dqt = file.First(kDqt);
    EXPECT_NE(dqt, nullptr);
    return dqt ? dqt->payload : std::vector<uint8_t>{};
  };
  const std::vector<uint8_t> q50 = tables(50);
  ASSERT_EQ(q50.size(), 130u);
  EXPECT_EQ(q50[0], 0x00);
  EXPECT_EQ(q50[65], 0x01);
  EXPECT_TRUE(std::equal(lumaZigzag.begin(), lumaZigzag.end(), q50.begin() + 1));
  EXPECT_EQ(q50[66], 17);   // chroma DC
  EXPECT_EQ(q50[129], 99);  // chroma highest frequency

  const std::vector<uint8_t> q100 = tables(100);
  for (int k = 0; k < 64; ++k) {
    EXPECT_EQ(q100[1 + k], 1);
    EXPECT_EQ(q100[66 + k], 1);
  }
  const std::vector<uint8_t> q1 = tables(1);
  EXPECT_EQ(tables(0), q1);
  EXPECT_EQ(tables(-20), q1);
  EXPECT_EQ(tables(250), q100);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(q1[66 + k], 255);  // 17 * 50 and up, clamped to 8 bits
  const std::vector<uint8_t> q75 = tables(75);
  EXPECT_EQ(q75[1], 8);  // 16 * 50 / 100
  EXPECT_EQ(q75[2], 6);  // (11 * 50 + 50) / 100
}

TEST(JpegEncoderStructure, FrameSizeCoversExtremeShapes) {
  struct Case {
    int width, height;
  };
  for (const Case c : {Case{1, 1}, Case{7, 13}, Case{17, 9}, Case{65535, 1}, Case{1, 65535}, Case{16, 16}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const Image image = jpegtest::MakeNoise(c.width, c.height, 3);
    for (bool progressive : {false, true}) {
      const ParsedFile file = Parse(EncodeImage(image, Options(90, progressive, true)));
      ASSERT_TRUE(file.ok);
      const jpegtest::Segment* sof = file.First(progressive ? kSof2 : kSof0);
      ASSERT_NE(sof, nullptr);
      EXPECT_EQ(Word(sof->payload, 1), c.height);
      EXPECT_EQ(Word(sof->payload, 3), c.width);
    }
  }
}

TEST(JpegEncoderStructure, PixelLayoutsGiveTheSameFile) {
  Image bgrx = jpegtest::MakeScreenshot(50, 34, 4);
  for (size_t i = 3; i < bgrx.pixels.size(); i += 4) bgrx.pixels[i] = static_cast<uint8_t>(i * 37);  // X is ignored
  // The same pixels as packed B,G,R; then B,G,R rows with padding, stored bottom-up.
  Image bgr = bgrx;
  bgr.bytesPerPixel = 3;
  bgr.pixels.clear();
  for (size_t i = 0; i < bgrx.pixels.size(); i += 4) bgr.pixels.insert(bgr.pixels.end(), &bgrx.pixels[i], &bgrx.pixels[i] + 3);
  const long paddedStride = 50 * 3 + 2;
  std::vector<uint8_t> bottomUp(static_cast<size_t>(paddedStride) * 34, 0xEE);
  for (int y = 0; y < 34; ++y) {
    std::memcpy(&bottomUp[static_cast<size_t>(33 - y) * paddedStride], &bgr.pixels[static_cast<size_t>(y) * 150], 150);
  }
  for (const EncodeOptions& options : {Options(75, false, true), Options(60, true, false)}) {
    const std::vector<uint8_t> reference = EncodeImage(bgrx, options);
    EXPECT_EQ(EncodeImage(bgr, options), reference);
    std::vector<uint8_t> fromBottomUp;
    ASSERT_TRUE(Encode(&bottomUp[static_cast<size_t>(33) * paddedStride], 50, 34, -paddedStride, 3, options,
                       fromBottomUp));
    EXPECT_EQ(fromBottomUp, reference);
  }
}

TEST(JpegEncoderStructure, OptimisedCodingKeepsOneScanAndShrinksTheFile) {
  const Image image = jpegtest::MakeScreenshot(200, 120);
  EncodeOptions options = Options(85, false, true);
  const std::vector<uint8_t> standard = EncodeImage(image, options);
  options.optimizeCoding = true;
  const std::vector<uint8_t> optimised = EncodeImage(image, options);
  const ParsedFile file = Parse(optimised);
  EXPECT_EQ(file.All(kSof0).size(), 1u);
  EXPECT_EQ(file.All(kSos).size(), 1u);
  EXPECT_EQ(file.All(kDht).size(), 4u);
  EXPECT_LT(optimised.size(), standard.size());
}

}  // namespace
