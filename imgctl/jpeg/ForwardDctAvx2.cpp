// The forward DCT on two blocks at once with AVX2, one in each 128-bit half. This file alone is
// compiled for AVX2; nothing in it may be called before WidePairTransform has checked the processor.
#include "ForwardDct.h"

#if defined(__AVX2__) && !defined(IMGCTL_JPEG_NO_SIMD)
#include <immintrin.h>

#include "DctKernel.h"

namespace imgctl::jpeg {
namespace {

struct Avx2Ops {
  using V = __m256i;
  static V Zero() { return _mm256_setzero_si256(); }
  static V Set1_8(int x) { return _mm256_set1_epi8(static_cast<char>(x)); }
  static V Set1_16(int x) { return _mm256_set1_epi16(static_cast<int16_t>(x)); }
  static V Set1_32(int x) { return _mm256_set1_epi32(x); }
  static V FirstLaneOfEachGroup(int x) {
    const __m128i group = _mm_cvtsi32_si128(x & 0xFFFF);
    return _mm256_broadcastsi128_si256(group);
  }
  static V LoadRow(const uint16_t* p) {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
  template <int N> static V Slli16(V a) { return _mm256_slli_epi16(a, N); }
  template <int N> static V Srai16(V a) { return _mm256_srai_epi16(a, N); }
  template <int N> static V Srai32(V a) { return _mm256_srai_epi32(a, N); }
  template <int N> static V ShiftBytesDown(V a) { return _mm256_srli_si256(a, N); }  // within each half
  static V Packs32(V a, V b) { return _mm256_packs_epi32(a, b); }
  static V Madd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V MulhiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V UnpackLo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V UnpackHi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V UnpackLo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V UnpackHi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
  static V UnpackLo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
  static V UnpackHi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
  static V UnpackLo64(V a, V b) { return _mm256_unpacklo_epi64(a, b); }
  static V UnpackHi64(V a, V b) { return _mm256_unpackhi_epi64(a, b); }
  static unsigned ZeroGroups(V a) {
    const auto zeros = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, _mm256_setzero_si256())));
    return static_cast<unsigned>((zeros & 0xFFFF) == 0xFFFF) | (static_cast<unsigned>((zeros >> 16) == 0xFFFF) << 1);
  }
};
using Avx2 = dct::Kernel<Avx2Ops>;

void TransformPairAvx2(const uint8_t* first, const uint8_t* second, std::ptrdiff_t stride,
                       const QuantDivisors& divisors, int16_t* firstOut, int16_t* secondOut) {
  __m256i rows[8];
  for (int r = 0; r < 8; ++r) {
    const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(first + r * stride));
    const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(second + r * stride));
    rows[r] = _mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1);
  }
  __m256i c[4];
  Avx2::Turn(rows, c);
  if (Avx2::FlatGroups(c) == 3) {
    // Both flat, as much of a screen is: only the DCs are not zero. One flat block alone goes
    // through the transform with its partner, which gives it the very same coefficients.
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(firstOut), _mm_cvtsi32_si128(static_cast<uint16_t>(QuantiseFlatDc(first[0], divisors))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(secondOut), _mm_cvtsi32_si128(static_cast<uint16_t>(QuantiseFlatDc(second[0], divisors))));
    for (int v = 1; v < 8; ++v) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(firstOut + v * 8), zero);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(secondOut + v * 8), zero);
    }
    return;
  }
  __m256i out[8];
  Avx2::TransformTurned(c, divisors.rounding, divisors.reciprocal, divisors.scale, out);
  // Whole 128-bit stores, so the coder's vector loads of each block forward from them.
  for (int v = 0; v < 8; ++v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(firstOut + v * 8), _mm256_castsi256_si128(out[v]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(secondOut + v * 8), _mm256_extracti128_si256(out[v], 1));
  }
}

}  // namespace

namespace detail {
PairTransformFn WidePairTransform() {
  // The compiler's check covers the processor and the system's saving of the 256-bit registers.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? &TransformPairAvx2 : nullptr;
}
}  // namespace detail

}  // namespace imgctl::jpeg

#else

namespace imgctl::jpeg::detail {
PairTransformFn WidePairTransform() { return nullptr; }
}  // namespace imgctl::jpeg::detail

#endif
