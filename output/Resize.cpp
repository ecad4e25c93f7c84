#include "Resize.h"

#include <cmath>

namespace pelmo {
namespace {

uint32_t Scale(uint32_t size, int32_t percent) {
  const double factor = static_cast<double>(static_cast<uint32_t>(percent)) / 100.0;
  const double product = std::trunc(static_cast<double>(size) * factor);
  // Beyond 32 bits there is no image to make; the codec refuses the size and keeps the image.
  return product >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(product);
}

}  // namespace

void ComputeResizedSize(const CResizeProfile& resize, uint32_t& outWidth, uint32_t& outHeight,
                        uint32_t width, uint32_t height) {
  switch (resize.GetResizeType()) {
    case 0:
      outWidth = Scale(width, resize.GetPercentX());
      outHeight = Scale(height, resize.GetPercentY());
      break;
    case 1:
      outWidth = static_cast<uint32_t>(resize.GetPixelsX());
      outHeight = static_cast<uint32_t>(resize.GetPixelsY());
      break;
    default:
      break;
  }
}

}  // namespace pelmo
