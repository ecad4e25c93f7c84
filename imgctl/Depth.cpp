#include "Depth.h"

#include <algorithm>

#include "Quantize.h"

namespace imgctl {

bool ConvertTo24(Image& img) {
  if (img.bpp == 24) return true;
  Image dst;
  if (!Allocate(dst, img.width, img.height, 24)) return false;
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* s = img.Row(y);
    uint8_t* d = dst.Row(y);
    for (int x = 0; x < img.width; ++x, d += 3) {
      Bgra c = PixelAt(img, s, x);
      d[0] = c.b;
      d[1] = c.g;
      d[2] = c.r;
    }
  }
  img = std::move(dst);
  return true;
}

bool ConvertTo16(Image& img, int mode) {
  if (img.bpp == 16) return true;
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  Image dst;
  if (!Allocate(dst, img.width, img.height, 16)) return false;
  bool dither = (mode & kTo16Dither) != 0;
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* s = img.Row(y);
    uint8_t* d = dst.Row(y);
    for (int x = 0; x < img.width; ++x) {
      Bgra c = PixelAt(img, s, x);
      // 255 maps to 31 and back to 255; the bias is half a step, or a dither threshold.
      int bias = dither ? kBayer[y & 3][x & 3] / 2 : 4;
      auto q = [bias](int v) { return std::min(31, (v * 31 + 127 + (bias - 4) * 31) / 255); };
      uint16_t v = static_cast<uint16_t>((q(c.r) << 10) | (q(c.g) << 5) | q(c.b));
      d[2 * x] = static_cast<uint8_t>(v);
      d[2 * x + 1] = static_cast<uint8_t>(v >> 8);
    }
  }
  img = std::move(dst);
  return true;
}

bool ConvertTo8(Image& img, int mode) {
  if (img.bpp == 8) return true;
  Image dst;
  if (!QuantizeTo8(img, (mode & kTo8ExactFirst) != 0, (mode & kTo8Dither) != 0, dst)) return false;
  img = std::move(dst);
  return true;
}

}  // namespace imgctl
