// 64-bit masks over a block's coefficients (zigzag order), so the entropy coders visit only the
// coefficients that produce codes.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>

#include "QuantTables.h"
#include "Simd.h"

namespace imgctl::jpeg {

// Bit k set when |coefficient k| >= threshold (1..32767); threshold 1 gives the non-zero mask.
inline uint64_t MagnitudeMask(const int16_t* zigzag, int threshold) {
#if IMGCTL_JPEG_SSE2
  const __m128i below = _mm_set1_epi16(static_cast<int16_t>(threshold - 1));
  uint64_t mask = 0;
  for (int i = 0; i < 64; i += 16) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i + 8));
    a = _mm_max_epi16(a, _mm_sub_epi16(_mm_setzero_si128(), a));  // |a|; coefficients exceed -32768
    b = _mm_max_epi16(b, _mm_sub_epi16(_mm_setzero_si128(), b));
    const __m128i flags = _mm_packs_epi16(_mm_cmpgt_epi16(a, below), _mm_cmpgt_epi16(b, below));
    mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(flags))) << i;
  }
  return mask;
#else
  uint64_t mask = 0;
  for (int k = 0; k < 64; ++k) mask |= static_cast<uint64_t>(std::abs(zigzag[k]) >= threshold) << k;
  return mask;
#endif
}

inline uint64_t NonZeroMask(const int16_t* zigzag) {
#if IMGCTL_JPEG_SSE2
  const __m128i zero = _mm_setzero_si128();
  uint64_t zeros = 0;
  for (int i = 0; i < 64; i += 16) {
    const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i)), zero);
    const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i + 8)), zero);
    zeros |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)))) << i;
  }
  return ~zeros;
#else
  return MagnitudeMask(zigzag, 1);
#endif
}

namespace detail {
// For each byte j of a mask over a block in natural order, the zigzag-order bits of its eight
// positions.
inline constexpr auto kNaturalToZigzagBits = [] {
  std::array<uint8_t, 64> zigzagOf{};
  for (int k = 0; k < 64; ++k) zigzagOf[kZigzagToNatural[k]] = static_cast<uint8_t>(k);
  std::array<std::array<uint64_t, 256>, 8> table{};
  for (int j = 0; j < 8; ++j) {
    for (int byte = 0; byte < 256; ++byte) {
      uint64_t bits = 0;
      for (int b = 0; b < 8; ++b) {
        if (byte & (1 << b)) bits |= uint64_t{1} << zigzagOf[j * 8 + b];
      }
      table[j][byte] = bits;
    }
  }
  return table;
}();
}  // namespace detail

// Reorders a mask over a block in natural order (bit row * 8 + column) into zigzag order.
inline uint64_t NaturalToZigzag(uint64_t mask) {
  uint64_t zigzag = 0;
  for (int j = 0; j < 8; ++j) zigzag |= detail::kNaturalToZigzagBits[j][(mask >> (8 * j)) & 0xFF];
  return zigzag;
}

// Bits ss..se set.
inline uint64_t BandMask(int ss, int se) {
  const uint64_t upTo = se >= 63 ? ~uint64_t{0} : (uint64_t{1} << (se + 1)) - 1;
  return upTo & ~((uint64_t{1} << ss) - 1);
}

}  // namespace imgctl::jpeg
