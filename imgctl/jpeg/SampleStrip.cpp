#include "SampleStrip.h"

#include <algorithm>

namespace imgctl::jpeg {
namespace {

// ITU-R BT.601 full-range weights in 16.16 fixed point, as JFIF asks.
constexpr int32_t kFix = 1 << 16;
constexpr int32_t kYR = 19595, kYG = 38470, kYB = 7471;
constexpr int32_t kCbR = -11059, kCbG = -21709, kCbB = 32768;
constexpr int32_t kCrR = 32768, kCrG = -27439, kCrB = -5329;
// Chroma gets half minus one as rounding so that 255.5 cannot round up to 256.
constexpr int32_t kChromaBias = 128 * kFix + kFix / 2 - 1;

template <int Bpp>
void ConvertPixels(const uint8_t* src, int count, uint8_t* __restrict y, uint8_t* __restrict cb,
                   uint8_t* __restrict cr) {
  for (int x = 0; x < count; ++x) {
    const int32_t b = src[x * Bpp], g = src[x * Bpp + 1], r = src[x * Bpp + 2];
    y[x] = static_cast<uint8_t>((kYR * r + kYG * g + kYB * b + kFix / 2) >> 16);
    cb[x] = static_cast<uint8_t>((kCbR * r + kCbG * g + kCbB * b + kChromaBias) >> 16);
    cr[x] = static_cast<uint8_t>((kCrR * r + kCrG * g + kCrB * b + kChromaBias) >> 16);
  }
}

// 2x2 box average; the rounding bias alternates 1, 2 so that it does not drift in one direction.
void Downsample2x2(const uint8_t* __restrict row0, const uint8_t* __restrict row1, int outCount,
                   uint8_t* __restrict out) {
  for (int x = 0; x < outCount; ++x) {
    const int sum = row0[2 * x] + row0[2 * x + 1] + row1[2 * x] + row1[2 * x + 1];
    out[x] = static_cast<uint8_t>((sum + 1 + (x & 1)) >> 2);
  }
}

}  // namespace

SampleStrip::SampleStrip(const FrameLayout& layout) : layout_(layout) {
  for (int c = 0; c < 3; ++c) {
    const ComponentLayout& comp = layout.components[c];
    strides_[c] = static_cast<std::ptrdiff_t>(comp.blocksWide) * 8;
    planes_[c].resize(static_cast<size_t>(strides_[c]) * comp.v * 8);
  }
  if (layout.components[0].h == 2) chromaRows_.resize(static_cast<size_t>(strides_[0]) * 4);
}

void SampleStrip::ConvertRow(const PixelSource& source, int imageRow, uint8_t* y, uint8_t* cb,
                             uint8_t* cr) const {
  const int row = std::min(imageRow, layout_.height - 1);
  const uint8_t* src = source.top + source.stride * row;
  const int width = layout_.width;
  if (source.bytesPerPixel == 4) {
    ConvertPixels<4>(src, width, y, cb, cr);
  } else {
    ConvertPixels<3>(src, width, y, cb, cr);
  }
  const int padded = static_cast<int>(strides_[0]);
  std::fill(y + width, y + padded, y[width - 1]);
  std::fill(cb + width, cb + padded, cb[width - 1]);
  std::fill(cr + width, cr + padded, cr[width - 1]);
}

void SampleStrip::Load(const PixelSource& source, int mcuRow) {
  const int firstRow = mcuRow * layout_.mcuHeight;
  uint8_t* y = planes_[0].data();
  uint8_t* cb = planes_[1].data();
  uint8_t* cr = planes_[2].data();
  const std::ptrdiff_t lumaStride = strides_[0];
  if (layout_.components[0].h == 1) {
    for (int r = 0; r < 8; ++r) {
      ConvertRow(source, firstRow + r, y + r * lumaStride, cb + r * lumaStride, cr + r * lumaStride);
    }
    return;
  }
  const std::ptrdiff_t chromaStride = strides_[1];
  uint8_t* cb0 = chromaRows_.data();
  uint8_t* cb1 = cb0 + lumaStride;
  uint8_t* cr0 = cb1 + lumaStride;
  uint8_t* cr1 = cr0 + lumaStride;
  for (int r = 0; r < 8; ++r) {
    ConvertRow(source, firstRow + 2 * r, y + 2 * r * lumaStride, cb0, cr0);
    ConvertRow(source, firstRow + 2 * r + 1, y + (2 * r + 1) * lumaStride, cb1, cr1);
    Downsample2x2(cb0, cb1, static_cast<int>(chromaStride), cb + r * chromaStride);
    Downsample2x2(cr0, cr1, static_cast<int>(chromaStride), cr + r * chromaStride);
  }
}

}  // namespace imgctl::jpeg
