// In-place colour depth changes of an image.
#pragma once

#include "Image.h"

namespace imgctl {

// Mode bits of ConvertTo8 (the program passes 0x201).
constexpr int kTo8Dither = 0x001;      // diffuse the error when colours must be reduced
constexpr int kTo8ExactFirst = 0x200;  // keep the exact colours of an image with <= 256 of them

// Mode of ConvertTo16: 0 rounds each component to 5 bits, kTo16Dither adds ordered dithering.
constexpr int kTo16Dither = 0x001;

// Each returns false and leaves the image as it was when memory runs out. Converting to the depth
// the image already has changes nothing. Alpha is dropped (24, 16) or kept in the palette (8,
// exact colours only).
bool ConvertTo24(Image& img);
bool ConvertTo16(Image& img, int mode);
bool ConvertTo8(Image& img, int mode);

}  // namespace imgctl
