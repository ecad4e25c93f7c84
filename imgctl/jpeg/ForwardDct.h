// Forward DCT of one 8x8 sample block and quantisation to zigzag-ordered coefficients.
#pragma once

#include <cstddef>
#include <cstdint>

#include "QuantTables.h"

namespace imgctl::jpeg {

// Per-coefficient multipliers that fold the DCT's output scaling into the quantiser.
struct QuantDivisors {
  alignas(32) float transposed[64];  // in the order the transform leaves the coefficients
};

QuantDivisors MakeDivisors(const QuantTable& table);

// `samples`: 8 rows of 8 bytes, `stride` apart. Writes the 64 quantised coefficients in zigzag
// order, AC clamped to +-1023 and DC to -1024..1023 (the ranges baseline code tables cover).
void TransformBlock(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                    int16_t* zigzag);

// The same, leaving the coefficients in the transform's own order: index u * 8 + v holds the
// coefficient of row v, column u (see kZigzagToTransposed).
void TransformBlockTransposed(const uint8_t* samples, std::ptrdiff_t stride, const QuantDivisors& divisors,
                              int16_t* transposed);

}  // namespace imgctl::jpeg
