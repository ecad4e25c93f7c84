// Huffman coding of one block of a sequential (baseline) scan.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "BlockMasks.h"
#include "EntropySinks.h"

namespace imgctl::jpeg {

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
