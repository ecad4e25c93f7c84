// A deflate (zlib stream) compressor for PNG image data: hash chains over 4-byte strings with
// optional lazy matching, dynamic Huffman blocks, and effort chosen by the caller from the content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace imgctl {

struct DeflateEffort {
  int chain = 16;           // candidates tried per position
  int lazy = 16;            // a match shorter than this is checked against one at the next byte
  int nice = 128;           // a match this long ends the search
  int insertLimit = 32;     // strings inside a longer match are indexed only at its ends
  int blockSymbols = 16384; // symbols per Huffman block at most
  int minLength = 4;        // shorter matches cost more than their literals in grainy data
  int rowDistance = 0;      // image rows this far apart: the row above is tried after the chain (0: none)
};

// A zlib stream written piece by piece, so the whole input never has to be held: each piece is
// put where Space() points and then committed; matches reach back into earlier pieces. Commit
// with `last` appends the complete stream to `out`.
class DeflateStream {
 public:
  DeflateStream(const DeflateEffort& effort, std::vector<uint8_t>& out);
  ~DeflateStream();
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;

  uint8_t* Space(size_t n);  // room for the next n input bytes (valid until Commit)
  void Commit(size_t n, bool last);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Appends a complete zlib stream (header, deflate blocks, Adler-32) holding `data` to `out`.
void ZlibCompress(const uint8_t* data, size_t n, const DeflateEffort& effort, std::vector<uint8_t>& out);

// Code lengths of a complete Huffman code for `freq[0..n)` (n <= 286), none longer than `limit`
// (7 or 15 in deflate). Symbols of zero frequency get 0; at least two symbols get a code, so
// every decoder accepts the table.
void HuffmanCodeLengths(const uint32_t* freq, int n, int limit, uint8_t* lengths);

// Adler-32 as zlib computes it (start with 1).
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t n);

}  // namespace imgctl
