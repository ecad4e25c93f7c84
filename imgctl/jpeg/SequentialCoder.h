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
  const CodedValue dc = Categorise(dcValue - lastDc);
  lastDc = dcValue;
  sink.SymbolWithBits(dcSlot, dc.category, dc.bits, dc.category);

  mask &= ~uint64_t{1};
  int last = 0;
  while (mask != 0) {
    const int pos = std::countr_zero(mask);
    int run = pos - last - 1;
    while (run > 15) {
      sink.Symbol(acSlot, 0xF0);
      run -= 16;
    }
    const CodedValue ac = Categorise(at(pos));
    sink.SymbolWithBits(acSlot, (run << 4) | ac.category, ac.bits, ac.category);
    last = pos;
    mask &= mask - 1;
  }
  if (last != 63) sink.Symbol(acSlot, 0x00);
}

}  // namespace detail

// Block in zigzag order.
template <class Sink>
inline void EncodeSequentialBlock(const int16_t* zigzag, int& lastDc, int dcSlot, int acSlot, Sink& sink) {
  detail::EncodeSequential(NonZeroMask(zigzag), [zigzag](int k) { return static_cast<int>(zigzag[k]); },
                           lastDc, dcSlot, acSlot, sink);
}

// Block in the transform's transposed order: saves reordering blocks that are mostly zero.
template <class Sink>
inline void EncodeSequentialTransposedBlock(const int16_t* transposed, int& lastDc, int dcSlot, int acSlot,
                                            Sink& sink) {
  detail::EncodeSequential(
      TransposedToZigzag(NonZeroMask(transposed)),
      [transposed](int k) { return static_cast<int>(transposed[kZigzagToTransposed[k]]); }, lastDc, dcSlot,
      acSlot, sink);
}

}  // namespace imgctl::jpeg
