// Reading the PNG files screenshots are: 8-bit RGB or RGBA, not interlaced. The stream is inflated
// once, each row unfiltered in place a pixel per step with SSE2 and written straight into the
// image, without the further whole-image buffers and passes of the general decoder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Image.h"

namespace imgctl {

// Decodes into a 32-bit image (alpha kept for RGBA) and returns true only for a well-formed file
// of that kind: IHDR first, 8-bit colour type 2 or 6 without interlace, no PLTE, tRNS or other
// critical chunk besides IDAT and IEND, a zlib stream that holds exactly the rows (its checksum
// is not checked, as the general decoder does not), and every filter type known. Anything else returns false with `out`
// untouched, for the general decoder to take. Never reads outside `data`.
bool DecodePngRows(const uint8_t* data, size_t size, Image& out);

}  // namespace imgctl
