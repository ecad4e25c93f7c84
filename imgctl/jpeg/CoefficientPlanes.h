// Quantised coefficients (64 per block, zigzag order) of a band of block rows of each component,
// and the step that fills them from a strip of samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ForwardDct.h"
#include "FrameLayout.h"
#include "SampleStrip.h"

namespace imgctl::jpeg {

class CoefficientPlanes {
 public:
  // Room for the top `mcuRows` MCU rows of every component (the whole frame for a full encode).
  CoefficientPlanes(const FrameLayout& layout, int mcuRows);

  int16_t* Block(int component, int blockX, int blockY) {
    return data_[component].data() + (static_cast<size_t>(blockY) * blocksWide_[component] + blockX) * 64;
  }
  const int16_t* Block(int component, int blockX, int blockY) const {
    return data_[component].data() + (static_cast<size_t>(blockY) * blocksWide_[component] + blockX) * 64;
  }

  // Transforms the strip into MCU row `bandRow` of these planes (of the frame); blocks wholly in the
  // padding get the DC of the block before them in their MCU and no AC.
  void Transform(const SampleStrip& strip, const QuantDivisors* divisors, int bandRow);

 private:
  const FrameLayout& layout_;
  std::vector<int16_t> data_[3];
  int blocksWide_[3];
};

}  // namespace imgctl::jpeg
