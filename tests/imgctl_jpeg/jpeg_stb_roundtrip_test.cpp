// Round trips through stb_image, a decoder that builds everywhere: this is the check of decoded
// pixels that the Windows builds run under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JpegEncoder.h"
#include "reference_codecs.h"
#include "test_images.h"

namespace {

TEST(JpegStbRoundTrip, DecodesCloseToTheSource) {
  struct Case {
    jpegtest::Image image;
    int quality;
    bool progressive, subsample;
    double minPsnr;
  };
  const Case cases[] = {
      {jpegtest::MakePhoto(1, 1), 75, false, true, 20},
      {jpegtest::MakePhoto(17, 9, 3), 90, true, true, 25},
      {jpegtest::MakePhoto(161, 97), 75, false, true, 31.5},
      {jpegtest::MakePhoto(161, 97), 75, true, false, 33},
      {jpegtest::MakePhoto(161, 97), 100, true, true, 36},
      {jpegtest::MakeScreenshot(333, 211), 90, false, false, 33},
      {jpegtest::MakeScreenshot(333, 211), 90, true, true, 30},
      {jpegtest::MakeFlat(40, 30, 255, 255, 255), 50, true, true, 60},
      {jpegtest::MakeNoise(64, 64), 100, true, false, 30},
      // Large enough to be coded in parts by several threads, with restart markers.
      {jpegtest::MakeScreenshot(1920, 1080), 75, false, true, 30},
      {jpegtest::MakePhoto(2001, 1003, 3), 90, false, false, 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.image.width) + "x" + std::to_string(c.image.height) + " q" + std::to_string(c.quality) +
                 (c.progressive ? " progressive" : " baseline") + (c.subsample ? " 4:2:0" : " 4:4:4"));
    imgctl::jpeg::EncodeOptions options;
    options.quality = c.quality;
    options.progressive = c.progressive;
    options.subsample420 = c.subsample;
    std::vector<uint8_t> file;
    ASSERT_TRUE(imgctl::jpeg::Encode(c.image.pixels.data(), c.image.width, c.image.height, c.image.Stride(),
                                     c.image.bytesPerPixel, options, file));
    const jpegtest::Decoded decoded = jpegtest::DecodeWithStb(file);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.width, c.image.width);
    EXPECT_EQ(decoded.height, c.image.height);
    EXPECT_GE(jpegtest::Psnr(c.image, decoded.rgb), c.minPsnr);
  }
}

}  // namespace
