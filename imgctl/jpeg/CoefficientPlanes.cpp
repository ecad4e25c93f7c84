#include "CoefficientPlanes.h"

#include <algorithm>

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
    for (int y = 0; y < comp.v; ++y) {
      const int by = bandRow * comp.v + y;
      int16_t* out = Block(c, 0, by);
      const uint8_t* row = plane + y * 8 * stride;
      for (int bx = 0; bx < comp.blocksWide; ++bx, out += 64) {
        if (by < comp.usedBlocksHigh && bx < comp.usedBlocksWide) {
          TransformBlock(row + bx * 8, stride, div, out);
          continue;
        }
        // A block wholly in the padding (only interleaved scans code it): the DC of the block
        // before it in its MCU, no AC.
        const int x = bx % comp.h;
        const int16_t* previous = x > 0 ? out - 64 : Block(c, bx - x + comp.h - 1, by - 1);
        std::fill(out + 1, out + 64, int16_t{0});
        out[0] = previous[0];
      }
    }
  }
}

}  // namespace imgctl::jpeg
