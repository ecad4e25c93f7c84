// Huffman tables: the example tables for sequential files, tables fitted to symbol counts, and the
// code/length lookup the entropy coders use.
#pragma once

#include <array>
#include <cstdint>

namespace imgctl::jpeg {

// A table as a DHT segment carries it: number of codes of each length 1..16, then the symbols in
// order of increasing code length.
struct HuffmanDefinition {
  std::array<uint8_t, 16> counts{};
  std::array<uint8_t, 256> symbols{};
  int symbolCount = 0;
};

// Code and length per symbol; length 0 marks a symbol the table cannot encode.
struct HuffmanCodes {
  std::array<uint16_t, 256> code{};
  std::array<uint8_t, 256> length{};
};

using SymbolCounts = std::array<uint64_t, 256>;  // 64 bits: a frame may hold over 2^32 symbols

const HuffmanDefinition& StandardDcLuma();
const HuffmanDefinition& StandardDcChroma();
const HuffmanDefinition& StandardAcLuma();
const HuffmanDefinition& StandardAcChroma();

HuffmanCodes DeriveCodes(const HuffmanDefinition& definition);

// An optimal length-limited (16 bits) table for the given counts. Like every conforming encoder it
// never assigns the all-ones code. Symbols counted zero get no code.
HuffmanDefinition OptimalDefinition(const SymbolCounts& counts);

}  // namespace imgctl::jpeg
