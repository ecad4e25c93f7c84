#include "SampleStrip.h"

#include <algorithm>
#include <cstring>

#include "Simd.h"

namespace imgctl::jpeg {
namespace {

// BT.601 full-range YCbCr as JFIF defines it, with 16-bit fixed-point factors; luma rounds half
// up, chroma half down. 4:2:0 chroma is the 2x2 mean of the converted samples, rounded up and
// down on alternate columns so the halves do not pile up. These are the samples other encoders
// take from the same pixels, so coefficients and files match theirs.
constexpr int kYR = 19595, kYG = 38470, kYB = 7471;     // 0.299, 0.587, 0.114
constexpr int kCbR = -11059, kCbG = -21709, kCbB = 32768;  // -0.16874, -0.33126, 0.5
constexpr int kCrR = 32768, kCrG = -27439, kCrB = -5329;   // 0.5, -0.41869, -0.08131
constexpr int kLumaRound = 1 << 15;
constexpr int kChromaOffset = (128 << 16) + (1 << 15) - 1;

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
inline __m128i Pair(int low, int high) {
  return _mm_set1_epi32(static_cast<int>((static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xFFFF)));
}

// Y, Cb and Cr of four B,G,R,X pixels, each still scaled by 2^16 in a 32-bit lane. Each row of
// factors sums to 1 (luma) or 0 (chroma), so with dB = B - G and dR = R - G
//   Y  = 2^16 * G + kYB * dB + kYR * dR,  Cb = kCbB * dB + kCbR * dR,  Cr = kCrB * dB + kCrR * dR
// exactly; dB and dR sit in alternate 16-bit lanes, so one multiply-add gives each. 0.5 does not
// fit a signed 16-bit factor, so the chroma sums are formed negated.
struct Ycc4 {
  __m128i y, cb, cr;
};
static_assert(kYR + kYG + kYB == 1 << 16 && kCbR + kCbG + kCbB == 0 && kCrR + kCrG + kCrB == 0);
inline Ycc4 Convert4(const uint8_t* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i br = _mm_and_si128(v, _mm_set1_epi32(0x00FF00FF));
  const __m128i g8 = _mm_and_si128(v, _mm_set1_epi32(0x0000FF00));
  const __m128i g16 = _mm_slli_epi32(g8, 8);                             // G << 16
  const __m128i d = _mm_sub_epi16(br, _mm_or_si128(_mm_srli_epi32(g8, 8), g16));  // dB, dR
  const __m128i y = _mm_add_epi32(_mm_madd_epi16(d, Pair(kYB, kYR)), _mm_add_epi32(g16, _mm_set1_epi32(kLumaRound)));
  const __m128i chromaOffset = _mm_set1_epi32(kChromaOffset);
  const __m128i cb = _mm_sub_epi32(chromaOffset, _mm_madd_epi16(d, Pair(-kCbB, -kCbR)));
  const __m128i cr = _mm_sub_epi32(chromaOffset, _mm_madd_epi16(d, Pair(-kCrB, -kCrR)));
  return {y, cb, cr};
}

// Eight values scaled by 2^16 (two sets of four lanes, all within 0..255 after the shift) as eight
// 16-bit lanes.
inline __m128i Descale8(__m128i a, __m128i b) {
  return _mm_packs_epi32(_mm_srli_epi32(a, 16), _mm_srli_epi32(b, 16));
}

// How far ahead of the conversion the source rows are fetched into the cache (a hint only: it never
// faults, even past the end of the image).
constexpr int kPrefetchAhead = 1024;
inline void Prefetch(const uint8_t* at) {
  // Formed as an integer: the address may lie past the end of the image, where no pointer may point.
  _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(at) + kPrefetchAhead), _MM_HINT_T0);
}

// Two rows of B,G,R,X pixels to two luma rows and one row of 4:2:0 chroma, eight pixels at a
// time, exactly as the portable steps compute them; returns how many pixels it did. Each group is
// finished and stored before the next, which keeps the working set within the registers.
int ConvertRowPair420(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* y0, uint8_t* y1,
                      uint8_t* cb, uint8_t* cr) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    Prefetch(top + 4 * x);
    Prefetch(bottom + 4 * x);
    const Ycc4 t0 = Convert4(top + 4 * x), t1 = Convert4(top + 4 * x + 16);
    const __m128i yTop = Descale8(t0.y, t1.y);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(y0 + x), _mm_packus_epi16(yTop, yTop));
    const __m128i cbTop = Descale8(t0.cb, t1.cb), crTop = Descale8(t0.cr, t1.cr);
    const Ycc4 b0 = Convert4(bottom + 4 * x), b1 = Convert4(bottom + 4 * x + 16);
    const __m128i yBottom = Descale8(b0.y, b1.y);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(y1 + x), _mm_packus_epi16(yBottom, yBottom));
    // Column sums of the two rows, sums of horizontal pairs, then the biased mean of each 2x2.
    const __m128i ones = _mm_set1_epi16(1);
    const __m128i bias = _mm_set_epi32(2, 1, 2, 1);  // x / 2 is even
    auto mean = [&](__m128i upper, __m128i lower) {
      const __m128i sums = _mm_madd_epi16(_mm_add_epi16(upper, lower), ones);
      const __m128i words = _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(sums, bias), 2), sums);
      return _mm_cvtsi128_si32(_mm_packus_epi16(words, words));  // the first four bytes
    };
    const int cbMeans = mean(cbTop, Descale8(b0.cb, b1.cb));
    const int crMeans = mean(crTop, Descale8(b0.cr, b1.cr));
    std::memcpy(cb + x / 2, &cbMeans, 4);
    std::memcpy(cr + x / 2, &crMeans, 4);
  }
  return x;
}

// One row of B,G,R,X pixels to full-resolution Y, Cb and Cr, eight pixels at a time; returns how
// many pixels it did.
int ConvertRow444(const uint8_t* src, int width, uint8_t* y, uint8_t* cb, uint8_t* cr) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const Ycc4 a = Convert4(src + 4 * x), b = Convert4(src + 4 * x + 16);
    const __m128i yy = Descale8(a.y, b.y), uu = Descale8(a.cb, b.cb), vv = Descale8(a.cr, b.cr);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(y + x), _mm_packus_epi16(yy, yy));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(cb + x), _mm_packus_epi16(uu, uu));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(cr + x), _mm_packus_epi16(vv, vv));
  }
  return x;
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
        done = ConvertRow444(source.top + source.stride * row, layout_.width, yRow, cbRow, crRow);
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
      done = ConvertRowPair420(source.top + source.stride * row0, source.top + source.stride * row1,
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
