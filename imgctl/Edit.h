// Cropping and colour replacement.
#pragma once

#include <cstdint>

#include "Image.h"

namespace imgctl {

// The part of `src` inside (x, y, width, height), clipped to the image, into `out` at the same
// depth. False when nothing of the rectangle lies inside the image or memory runs out.
bool Crop(const Image& src, int x, int y, int width, int height, Image& out);

// The colour-pair step before writing a GIF: every pixel (or palette entry) whose colour equals
// the first colour of a pair takes the second. With the pair (transparent, background) the parts
// that would have been transparent show the background colour instead. Colours are packed red in
// bits 0..7, green 8..15, blue 16..23; alpha is kept. `pairs` holds 2 * count values. Returns the
// number of pixels or palette entries changed.
int64_t ReplaceColours(Image& img, const uint32_t* pairs, int count);

}  // namespace imgctl
