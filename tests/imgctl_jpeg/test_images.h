// Synthetic B,G,R,X images for the JPEG encoder's tests and benchmark.
#pragma once

#include <cstdint>
#include <vector>

namespace jpegtest {

struct Image {
  int width = 0;
  int height = 0;
  int bytesPerPixel = 4;
  std::vector<uint8_t> pixels;  // top-down, rows packed
  long Stride() const { return static_cast<long>(width) * bytesPerPixel; }
};

// Window-like screen: flat panels, title bars, borders and rows of small glyph-like strokes.
Image MakeScreenshot(int width, int height, int bytesPerPixel = 4);
// Smooth colour gradients with mild noise.
Image MakePhoto(int width, int height, int bytesPerPixel = 4, uint32_t seed = 1);
// Uniformly random bytes.
Image MakeNoise(int width, int height, int bytesPerPixel = 4, uint32_t seed = 7);
Image MakeFlat(int width, int height, uint8_t b, uint8_t g, uint8_t r, int bytesPerPixel = 4);

// PSNR in dB of decoded R,G,B against the B,G,R(,X) source (100 for identical images).
double Psnr(const Image& source, const std::vector<uint8_t>& rgb);

}  // namespace jpegtest
