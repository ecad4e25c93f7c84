// Scaling before saving, as the RESIZE section of the profile says.
#pragma once

#include <cstdint>

#include "settings/ResizeProfile.h"

namespace pelmo {

// The size to scale a `width` x `height` image to. By percentage each side is
// side * (percent / 100) in double precision, both taken as unsigned 32-bit values, truncated
// (so 29 % of 100 is 28); a product beyond the 32-bit range gives 4294967295, a size the codec
// refuses. To pixels: the stored size, whatever the source. Any other type keeps outW and outH.
void ComputeResizedSize(const CResizeProfile& resize, uint32_t& outW, uint32_t& outH, uint32_t width,
                        uint32_t height);

}  // namespace pelmo

#ifdef _WIN32
#include "output/ImageCodec.h"

namespace pelmo {

// When "Resize" is on, scales the image in place to ComputeResizedSize of its own size. A size the
// codec cannot make leaves the image as it was; the save goes on with it. True when scaled.
bool ResizeForSave(ImageCodec& codec, const CResizeProfile& resize, ImageHandle image);

}  // namespace pelmo
#endif
