#include "test_images.h"

#include <algorithm>
#include <cmath>

namespace jpegtest {
namespace {

Image Blank(int width, int height, int bytesPerPixel) {
  Image image;
  image.width = width;
  image.height = height;
  image.bytesPerPixel = bytesPerPixel;
  image.pixels.assign(static_cast<size_t>(width) * height * bytesPerPixel, 0);
  return image;
}

void Put(Image& image, int x, int y, uint8_t b, uint8_t g, uint8_t r) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
  uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * image.bytesPerPixel;
  p[0] = b;
  p[1] = g;
  p[2] = r;
  if (image.bytesPerPixel == 4) p[3] = 0xFF;
}

void FillRect(Image& image, int x0, int y0, int x1, int y1, uint8_t b, uint8_t g, uint8_t r) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, image.width), y1 = std::min(y1, image.height);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) Put(image, x, y, b, g, r);
  }
}

uint32_t NextRandom(uint32_t& state) {  // xorshift32
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

}  // namespace

Image MakeScreenshot(int width, int height, int bytesPerPixel) {
  Image image = Blank(width, height, bytesPerPixel);
  FillRect(image, 0, 0, width, height, 0x80, 0x60, 0x30);  // desktop
  uint32_t state = 12345;
  // A few overlapping windows: border, title bar, white client area with text lines.
  const int windows = 6;
  for (int w = 0; w < windows; ++w) {
    const int x0 = static_cast<int>(NextRandom(state) % std::max(1, width * 2 / 3));
    const int y0 = static_cast<int>(NextRandom(state) % std::max(1, height * 2 / 3));
    const int x1 = x0 + std::max(40, width / 3) + static_cast<int>(NextRandom(state) % std::max(1, width / 4));
    const int y1 = y0 + std::max(30, height / 3) + static_cast<int>(NextRandom(state) % std::max(1, height / 4));
    FillRect(image, x0, y0, x1, y1, 0x40, 0x40, 0x40);
    FillRect(image, x0 + 1, y0 + 1, x1 - 1, y0 + 24, 0xD0, 0x78, 0x00);
    FillRect(image, x0 + 1, y0 + 24, x1 - 1, y1 - 1, 0xFF, 0xFF, 0xFF);
    for (int ty = y0 + 32; ty + 10 < y1 - 4; ty += 16) {
      int tx = x0 + 8;
      while (tx + 8 < x1 - 8) {
        const int word = 3 + static_cast<int>(NextRandom(state) % 8);
        for (int i = 0; i < word && tx + 8 < x1 - 8; ++i, tx += 7) {
          const uint32_t glyph = NextRandom(state);
          for (int gy = 0; gy < 10; ++gy) {
            for (int gx = 0; gx < 5; ++gx) {
              if ((glyph >> ((gy * 5 + gx) % 31)) & 1) Put(image, tx + gx, ty + gy, 0x20, 0x20, 0x20);
            }
          }
        }
        tx += 6;
      }
    }
  }
  // A task bar.
  FillRect(image, 0, height - std::min(40, height / 8), width, height, 0x30, 0x28, 0x20);
  return image;
}

Image MakePhoto(int width, int height, int bytesPerPixel, uint32_t seed) {
  Image image = Blank(width, height, bytesPerPixel);
  uint32_t state = seed * 2654435761u + 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / std::max(1, width - 1);
      const double fy = static_cast<double>(y) / std::max(1, height - 1);
      const double r = 128 + 100 * std::sin(fx * 5.1 + fy * 1.3);
      const double g = 128 + 90 * std::cos(fy * 4.3 - fx * 2.0);
      const double b = 120 + 80 * std::sin((fx + fy) * 3.7 + 1.0);
      const int noise = static_cast<int>(NextRandom(state) % 13) - 6;
      auto clamp = [](double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); };
      Put(image, x, y, clamp(b + noise), clamp(g + noise), clamp(r + noise));
    }
  }
  return image;
}

Image MakeNoise(int width, int height, int bytesPerPixel, uint32_t seed) {
  Image image = Blank(width, height, bytesPerPixel);
  uint32_t state = seed | 1;
  for (auto& byte : image.pixels) byte = static_cast<uint8_t>(NextRandom(state) >> 24);
  return image;
}

Image MakeFlat(int width, int height, uint8_t b, uint8_t g, uint8_t r, int bytesPerPixel) {
  Image image = Blank(width, height, bytesPerPixel);
  FillRect(image, 0, 0, width, height, b, g, r);
  return image;
}

double Psnr(const Image& source, const std::vector<uint8_t>& rgb) {
  double squares = 0;
  const size_t pixels = static_cast<size_t>(source.width) * source.height;
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* s = source.pixels.data() + i * source.bytesPerPixel;
    const uint8_t* d = rgb.data() + i * 3;
    for (int c = 0; c < 3; ++c) {
      const double diff = static_cast<double>(s[2 - c]) - d[c];
      squares += diff * diff;
    }
  }
  const double mse = squares / (static_cast<double>(pixels) * 3);
  return mse == 0 ? 100.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace jpegtest
