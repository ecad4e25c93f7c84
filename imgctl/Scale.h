// In-place scaling: area averaging when shrinking (each output pixel is the exact mean of the
// source area it covers, so thin lines and text stay legible), linear interpolation when enlarging.
#pragma once

#include "Image.h"

namespace imgctl {

// Scales `img` to width x height. A side of 0 becomes 1. False, with the image as it was, for a
// negative side, a size beyond kMaxPixels, or memory that cannot be had. The result is 32 bits
// for a 32-bit image and 24 bits otherwise.
bool ScaleImage(Image& img, int width, int height);

}  // namespace imgctl
