#include "output/Resize.h"

#include <climits>

namespace pelmo {

bool ResizeForSave(ImageCodec& codec, const CResizeProfile& resize, ImageHandle image) {
  if (resize.GetResize() == 0) return false;
  int w = 0, h = 0;
  if (!codec.GetImageSize(image, w, h)) return false;
  uint32_t outW = static_cast<uint32_t>(w), outH = static_cast<uint32_t>(h);
  ComputeResizedSize(resize, outW, outH, outW, outH);
  // Beyond INT_MAX the codec would read a negative side; it refuses INT_MAX just the same.
  int tw = outW > INT_MAX ? INT_MAX : static_cast<int>(outW);
  int th = outH > INT_MAX ? INT_MAX : static_cast<int>(outH);
  return codec.ResizeImage(image, tw, th);
}

}  // namespace pelmo
