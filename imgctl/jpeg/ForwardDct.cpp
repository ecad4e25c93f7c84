#include "ForwardDct.h"

#include <algorithm>

#include "Simd.h"

namespace imgctl::jpeg {
namespace {

// The scaled DCT of Arai, Agui and Nakajima leaves output (u, v) multiplied by
// 8 * s[u] * s[v] with s[0] = 1, s[k] = cos(k * pi / 16) * sqrt(2).
constexpr double kAanScale[8] = {1.0,         1.387039845, 1.306562965, 1.175875602,
                                 1.0,         0.785694958, 0.541196100, 0.275899379};

// One-dimensional 8-point DCT down each of the 8 columns of d (row-major); the loop over columns
// vectorises.
inline void ColumnPass(float* __restrict d) {
  for (int c = 0; c < 8; ++c) {
    const float tmp0 = d[0 * 8 + c] + d[7 * 8 + c];
    const float tmp7 = d[0 * 8 + c] - d[7 * 8 + c];
    const float tmp1 = d[1 * 8 + c] + d[6 * 8 + c];
    const float tmp6 = d[1 * 8 + c] - d[6 * 8 + c];
    const float tmp2 = d[2 * 8 + c] + d[5 * 8 + c];
    const float tmp5 = d[2 * 8 + c] - d[5 * 8 + c];
    const float tmp3 = d[3 * 8 + c] + d[4 * 8 + c];
    const float tmp4 = d[3 * 8 + c] - d[4 * 8 + c];

    const float tmp10 = tmp0 + tmp3;
    const float tmp13 = tmp0 - tmp3;
    const float tmp11 = tmp1 + tmp2;
    const float tmp12 = tmp1 - tmp2;
    d[0 * 8 + c] = tmp10 + tmp11;
    d[4 * 8 + c] = tmp10 - tmp11;
    const float z1 = (tmp12 + tmp13) * 0.707106781f;
    d[2 * 8 + c] = tmp13 + z1;
    d[6 * 8 + c] = tmp13 - z1;

    const float o10 = tmp4 + tmp5;
    const float o11 = tmp5 + tmp6;
    const float o12 = tmp6 + tmp7;
    const float z5 = (o10 - o12) * 0.382683433f;
    const float z2 = 0.541196100f * o10 + z5;
    const float z4 = 1.306562965f * o12 + z5;
    const float z3 = o11 * 0.707106781f;
    const float z11 = tmp7 + z3;
    const float z13 = tmp7 - z3;
    d[5 * 8 + c] = z13 + z2;
    d[3 * 8 + c] = z13 - z2;
    d[1 * 8 + c] = z11 + z4;
    d[7 * 8 + c] = z11 - z4;
  }
}

inline void Transpose(const float* __restrict in, float* __restrict out) {
#if IMGCTL_JPEG_SSE2
  for (int r = 0; r < 8; r += 4) {
    for (int c = 0; c < 8; c += 4) {
      __m128 row0 = _mm_load_ps(in + (r + 0) * 8 + c);
      __m128 row1 = _mm_load_ps(in + (r + 1) * 8 + c);
      __m128 row2 = _mm_load_ps(in + (r + 2) * 8 + c);
      __m128 row3 = _mm_load_ps(in + (r + 3) * 8 + c);
      _MM_TRANSPOSE4_PS(row0, row1, row2, row3);
      _mm_store_ps(out + (c + 0) * 8 + r, row0);
      _mm_store_ps(out + (c + 1) * 8 + r, row1);
      _mm_store_ps(out + (c + 2) * 8 + r, row2);
      _mm_store_ps(out + (c + 3) * 8 + r, row3);
    }
  }
#else
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) out[c * 8 + r] = in[r * 8 + c];
  }
#endif
}

}  // namespace

QuantDivisors MakeDivisors(const QuantTable& table) {
  QuantDivisors divisors{};
  for (int k = 0; k < 64; ++k) {
    const int natural = kZigzagToNatural[k];
    const double step = table[natural] * kAanScale[natural / 8] * kAanScale[natural % 8] * 8.0;
    divisors.transposed[kZigzagToTransposed[k]] = static_cast<float>(1.0 / step);
  }
  return divisors;
}

#if IMGCTL_JPEG_SSE2
namespace {

// ColumnPass on four columns held in registers, one row per vector; the same operations in the
// same order, so the results are bit for bit those of the portable code.
inline void ColumnPass4(__m128 (&d)[8]) {
  const __m128 tmp0 = _mm_add_ps(d[0], d[7]), tmp7 = _mm_sub_ps(d[0], d[7]);
  const __m128 tmp1 = _mm_add_ps(d[1], d[6]), tmp6 = _mm_sub_ps(d[1], d[6]);
  const __m128 tmp2 = _mm_add_ps(d[2], d[5]), tmp5 = _mm_sub_ps(d[2], d[5]);
  const __m128 tmp3 = _mm_add_ps(d[3], d[4]), tmp4 = _mm_sub_ps(d[3], d[4]);
  const __m128 tmp10 = _mm_add_ps(tmp0, tmp3), tmp13 = _mm_sub_ps(tmp0, tmp3);
  const __m128 tmp11 = _mm_add_ps(tmp1, tmp2), tmp12 = _mm_sub_ps(tmp1, tmp2);
  d[0] = _mm_add_ps(tmp10, tmp11);
  d[4] = _mm_sub_ps(tmp10, tmp11);
  const __m128 z1 = _mm_mul_ps(_mm_add_ps(tmp12, tmp13), _mm_set1_ps(0.707106781f));
  d[2] = _mm_add_ps(tmp13, z1);
  d[6] = _mm_sub_ps(tmp13, z1);
  const __m128 o10 = _mm_add_ps(tmp4, tmp5), o11 = _mm_add_ps(tmp5, tmp6), o12 = _mm_add_ps(tmp6, tmp7);
  const __m128 z5 = _mm_mul_ps(_mm_sub_ps(o10, o12), _mm_set1_ps(0.382683433f));
  const __m128 z2 = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(0.541196100f), o10), z5);
  const __m128 z4 = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(1.306562965f), o12), z5);
  const __m128 z3 = _mm_mul_ps(o11, _mm_set1_ps(0.707106781f));
  const __m128 z11 = _mm_add_ps(tmp7, z3), z13 = _mm_sub_ps(tmp7, z3);
  d[5] = _mm_add_ps(z13, z2);
  d[3] = _mm_sub_ps(z13, z2);
  d[1] = _mm_add_ps(z11, z4);
  d[7] = _mm_sub_ps(z11, z4);
}

// Transposes the 4x4 quarter of rows `from`..`from + 3` of `in` into rows `to`.. of `out`.
inline void Transpose4(const __m128* in, __m128* out) {
  __m128 a = in[0], b = in[1], c = in[2], d = in[3];
  _MM_TRANSPOSE4_PS(a, b, c, d);
  out[0] = a;
  out[1] = b;
  out[2] = c;
  out[3] = d;
}

}  // namespace
#endif

void TransformBlockTransposed(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                              int16_t* transposed) {
#if IMGCTL_JPEG_SSE2
  // The whole block stays in registers: left and right halves of each row.
  __m128 left[8], right[8];
  const __m128i zero = _mm_setzero_si128();
  const __m128i centre = _mm_set1_epi16(128);
  for (int r = 0; r < 8; ++r) {
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples + r * stride));
    const __m128i words = _mm_sub_epi16(_mm_unpacklo_epi8(bytes, zero), centre);
    // Sign-extend to 32 bits: interleave with itself and shift arithmetically.
    left[r] = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(words, words), 16));
    right[r] = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(words, words), 16));
  }
  ColumnPass4(left);
  ColumnPass4(right);
  // Turn the block: row u of the result is column u of this one.
  __m128 tl[8], tr[8];
  Transpose4(left, tl);           // columns 0-3 of rows 0-3
  Transpose4(left + 4, tr);       // columns 0-3 of rows 4-7
  Transpose4(right, tl + 4);      // columns 4-7 of rows 0-3
  Transpose4(right + 4, tr + 4);  // columns 4-7 of rows 4-7
  ColumnPass4(tl);
  ColumnPass4(tr);  // tl[u] / tr[u] now hold coefficients (row v, column u) for v 0-3 / 4-7

  const __m128 offset = _mm_set1_ps(16384.5f);
  const __m128i bias = _mm_set1_epi32(16384);
  const __m128i high = _mm_set1_epi16(1023);
  // Only DC may reach -1024 (an all-black block at step 1). Clamping it in the vector, not with a
  // scalar store afterwards, lets the coder's vector loads of the block forward from these stores.
  __m128i low = _mm_insert_epi16(_mm_set1_epi16(-1023), -1024, 0);
  for (int u = 0; u < 8; ++u) {
    const __m128 lo = _mm_add_ps(_mm_mul_ps(tl[u], _mm_load_ps(divisors.transposed + u * 8)), offset);
    const __m128 hi = _mm_add_ps(_mm_mul_ps(tr[u], _mm_load_ps(divisors.transposed + u * 8 + 4)), offset);
    // Unbias in 32 bits; the saturating pack then only clips what the clamp would.
    const __m128i lo32 = _mm_sub_epi32(_mm_cvttps_epi32(lo), bias);
    const __m128i hi32 = _mm_sub_epi32(_mm_cvttps_epi32(hi), bias);
    __m128i packed = _mm_packs_epi32(lo32, hi32);
    packed = _mm_min_epi16(_mm_max_epi16(packed, low), high);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(transposed + u * 8), packed);
    low = _mm_set1_epi16(-1023);
  }
#else
  alignas(32) float work[64];
  alignas(32) float turned[64];
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) work[r * 8 + c] = static_cast<float>(samples[r * stride + c]) - 128.0f;
  }
  ColumnPass(work);
  Transpose(work, turned);
  ColumnPass(turned);  // turned[u * 8 + v] now holds coefficient (row v, column u)
  for (int i = 0; i < 64; ++i) {
    // Round half up without a library call; the offset keeps the truncation on positive values.
    const int value = static_cast<int>(turned[i] * divisors.transposed[i] + 16384.5f) - 16384;
    transposed[i] = static_cast<int16_t>(std::clamp(value, -1023, 1023));
  }
  // Only DC reaches -1024 (an all-black block at step 1).
  const int dc = static_cast<int>(turned[0] * divisors.transposed[0] + 16384.5f) - 16384;
  transposed[0] = static_cast<int16_t>(std::clamp(dc, -1024, 1023));
#endif
}

void TransformBlock(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                    int16_t* zigzag) {
  alignas(16) int16_t transposed[64];
  TransformBlockTransposed(samples, stride, divisors, transposed);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC unroll 64
#endif
  for (int k = 0; k < 64; ++k) zigzag[k] = transposed[kZigzagToTransposed[k]];
}

}  // namespace imgctl::jpeg
