// GIF files: LZW-compressed 8-bit images, optionally interlaced, optionally with a transparent
// colour.
#pragma once

#include <cstdint>
#include <vector>

#include "Image.h"

namespace imgctl {

// The option record of the GIF writer, seven 32-bit fields.
struct GifRecord {
  uint32_t flags;
  uint32_t transparentColour;  // red in bits 0..7, green 8..15, blue 16..23
  uint32_t reserved1;
  uint32_t reserved2;
  uint32_t reserved3;
  uint32_t colourBits;         // bits of the global colour table, 1..8 (larger tables need more)
  uint32_t reserved4;
};
static_assert(sizeof(GifRecord) == 28);

constexpr uint32_t kGifTransparent = 0x8;      // transparentColour is made transparent
constexpr uint32_t kGifInterlace = 0x80;       // rows in the four-pass interlaced order
constexpr uint32_t kGifReduceColours = 0x80000;  // an image above 8 bits is reduced (exact
                                                 // colours first) instead of refused

// Appends a complete GIF89a file to `out`. An 8-bit image is written with its palette; other
// depths only with kGifReduceColours. The image itself is not changed.
bool EncodeGif(const Image& img, const GifRecord& record, std::vector<uint8_t>& out);

}  // namespace imgctl
