#include "SampleStrip.h"

#include <algorithm>
#include <cstring>

#include "ColourKernel.h"
#include "Simd.h"
#if IMGCTL_JPEG_SSE2
#include "Sse2Ops.h"
#endif

namespace imgctl::jpeg {
namespace {

using namespace colour;

inline uint8_t Luma(int r, int g, int b) { return static_cast<uint8_t>((kYR * r + kYG * g + kYB * b + kLumaRound) >> 16); }
inline uint8_t Cb(int r, int g, int b) { return static_cast<uint8_t>((kCbR * r + kCbG * g + kCbB * b + kChromaOffset) >> 16); }
inline uint8_t Cr(int r, int g, int b) { return static_cast<uint8_t>((kCrR * r + kCrG * g + kCrB * b + kChromaOffset) >> 16); }

void ConvertRow(const uint16_t* __restrict r, const uint16_t* __restrict g, const uint16_t* __restrict b, int count,
                uint8_t* __restrict y, uint8_t* __restrict cb, uint8_t* __restrict cr) {
  for (int x = 0; x < count; ++x) {
    y[x] = Luma(r[x], g[x], b[x]);
    cb[x] = Cb(r[x], g[x], b[x]);
    cr[x] = Cr(r[x], g[x], b[x]);
  }
}

// 2x2 means of two full-resolution chroma rows; `column` is the first output column's index.
void Downsample(const uint8_t* __restrict top, const uint8_t* __restrict bottom, int count, int column,
                uint8_t* __restrict out) {
  for (int x = 0; x < count; ++x) {
    const int bias = 1 + ((column + x) & 1);
    out[x] = static_cast<uint8_t>((top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + bias) >> 2);
  }
}

template <int Bpp>
void SplitPixels(const uint8_t* __restrict src, int count, uint16_t* __restrict r, uint16_t* __restrict g,
                 uint16_t* __restrict b) {
  for (int x = 0; x < count; ++x) {
    b[x] = src[x * Bpp];
    g[x] = src[x * Bpp + 1];
    r[x] = src[x * Bpp + 2];
  }
}

#if IMGCTL_JPEG_SSE2
using Sse2 = colour::Kernel<Sse2Ops>;

// The widest conversion the processor runs: AVX2 where it has it, else SSE2.
const detail::WideRowConverters& Converters() {
  static const detail::WideRowConverters converters = [] {
    detail::WideRowConverters wide = detail::WideColourConversion();
    if (wide.pair420 == nullptr) wide = {&Sse2::RowPair420, &Sse2::Row444};
    return wide;
  }();
  return converters;
}
#endif

}  // namespace

SampleStrip::SampleStrip(const FrameLayout& layout) : layout_(layout) {
  for (int c = 0; c < 3; ++c) {
    const ComponentLayout& comp = layout.components[c];
    strides_[c] = static_cast<std::ptrdiff_t>(comp.blocksWide) * 8;
    planes_[c].resize(static_cast<size_t>(strides_[c]) * comp.v * 8);
  }
  const size_t width = static_cast<size_t>(strides_[0]);
  scratch_.resize(width * 6);
  uint16_t* p = scratch_.data();
  for (Channels& row : rows_) {
    row = {p, p + width, p + 2 * width};
    p += 3 * width;
  }
  chroma_.resize(width * 4);
}

void SampleStrip::Split(const PixelSource& source, int imageRow, const Channels& out, int from) const {
  const int row = std::min(imageRow, layout_.height - 1);
  const int width = layout_.width;
  from = std::min(from, width - 1);  // the padding repeats the last pixel, so split that one anew
  const uint8_t* src = source.top + source.stride * row + static_cast<std::ptrdiff_t>(from) * source.bytesPerPixel;
  if (source.bytesPerPixel == 4) {
    SplitPixels<4>(src, width - from, out.r + from, out.g + from, out.b + from);
  } else {
    SplitPixels<3>(src, width - from, out.r + from, out.g + from, out.b + from);
  }
  const int padded = static_cast<int>(strides_[0]);
  std::fill(out.r + width, out.r + padded, out.r[width - 1]);
  std::fill(out.g + width, out.g + padded, out.g[width - 1]);
  std::fill(out.b + width, out.b + padded, out.b[width - 1]);
}

void SampleStrip::Load(const PixelSource& source, int mcuRow) {
  const int firstRow = mcuRow * layout_.mcuHeight;
  const int width = static_cast<int>(strides_[0]);
  uint8_t* y = planes_[0].data();
  uint8_t* cb = planes_[1].data();
  uint8_t* cr = planes_[2].data();
  if (layout_.components[0].h == 1) {
    const Channels& c = rows_[0];
    for (int r = 0; r < 8; ++r) {
      uint8_t* yRow = y + r * width;
      uint8_t* cbRow = cb + r * width;
      uint8_t* crRow = cr + r * width;
      int done = 0;  // pixels converted straight from the source
#if IMGCTL_JPEG_SSE2
      if (source.bytesPerPixel == 4) {
        const int row = std::min(firstRow + r, layout_.height - 1);
        done = Converters().row444(source.top + source.stride * row, layout_.width, yRow, cbRow, crRow);
      }
#endif
      Split(source, firstRow + r, c, done);
      ConvertRow(c.r + done, c.g + done, c.b + done, width - done, yRow + done, cbRow + done, crRow + done);
    }
    return;
  }
  const int half = static_cast<int>(strides_[1]);
  const Channels& top = rows_[0];
  const Channels& bottom = rows_[1];
  uint8_t* const cbTop = chroma_.data();
  uint8_t* const crTop = cbTop + width;
  uint8_t* const cbBottom = crTop + width;
  uint8_t* const crBottom = cbBottom + width;
  for (int r = 0; r < 8; ++r) {
    uint8_t* y0 = y + 2 * r * width;
    uint8_t* y1 = y0 + width;
    uint8_t* cbRow = cb + r * half;
    uint8_t* crRow = cr + r * half;
    int done = 0;  // pixels converted straight from the source; always even
#if IMGCTL_JPEG_SSE2
    if (source.bytesPerPixel == 4) {
      const int row0 = std::min(firstRow + 2 * r, layout_.height - 1);
      const int row1 = std::min(firstRow + 2 * r + 1, layout_.height - 1);
      done = Converters().pair420(source.top + source.stride * row0, source.top + source.stride * row1,
                               layout_.width, y0, y1, cbRow, crRow);
    }
#endif
    // The rest of the row and the padding to whole MCUs, through the channel rows.
    Split(source, firstRow + 2 * r, top, done);
    Split(source, firstRow + 2 * r + 1, bottom, done);
    const int rest = width - done, halfDone = done / 2;
    ConvertRow(top.r + done, top.g + done, top.b + done, rest, y0 + done, cbTop, crTop);
    ConvertRow(bottom.r + done, bottom.g + done, bottom.b + done, rest, y1 + done, cbBottom, crBottom);
    Downsample(cbTop, cbBottom, half - halfDone, halfDone, cbRow + halfDone);
    Downsample(crTop, crBottom, half - halfDone, halfDone, crRow + halfDone);
  }
}

}  // namespace imgctl::jpeg
