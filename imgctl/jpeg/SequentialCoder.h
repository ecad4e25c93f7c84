// Huffman coding of one block of a sequential (baseline) scan.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "EntropySinks.h"

namespace imgctl::jpeg {

// Bit k set when coefficient k (zigzag order) is non-zero.
inline uint64_t NonZeroMask(const int16_t* zigzag) {
  static_assert(std::endian::native == std::endian::little);
  uint64_t mask = 0;
  for (int group = 0; group < 8; ++group) {
    uint8_t flags[8];
    for (int i = 0; i < 8; ++i) flags[i] = zigzag[group * 8 + i] != 0;
    uint64_t packed;
    std::memcpy(&packed, flags, 8);
    // Gathers the low bit of each byte into the top byte, byte i to bit i.
    mask |= ((packed * 0x0102040810204080ull) >> 56) << (group * 8);
  }
  return mask;
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
