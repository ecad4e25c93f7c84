// The resize step before an image is written: a percentage of its size or a fixed size.
#pragma once

#include <cstdint>

#include "settings/ResizeProfile.h"

namespace pelmo {

// New size from the RESIZE values. Type 0: w x (X% / 100), h x (Y% / 100), the factor computed
// first in double precision and the product truncated (29 % of 100 gives 28). Type 1: the pixel
// values, whatever the source. Any other type keeps the incoming out values.
void ComputeResizedSize(const CResizeProfile& resize, uint32_t& outWidth, uint32_t& outHeight,
                        uint32_t width, uint32_t height);

}  // namespace pelmo
