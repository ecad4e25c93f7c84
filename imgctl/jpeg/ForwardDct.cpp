#include "ForwardDct.h"

#include <bit>

#include "Simd.h"

namespace imgctl::jpeg {
namespace {

constexpr int kConstBits = 13;  // fraction bits of the multipliers
constexpr int kPass1Bits = 2;   // extra fraction bits the row pass keeps for the column pass

constexpr int Fix(double x) { return static_cast<int>(x * (1 << kConstBits) + 0.5); }

// The factors of the Loeffler-Ligtenberg-Moschytz flow graph, scaled by sqrt(2); ck = cos(k*pi/16):
// even part sqrt2*c6 and sqrt2*(c2 -+ c6); odd part sqrt2*c3, sqrt2*(-c1+c3+c5-c7),
// sqrt2*(c1+c3-c5+c7), sqrt2*(c1+c3+c5-c7), sqrt2*(c1+c3-c5-c7), sqrt2*(c7-c3), sqrt2*(-c1-c3),
// sqrt2*(c5-c3) and sqrt2*(-c3-c5).
constexpr int kC0541 = Fix(0.541196100);
constexpr int kC0765 = Fix(0.765366865);
constexpr int kC1847 = Fix(1.847759065);
constexpr int kC1175 = Fix(1.175875602);
constexpr int kC0298 = Fix(0.298631336);
constexpr int kC2053 = Fix(2.053119869);
constexpr int kC3072 = Fix(3.072711026);
constexpr int kC1501 = Fix(1.501321110);
constexpr int kC0899 = Fix(0.899976223);
constexpr int kC2562 = Fix(2.562915447);
constexpr int kC1961 = Fix(1.961570560);
constexpr int kC0390 = Fix(0.390180644);

// Rounds off `bits` fraction bits (arithmetic shift: rounds half up).
constexpr int Descale(int x, int bits) { return (x + (1 << (bits - 1))) >> bits; }

// One 8-point transform of d[0], d[step], ... d[7 * step]. The row pass (Row) scales its output
// up by 2^kPass1Bits; the column pass takes those bits off again.
template <bool Row>
void Transform8(int* d, int step) {
  const int tmp0 = d[0] + d[7 * step], tmp7 = d[0] - d[7 * step];
  const int tmp1 = d[step] + d[6 * step], tmp6 = d[step] - d[6 * step];
  const int tmp2 = d[2 * step] + d[5 * step], tmp5 = d[2 * step] - d[5 * step];
  const int tmp3 = d[3 * step] + d[4 * step], tmp4 = d[3 * step] - d[4 * step];

  const int tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
  const int tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
  constexpr int kShift = Row ? kConstBits - kPass1Bits : kConstBits + kPass1Bits;
  if constexpr (Row) {
    d[0] = (tmp10 + tmp11) * (1 << kPass1Bits);
    d[4 * step] = (tmp10 - tmp11) * (1 << kPass1Bits);
  } else {
    d[0] = Descale(tmp10 + tmp11, kPass1Bits);
    d[4 * step] = Descale(tmp10 - tmp11, kPass1Bits);
  }
  const int z1 = (tmp12 + tmp13) * kC0541;
  d[2 * step] = Descale(z1 + tmp13 * kC0765, kShift);
  d[6 * step] = Descale(z1 - tmp12 * kC1847, kShift);

  const int z5 = (tmp4 + tmp5 + tmp6 + tmp7) * kC1175;
  const int o1 = (tmp4 + tmp7) * -kC0899;
  const int o2 = (tmp5 + tmp6) * -kC2562;
  const int o3 = (tmp4 + tmp6) * -kC1961 + z5;
  const int o4 = (tmp5 + tmp7) * -kC0390 + z5;
  d[7 * step] = Descale(tmp4 * kC0298 + o1 + o3, kShift);
  d[5 * step] = Descale(tmp5 * kC2053 + o2 + o4, kShift);
  d[3 * step] = Descale(tmp6 * kC3072 + o2 + o3, kShift);
  d[step] = Descale(tmp7 * kC1501 + o1 + o4, kShift);
}

#if IMGCTL_JPEG_SSE2

// Eight 16-bit lanes of a * ca + b * cb, exact in 32 bits, as the low and high four lanes.
struct Wide {
  __m128i lo, hi;
};

inline __m128i Pair(int ca, int cb) {
  return _mm_set1_epi32(static_cast<int>((static_cast<uint32_t>(cb) << 16) | (static_cast<uint32_t>(ca) & 0xFFFF)));
}

struct Interleaved {
  __m128i lo, hi;
  Interleaved(__m128i a, __m128i b) : lo(_mm_unpacklo_epi16(a, b)), hi(_mm_unpackhi_epi16(a, b)) {}
  Wide Times(__m128i pair) const { return {_mm_madd_epi16(lo, pair), _mm_madd_epi16(hi, pair)}; }
};

template <int Bits>
inline Wide PlusHalf(Wide a) {
  const __m128i half = _mm_set1_epi32(1 << (Bits - 1));
  return {_mm_add_epi32(a.lo, half), _mm_add_epi32(a.hi, half)};
}

// (a + b) >> Bits as eight 16-bit lanes; the rounding half is already in b.
template <int Bits>
inline __m128i Shift(Wide a, Wide b) {
  const __m128i lo = _mm_srai_epi32(_mm_add_epi32(a.lo, b.lo), Bits);
  const __m128i hi = _mm_srai_epi32(_mm_add_epi32(a.hi, b.hi), Bits);
  return _mm_packs_epi32(lo, hi);
}

template <int Bits>
inline __m128i Round(Wide a) {
  const Wide r = PlusHalf<Bits>(a);
  return _mm_packs_epi32(_mm_srai_epi32(r.lo, Bits), _mm_srai_epi32(r.hi, Bits));
}

// Transform8 on eight lanes at once, d[k] holding input/output k of every lane, on samples not yet
// centred on zero: centring only moves the DC, and lane 0 of the column pass's d[0] is the DC.
// Every other sum fits in 16 bits for 8-bit samples (the row pass's outputs stay within 0..8160
// for its DC and +-4096 otherwise); the DC's sum of eight wraps, but it is taken modulo 2^16 and
// its centred value, 32768 lower, fits. Products and their sums are formed in 32 bits.
template <bool Row>
inline void Transform8(__m128i (&d)[8]) {
  const __m128i tmp0 = _mm_add_epi16(d[0], d[7]), tmp7 = _mm_sub_epi16(d[0], d[7]);
  const __m128i tmp1 = _mm_add_epi16(d[1], d[6]), tmp6 = _mm_sub_epi16(d[1], d[6]);
  const __m128i tmp2 = _mm_add_epi16(d[2], d[5]), tmp5 = _mm_sub_epi16(d[2], d[5]);
  const __m128i tmp3 = _mm_add_epi16(d[3], d[4]), tmp4 = _mm_sub_epi16(d[3], d[4]);

  const __m128i tmp10 = _mm_add_epi16(tmp0, tmp3), tmp13 = _mm_sub_epi16(tmp0, tmp3);
  const __m128i tmp11 = _mm_add_epi16(tmp1, tmp2), tmp12 = _mm_sub_epi16(tmp1, tmp2);
  constexpr int kShift = Row ? kConstBits - kPass1Bits : kConstBits + kPass1Bits;
  if constexpr (Row) {
    d[0] = _mm_slli_epi16(_mm_add_epi16(tmp10, tmp11), kPass1Bits);
    d[4] = _mm_slli_epi16(_mm_sub_epi16(tmp10, tmp11), kPass1Bits);
  } else {
    const __m128i half = _mm_set1_epi16(1 << (kPass1Bits - 1));
    // The centring the samples skipped: the sum of eight row DCs, each 4 * 8 * 128 too high.
    const __m128i centre = _mm_set_epi16(0, 0, 0, 0, 0, 0, 0, -32768);
    d[0] = _mm_srai_epi16(_mm_add_epi16(_mm_add_epi16(_mm_add_epi16(tmp10, half), tmp11), centre), kPass1Bits);
    d[4] = _mm_srai_epi16(_mm_add_epi16(_mm_sub_epi16(tmp10, tmp11), half), kPass1Bits);
  }
  const Interleaved even(tmp13, tmp12);
  d[2] = Round<kShift>(even.Times(Pair(kC0541 + kC0765, kC0541)));
  d[6] = Round<kShift>(even.Times(Pair(kC0541, kC0541 - kC1847)));

  // The odd part regrouped into rotations of pairs; every product below is one of the sums of
  // Transform8 above with its multipliers collected.
  const Interleaved z34(_mm_add_epi16(tmp4, tmp6), _mm_add_epi16(tmp5, tmp7));
  const Wide z3 = PlusHalf<kShift>(z34.Times(Pair(kC1175 - kC1961, kC1175)));
  const Wide z4 = PlusHalf<kShift>(z34.Times(Pair(kC1175, kC1175 - kC0390)));
  const Interleaved t47(tmp4, tmp7);
  const Interleaved t56(tmp5, tmp6);
  d[7] = Shift<kShift>(t47.Times(Pair(kC0298 - kC0899, -kC0899)), z3);
  d[1] = Shift<kShift>(t47.Times(Pair(-kC0899, kC1501 - kC0899)), z4);
  d[5] = Shift<kShift>(t56.Times(Pair(kC2053 - kC2562, -kC2562)), z4);
  d[3] = Shift<kShift>(t56.Times(Pair(-kC2562, kC3072 - kC2562)), z3);
}

// The 8x8 bytes of a block, rows `stride` apart, turned: c[i] holds columns 2i and 2i + 1.
inline void LoadTurned(const uint8_t* samples, std::ptrdiff_t stride, __m128i (&c)[4]) {
  auto row = [&](int r) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples + r * stride)); };
  const __m128i a0 = _mm_unpacklo_epi8(row(0), row(1)), a1 = _mm_unpacklo_epi8(row(2), row(3));
  const __m128i a2 = _mm_unpacklo_epi8(row(4), row(5)), a3 = _mm_unpacklo_epi8(row(6), row(7));
  const __m128i b0 = _mm_unpacklo_epi16(a0, a1), b1 = _mm_unpackhi_epi16(a0, a1);  // columns 0-3 / 4-7, rows 0-3
  const __m128i b2 = _mm_unpacklo_epi16(a2, a3), b3 = _mm_unpackhi_epi16(a2, a3);  // rows 4-7
  c[0] = _mm_unpacklo_epi32(b0, b2);
  c[1] = _mm_unpackhi_epi32(b0, b2);
  c[2] = _mm_unpacklo_epi32(b1, b3);
  c[3] = _mm_unpackhi_epi32(b1, b3);
}

// Whether all 64 samples are equal: the other registers equal c[0], and each byte of c[0] its
// neighbour.
inline bool Flat(const __m128i (&c)[4]) {
  const __m128i others = _mm_or_si128(_mm_or_si128(_mm_xor_si128(c[0], c[1]), _mm_xor_si128(c[0], c[2])),
                                      _mm_xor_si128(c[0], c[3]));
  const __m128i neighbours = _mm_xor_si128(c[0], _mm_srli_si128(c[0], 1));
  const __m128i lowFifteen = _mm_srli_si128(_mm_set1_epi8(-1), 1);
  const __m128i differences = _mm_or_si128(others, _mm_and_si128(neighbours, lowFifteen));
  return _mm_movemask_epi8(_mm_cmpeq_epi8(differences, _mm_setzero_si128())) == 0xFFFF;
}

inline void Transpose(__m128i (&r)[8]) {
  const __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
  const __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
  const __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
  const __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
  const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  r[0] = _mm_unpacklo_epi64(b0, b4);
  r[1] = _mm_unpackhi_epi64(b0, b4);
  r[2] = _mm_unpacklo_epi64(b1, b5);
  r[3] = _mm_unpackhi_epi64(b1, b5);
  r[4] = _mm_unpacklo_epi64(b2, b6);
  r[5] = _mm_unpackhi_epi64(b2, b6);
  r[6] = _mm_unpacklo_epi64(b3, b7);
  r[7] = _mm_unpackhi_epi64(b3, b7);
}

#endif

}  // namespace

QuantDivisors MakeDivisors(const QuantTable& table) {
  QuantDivisors divisors{};
  for (int i = 0; i < 64; ++i) {
    // The transform's output is 8 times the coefficient.
    const unsigned divisor = 8u * table[i];
    const int b = std::bit_width(divisor) - 1;  // 2^b <= divisor < 2^(b + 1); b >= 3
    divisors.divisor[i] = static_cast<uint16_t>(divisor);
    divisors.rounding[i] = static_cast<uint16_t>(divisor / 2);
    if (std::has_single_bit(divisor)) {
      // n / 2^b as (n / 2) / 2^(b - 1): 2^16 / divisor itself would not fit 16 bits.
      divisors.reciprocal[i] = 1u << 15;
      divisors.scale[i] = static_cast<uint16_t>(1u << (17 - b));
    } else {
      // The reciprocal rounded up, m = ceil(2^(16 + b) / divisor), is exact for n < 2^15: its error
      // e = m * divisor - 2^(16 + b) is below divisor < 2^(b + 1), so n * e < 2^(16 + b) and
      // n * m / 2^(16 + b) stays below the next multiple of 1 / divisor past n / divisor.
      const uint32_t r = 16 + b;
      divisors.reciprocal[i] = static_cast<uint16_t>(((uint32_t{1} << r) + divisor - 1) / divisor);
      divisors.scale[i] = static_cast<uint16_t>(1u << (16 - b));
    }
  }
  return divisors;
}

void TransformBlockNaturalPortable(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                                   int16_t* natural) {
  int work[64];
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) work[r * 8 + c] = samples[r * stride + c] - 128;
    Transform8<true>(work + r * 8, 1);
  }
  for (int c = 0; c < 8; ++c) Transform8<false>(work + c, 8);
  for (int i = 0; i < 64; ++i) {
    const int value = work[i];
    const int magnitude = value < 0 ? -value : value;
    const int quotient = static_cast<int>((magnitude + divisors.rounding[i]) / divisors.divisor[i]);
    natural[i] = static_cast<int16_t>(value < 0 ? -quotient : quotient);
  }
}

void TransformBlockNatural(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                           int16_t* natural) {
#if IMGCTL_JPEG_SSE2
  __m128i c[4];
  LoadTurned(samples, stride, c);
  if (Flat(c)) {
    // Screens are full of these. Only the DC is not zero: the transform of a flat block at level
    // s is exactly 64 * (s - 128) there.
    const int dc = 64 * ((_mm_cvtsi128_si32(c[0]) & 0xFF) - 128);
    const uint32_t n = static_cast<uint32_t>(dc < 0 ? -dc : dc) + divisors.rounding[0];
    const auto quotient = static_cast<int16_t>(((n * divisors.reciprocal[0]) >> 16) * divisors.scale[0] >> 16);
    const auto value = static_cast<uint16_t>(dc < 0 ? -quotient : quotient);
    // Whole-vector stores only, so the coder's vector loads of the block forward from them.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(natural), _mm_cvtsi32_si128(value));
    for (int v = 1; v < 8; ++v) _mm_storeu_si128(reinterpret_cast<__m128i*>(natural + v * 8), _mm_setzero_si128());
    return;
  }
  __m128i d[8];  // d[x]: column x of every row
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0; i < 4; ++i) {
    d[2 * i] = _mm_unpacklo_epi8(c[i], zero);
    d[2 * i + 1] = _mm_unpackhi_epi8(c[i], zero);
  }
  Transform8<true>(d);
  Transpose(d);  // d[y]: row y of the row pass's output
  Transform8<false>(d);
  for (int v = 0; v < 8; ++v) {
    // Divide the magnitude, then give the sign back.
    const __m128i sign = _mm_srai_epi16(d[v], 15);
    __m128i n = _mm_sub_epi16(_mm_xor_si128(d[v], sign), sign);
    n = _mm_add_epi16(n, _mm_load_si128(reinterpret_cast<const __m128i*>(divisors.rounding + v * 8)));
    n = _mm_mulhi_epu16(n, _mm_load_si128(reinterpret_cast<const __m128i*>(divisors.reciprocal + v * 8)));
    n = _mm_mulhi_epu16(n, _mm_load_si128(reinterpret_cast<const __m128i*>(divisors.scale + v * 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(natural + v * 8), _mm_sub_epi16(_mm_xor_si128(n, sign), sign));
  }
#else
  TransformBlockNaturalPortable(samples, stride, divisors, natural);
#endif
}

void TransformBlock(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                    int16_t* zigzag) {
  alignas(16) int16_t natural[64];
  TransformBlockNatural(samples, stride, divisors, natural);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC unroll 64
#endif
  for (int k = 0; k < 64; ++k) zigzag[k] = natural[kZigzagToNatural[k]];
}

}  // namespace imgctl::jpeg
