// BMP files at the image's own depth: 32 and 24 bits, 16 bits (RGB555), 8 bits with its palette.
#pragma once

#include <vector>

#include "Image.h"

namespace imgctl {

// Appends a complete file to `out`. A 32-bit image without alpha is written opaque.
bool EncodeBmp(const Image& img, std::vector<uint8_t>& out);

}  // namespace imgctl
