// Quantisation tables and the zigzag scan order.
#pragma once

#include <array>
#include <cstdint>

namespace imgctl::jpeg {

// Position in the natural (row-major) 8x8 block of the k-th coefficient in zigzag order.
inline constexpr std::array<uint8_t, 64> kZigzagToNatural = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Quantiser step sizes in natural order, each 1..255 (8-bit tables).
using QuantTable = std::array<uint16_t, 64>;

// The example luminance (chroma = false) or chrominance table scaled for `quality`: 50 gives the
// table as printed, 100 all ones; values outside 1..100 are clamped (0 acts as 1).
QuantTable ScaledQuantTable(bool chroma, int quality);

}  // namespace imgctl::jpeg
