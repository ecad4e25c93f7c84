#include "Image.h"

#include <new>

namespace imgctl {

bool SizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         width * height <= kMaxPixels;
}

size_t StrideFor(int width, int bpp) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(bpp) + 31) / 32) * 4;
}

bool Allocate(Image& img, int width, int height, int bpp) {
  if (!SizeAllowed(width, height)) return false;
  if (bpp != 32 && bpp != 24 && bpp != 16 && bpp != 8) return false;
  size_t stride = StrideFor(width, bpp);
  try {
    decltype(img.pixels) pixels(stride * static_cast<size_t>(height));
    img.pixels.swap(pixels);
  } catch (const std::bad_alloc&) {
    return false;
  }
  img.width = width;
  img.height = height;
  img.bpp = bpp;
  img.stride = stride;
  img.hasAlpha = false;
  img.palette.clear();
  return true;
}

bool ToBgra32(const Image& src, Image& out) {
  Image tmp;
  if (!Allocate(tmp, src.width, src.height, 32)) return false;
  tmp.hasAlpha = src.bpp == 32 && src.hasAlpha;
  if (src.bpp == 8)
    for (const Bgra& c : src.palette) tmp.hasAlpha |= c.a != 255;
  for (int y = 0; y < src.height; ++y) {
    const uint8_t* s = src.Row(y);
    uint8_t* d = tmp.Row(y);
    if (src.bpp == 32) {
      for (int x = 0; x < src.width; ++x) {
        d[4 * x] = s[4 * x];
        d[4 * x + 1] = s[4 * x + 1];
        d[4 * x + 2] = s[4 * x + 2];
        d[4 * x + 3] = src.hasAlpha ? s[4 * x + 3] : 255;
      }
      continue;
    }
    for (int x = 0; x < src.width; ++x) {
      Bgra c = PixelAt(src, s, x);
      d[4 * x] = c.b;
      d[4 * x + 1] = c.g;
      d[4 * x + 2] = c.r;
      d[4 * x + 3] = c.a;
    }
  }
  out = std::move(tmp);
  return true;
}

}  // namespace imgctl
