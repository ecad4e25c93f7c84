// PNG files. The writer picks the smallest lossless form: a palette (at 1, 2, 4 or 8 bits) when
// the image has 256 or fewer colours, otherwise RGB, or RGBA when the image has real alpha.
#pragma once

#include <vector>

#include "Image.h"

namespace imgctl {

// Appends a complete file to `out`; `interlace` writes Adam7.
bool EncodePng(const Image& img, bool interlace, std::vector<uint8_t>& out);

}  // namespace imgctl
