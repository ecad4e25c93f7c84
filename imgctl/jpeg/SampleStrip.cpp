#include "SampleStrip.h"

#include <algorithm>

#include "Simd.h"

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
  int x = 0;
#if IMGCTL_JPEG_SSE2
  if constexpr (Bpp == 4) {
    // Eight B,G,R,X pixels: each channel masked out of the 32-bit lanes and packed to 16 bits.
    const __m128i low = _mm_set1_epi32(0xFF);
    for (; x + 8 <= count; x += 8) {
      const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x));
      const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x + 16));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(b + x),
                       _mm_packs_epi32(_mm_and_si128(p0, low), _mm_and_si128(p1, low)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(g + x),
                       _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(p0, 8), low), _mm_and_si128(_mm_srli_epi32(p1, 8), low)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(r + x),
                       _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(p0, 16), low), _mm_and_si128(_mm_srli_epi32(p1, 16), low)));
    }
  }
#endif
  for (; x < count; ++x) {
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

#if IMGCTL_JPEG_SSE2
// B, G and R of four B,G,R,X pixels in 32-bit lanes.
struct Lanes {
  __m128i b, g, r;
};
inline Lanes SplitLanes(const uint8_t* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i low = _mm_set1_epi32(0xFF);
  return {_mm_and_si128(v, low), _mm_and_si128(_mm_srli_epi32(v, 8), low), _mm_and_si128(_mm_srli_epi32(v, 16), low)};
}

// ConvertLuma<7> for eight pixels given as two sets of lanes; stores eight bytes.
inline void Luma8(const Lanes& a, const Lanes& b, uint8_t* y) {
  const __m128i r = _mm_slli_epi16(_mm_packs_epi32(a.r, b.r), 7);
  const __m128i g = _mm_slli_epi16(_mm_packs_epi32(a.g, b.g), 7);
  const __m128i bl = _mm_slli_epi16(_mm_packs_epi32(a.b, b.b), 7);
  __m128i sum = _mm_add_epi16(_mm_mulhi_epu16(r, _mm_set1_epi16(static_cast<int16_t>(kYR))),
                              _mm_mulhi_epu16(g, _mm_set1_epi16(static_cast<int16_t>(kYG))));
  sum = _mm_add_epi16(sum, _mm_mulhi_epu16(bl, _mm_set1_epi16(static_cast<int16_t>(kYB))));
  sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(65)), 7);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(y), _mm_packus_epi16(sum, sum));
}

// Sums of horizontal pixel pairs of top + bottom lanes: two sums, in lanes 0 and 1.
inline __m128i PairSums(__m128i top, __m128i bottom) {
  const __m128i v = _mm_add_epi32(top, bottom);
  return _mm_shuffle_epi32(_mm_add_epi32(v, _mm_srli_epi64(v, 32)), _MM_SHUFFLE(3, 1, 2, 0));
}

// 2x2 sums of sixteen pixels of two rows as eight 16-bit values.
inline __m128i QuadSums(const __m128i (&top)[4], const __m128i (&bottom)[4]) {
  const __m128i s01 = _mm_unpacklo_epi64(PairSums(top[0], bottom[0]), PairSums(top[1], bottom[1]));
  const __m128i s23 = _mm_unpacklo_epi64(PairSums(top[2], bottom[2]), PairSums(top[3], bottom[3]));
  return _mm_packs_epi32(s01, s23);
}

// Two rows of B,G,R,X pixels to two luma rows and one row of 4:2:0 chroma, sixteen pixels at a
// time, exactly as the portable steps compute them; returns how many pixels it did.
int ConvertRowPair420(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* y0, uint8_t* y1,
                      uint8_t* cb, uint8_t* cr) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    Lanes t[4], b[4];
    for (int i = 0; i < 4; ++i) {
      t[i] = SplitLanes(top + 4 * (x + 4 * i));
      b[i] = SplitLanes(bottom + 4 * (x + 4 * i));
    }
    Luma8(t[0], t[1], y0 + x);
    Luma8(t[2], t[3], y0 + x + 8);
    Luma8(b[0], b[1], y1 + x);
    Luma8(b[2], b[3], y1 + x + 8);
    const __m128i tr[4] = {t[0].r, t[1].r, t[2].r, t[3].r}, br[4] = {b[0].r, b[1].r, b[2].r, b[3].r};
    const __m128i tg[4] = {t[0].g, t[1].g, t[2].g, t[3].g}, bg[4] = {b[0].g, b[1].g, b[2].g, b[3].g};
    const __m128i tb[4] = {t[0].b, t[1].b, t[2].b, t[3].b}, bb[4] = {b[0].b, b[1].b, b[2].b, b[3].b};
    // ConvertChroma<5>: sums of four carry two more bits than samples.
    const __m128i r15 = _mm_slli_epi16(QuadSums(tr, br), 5);
    const __m128i g15 = _mm_slli_epi16(QuadSums(tg, bg), 5);
    const __m128i b15 = _mm_slli_epi16(QuadSums(tb, bb), 5);
    const __m128i offset = _mm_set1_epi16(kChromaOffset);
    __m128i u = _mm_add_epi16(_mm_mulhi_epi16(r15, _mm_set1_epi16(kCbR)), _mm_mulhi_epi16(g15, _mm_set1_epi16(kCbG)));
    u = _mm_add_epi16(_mm_add_epi16(u, _mm_srai_epi16(b15, 1)), offset);
    __m128i v = _mm_add_epi16(_mm_mulhi_epi16(g15, _mm_set1_epi16(kCrG)), _mm_mulhi_epi16(b15, _mm_set1_epi16(kCrB)));
    v = _mm_add_epi16(_mm_add_epi16(v, _mm_srai_epi16(r15, 1)), offset);
    u = _mm_srli_epi16(u, 7);
    v = _mm_srli_epi16(v, 7);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(cb + x / 2), _mm_packus_epi16(u, u));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(cr + x / 2), _mm_packus_epi16(v, v));
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
  scratch_.resize(width * 6 + width / 2 * 3);
  uint16_t* p = scratch_.data();
  for (Channels& row : rows_) {
    row = {p, p + width, p + 2 * width};
    p += 3 * width;
  }
  sums_ = {p, p + width / 2, p + width};
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
    ConvertLuma<7>(top.r + done, top.g + done, top.b + done, rest, y0 + done);
    ConvertLuma<7>(bottom.r + done, bottom.g + done, bottom.b + done, rest, y1 + done);
    SumQuads(top.r + done, bottom.r + done, half - halfDone, sums_.r);
    SumQuads(top.g + done, bottom.g + done, half - halfDone, sums_.g);
    SumQuads(top.b + done, bottom.b + done, half - halfDone, sums_.b);
    ConvertChroma<5>(sums_.r, sums_.g, sums_.b, half - halfDone, cbRow + halfDone, crRow + halfDone);
  }
}

}  // namespace imgctl::jpeg
