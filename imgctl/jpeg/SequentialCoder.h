// Huffman coding of one block of a sequential (baseline) scan.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "Simd.h"

#include "EntropySinks.h"

namespace imgctl::jpeg {

// Bit k set when coefficient k (zigzag order) is non-zero.
inline uint64_t NonZeroMask(const int16_t* zigzag) {
#if IMGCTL_JPEG_SSE2
  const __m128i zero = _mm_setzero_si128();
  uint64_t zeros = 0;
  for (int i = 0; i < 64; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i + 8));
    const __m128i flags = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
    zeros |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(flags))) << i;
  }
  return ~zeros;
#else
  uint64_t mask = 0;
  for (int k = 0; k < 64; ++k) mask |= static_cast<uint64_t>(zigzag[k] != 0) << k;
  return mask;
#endif
}

// Worst case of one block: 64 codes of at most 27 bits, every byte stuffed.
inline constexpr size_t kMaxSequentialBlockBytes = 64 * 4 * 2;

template <class Sink>
inline void EncodeSequentialBlock(const int16_t* zigzag, int& lastDc, int dcSlot, int acSlot, Sink& sink) {
  const CodedValue dc = Categorise(zigzag[0] - lastDc);
  lastDc = zigzag[0];
  sink.SymbolWithBits(dcSlot, dc.category, dc.bits, dc.category);

  uint64_t mask = NonZeroMask(zigzag) & ~uint64_t{1};
  int last = 0;
  while (mask != 0) {
    const int pos = std::countr_zero(mask);
    int run = pos - last - 1;
    while (run > 15) {
      sink.Symbol(acSlot, 0xF0);
      run -= 16;
    }
    const CodedValue ac = Categorise(zigzag[pos]);
    sink.SymbolWithBits(acSlot, (run << 4) | ac.category, ac.bits, ac.category);
    last = pos;
    mask &= mask - 1;
  }
  if (last != 63) sink.Symbol(acSlot, 0x00);
}

}  // namespace imgctl::jpeg
