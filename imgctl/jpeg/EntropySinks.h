// The two destinations of the entropy coders: HuffmanEmitter writes codes, SymbolCounter only
// counts symbols (the first pass for fitted tables). Coders are templates over the sink so the
// counting pass shares their exact logic.
#pragma once

#include <bit>
#include <cstdint>

#include "BitWriter.h"
#include "HuffmanTable.h"

namespace imgctl::jpeg {

// Table slots a coder addresses.
enum TableSlot : int { kDcLuma = 0, kDcChroma = 1, kAcLuma = 2, kAcChroma = 3, kSlotCount = 4 };

// Magnitude category of a coefficient or difference, and its appended bits (negative values are
// sent as value - 1 in `category` bits).
struct CodedValue {
  int category;
  uint32_t bits;
};

inline CodedValue Categorise(int value) {
  const int sign = value >> 31;  // 0 or -1
  const auto magnitude = static_cast<uint32_t>((value ^ sign) - sign);
  const int category = static_cast<int>(std::bit_width(magnitude));
  const uint32_t bits = static_cast<uint32_t>(value + sign) & ((uint32_t{1} << category) - 1);
  return {category, bits};
}

// Magnitude category of a value (|value| < 2^30) without a branch for zero, which the DC
// difference often is: the bit width of m is the index of the top bit of 2m + 1.
inline int Category(int value) {
  const int sign = value >> 31;
  const auto magnitude = static_cast<uint32_t>((value ^ sign) - sign);
  return __builtin_clz(2 * magnitude + 1) ^ 31;
}

class HuffmanEmitter {
 public:
  static constexpr bool kCounting = false;

  HuffmanEmitter(BitWriter& writer, const HuffmanCodes* const (&codes)[kSlotCount]) : writer_(writer) {
    for (int i = 0; i < kSlotCount; ++i) codes_[i] = codes[i];
  }

  void Reserve(size_t bytes) { writer_.Reserve(bytes); }
  void Symbol(int slot, int symbol) { writer_.Put(codes_[slot]->code[symbol], codes_[slot]->length[symbol]); }
  void SymbolWithBits(int slot, int symbol, uint32_t bits, int count) {
    writer_.Put((static_cast<uint32_t>(codes_[slot]->code[symbol]) << count) | bits,
                codes_[slot]->length[symbol] + count);
  }
  // The symbol's code followed by the appended bits of `value` (category `category` of it).
  void SymbolWithValue(int slot, int symbol, int value, int category) {
    // For a negative value, value - 1 holds the appended bits below bit `category` and ones above;
    // flipping the code as well and xor-ing the two cancels those ones over the code and beyond.
    const int sign = value >> 31;
    const auto code = static_cast<uint32_t>(codes_[slot]->code[symbol] ^ sign);
    writer_.Put((code << category) ^ static_cast<uint32_t>(value + sign), codes_[slot]->length[symbol] + category);
  }
  void Bits(uint32_t bits, int count) { writer_.Put(bits, count); }

 private:
  BitWriter& writer_;
  const HuffmanCodes* codes_[kSlotCount];
};

class SymbolCounter {
 public:
  static constexpr bool kCounting = true;

  explicit SymbolCounter(SymbolCounts (&counts)[kSlotCount]) : counts_(counts) {}

  void Reserve(size_t) {}
  void Symbol(int slot, int symbol) { ++counts_[slot][symbol]; }
  void SymbolWithBits(int slot, int symbol, uint32_t, int) { ++counts_[slot][symbol]; }
  void SymbolWithValue(int slot, int symbol, int, int) { ++counts_[slot][symbol]; }
  void Bits(uint32_t, int) {}

 private:
  SymbolCounts (&counts_)[kSlotCount];
};

}  // namespace imgctl::jpeg
