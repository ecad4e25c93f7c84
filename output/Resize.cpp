#include "output/Resize.h"

namespace pelmo {

namespace {

uint32_t Scaled(uint32_t side, int32_t percent) {
  // The factor first, as documented: 29 / 100 * 100 is 28.999..., truncated to 28.
  double v = static_cast<double>(side) * (static_cast<double>(static_cast<uint32_t>(percent)) / 100.0);
  if (!(v < 4294967296.0)) return UINT32_MAX;
  return static_cast<uint32_t>(v);
}

}  // namespace

void ComputeResizedSize(const CResizeProfile& resize, uint32_t& outW, uint32_t& outH, uint32_t width,
                        uint32_t height) {
  switch (resize.GetResizeType()) {
    case CResizeProfile::kByPercent:
      outW = Scaled(width, resize.GetPercentX());
      outH = Scaled(height, resize.GetPercentY());
      break;
    case CResizeProfile::kToPixels:
      outW = static_cast<uint32_t>(resize.GetPixelsX());
      outH = static_cast<uint32_t>(resize.GetPixelsY());
      break;
    default:
      break;
  }
}

}  // namespace pelmo
