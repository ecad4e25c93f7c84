// The encoder's files decoded by libjpeg-turbo: they decode without a warning, to the right size
// and layout, close to the source; progressive and sequential files carry the same coefficients;
// quality and size stay in line with libjpeg-turbo's own encoder.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "ForwardDct.h"
#include "JpegEncoder.h"
#include "QuantTables.h"
#include "reference_codecs.h"
#include "test_images.h"

namespace {

using imgctl::jpeg::Encode;
using imgctl::jpeg::EncodeOptions;
using jpegtest::Image;

EncodeOptions Options(int quality, bool progressive, bool subsample420, bool optimize = false) {
  EncodeOptions options;
  options.quality = quality;
  options.progressive = progressive;
  options.subsample420 = subsample420;
  options.optimizeCoding = optimize;
  return options;
}

std::vector<uint8_t> EncodeImage(const Image& image, const EncodeOptions& options) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(Encode(image.pixels.data(), image.width, image.height, image.Stride(), image.bytesPerPixel,
                     options, out));
  return out;
}

std::string Describe(const Image& image, const EncodeOptions& o) {
  return std::to_string(image.width) + "x" + std::to_string(image.height) + " q" + std::to_string(o.quality) +
         (o.subsample420 ? " 4:2:0" : " 4:4:4") + (o.progressive ? " progressive" : " baseline") +
         (o.optimizeCoding ? " optimised" : "");
}

// Decodes and checks geometry; returns the PSNR against the source.
double RoundTrip(const Image& image, const EncodeOptions& options) {
  const std::vector<uint8_t> file = EncodeImage(image, options);
  const jpegtest::Decoded decoded = jpegtest::DecodeWithLibjpeg(file);
  EXPECT_TRUE(decoded.ok) << decoded.error;
  if (!decoded.ok) return 0;
  EXPECT_EQ(decoded.width, image.width);
  EXPECT_EQ(decoded.height, image.height);
  EXPECT_EQ(decoded.progressive, options.progressive);
  const int luma = options.subsample420 ? 2 : 1;
  EXPECT_EQ(decoded.samplingH[0], luma);
  EXPECT_EQ(decoded.samplingV[0], luma);
  EXPECT_EQ(decoded.samplingH[1], 1);
  EXPECT_EQ(decoded.samplingV[2], 1);
  return jpegtest::Psnr(image, decoded.rgb);
}

// Lower PSNR bounds for the photo-like image by quality; 4:2:0 costs a little colour detail.
struct QualityBound {
  int quality;
  double psnr444;
  double psnr420;
};
constexpr QualityBound kBounds[] = {{0, 17, 17}, {1, 17, 17}, {50, 31, 30}, {75, 33, 31.5}, {100, 44, 36}};

TEST(JpegOracle, DecodesCloseToTheSourceForEveryShapeAndSetting) {
  struct Shape {
    int width, height;
  };
  for (const Shape shape : {Shape{1, 1}, Shape{7, 13}, Shape{17, 9}, Shape{33, 31}, Shape{64, 48}, Shape{161, 97}}) {
    const Image image = jpegtest::MakePhoto(shape.width, shape.height, 4, shape.width);
    for (const QualityBound& bound : kBounds) {
      for (bool subsample : {true, false}) {
        for (bool progressive : {false, true}) {
          const EncodeOptions options = Options(bound.quality, progressive, subsample);
          SCOPED_TRACE(Describe(image, options));
          const double psnr = RoundTrip(image, options);
          // Tiny images have too few pixels for a stable figure; they must still decode.
          if (shape.width * shape.height >= 1000) {
            EXPECT_GE(psnr, subsample ? bound.psnr420 : bound.psnr444);
          }
        }
      }
    }
  }
}

TEST(JpegOracle, ExtremeInputsRoundTrip) {
  struct Case {
    const char* name;
    Image image;
    double minPsnr;  // at quality 90
  };
  const Case cases[] = {
      {"all black", jpegtest::MakeFlat(70, 50, 0, 0, 0), 60},
      {"all white", jpegtest::MakeFlat(70, 50, 255, 255, 255), 60},
      {"saturated colour", jpegtest::MakeFlat(70, 50, 255, 0, 0), 40},
      {"random noise", jpegtest::MakeNoise(120, 80), 11},
      {"65500x1", jpegtest::MakePhoto(65500, 1, 3), 30},
      {"1x65500", jpegtest::MakePhoto(1, 65500, 3), 30},
      {"screenshot", jpegtest::MakeScreenshot(300, 200), 30},
  };
  for (const Case& c : cases) {
    for (const EncodeOptions& options : {Options(90, false, true), Options(90, true, false), Options(100, true, true)}) {
      SCOPED_TRACE(std::string(c.name) + " " + Describe(c.image, options));
      EXPECT_GE(RoundTrip(c.image, options), c.minPsnr);
    }
  }
}

// libjpeg stops at 65500 pixels a side; stb_image reads the largest frames the format allows.
TEST(JpegOracle, LargestSidesDecodeWithStbImage) {
  const Image shapes[] = {jpegtest::MakePhoto(65535, 1, 3), jpegtest::MakePhoto(1, 65535, 3),
                          jpegtest::MakePhoto(65535, 17, 4)};
  for (const Image& image : shapes) {
    for (const EncodeOptions& options : {Options(90, false, true), Options(90, true, false)}) {
      SCOPED_TRACE(Describe(image, options));
      const jpegtest::Decoded decoded = jpegtest::DecodeWithStb(EncodeImage(image, options));
      ASSERT_TRUE(decoded.ok) << decoded.error;
      EXPECT_EQ(decoded.width, image.width);
      EXPECT_EQ(decoded.height, image.height);
      EXPECT_GE(jpegtest::Psnr(image, decoded.rgb), 30);
    }
  }
}

// Every way of coding one quantisation must carry the very same coefficients: the progressive
// script (with its EOB runs and refinement bits), fitted and standard tables.
TEST(JpegOracle, ProgressiveAndOptimisedFilesCarryTheBaselineCoefficients) {
  const Image images[] = {jpegtest::MakeNoise(67, 45), jpegtest::MakePhoto(130, 75),
                          jpegtest::MakeScreenshot(257, 129), jpegtest::MakeFlat(9, 17, 10, 200, 30)};
  for (const Image& image : images) {
    for (int quality : {1, 50, 92, 100}) {
      for (bool subsample : {true, false}) {
        SCOPED_TRACE(Describe(image, Options(quality, false, subsample)));
        const jpegtest::Coefficients baseline = jpegtest::ReadCoefficients(EncodeImage(image, Options(quality, false, subsample)));
        const jpegtest::Coefficients progressive = jpegtest::ReadCoefficients(EncodeImage(image, Options(quality, true, subsample)));
        const jpegtest::Coefficients optimised =
            jpegtest::ReadCoefficients(EncodeImage(image, Options(quality, false, subsample, true)));
        ASSERT_TRUE(baseline.ok && progressive.ok && optimised.ok);
        EXPECT_TRUE(progressive.components == baseline.components);
        EXPECT_TRUE(optimised.components == baseline.components);
      }
    }
  }
}

// Large images coded in parts by several threads: restart markers between the parts, and the
// same coefficients and pixels as the single-threaded file, for libjpeg-turbo and stb alike.
TEST(JpegOracle, ThreadedFilesCarryTheSingleThreadCoefficients) {
  const Image images[] = {jpegtest::MakeScreenshot(1920, 1080), jpegtest::MakePhoto(2001, 1003, 3),
                          jpegtest::MakePhoto(40, 60000, 4)};  // libjpeg stops at 65500
  for (const Image& image : images) {
    for (bool subsample : {true, false}) {
      EncodeOptions single = Options(75, false, subsample);
      single.threads = 1;
      SCOPED_TRACE(Describe(image, single));
      const std::vector<uint8_t> reference = EncodeImage(image, single);
      const jpegtest::Coefficients expected = jpegtest::ReadCoefficients(reference);
      const jpegtest::Decoded expectedPixels = jpegtest::DecodeWithLibjpeg(reference);
      ASSERT_TRUE(expected.ok && expectedPixels.ok);
      for (int threads : {0, 2, 3}) {
        EncodeOptions options = single;
        options.threads = threads;
        SCOPED_TRACE(Describe(image, options) + ", threads " + std::to_string(threads));
        const std::vector<uint8_t> file = EncodeImage(image, options);
        int restarts = 0, dri = 0;
        for (size_t i = 0; i + 1 < file.size(); ++i) {
          if (file[i] != 0xFF) continue;
          if (file[i + 1] == 0xDD) ++dri;
          if ((file[i + 1] & 0xF8) == 0xD0) {
            EXPECT_EQ(file[i + 1], 0xD0 + restarts % 8) << "restart markers out of turn";
            ++restarts;
          }
        }
        EXPECT_EQ(dri, 1);
        EXPECT_GE(restarts, 1);
        EXPECT_LE(file.size(), reference.size() + reference.size() / 100);  // markers and padding only
        const jpegtest::Coefficients coefficients = jpegtest::ReadCoefficients(file);
        ASSERT_TRUE(coefficients.ok);
        EXPECT_TRUE(coefficients.components == expected.components);
        const jpegtest::Decoded decoded = jpegtest::DecodeWithLibjpeg(file);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_TRUE(decoded.rgb == expectedPixels.rgb);
        const jpegtest::Decoded stb = jpegtest::DecodeWithStb(file);
        ASSERT_TRUE(stb.ok) << stb.error;
        EXPECT_GE(jpegtest::Psnr(image, stb.rgb), 30);
      }
    }
  }
}

// Same settings as libjpeg-turbo: the decoded quality within 0.3 dB and the file within 5 %.
TEST(JpegOracle, KeepsUpWithLibjpegTurbo) {
  const Image images[] = {jpegtest::MakeScreenshot(640, 400), jpegtest::MakePhoto(480, 320)};
  for (const Image& image : images) {
    for (int quality : {50, 75, 90}) {
      for (bool subsample : {true, false}) {
        for (bool progressive : {false, true}) {
          const EncodeOptions options = Options(quality, progressive, subsample);
          SCOPED_TRACE(Describe(image, options));
          const std::vector<uint8_t> ours = EncodeImage(image, options);
          const std::vector<uint8_t> theirs = jpegtest::EncodeWithLibjpeg(image, quality, subsample, progressive);
          const jpegtest::Decoded ourDecoded = jpegtest::DecodeWithLibjpeg(ours);
          const jpegtest::Decoded theirDecoded = jpegtest::DecodeWithLibjpeg(theirs);
          ASSERT_TRUE(ourDecoded.ok && theirDecoded.ok);
          const double ourPsnr = jpegtest::Psnr(image, ourDecoded.rgb);
          const double theirPsnr = jpegtest::Psnr(image, theirDecoded.rgb);
          EXPECT_GE(ourPsnr, theirPsnr - 0.3);
          EXPECT_LE(static_cast<double>(ours.size()), theirs.size() * 1.05);
          RecordProperty("psnr", std::to_string(ourPsnr) + " vs " + std::to_string(theirPsnr));
        }
      }
    }
  }
}

// One channel of an image as an 8-bit plane, cropped to whole blocks.
struct Plane {
  int width = 0, height = 0;
  std::vector<uint8_t> samples;
};
Plane ChannelOf(const Image& image, int channel) {
  Plane plane{image.width / 8 * 8, image.height / 8 * 8, {}};
  for (int y = 0; y < plane.height; ++y) {
    for (int x = 0; x < plane.width; ++x) {
      plane.samples.push_back(image.pixels[static_cast<size_t>(y) * image.Stride() + x * image.bytesPerPixel + channel]);
    }
  }
  return plane;
}

// Our transform and quantiser against libjpeg-turbo's default (accurate integer) transform on the
// same samples with the same steps: block for block, the very same coefficients.
TEST(JpegOracle, TransformGivesLibjpegTurbosCoefficients) {
  const Plane planes[] = {ChannelOf(jpegtest::MakePhoto(160, 96), 1), ChannelOf(jpegtest::MakePhoto(96, 64, 4, 9), 2),
                          ChannelOf(jpegtest::MakeScreenshot(320, 200), 0), ChannelOf(jpegtest::MakeNoise(64, 64), 1)};
  for (const Plane& plane : planes) {
    for (int quality : {1, 30, 50, 75, 90, 95, 100}) {
      for (bool chroma : {false, true}) {
        SCOPED_TRACE(std::to_string(plane.width) + "x" + std::to_string(plane.height) + " q" + std::to_string(quality) +
                     (chroma ? " chroma table" : " luma table"));
        const imgctl::jpeg::QuantTable table = imgctl::jpeg::ScaledQuantTable(chroma, quality);
        const jpegtest::Coefficients theirs =
            jpegtest::ReadCoefficients(jpegtest::EncodePlaneWithLibjpeg(plane.samples, plane.width, plane.height, table.data()));
        ASSERT_TRUE(theirs.ok);
        ASSERT_EQ(theirs.components.size(), 1u);
        const imgctl::jpeg::QuantDivisors divisors = imgctl::jpeg::MakeDivisors(table);
        int mismatches = 0;
        for (int by = 0; by < plane.height / 8; ++by) {
          for (int bx = 0; bx < plane.width / 8; ++bx) {
            int16_t ours[64];
            imgctl::jpeg::TransformBlockNatural(plane.samples.data() + (by * 8) * plane.width + bx * 8, plane.width,
                                                divisors, ours);
            const int16_t* expected = theirs.components[0].data() + (static_cast<size_t>(by) * plane.width / 8 + bx) * 64;
            for (int i = 0; i < 64; ++i) mismatches += ours[i] != expected[i];
          }
        }
        EXPECT_EQ(mismatches, 0);
      }
    }
  }
}

// Accuracy at step 1 against the definition of the DCT in double precision, with libjpeg-turbo's
// coefficients of the same blocks as the yardstick: ours may be no worse, neither in the largest
// error nor (within 0.001) in the mean absolute error.
TEST(JpegOracle, TransformIsAsAccurateAsLibjpegTurbos) {
  for (const Plane& plane : {ChannelOf(jpegtest::MakeNoise(64, 64, 4, 3), 0), ChannelOf(jpegtest::MakePhoto(64, 64), 1)}) {
    const imgctl::jpeg::QuantTable ones = imgctl::jpeg::ScaledQuantTable(false, 100);
    const jpegtest::Coefficients theirs =
        jpegtest::ReadCoefficients(jpegtest::EncodePlaneWithLibjpeg(plane.samples, plane.width, plane.height, ones.data()));
    ASSERT_TRUE(theirs.ok);
    const imgctl::jpeg::QuantDivisors divisors = imgctl::jpeg::MakeDivisors(ones);
    double ourWorst = 0, theirWorst = 0, ourSum = 0, theirSum = 0;
    for (int by = 0; by < plane.height / 8; ++by) {
      for (int bx = 0; bx < plane.width / 8; ++bx) {
        const uint8_t* samples = plane.samples.data() + (by * 8) * plane.width + bx * 8;
        int16_t ours[64];
        imgctl::jpeg::TransformBlockNatural(samples, plane.width, divisors, ours);
        const int16_t* expected = theirs.components[0].data() + (static_cast<size_t>(by) * plane.width / 8 + bx) * 64;
        for (int v = 0; v < 8; ++v) {
          for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y) {
              for (int x = 0; x < 8; ++x) {
                sum += (samples[y * plane.width + x] - 128.0) * std::cos((2 * x + 1) * u * std::numbers::pi / 16) *
                       std::cos((2 * y + 1) * v * std::numbers::pi / 16);
              }
            }
            const double exact = 0.25 * (u == 0 ? std::numbers::sqrt2 / 2 : 1.0) * (v == 0 ? std::numbers::sqrt2 / 2 : 1.0) * sum;
            const double ourError = std::abs(ours[v * 8 + u] - exact);
            const double theirError = std::abs(expected[v * 8 + u] - exact);
            ourWorst = std::max(ourWorst, ourError);
            theirWorst = std::max(theirWorst, theirError);
            ourSum += ourError;
            theirSum += theirError;
          }
        }
      }
    }
    const double count = plane.width * plane.height;
    EXPECT_LE(ourWorst, theirWorst);
    EXPECT_LE(ourSum / count, theirSum / count + 0.001);
    EXPECT_LT(theirWorst, 1.0);  // the yardstick itself is the accurate transform, not a coarse one
  }
}

// The entropy-coded data of a single-scan file: everything from the end of the SOS segment on.
std::vector<uint8_t> ScanData(const std::vector<uint8_t>& file) {
  for (size_t i = 2; i + 4 <= file.size();) {
    if (file[i] != 0xFF) return {};
    const uint8_t marker = file[i + 1];
    const size_t length = (file[i + 2] << 8) | file[i + 3];
    if (marker == 0xDA) return std::vector<uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(i + 2 + length), file.end());
    i += 2 + length;
  }
  return {};
}

// The whole pipeline (colour conversion, 4:2:0 averaging, edge padding, blocks wholly in the
// padding, transform, quantiser, Huffman coding) against libjpeg-turbo's: files of the same image
// carry the same coefficients in every component and, with the same standard tables, the very
// same entropy-coded bytes.
TEST(JpegOracle, BaselineFilesCarryLibjpegTurbosCoefficientsAndScanBytes) {
  auto grey = [](Image image) {
    for (size_t i = 0; i + 2 < image.pixels.size(); i += image.bytesPerPixel) {
      image.pixels[i] = image.pixels[i + 2] = image.pixels[i + 1];
    }
    return image;
  };
  const Image images[] = {jpegtest::MakePhoto(203, 117),          jpegtest::MakeScreenshot(250, 140, 3),
                          jpegtest::MakeNoise(33, 17),            jpegtest::MakePhoto(64, 48, 3, 5),
                          jpegtest::MakeFlat(23, 9, 255, 0, 255), grey(jpegtest::MakePhoto(97, 61))};
  for (const Image& image : images) {
    for (int quality : {20, 75, 90, 100}) {
      for (bool subsample : {true, false}) {
        const EncodeOptions options = Options(quality, false, subsample);
        SCOPED_TRACE(Describe(image, options));
        const std::vector<uint8_t> ourFile = EncodeImage(image, options);
        const std::vector<uint8_t> theirFile = jpegtest::EncodeWithLibjpeg(image, quality, subsample, false);
        const jpegtest::Coefficients ours = jpegtest::ReadCoefficients(ourFile);
        const jpegtest::Coefficients theirs = jpegtest::ReadCoefficients(theirFile);
        ASSERT_TRUE(ours.ok && theirs.ok);
        EXPECT_TRUE(ours.components == theirs.components);
        const std::vector<uint8_t> ourScan = ScanData(ourFile);
        EXPECT_FALSE(ourScan.empty());
        EXPECT_TRUE(ourScan == ScanData(theirFile)) << ourScan.size() << " vs " << ScanData(theirFile).size();
      }
    }
  }
}

}  // namespace
