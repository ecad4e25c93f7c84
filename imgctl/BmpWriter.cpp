#include "BmpWriter.h"

#include <new>

namespace imgctl {

namespace {

void Put16(std::vector<uint8_t>& o, uint32_t v) {
  o.push_back(static_cast<uint8_t>(v));
  o.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& o, uint32_t v) {
  Put16(o, v & 0xffff);
  Put16(o, v >> 16);
}

}  // namespace

bool EncodeBmp(const Image& img, std::vector<uint8_t>& out) {
  if (img.width <= 0 || img.height <= 0) return false;
  uint32_t colours = img.bpp == 8 ? static_cast<uint32_t>(img.palette.size()) : 0;
  if (img.bpp == 8 && colours == 0) return false;
  uint64_t pixelBytes = uint64_t{img.stride} * static_cast<uint64_t>(img.height);
  uint64_t offset = 14 + 40 + uint64_t{colours} * 4;
  if (offset + pixelBytes > 0xffffffffu) return false;
  try {
    out.reserve(out.size() + offset + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(offset + pixelBytes));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(offset));
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(img.width));
    Put32(out, static_cast<uint32_t>(img.height));  // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(img.bpp));
    Put32(out, 0);  // BI_RGB; 16 bits means 5-5-5
    Put32(out, static_cast<uint32_t>(pixelBytes));
    Put32(out, 3780);  // 96 dpi
    Put32(out, 3780);
    Put32(out, colours);
    Put32(out, 0);
    for (const Bgra& c : img.palette) {
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      out.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
      const uint8_t* row = img.Row(y);
      size_t at = out.size();
      out.insert(out.end(), row, row + img.stride);
      if (img.bpp == 32 && !img.hasAlpha)
        for (int x = 0; x < img.width; ++x) out[at + 4 * static_cast<size_t>(x) + 3] = 255;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace imgctl
