// The encoder's files as the command-line tools see them: ImageMagick reports the sampling and
// the interlace (progressive) mode, djpeg decodes them without a warning and traces their frame
// type and scans.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "JpegEncoder.h"
#include "test_images.h"

namespace {

namespace fs = std::filesystem;

std::string RunCommand(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char chunk[256];
    while (size_t n = fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
    if (pclose(pipe) != 0) output += "\n[exit status non-zero]";
  }
  return output;
}

bool HaveTool(const char* name) { return RunCommand(std::string("command -v ") + name).find('/') != std::string::npos; }

class JpegTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool("identify") || !HaveTool("djpeg")) GTEST_SKIP() << "identify or djpeg missing";
    dir_ = fs::temp_directory_path() / ("pelmo_jpeg_tools_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Write(const std::string& name, const jpegtest::Image& image, const imgctl::jpeg::EncodeOptions& options) {
    std::vector<uint8_t> file;
    EXPECT_TRUE(imgctl::jpeg::Encode(image.pixels.data(), image.width, image.height, image.Stride(),
                                     image.bytesPerPixel, options, file));
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return path.string();
  }

  fs::path dir_;
};

TEST_F(JpegTools, IdentifyReportsSamplingAndInterlace) {
  const jpegtest::Image image = jpegtest::MakeScreenshot(123, 77);
  struct Case {
    bool progressive, subsample;
    const char* expected;
  };
  const Case cases[] = {{false, true, "2x2,1x1,1x1 None"},
                        {false, false, "1x1,1x1,1x1 None"},
                        {true, true, "2x2,1x1,1x1 JPEG"},
                        {true, false, "1x1,1x1,1x1 JPEG"}};
  for (const Case& c : cases) {
    imgctl::jpeg::EncodeOptions options;
    options.progressive = c.progressive;
    options.subsample420 = c.subsample;
    const std::string path = Write("case.jpg", image, options);
    EXPECT_EQ(RunCommand("identify -format '%[jpeg:sampling-factor] %[interlace]' '" + path + "'"), c.expected);
    EXPECT_EQ(RunCommand("identify -format '%w %h %[colorspace]' '" + path + "'"), "123 77 sRGB");
  }
}

TEST_F(JpegTools, DjpegDecodesWithoutWarnings) {
  for (bool progressive : {false, true}) {
    imgctl::jpeg::EncodeOptions options;
    options.progressive = progressive;
    options.quality = 95;
    const std::string path = Write("case.jpg", jpegtest::MakePhoto(99, 66), options);
    // djpeg reports corrupt data as warnings on stderr and still exits 0 or 2.
    EXPECT_EQ(RunCommand("djpeg -outfile /dev/null '" + path + "'"), "");
    const std::string trace = RunCommand("djpeg -verbose -outfile /dev/null '" + path + "'");
    EXPECT_NE(trace.find(progressive ? "Start Of Frame 0xc2" : "Start Of Frame 0xc0"), std::string::npos) << trace;
    size_t scans = 0;
    for (size_t at = trace.find("Start Of Scan"); at != std::string::npos; at = trace.find("Start Of Scan", at + 1)) ++scans;
    EXPECT_EQ(scans, progressive ? 10u : 1u);
  }
}

}  // namespace
