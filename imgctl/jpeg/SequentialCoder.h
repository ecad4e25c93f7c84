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

namespace detail {

// `mask`: the non-zero coefficients in zigzag order; at(k) reads coefficient k.
template <class Sink, class At>
inline void EncodeSequential(uint64_t mask, At at, int& lastDc, int dcSlot, int acSlot, Sink& sink) {
  const int dcValue = at(0);
  const int difference = dcValue - lastDc;
  const int dcCategory = Category(difference);
  lastDc = dcValue;
  sink.SymbolWithValue(dcSlot, dcCategory, difference, dcCategory);

  // Bit 0 of `rest` stands for coefficient k: the zero run before the next coded one is its count
  // of trailing zeros.
  uint64_t rest = mask >> 1;
  unsigned k = 1;
  while (rest != 0) {
    unsigned run = static_cast<unsigned>(std::countr_zero(rest));
    k += run;
    rest = (rest >> run) >> 1;
    while (run > 15) {
      sink.Symbol(acSlot, 0xF0);
      run -= 16;
    }
    const int value = at(k);
    const int category = Category(value);
    sink.SymbolWithValue(acSlot, static_cast<int>(run << 4) | category, value, category);
    ++k;
  }
  if (k != 64) sink.Symbol(acSlot, 0x00);
}

}  // namespace detail

// Block in zigzag order.
template <class Sink>
inline void EncodeSequentialBlock(const int16_t* zigzag, int& lastDc, int dcSlot, int acSlot, Sink& sink) {
  detail::EncodeSequential(NonZeroMask(zigzag), [zigzag](unsigned k) { return static_cast<int>(zigzag[k]); },
                           lastDc, dcSlot, acSlot, sink);
}

// Block in natural order, as the transform leaves it: saves reordering blocks that are mostly zero.
template <class Sink>
inline void EncodeSequentialNaturalBlock(const int16_t* natural, int& lastDc, int dcSlot, int acSlot, Sink& sink) {
  detail::EncodeSequential(
      NaturalToZigzag(NonZeroMask(natural)),
      [natural](unsigned k) { return static_cast<int>(natural[kZigzagToNatural[k]]); }, lastDc, dcSlot, acSlot, sink);
}

}  // namespace imgctl::jpeg
