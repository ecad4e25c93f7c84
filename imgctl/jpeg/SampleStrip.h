// One MCU row of samples: converts the caller's B,G,R(,X) rows to Y, Cb and Cr planes, pads them
// to whole MCUs by repeating the last column and row, and for 4:2:0 takes chroma as the 2x2
// average of the converted samples.
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

namespace detail {
// A pair of row conversions (ColourKernel.h). WideColourConversion gives the AVX2 ones when this
// build has them and the processor and system run them; else both null.
struct WideRowConverters {
  int (*pair420)(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* y0, uint8_t* y1, uint8_t* cb,
                 uint8_t* cr) = nullptr;
  int (*row444)(const uint8_t* src, int width, uint8_t* y, uint8_t* cb, uint8_t* cr) = nullptr;
};
WideRowConverters WideColourConversion();
}  // namespace detail

class SampleStrip {
 public:
  explicit SampleStrip(const FrameLayout& layout);

  void Load(const PixelSource& source, int mcuRow);

  const uint8_t* Plane(int component) const { return planes_[component].data(); }
  std::ptrdiff_t PlaneStride(int component) const { return strides_[component]; }

 private:
  struct Channels {
    uint16_t* r;
    uint16_t* g;
    uint16_t* b;
  };

  // Splits image row `imageRow` (clamped to the last row) into channels padded to the MCU width,
  // from column `from` on.
  void Split(const PixelSource& source, int imageRow, const Channels& out, int from = 0) const;

  const FrameLayout& layout_;
  std::vector<uint8_t> planes_[3];
  std::ptrdiff_t strides_[3];
  std::vector<uint16_t> scratch_;  // two rows of split channels
  Channels rows_[2];
  std::vector<uint8_t> chroma_;    // full-resolution Cb and Cr of two rows, for 4:2:0
};

}  // namespace imgctl::jpeg
