#include "CoefficientPlanes.h"

namespace imgctl::jpeg {

CoefficientPlanes::CoefficientPlanes(const FrameLayout& layout, int mcuRows) : layout_(layout) {
  for (int c = 0; c < 3; ++c) {
    const ComponentLayout& comp = layout.components[c];
    blocksWide_[c] = comp.blocksWide;
    data_[c].resize(static_cast<size_t>(comp.blocksWide) * comp.v * mcuRows * 64);
  }
}

void CoefficientPlanes::Transform(const SampleStrip& strip, const QuantDivisors* divisors, int bandRow) {
  for (int c = 0; c < 3; ++c) {
    const ComponentLayout& comp = layout_.components[c];
    const uint8_t* plane = strip.Plane(c);
    const std::ptrdiff_t stride = strip.PlaneStride(c);
    const QuantDivisors& div = divisors[comp.table];
    for (int by = 0; by < comp.v; ++by) {
      int16_t* out = Block(c, 0, bandRow * comp.v + by);
      const uint8_t* row = plane + by * 8 * stride;
      for (int bx = 0; bx < comp.blocksWide; ++bx, out += 64) {
        TransformBlock(row + bx * 8, stride, div, out);
      }
    }
  }
}

}  // namespace imgctl::jpeg
