#include "Edit.h"

#include <algorithm>
#include <cstring>

namespace imgctl {

bool Crop(const Image& src, int x, int y, int width, int height, Image& out) {
  if (width <= 0 || height <= 0) return false;
  int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>(int64_t{x} + width, src.width);
  int64_t y1 = std::min<int64_t>(int64_t{y} + height, src.height);
  if (x0 >= x1 || y0 >= y1) return false;
  Image dst;
  if (!Allocate(dst, static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), src.bpp)) return false;
  dst.hasAlpha = src.hasAlpha;
  dst.palette = src.palette;
  size_t bytesPerPixel = static_cast<size_t>(src.bpp / 8);
  for (int r = 0; r < dst.height; ++r)
    std::memcpy(dst.Row(r), src.Row(static_cast<int>(y0) + r) + static_cast<size_t>(x0) * bytesPerPixel,
                static_cast<size_t>(dst.width) * bytesPerPixel);
  out = std::move(dst);
  return true;
}

int64_t ReplaceColours(Image& img, const uint32_t* pairs, int count) {
  if (pairs == nullptr || count <= 0) return 0;
  int64_t changed = 0;
  for (int i = 0; i < count; ++i) {
    uint32_t from = pairs[2 * i] & 0xffffff, to = pairs[2 * i + 1] & 0xffffff;
    if (from == to) continue;
    uint8_t r = static_cast<uint8_t>(to), g = static_cast<uint8_t>(to >> 8),
            b = static_cast<uint8_t>(to >> 16);
    if (img.bpp == 8) {
      for (Bgra& c : img.palette)
        if (PackRgb(c) == from) {
          c.r = r;
          c.g = g;
          c.b = b;
          ++changed;
        }
      continue;
    }
    for (int y = 0; y < img.height; ++y) {
      uint8_t* row = img.Row(y);
      for (int x = 0; x < img.width; ++x) {
        if (PackRgb(PixelAt(img, row, x)) != from) continue;
        ++changed;
        if (img.bpp == 16) {
          uint16_t v = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
          row[2 * x] = static_cast<uint8_t>(v);
          row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        } else {
          uint8_t* p = row + static_cast<size_t>(x) * static_cast<size_t>(img.bpp / 8);
          p[0] = b;
          p[1] = g;
          p[2] = r;
        }
      }
    }
  }
  return changed;
}

}  // namespace imgctl
