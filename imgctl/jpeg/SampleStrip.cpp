#include "SampleStrip.h"

#include <algorithm>

namespace imgctl::jpeg {
namespace {

// BT.601 full-range YCbCr as JFIF defines it. Inputs are scaled to 15 bits (value << 7) so each
// product can be taken as the high half of a 16x16-bit multiply, which the vectoriser maps to
// one instruction per eight samples; outputs keep 7 fraction bits until the final shift.
inline uint16_t MulHighU(uint16_t a, uint16_t b) {
  return static_cast<uint16_t>((static_cast<uint32_t>(a) * b) >> 16);
}
inline int16_t MulHighS(int16_t a, int16_t b) {
  return static_cast<int16_t>((static_cast<int32_t>(a) * b) >> 16);
}

constexpr uint16_t kYR = 19595, kYG = 38470, kYB = 7471;  // 0.299, 0.587, 0.114 in 0.16
constexpr int16_t kCbR = -11059, kCbG = -21709;            // -0.16874, -0.33126
constexpr int16_t kCrG = -27439, kCrB = -5329;             // -0.41869, -0.08131
// Offset 128 with 7 fraction bits plus a rounding half that stops just short of 256.
constexpr int kChromaOffset = (128 << 7) + 63;

// Channels hold value << (7 - shift): 8-bit samples use shift 7, sums of four use shift 5.
template <int Shift>
void ConvertLuma(const uint16_t* __restrict r, const uint16_t* __restrict g, const uint16_t* __restrict b,
                 int count, uint8_t* __restrict y) {
  for (int x = 0; x < count; ++x) {
    const uint16_t sum = static_cast<uint16_t>(MulHighU(static_cast<uint16_t>(r[x] << Shift), kYR) +
                                               MulHighU(static_cast<uint16_t>(g[x] << Shift), kYG) +
                                               MulHighU(static_cast<uint16_t>(b[x] << Shift), kYB));
    y[x] = static_cast<uint8_t>(static_cast<uint16_t>(sum + 65) >> 7);
  }
}

template <int Shift>
void ConvertChroma(const uint16_t* __restrict r, const uint16_t* __restrict g, const uint16_t* __restrict b,
                   int count, uint8_t* __restrict cb, uint8_t* __restrict cr) {
  for (int x = 0; x < count; ++x) {
    const auto r15 = static_cast<int16_t>(r[x] << Shift);
    const auto g15 = static_cast<int16_t>(g[x] << Shift);
    const auto b15 = static_cast<int16_t>(b[x] << Shift);
    const int16_t u = static_cast<int16_t>(MulHighS(r15, kCbR) + MulHighS(g15, kCbG) + (b15 >> 1) + kChromaOffset);
    const int16_t v = static_cast<int16_t>(MulHighS(g15, kCrG) + MulHighS(b15, kCrB) + (r15 >> 1) + kChromaOffset);
    cb[x] = static_cast<uint8_t>(static_cast<uint16_t>(u) >> 7);
    cr[x] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 7);
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

// Sums of 2x2 neighbourhoods, at most 4 * 255.
void SumQuads(const uint16_t* __restrict row0, const uint16_t* __restrict row1, int count, uint16_t* __restrict out) {
  for (int x = 0; x < count; ++x) {
    out[x] = static_cast<uint16_t>(row0[2 * x] + row0[2 * x + 1] + row1[2 * x] + row1[2 * x + 1]);
  }
}

}  // namespace

SampleStrip::SampleStrip(const FrameLayout& layout) : layout_(layout) {
  for (int c = 0; c < 3; ++c) {
    const ComponentLayout& comp = layout.components[c];
    strides_[c] = static_cast<std::ptrdiff_t>(comp.blocksWide) * 8;
    planes_[c].resize(static_cast<size_t>(strides_[c]) * comp.v * 8);
  }
  const size_t width = static_cast<size_t>(strides_[0]);
  scratch_.resize(width * 6 + width / 2 * 3);
  uint16_t* p = scratch_.data();
  for (Channels& row : rows_) {
    row = {p, p + width, p + 2 * width};
    p += 3 * width;
  }
  sums_ = {p, p + width / 2, p + width};
}

void SampleStrip::Split(const PixelSource& source, int imageRow, const Channels& out) const {
  const int row = std::min(imageRow, layout_.height - 1);
  const uint8_t* src = source.top + source.stride * row;
  const int width = layout_.width;
  if (source.bytesPerPixel == 4) {
    SplitPixels<4>(src, width, out.r, out.g, out.b);
  } else {
    SplitPixels<3>(src, width, out.r, out.g, out.b);
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
      Split(source, firstRow + r, c);
      ConvertLuma<7>(c.r, c.g, c.b, width, y + r * width);
      ConvertChroma<7>(c.r, c.g, c.b, width, cb + r * width, cr + r * width);
    }
    return;
  }
  const int half = static_cast<int>(strides_[1]);
  const Channels& top = rows_[0];
  const Channels& bottom = rows_[1];
  for (int r = 0; r < 8; ++r) {
    Split(source, firstRow + 2 * r, top);
    Split(source, firstRow + 2 * r + 1, bottom);
    ConvertLuma<7>(top.r, top.g, top.b, width, y + 2 * r * width);
    ConvertLuma<7>(bottom.r, bottom.g, bottom.b, width, y + (2 * r + 1) * width);
    SumQuads(top.r, bottom.r, half, sums_.r);
    SumQuads(top.g, bottom.g, half, sums_.g);
    SumQuads(top.b, bottom.b, half, sums_.b);
    ConvertChroma<5>(sums_.r, sums_.g, sums_.b, half, cb + r * half, cr + r * half);
  }
}

}  // namespace imgctl::jpeg
