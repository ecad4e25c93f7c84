// One MCU row of samples: converts the caller's B,G,R(,X) rows to Y, Cb and Cr planes, pads them
// to whole MCUs by repeating the last column and row, and averages chroma 2x2 for 4:2:0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FrameLayout.h"

namespace imgctl::jpeg {

struct PixelSource {
  const uint8_t* top = nullptr;  // first byte of the top row
  std::ptrdiff_t stride = 0;     // bytes from one row to the next (negative for bottom-up)
  int bytesPerPixel = 3;
};

class SampleStrip {
 public:
  explicit SampleStrip(const FrameLayout& layout);

  void Load(const PixelSource& source, int mcuRow);

  const uint8_t* Plane(int component) const { return planes_[component].data(); }
  std::ptrdiff_t PlaneStride(int component) const { return strides_[component]; }

 private:
  void ConvertRow(const PixelSource& source, int imageRow, uint8_t* y, uint8_t* cb, uint8_t* cr) const;

  const FrameLayout& layout_;
  std::vector<uint8_t> planes_[3];
  std::ptrdiff_t strides_[3];
  std::vector<uint8_t> chromaRows_;  // two full-resolution Cb and Cr rows for 4:2:0
};

}  // namespace imgctl::jpeg
