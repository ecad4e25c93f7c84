// The PNG writer's deflate coder, checked by zlib's decoder: every stream must inflate to exactly
// its input, whatever the content, effort and block size.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Deflate.h"

namespace imgctl {
namespace {

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& z, size_t expected) {
  std::vector<uint8_t> out(expected + 1);
  uLongf n = static_cast<uLongf>(out.size());
  int r = uncompress(out.data(), &n, z.data(), static_cast<uLong>(z.size()));
  if (r != Z_OK) return {1, 2, 3};  // never equal to a checked input of another length
  out.resize(n);
  return out;
}

std::vector<uint8_t> Noise(size_t n, int range, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(static_cast<int>(rng() % static_cast<uint32_t>(range)) - range / 2);
  return v;
}

// Filtered-row-like data: zero runs, repeated rows, small residuals, and a copy exactly at the
// largest distance.
std::vector<uint8_t> RowLike(size_t rows, size_t rowBytes) {
  std::vector<uint8_t> v;
  std::vector<uint8_t> noise = Noise(rowBytes, 9, 7);
  for (size_t y = 0; y < rows; ++y) {
    v.push_back(static_cast<uint8_t>(y % 5));
    for (size_t x = 0; x < rowBytes; ++x) {
      if (y % 7 == 3) v.push_back(noise[x]);                        // a row seen before
      else if (x / 64 % 3 == 0) v.push_back(0);                     // flat area
      else v.push_back(static_cast<uint8_t>((x * 31 + y * 7) % 11));  // text-like residuals
    }
  }
  return v;
}

// Byte frequencies along the Fibonacci sequence give the deepest Huffman trees, far beyond the
// 15 bits deflate allows, so the length limit has to reshape the code.
std::vector<uint8_t> Fibonacci() {
  std::vector<uint8_t> v;
  uint32_t a = 1, b = 1;
  for (int sym = 0; sym < 26; ++sym) {
    v.insert(v.end(), a, static_cast<uint8_t>(sym * 9));
    uint32_t c = a + b;
    a = b;
    b = c;
  }
  std::mt19937 rng(9);
  std::shuffle(v.begin(), v.end(), rng);
  return v;
}

std::vector<uint8_t> FarCopy() {
  std::vector<uint8_t> v = Noise(32768 + 300, 256, 3);
  for (size_t i = 0; i < 300; ++i) v[32768 + i] = v[i];  // only match: distance 32768
  for (size_t i = 0; i < 200; ++i) v[32768 + 50 + i] = v[i + 1];  // and 32767
  return v;
}

TEST(Deflate, ZlibInflatesEveryStreamToItsInput) {
  struct Input {
    const char* name;
    std::vector<uint8_t> data;
  };
  const std::vector<Input> inputs = {
      {"empty", {}},
      {"one byte", {42}},
      {"three bytes", {1, 2, 3}},
      {"five equal bytes", {9, 9, 9, 9, 9}},
      {"zero run of 1 MiB", std::vector<uint8_t>(size_t{1} << 20, 0)},
      {"incompressible 300 KiB", Noise(300 << 10, 256, 1)},
      {"small residuals", Noise(200 << 10, 13, 2)},
      {"rows", RowLike(400, 5761)},
      {"copy at the largest distance", FarCopy()},
      {"Fibonacci frequencies", Fibonacci()},
  };
  DeflateEffort greedy;
  greedy.chain = 4;
  greedy.lazy = 0;
  DeflateEffort lazy;
  lazy.chain = 64;
  lazy.lazy = 258;
  lazy.nice = 258;
  lazy.insertLimit = 300;
  DeflateEffort smallBlocks;
  smallBlocks.blockSymbols = 1024;
  smallBlocks.minLength = 8;
  DeflateEffort rowAbove;  // the rows' own spacing
  rowAbove.chain = 2;
  rowAbove.rowDistance = 5762;
  DeflateEffort farRow;  // the largest distance, and more than most inputs hold
  farRow.lazy = 0;
  farRow.rowDistance = 32767;
  const std::pair<const char*, DeflateEffort> efforts[] = {{"default", DeflateEffort{}}, {"greedy", greedy},
                                                           {"lazy, deep", lazy},        {"small blocks", smallBlocks},
                                                           {"row above", rowAbove},     {"row far above", farRow}};
  for (const Input& in : inputs) {
    for (const auto& [effortName, effort] : efforts) {
      SCOPED_TRACE(std::string(in.name) + ", " + effortName);
      std::vector<uint8_t> z = {0xAA};  // appends after what is there
      ZlibCompress(in.data.data(), in.data.size(), effort, z);
      ASSERT_EQ(z[0], 0xAA);
      z.erase(z.begin());
      EXPECT_EQ(Inflate(z, in.data.size()), in.data);
      if (in.data.size() > 1000) {
        // Never much larger than stored blocks (5 bytes a block).
        EXPECT_LE(z.size(), in.data.size() + in.data.size() / 100 + 64);
      }
    }
  }
}

// Written in pieces of every size, including empty ones and ones larger than the window, the
// stream is the same data, and matches still reach back into earlier pieces.
TEST(Deflate, PiecewiseStreamInflatesToTheConcatenation) {
  const std::vector<uint8_t> rows = RowLike(300, 5761);
  std::vector<uint8_t> whole;
  ZlibCompress(rows.data(), rows.size(), DeflateEffort{}, whole);
  const std::vector<size_t> pieceSizes[] = {{1, 70000}, {0, 7, 0, 65536, 3}, {100000}, {32768}, {5762}};
  for (const std::vector<size_t>& sizes : pieceSizes) {
    SCOPED_TRACE("first piece size " + std::to_string(sizes[0]) + ", " + std::to_string(sizes.size()) + " sizes");
    std::vector<uint8_t> z;
    DeflateStream stream(DeflateEffort{}, z);
    size_t at = 0, k = 0;
    while (at < rows.size()) {
      size_t n = std::min(sizes[k++ % sizes.size()], rows.size() - at);
      uint8_t* space = stream.Space(n);
      if (n) std::memcpy(space, rows.data() + at, n);
      at += n;
      stream.Commit(n, at == rows.size());
    }
    EXPECT_EQ(Inflate(z, rows.size()), rows);
    if (sizes[0] >= 32768) {
      EXPECT_LT(z.size(), whole.size() + whole.size() / 20);  // a little per block end
    }
  }
}

TEST(Deflate, CompressesScreenLikeDataWell) {
  // A guard against a matcher that silently stops finding matches: repeated rows and flat areas
  // must shrink far below their size.
  std::vector<uint8_t> rows = RowLike(400, 5761);
  std::vector<uint8_t> z;
  ZlibCompress(rows.data(), rows.size(), DeflateEffort{}, z);
  EXPECT_LT(z.size(), rows.size() / 8);
}

// Screens repeat the row above at a distance a short hash-chain walk never reaches when the row
// holds many repeats of its own; the coder tries it directly, in one piece or across pieces.
TEST(Deflate, RowAboveFindsRepeatedRowsAShortSearchMisses) {
  constexpr size_t kRow = 1921;
  // Two values at random: every 4-byte string recurs within a few dozen bytes, so the chain's
  // nearest candidates all match only briefly and the row above lies deep down the chain.
  std::mt19937 rng(11);
  std::vector<uint8_t> pattern(kRow);
  for (uint8_t& b : pattern) b = rng() & 1 ? 7 : 0;
  std::vector<uint8_t> rows;
  for (int y = 0; y < 300; ++y) rows.insert(rows.end(), pattern.begin(), pattern.end());
  DeflateEffort shallow;
  shallow.chain = 2;
  shallow.lazy = 0;
  DeflateEffort above = shallow;
  above.rowDistance = static_cast<int>(kRow);
  std::vector<uint8_t> without, with, piecewise;
  ZlibCompress(rows.data(), rows.size(), shallow, without);
  ZlibCompress(rows.data(), rows.size(), above, with);
  EXPECT_EQ(Inflate(with, rows.size()), rows);
  EXPECT_LT(with.size() * 4, without.size());
  DeflateStream stream(above, piecewise);
  for (size_t at = 0; at < rows.size(); at += 50000) {
    const size_t n = std::min<size_t>(50000, rows.size() - at);
    std::memcpy(stream.Space(n), rows.data() + at, n);
    stream.Commit(n, at + n == rows.size());
  }
  EXPECT_EQ(Inflate(piecewise, rows.size()), rows);
  EXPECT_LT(piecewise.size(), with.size() + with.size() / 10 + 64);
}

// Every code the coder builds must be complete (Kraft's sum exactly 1) and within the length
// limit, or decoders reject the block; skewed counts force the limit to reshape the code.
TEST(Deflate, HuffmanCodesAreCompleteAndWithinTheLimit) {
  std::mt19937 rng(4);
  std::vector<std::vector<uint32_t>> tables;
  for (int n : {2, 3, 19, 30, 286}) {
    std::vector<uint32_t> fib(static_cast<size_t>(n)), pow2(static_cast<size_t>(n)), flat(static_cast<size_t>(n), 7);
    uint32_t a = 1, b = 1;
    for (int i = 0; i < n; ++i) {
      fib[static_cast<size_t>(i)] = a;
      uint32_t c = std::min<uint64_t>(uint64_t{a} + b, 1u << 30);
      a = b;
      b = c;
      pow2[static_cast<size_t>(i)] = 1u << std::min(i, 30);
    }
    tables.push_back(fib);
    tables.push_back(pow2);
    tables.push_back(flat);
    for (int trial = 0; trial < 200; ++trial) {
      std::vector<uint32_t> random(static_cast<size_t>(n));
      for (auto& f : random) f = rng() % 3 == 0 ? 0 : (1u << (rng() % 20)) + rng() % 5;
      tables.push_back(random);
    }
  }
  tables.push_back({0, 0, 5, 0});
  tables.push_back({0, 0, 0, 0});
  for (size_t t = 0; t < tables.size(); ++t) {
    const std::vector<uint32_t>& freq = tables[t];
    for (int limit : {7, 15}) {
      if (freq.size() > (size_t{1} << limit)) continue;  // more symbols than codes of that length
      std::vector<uint8_t> lens(freq.size());
      HuffmanCodeLengths(freq.data(), static_cast<int>(freq.size()), limit, lens.data());
      uint64_t kraft = 0;  // in units of 2^-15
      int coded = 0;
      for (size_t s = 0; s < freq.size(); ++s) {
        ASSERT_LE(lens[s], limit) << "table " << t;
        if (freq[s]) {
          ASSERT_GT(lens[s], 0) << "table " << t << " symbol " << s;
        }
        if (lens[s]) {
          kraft += uint64_t{1} << (15 - lens[s]);
          ++coded;
        }
      }
      ASSERT_GE(coded, 2) << "table " << t;
      EXPECT_EQ(kraft, uint64_t{1} << 15) << "table " << t << ", limit " << limit;
    }
  }
}

TEST(Deflate, Adler32MatchesZlib) {
  std::vector<uint8_t> v = Noise(20000, 256, 5);
  for (auto& b : v) b |= 0x80;  // large bytes stress the sums
  for (size_t offset : {size_t{0}, size_t{1}, size_t{7}})
    for (size_t n : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{5552}, size_t{5553}, size_t{19990}}) {
      if (offset + n > v.size()) continue;
      uint32_t expected = static_cast<uint32_t>(adler32(1, v.data() + offset, static_cast<uInt>(n)));
      EXPECT_EQ(Adler32(1, v.data() + offset, n), expected) << offset << " + " << n;
    }
  std::vector<uint8_t> ff(100000, 0xff);
  EXPECT_EQ(Adler32(1, ff.data(), ff.size()), static_cast<uint32_t>(adler32(1, ff.data(), static_cast<uInt>(ff.size()))));
}

}  // namespace
}  // namespace imgctl
