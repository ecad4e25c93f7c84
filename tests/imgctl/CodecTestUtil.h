// Helpers of the codec tests: a temporary folder and pixel comparisons.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Image.h"

namespace imgctl::test {

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("imgctl-test-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }
  const std::filesystem::path& path() const { return path_; }
  size_t FileCount() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                             std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream f(p, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Pixel (x, y) of any image as B, G, R, A.
inline Bgra At(const Image& img, int x, int y) { return PixelAt(img, img.Row(y), x); }

// Index of the first pixel whose colour differs (alpha compared when `alpha`), or -1.
inline long FirstDifference(const Image& a, const Image& b, bool alpha) {
  if (a.width != b.width || a.height != b.height) return -2;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      Bgra p = At(a, x, y), q = At(b, x, y);
      if (!alpha) p.a = q.a = 255;
      if (!(p == q)) return static_cast<long>(y) * a.width + x;
    }
  return -1;
}

}  // namespace imgctl::test
