// Reading BMP files: the OS/2 core header and the Windows headers (40 to 124 bytes), 1, 4, 8, 16,
// 24 and 32 bits, uncompressed, RLE8, RLE4 and bit fields, bottom-up and top-down rows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Image.h"

namespace imgctl {

// Decodes into a 32-bit image (alpha kept when the file has a real alpha channel). Refuses
// headers it does not know, sizes beyond kMaxPixels, files cut short (pixels or palette past the
// end) and broken RLE streams; never reads outside `data`.
bool DecodeBmp(const uint8_t* data, size_t size, Image& out);

}  // namespace imgctl
