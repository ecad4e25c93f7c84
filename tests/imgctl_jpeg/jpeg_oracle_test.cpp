// The encoder's files decoded by libjpeg-turbo: they decode without a warning, to the right size
// and layout, close to the source; progressive and sequential files carry the same coefficients;
// quality and size stay in line with libjpeg-turbo's own encoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JpegEncoder.h"
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

}  // namespace
