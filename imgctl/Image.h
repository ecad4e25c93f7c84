// The image object behind every handle of the codec library: top-down rows at 32 (B,G,R,A),
// 24 (B,G,R), 16 (RGB555, little-endian words) or 8 bits (indices into a palette).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BlockCache.h"

namespace imgctl {

// Largest image the library creates, by decoding, scaling or cropping: 2^25 pixels (an 8K
// screen, 7680 x 4320, fits; 128 MiB at 32 bits), and no side longer than 65535. Files beyond it
// are refused rather than exhausting memory (decoders need several times the pixel buffer).
// The fuzz targets build with a smaller limit so that time goes into the decoders' logic.
#ifndef IMGCTL_MAX_PIXELS
#define IMGCTL_MAX_PIXELS (int64_t{1} << 25)
#endif
constexpr int64_t kMaxPixels = IMGCTL_MAX_PIXELS;
constexpr int kMaxSide = 65535;

struct Bgra {
  uint8_t b = 0, g = 0, r = 0, a = 255;
  friend bool operator==(const Bgra&, const Bgra&) = default;
};

struct Image {
  int width = 0;
  int height = 0;
  int bpp = 32;
  // 32-bit images only: the fourth byte is real opacity. Screen copies carry an undefined byte
  // there, so it is false for them and writers emit opaque pixels.
  bool hasAlpha = false;
  size_t stride = 0;  // bytes per row, a multiple of 4 as in a DIB
  std::vector<uint8_t, BlockAllocator<uint8_t>> pixels;
  std::vector<Bgra> palette;  // 8-bit images only, at most 256 entries

  uint8_t* Row(int y) { return pixels.data() + stride * static_cast<size_t>(y); }
  const uint8_t* Row(int y) const { return pixels.data() + stride * static_cast<size_t>(y); }
};

bool SizeAllowed(int64_t width, int64_t height);
size_t StrideFor(int width, int bpp);

// Sets up `img` with zeroed pixels; false (img untouched) when the size is not allowed or the
// memory cannot be had.
bool Allocate(Image& img, int width, int height, int bpp);

inline Bgra From555(uint16_t v) {
  auto expand = [](unsigned c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
  return Bgra{expand(v & 31), expand((v >> 5) & 31), expand((v >> 10) & 31), 255};
}

// Colour of pixel x of row `row` of an image at any depth; alpha 255 unless the image has alpha.
inline Bgra PixelAt(const Image& img, const uint8_t* row, int x) {
  switch (img.bpp) {
    case 32: {
      const uint8_t* p = row + 4 * static_cast<size_t>(x);
      return Bgra{p[0], p[1], p[2], img.hasAlpha ? p[3] : uint8_t{255}};
    }
    case 24: {
      const uint8_t* p = row + 3 * static_cast<size_t>(x);
      return Bgra{p[0], p[1], p[2], 255};
    }
    case 16:
      return From555(static_cast<uint16_t>(row[2 * x] | (row[2 * x + 1] << 8)));
    default: {
      uint8_t i = row[x];
      return i < img.palette.size() ? img.palette[i] : Bgra{};
    }
  }
}

// Colour as the library's 32-bit value: red in bits 0..7, green 8..15, blue 16..23.
inline uint32_t PackRgb(const Bgra& c) {
  return c.r | (uint32_t{c.g} << 8) | (uint32_t{c.b} << 16);
}

// A 32-bit copy of any image (alpha 255 where the source has none); false when out of memory.
bool ToBgra32(const Image& src, Image& out);

}  // namespace imgctl
