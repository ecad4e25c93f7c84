#include "ForwardDct.h"

#include <bit>

#include "DctKernel.h"
#include "Simd.h"
#if IMGCTL_JPEG_SSE2
#include "Sse2Ops.h"
#endif

namespace imgctl::jpeg {
namespace {

using namespace dct;

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

using Sse2 = dct::Kernel<Sse2Ops>;

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

int16_t QuantiseFlatDc(int sample, const QuantDivisors& divisors) {
  // The transform of a flat block at level s is exactly 64 * (s - 128) at the DC and zero elsewhere.
  const int dc = 64 * (sample - 128);
  const uint32_t n = static_cast<uint32_t>(dc < 0 ? -dc : dc) + divisors.rounding[0];
  const auto quotient = static_cast<int16_t>(((n * divisors.reciprocal[0]) >> 16) * divisors.scale[0] >> 16);
  return static_cast<int16_t>(dc < 0 ? -quotient : quotient);
}

void TransformBlockNatural(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                           int16_t* natural) {
#if IMGCTL_JPEG_SSE2
  __m128i rows[8];
  for (int r = 0; r < 8; ++r) rows[r] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples + r * stride));
  __m128i c[4];
  Sse2::Turn(rows, c);
  __m128i out[8];
  if (Sse2::FlatGroups(c) != 0) {
    // Screens are full of these.
    out[0] = _mm_cvtsi32_si128(static_cast<uint16_t>(QuantiseFlatDc(samples[0], divisors)));
    for (int v = 1; v < 8; ++v) out[v] = _mm_setzero_si128();
  } else {
    Sse2::TransformTurned(c, divisors.rounding, divisors.reciprocal, divisors.scale, out);
  }
  // Whole-vector stores only, so the coder's vector loads of the block forward from them.
  for (int v = 0; v < 8; ++v) _mm_storeu_si128(reinterpret_cast<__m128i*>(natural + v * 8), out[v]);
#else
  TransformBlockNaturalPortable(samples, stride, divisors, natural);
#endif
}

namespace {

void TransformPairOneByOne(const uint8_t* first, const uint8_t* second, std::ptrdiff_t stride,
                           const QuantDivisors& divisors, int16_t* firstOut, int16_t* secondOut) {
  TransformBlockNatural(first, stride, divisors, firstOut);
  TransformBlockNatural(second, stride, divisors, secondOut);
}

using PairTransform = decltype(&TransformPairOneByOne);

PairTransform ChoosePairTransform() {
  if (PairTransform wide = detail::WidePairTransform()) return wide;
  return &TransformPairOneByOne;
}

}  // namespace

void TransformBlockPairNatural(const uint8_t* first, const uint8_t* second, std::ptrdiff_t stride,
                               const QuantDivisors& divisors, int16_t* firstOut, int16_t* secondOut) {
  static const PairTransform transform = ChoosePairTransform();
  transform(first, second, stride, divisors, firstOut, secondOut);
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
