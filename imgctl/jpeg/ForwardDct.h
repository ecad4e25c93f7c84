// Forward DCT of one 8x8 sample block and quantisation to zigzag-ordered coefficients.
//
// The transform is the integer Loeffler-Ligtenberg-Moschytz one with 13-bit constants, rows
// first, keeping 2 extra fraction bits between the passes; its output is 8 times the DCT. The
// quantiser rounds half away from zero. These are the coefficients decoders and other encoders
// treat as the accurate integer transform's, so files match theirs in size and quality.
#pragma once

#include <cstddef>
#include <cstdint>

#include "QuantTables.h"

namespace imgctl::jpeg {

// Division of a transform output (8 times the coefficient) by 8 * step, all in natural order.
// The vector path divides a magnitude n (< 2^15) as ((n * reciprocal) >> 16) * scale >> 16.
struct QuantDivisors {
  alignas(16) uint16_t reciprocal[64];
  alignas(16) uint16_t scale[64];
  alignas(16) uint16_t rounding[64];  // half the divisor, added to the magnitude first
  alignas(16) uint16_t divisor[64];   // 8 * step
};

QuantDivisors MakeDivisors(const QuantTable& table);

// `samples`: 8 rows of 8 bytes, `stride` apart. Writes the 64 quantised coefficients in zigzag
// order. For 8-bit samples AC stays within +-1023 and DC within -1024..1023 (the ranges baseline
// code tables cover) at every step size: the transform cannot exceed them.
void TransformBlock(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                    int16_t* zigzag);

// The same, leaving the coefficients in natural (row-major) order.
void TransformBlockNatural(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                           int16_t* natural);

// Two blocks with the same divisors, each as TransformBlockNatural; where the processor has AVX2
// both go through one pass of the vector transform.
void TransformBlockPairNatural(const uint8_t* first, const uint8_t* second, std::ptrdiff_t stride,
                               const QuantDivisors& divisors, int16_t* firstOut, int16_t* secondOut);

// The quantised DC of a block whose 64 samples all equal `sample` (its other coefficients are 0).
int16_t QuantiseFlatDc(int sample, const QuantDivisors& divisors);

namespace detail {
using PairTransformFn = void (*)(const uint8_t* first, const uint8_t* second, std::ptrdiff_t stride,
                                 const QuantDivisors& divisors, int16_t* firstOut, int16_t* secondOut);
// The AVX2 pair transform when this build has one and the processor and system run it; else null.
PairTransformFn WidePairTransform();
}  // namespace detail

// TransformBlockNatural without vector instructions, in 32-bit arithmetic; the vector path must
// give the very same coefficients (the tests hold them against each other).
void TransformBlockNaturalPortable(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                                   int16_t* natural);

}  // namespace imgctl::jpeg
