// Reading image files: BMP (BmpDecode.h: RLE and top-down included), JPEG (baseline and
// progressive), GIF (first frame) and PNG (every colour type, interlaced included).
#pragma once

#include <cstddef>
#include <cstdint>

#include "Image.h"

namespace imgctl {

enum class Format { Unknown, Bmp, Jpeg, Gif, Png };

// The format told by the first bytes of a file.
Format Sniff(const uint8_t* data, size_t size);

// Decodes `data` into `out` (32 bits; alpha kept when the file has it). Refuses files of an
// unknown format, broken files and images beyond kMaxPixels. With `expect` other than Unknown,
// only that format is accepted.
bool Decode(const uint8_t* data, size_t size, Image& out, Format expect = Format::Unknown);

}  // namespace imgctl
