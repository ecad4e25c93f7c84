#include "BmpDecode.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <vector>

namespace imgctl {

namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

uint32_t Le16(const uint8_t* p) { return uint32_t{p[0]} | (uint32_t{p[1]} << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }

// One colour channel of a 16- or 32-bit pixel, given by its mask.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  static Channel Of(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask == 0) return c;
    while (!((mask >> c.shift) & 1)) ++c.shift;
    for (uint32_t m = mask >> c.shift; m; m >>= 1) ++c.bits;
    return c;
  }
  // The value widened to 8 bits by repeating its bits (5 bits abcde give abcdeabc), or its top
  // 8 bits when it has more.
  uint8_t Get(uint32_t pixel) const {
    if (bits == 0) return 0;
    uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits) out = (out << bits) | v;
    return static_cast<uint8_t>(out >> (((8 + bits - 1) / bits) * bits - 8));
  }
};

struct Header {
  int width = 0, height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = kRgb;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  size_t paletteAt = 0;
  size_t paletteEntry = 4;  // bytes per palette entry: 3 in the OS/2 core header
  size_t paletteCount = 0;
  size_t pixelsAt = 0;
};

uint64_t Stride(const Header& h) { return (uint64_t{static_cast<uint32_t>(h.width)} * h.bpp + 31) / 32 * 4; }

bool ReadHeader(const uint8_t* d, size_t n, Header& h) {
  if (n < 18) return false;
  const size_t hsz = Le32(d + 14);
  if (hsz > n - 14) return false;
  h.pixelsAt = Le32(d + 10);
  size_t headerEnd = 14 + hsz;
  uint32_t colourCount = 0;
  if (hsz == 12) {
    h.width = static_cast<int>(Le16(d + 18));
    h.height = static_cast<int>(Le16(d + 20));
    if (Le16(d + 22) != 1) return false;
    h.bpp = static_cast<int>(Le16(d + 24));
    h.paletteEntry = 3;
  } else if (hsz == 40 || hsz == 52 || hsz == 56 || hsz == 64 || hsz == 108 || hsz == 124) {
    h.width = static_cast<int32_t>(Le32(d + 18));
    const int32_t rawHeight = static_cast<int32_t>(Le32(d + 22));
    if (rawHeight == INT32_MIN) return false;
    h.topDown = rawHeight < 0;  // negative height: rows stored top to bottom
    h.height = std::abs(rawHeight);
    if (Le16(d + 26) != 1) return false;
    h.bpp = static_cast<int>(Le16(d + 28));
    h.compression = Le32(d + 30);
    colourCount = Le32(d + 46);
    // OS/2 2.x uses the same numbers for Huffman and RLE24 coding.
    if (hsz == 64 && h.compression > kRle4) return false;
    if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
      // After a 40-byte header the masks follow it; the longer headers hold them (alpha from 56
      // bytes on).
      const size_t count = hsz == 40 ? (h.compression == kAlphaBitFields ? 4 : 3) : hsz >= 56 ? 4 : 3;
      if (hsz == 40) headerEnd += 4 * count;
      if (headerEnd > n) return false;
      for (size_t i = 0; i < count; ++i) h.masks[i] = Le32(d + 54 + 4 * i);
    }
  } else {
    return false;
  }
  if (h.width <= 0 || h.height <= 0 || !SizeAllowed(h.width, h.height)) return false;

  switch (h.compression) {
    case kRgb:
      if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32) return false;
      if (h.bpp == 16) {
        h.masks[0] = 0x7c00, h.masks[1] = 0x03e0, h.masks[2] = 0x001f, h.masks[3] = 0;
      } else if (h.bpp == 32) {
        h.masks[0] = 0xff0000, h.masks[1] = 0xff00, h.masks[2] = 0xff, h.masks[3] = 0xff000000u;
      }
      break;
    case kRle8:
    case kRle4:
      // Coded rows always run bottom-up.
      if (h.bpp != (h.compression == kRle8 ? 8 : 4) || h.topDown) return false;
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (h.bpp != 16 && h.bpp != 32) return false;
      break;
    default:
      return false;
  }

  if (h.pixelsAt < headerEnd || h.pixelsAt >= n) return false;
  if (h.bpp <= 8) {
    const size_t full = size_t{1} << h.bpp;
    size_t count = colourCount == 0 || colourCount > full ? full : colourCount;
    // Entries that would overlap the pixels are not there; those pixels show black.
    count = std::min(count, (h.pixelsAt - headerEnd) / h.paletteEntry);
    if (count == 0) return false;
    h.paletteAt = headerEnd;
    h.paletteCount = count;
  }
  if (h.compression != kRle8 && h.compression != kRle4) {
    // Every row must be in the file (checked before anything is allocated); only the last row's
    // padding may be missing.
    const uint64_t rowBytes = (uint64_t{static_cast<uint32_t>(h.width)} * h.bpp + 7) / 8;
    if (Stride(h) * static_cast<uint64_t>(h.height - 1) + rowBytes > n - h.pixelsAt) return false;
  }
  return true;
}

// Writes pixels into a 32-bit image; coded rows count from the bottom.
class Canvas {
 public:
  Canvas(Image& img, const std::vector<Bgra>& palette) : img_(img), palette_(palette) {}
  void PutIndex(int x, int codedRow, unsigned index) {
    Put(x, codedRow, index < palette_.size() ? palette_[index] : Bgra{0, 0, 0, 255});
  }
  void Put(int x, int codedRow, Bgra c) {
    uint8_t* p = img_.Row(img_.height - 1 - codedRow) + 4 * static_cast<size_t>(x);
    p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = c.a;
  }

 private:
  Image& img_;
  const std::vector<Bgra>& palette_;
};

// ReadHeader has made sure that every row is inside the file.
bool DecodeUncompressed(const uint8_t* d, const Header& h, const std::vector<Bgra>& palette, Image& img) {
  const uint64_t stride = Stride(h);
  const Channel ch[4] = {Channel::Of(h.masks[0]), Channel::Of(h.masks[1]), Channel::Of(h.masks[2]),
                         Channel::Of(h.masks[3])};
  Canvas canvas(img, palette);
  bool anyAlpha = false, translucent = false;
  for (int r = 0; r < h.height; ++r) {
    const uint8_t* s = d + h.pixelsAt + stride * static_cast<uint64_t>(r);
    const int codedRow = h.topDown ? h.height - 1 - r : r;
    for (int x = 0; x < h.width; ++x) {
      switch (h.bpp) {
        case 1:
          canvas.PutIndex(x, codedRow, (s[x >> 3] >> (7 - (x & 7))) & 1);
          break;
        case 4:
          canvas.PutIndex(x, codedRow, (s[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
          break;
        case 8:
          canvas.PutIndex(x, codedRow, s[x]);
          break;
        case 24: {
          const uint8_t* p = s + 3 * static_cast<size_t>(x);
          canvas.Put(x, codedRow, Bgra{p[0], p[1], p[2], 255});
          break;
        }
        default: {
          const uint32_t v = h.bpp == 16 ? Le16(s + 2 * static_cast<size_t>(x)) : Le32(s + 4 * static_cast<size_t>(x));
          Bgra c{ch[2].Get(v), ch[1].Get(v), ch[0].Get(v), 255};
          if (ch[3].bits) {
            c.a = ch[3].Get(v);
            anyAlpha |= c.a != 0;
            translucent |= c.a != 255;
          }
          canvas.Put(x, codedRow, c);
          break;
        }
      }
    }
  }
  if (ch[3].bits && !anyAlpha) {
    // An alpha channel of zeros only is an unused fourth byte, not an invisible picture.
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) img.Row(y)[4 * static_cast<size_t>(x) + 3] = 255;
    translucent = false;
  }
  img.hasAlpha = translucent;
  return true;
}

// RLE8 and RLE4: runs of one index (RLE4: two alternating indices), and escapes for end of
// line, end of bitmap, a move right and up, and a literal run padded to 16 bits. Pixels the
// stream skips keep palette entry 0. A stream that ends before its last row, moves outside the
// image or writes past the last row is refused; a run longer than its row is cut at the edge.
bool DecodeRle(const uint8_t* d, size_t n, const Header& h, const std::vector<Bgra>& palette, Image& img) {
  Canvas canvas(img, palette);
  for (int y = 0; y < h.height; ++y)
    for (int x = 0; x < h.width; ++x) canvas.PutIndex(x, y, 0);
  const bool four = h.compression == kRle4;
  const uint8_t* p = d + h.pixelsAt;
  const uint8_t* end = d + n;
  int x = 0, y = 0;
  auto put = [&](unsigned index) {
    if (x < h.width) canvas.PutIndex(x, y, index);
    if (x < h.width) ++x;
  };
  while (end - p >= 2) {
    const unsigned count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      if (y >= h.height) return false;
      for (unsigned i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
      if (y > h.height) return false;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // move
      if (end - p < 2) return false;
      x += p[0];
      y += p[1];
      p += 2;
      if (x > h.width || y > h.height) return false;
    } else {  // literal run
      const size_t bytes = four ? (value + 1) / 2 : value;
      const size_t padded = (bytes + 1) & ~size_t{1};
      if (static_cast<size_t>(end - p) < bytes || y >= h.height) return false;
      for (unsigned i = 0; i < value; ++i) put(four ? ((i & 1) ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
      p += std::min(padded, static_cast<size_t>(end - p));
    }
  }
  // No end-of-bitmap mark: whole only when every row was ended.
  return y >= h.height;
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, Image& out) {
  if (data == nullptr) return false;
  Header h;
  if (!ReadHeader(data, size, h)) return false;
  std::vector<Bgra> palette;
  try {
    palette.resize(h.paletteCount);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (size_t i = 0; i < h.paletteCount; ++i) {
    const uint8_t* e = data + h.paletteAt + i * h.paletteEntry;
    palette[i] = Bgra{e[0], e[1], e[2], 255};
  }
  Image img;
  if (!Allocate(img, h.width, h.height, 32)) return false;
  const bool ok = h.compression == kRle8 || h.compression == kRle4 ? DecodeRle(data, size, h, palette, img)
                                                                    : DecodeUncompressed(data, h, palette, img);
  if (!ok) return false;
  out = std::move(img);
  return true;
}

}  // namespace imgctl
