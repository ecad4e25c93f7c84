#include "ForwardDct.h"

#include <algorithm>

namespace imgctl::jpeg {
namespace {

// The scaled DCT of Arai, Agui and Nakajima leaves output (u, v) multiplied by
// 8 * s[u] * s[v] with s[0] = 1, s[k] = cos(k * pi / 16) * sqrt(2).
constexpr double kAanScale[8] = {1.0,         1.387039845, 1.306562965, 1.175875602,
                                 1.0,         0.785694958, 0.541196100, 0.275899379};

// Zigzag position -> index in the transposed output of TransformBlock's two passes.
constexpr auto kZigzagToTransposed = [] {
  std::array<uint8_t, 64> table{};
  for (int k = 0; k < 64; ++k) {
    const int natural = kZigzagToNatural[k];
    table[k] = static_cast<uint8_t>((natural % 8) * 8 + natural / 8);
  }
  return table;
}();

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

}  // namespace

QuantDivisors MakeDivisors(const QuantTable& table) {
  QuantDivisors divisors{};
  for (int k = 0; k < 64; ++k) {
    const int natural = kZigzagToNatural[k];
    const double step = table[natural] * kAanScale[natural / 8] * kAanScale[natural % 8] * 8.0;
    divisors.scale[k] = static_cast<float>(1.0 / step);
  }
  return divisors;
}

void TransformBlock(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                    int16_t* zigzag) {
  alignas(32) float work[64];
  alignas(32) float turned[64];
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) work[r * 8 + c] = static_cast<float>(samples[r * stride + c]) - 128.0f;
  }
  ColumnPass(work);
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) turned[c * 8 + r] = work[r * 8 + c];
  }
  ColumnPass(turned);  // turned[u * 8 + v] now holds coefficient (row v, column u)

  for (int k = 0; k < 64; ++k) {
    const float scaled = turned[kZigzagToTransposed[k]] * divisors.scale[k];
    // Round half up without a library call; the offset keeps the truncation on positive values.
    const int value = static_cast<int>(scaled + 16384.5f) - 16384;
    zigzag[k] = static_cast<int16_t>(std::clamp(value, -1023, 1023));
  }
  const int dc = static_cast<int>(turned[0] * divisors.scale[0] + 16384.5f) - 16384;
  zigzag[0] = static_cast<int16_t>(std::clamp(dc, -1024, 1023));
}

}  // namespace imgctl::jpeg
