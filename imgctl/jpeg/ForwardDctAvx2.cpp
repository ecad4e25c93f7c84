// The forward DCT on two blocks at once with AVX2, one in each 128-bit half. Only this file and
// SampleStripAvx2.cpp are compiled for AVX2; nothing in it may be called before WidePairTransform
// has checked the processor.
#include "ForwardDct.h"

#if defined(__AVX2__) && !defined(IMGCTL_JPEG_NO_SIMD)
#include <immintrin.h>

#include "Avx2Ops.h"
#include "DctKernel.h"

namespace imgctl::jpeg {
namespace {

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
