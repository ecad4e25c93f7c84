// Palette for an 8-bit image: the exact colours when there are 256 or fewer, otherwise a
// median-cut palette refined by k-means, mapped with error diffusion.
#pragma once

#include <vector>

#include "Image.h"

namespace imgctl {

// Collects the distinct colours of `img` (alpha included when it has alpha); false as soon as
// there are more than `limit`.
bool ExactColours(const Image& img, size_t limit, std::vector<Bgra>& colours);

// Palette and one index per pixel (rows of `width` bytes, no padding) of an image with 256 or
// fewer distinct colours; false when it has more.
bool IndexExact(const Image& img, std::vector<Bgra>& palette, std::vector<uint8_t>& indices);

// Converts a 24- or 32-bit image to an 8-bit one into `out`. `exactFirst`: keep the exact colours
// when there are 256 or fewer. `dither`: diffuse the error of reduced colours (Floyd-Steinberg).
// False (out untouched) when out of memory.
bool QuantizeTo8(const Image& src, bool exactFirst, bool dither, Image& out);

}  // namespace imgctl
