// The encoder's building blocks where a fault would hide in a valid-looking file: Huffman tables,
// the bit writer's byte stuffing, value categories and the DCT with quantisation.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "BitWriter.h"
#include "EntropySinks.h"
#include "ForwardDct.h"
#include "HuffmanTable.h"
#include "OutputBuffer.h"
#include "QuantTables.h"

namespace {

using namespace imgctl::jpeg;

// Kraft sum of the code lengths in units of 2^-16, and a check that the codes are the canonical,
// prefix-free assignment of those lengths.
uint32_t KraftUnits(const HuffmanCodes& codes) {
  uint32_t units = 0;
  for (int s = 0; s < 256; ++s) {
    if (codes.length[s] != 0) units += 1u << (16 - codes.length[s]);
  }
  return units;
}

bool PrefixFree(const HuffmanCodes& codes) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      if (a == b || codes.length[a] == 0 || codes.length[b] == 0 || codes.length[a] > codes.length[b]) continue;
      if ((codes.code[b] >> (codes.length[b] - codes.length[a])) == codes.code[a]) return false;
    }
  }
  return true;
}

TEST(JpegHuffmanTables, StandardTablesEncodeEverySymbolABaselineScanNeeds) {
  struct Case {
    const char* name;
    const HuffmanDefinition& definition;
    bool ac;
  };
  const Case cases[] = {{"DC luma", StandardDcLuma(), false},
                        {"DC chroma", StandardDcChroma(), false},
                        {"AC luma", StandardAcLuma(), true},
                        {"AC chroma", StandardAcChroma(), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int total = 0;
    for (uint8_t n : c.definition.counts) total += n;
    EXPECT_EQ(total, c.definition.symbolCount);
    const HuffmanCodes codes = DeriveCodes(c.definition);
    EXPECT_TRUE(PrefixFree(codes));
    EXPECT_LT(KraftUnits(codes), 1u << 16);  // the all-ones code stays unused
    if (c.ac) {
      EXPECT_EQ(c.definition.symbolCount, 162);
      EXPECT_NE(codes.length[0x00], 0);  // EOB
      EXPECT_NE(codes.length[0xF0], 0);  // ZRL
      for (int run = 0; run < 16; ++run) {
        for (int size = 1; size <= 10; ++size) EXPECT_NE(codes.length[(run << 4) | size], 0) << run << "/" << size;
      }
    } else {
      for (int size = 0; size <= 11; ++size) EXPECT_NE(codes.length[size], 0) << size;
    }
  }
}

TEST(JpegHuffmanTables, FittedTablesAreValidAndNoLongerThan16Bits) {
  std::vector<std::pair<const char*, SymbolCounts>> cases;
  SymbolCounts none{};
  cases.push_back({"no symbols", none});
  SymbolCounts one{};
  one[0x37] = 5;
  cases.push_back({"one symbol", one});
  SymbolCounts uniform{};
  uniform.fill(1000);
  cases.push_back({"all 256 symbols", uniform});
  SymbolCounts fibonacci{};  // the most skewed counts: an unlimited code would be 60 deep
  uint64_t a = 1, b = 1;
  for (int s = 0; s < 60; ++s) {
    fibonacci[s] = a;
    const uint64_t next = a + b;
    a = b;
    b = next;
  }
  cases.push_back({"fibonacci", fibonacci});
  SymbolCounts huge{};
  huge[1] = uint64_t{1} << 50;  // more symbols than a 32-bit count holds
  huge[2] = uint64_t{1} << 50;
  huge[3] = 1;
  cases.push_back({"huge counts", huge});

  for (const auto& [name, counts] : cases) {
    SCOPED_TRACE(name);
    const HuffmanDefinition definition = OptimalDefinition(counts);
    int total = 0;
    for (uint8_t n : definition.counts) total += n;
    EXPECT_EQ(total, definition.symbolCount);
    const HuffmanCodes codes = DeriveCodes(definition);
    EXPECT_TRUE(PrefixFree(codes));
    EXPECT_LT(KraftUnits(codes), 1u << 16);
    EXPECT_GT(definition.symbolCount, 0);
    for (int s = 0; s < 256; ++s) {
      if (counts[s] != 0) {
        EXPECT_NE(codes.length[s], 0) << s;
      }
    }
  }
}

TEST(JpegHuffmanTables, FittedTableBeatsTheStandardOneOnItsOwnCounts) {
  // Counts shaped like a flat screenshot: mostly EOB and small values.
  SymbolCounts counts{};
  counts[0x00] = 9000;
  counts[0x01] = 3000;
  counts[0x02] = 800;
  counts[0x11] = 600;
  counts[0xF0] = 20;
  counts[0x3A] = 3;
  auto bits = [&](const HuffmanCodes& codes) {
    uint64_t total = 0;
    for (int s = 0; s < 256; ++s) total += uint64_t{counts[s]} * codes.length[s];
    return total;
  };
  const HuffmanCodes fitted = DeriveCodes(OptimalDefinition(counts));
  const HuffmanCodes standard = DeriveCodes(StandardAcLuma());
  EXPECT_LT(bits(fitted), bits(standard));
  EXPECT_EQ(fitted.length[0x00], 1);  // the dominant symbol gets a one-bit code
}

TEST(JpegBitWriter, PacksMsbFirstStuffsFFAndPadsWithOnes) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint32_t, int>> puts;
    std::vector<uint8_t> expected;
  };
  const std::vector<Case> cases = {
      {"nothing", {}, {}},
      {"one bit padded with ones", {{0, 1}}, {0x7F}},
      {"two codes in one byte", {{0b101, 3}, {0b00, 2}}, {0b10100111}},
      {"an FF byte is followed by a zero byte", {{0xFF, 8}, {0x12, 8}}, {0xFF, 0x00, 0x12}},
      {"padding that makes FF is stuffed too", {{0xF, 4}}, {0xFF, 0x00}},
      {"32-bit puts across the 64-bit store",
       {{0xFFFFFFFF, 32}, {0x01234567, 32}, {0xFFFF, 16}},
       {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0x01, 0x23, 0x45, 0x67, 0xFF, 0, 0xFF, 0}},
      {"odd sizes crossing a store",
       {{0x1FFFF, 17}, {0, 20}, {0x7FFFFFF, 27}, {0x5, 3}},
       {0xFF, 0x00, 0xFF, 0x00, 0x80, 0x00, 0x07, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xBF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> out = {0xAA};
    OutputBuffer buffer(out, 4);
    BitWriter writer(buffer);
    for (const auto& [bits, count] : c.puts) writer.Put(bits, count);
    writer.Flush();
    buffer.Finish();
    std::vector<uint8_t> expected = {0xAA};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(out, expected);
  }
}

TEST(JpegBitWriter, LongRandomStreamMatchesABitByBitReference) {
  std::mt19937 random(5);
  std::vector<bool> bits;
  std::vector<uint8_t> out;
  OutputBuffer buffer(out, 16);
  BitWriter writer(buffer);
  for (int i = 0; i < 20000; ++i) {
    const int count = static_cast<int>(random() % 33);
    // Runs of ones make plenty of FF bytes.
    const uint32_t value = (random() % 3 == 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(random())) &
                           (count == 32 ? 0xFFFFFFFFu : (1u << count) - 1);
    for (int b = count - 1; b >= 0; --b) bits.push_back((value >> b) & 1);
    writer.Reserve(16);
    writer.Put(value, count);
  }
  writer.Flush();
  buffer.Finish();
  while (bits.size() % 8 != 0) bits.push_back(true);
  std::vector<uint8_t> expected;
  for (size_t i = 0; i < bits.size(); i += 8) {
    uint8_t byte = 0;
    for (int b = 0; b < 8; ++b) byte = static_cast<uint8_t>((byte << 1) | bits[i + b]);
    expected.push_back(byte);
    if (byte == 0xFF) expected.push_back(0);
  }
  EXPECT_EQ(out, expected);
}

TEST(JpegEntropyValues, CategoriesAndAppendedBits) {
  struct Case {
    int value, category;
    uint32_t bits;
  };
  const Case cases[] = {{0, 0, 0},      {1, 1, 1},     {-1, 1, 0},       {2, 2, 2},      {-2, 2, 1},
                        {3, 2, 3},      {-3, 2, 0},    {4, 3, 4},        {-7, 3, 0},     {255, 8, 255},
                        {-256, 9, 255}, {1023, 10, 1023}, {-1023, 10, 0}, {2047, 11, 2047}, {-2047, 11, 0}};
  for (const Case& c : cases) {
    const CodedValue coded = Categorise(c.value);
    EXPECT_EQ(coded.category, c.category) << c.value;
    EXPECT_EQ(coded.bits, c.bits) << c.value;
  }
}

// Sample blocks (8 rows of kStride bytes) that drive the transform to its corners: flat blocks
// and blocks one sample away from flat, 0/255 patterns, gradients, noise, and for every coefficient the block that maximises it (255
// where its basis function is positive, 0 elsewhere) or its negative.
constexpr int kStride = 10;  // not 8: the transform must honour the stride
struct SampleBlock {
  std::string name;
  std::array<uint8_t, 8 * kStride> samples{};
};

std::vector<SampleBlock> TestBlocks() {
  std::vector<SampleBlock> blocks;
  auto add = [&](std::string name, auto&& value) {
    SampleBlock block{std::move(name), {}};
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < kStride; ++x) block.samples[y * kStride + x] = static_cast<uint8_t>(value(x, y));
    }
    blocks.push_back(block);
  };
  for (int level : {0, 1, 127, 128, 254, 255}) add("flat " + std::to_string(level), [=](int, int) { return level; });
  add("checkerboard", [](int x, int y) { return (x + y) % 2 ? 255 : 0; });
  add("inverse checkerboard", [](int x, int y) { return (x + y) % 2 ? 0 : 255; });
  add("2x2 checkerboard", [](int x, int y) { return (x / 2 + y / 2) % 2 ? 255 : 0; });
  add("rows 0/255", [](int, int y) { return y % 2 ? 255 : 0; });
  add("columns 255/0", [](int x, int) { return x % 2 ? 0 : 255; });
  add("left half white", [](int x, int) { return x < 4 ? 255 : 0; });
  add("one white pixel", [](int x, int y) { return x == 3 && y == 5 ? 255 : 0; });
  for (const auto& [px, py] : {std::pair{0, 0}, std::pair{1, 7}, std::pair{7, 7}, std::pair{7, 0}, std::pair{4, 4}}) {
    // Flat but for one sample: must not be taken for flat.
    add("near flat at " + std::to_string(px) + "," + std::to_string(py), [=](int x, int y) { return x == px && y == py ? 20 : 200; });
  }
  add("one black pixel", [](int x, int y) { return x == 0 && y == 7 ? 0 : 255; });
  add("horizontal gradient", [](int x, int) { return x * 36; });
  add("vertical gradient", [](int, int y) { return 255 - y * 36; });
  add("diagonal gradient", [](int x, int y) { return 8 * x + 24 * y + 3; });
  std::mt19937 random(11);
  for (int i = 0; i < 40; ++i) {
    add("random " + std::to_string(i), [&](int, int) { return static_cast<int>(random() % 256); });
  }
  for (int i = 0; i < 10; ++i) {  // noise around mid-grey: small coefficients, many roundings
    add("mild noise " + std::to_string(i), [&](int x, int y) { return 120 + x + y + static_cast<int>(random() % 7); });
  }
  for (int v = 0; v < 8; ++v) {
    for (int u = 0; u < 8; ++u) {
      auto basis = [=](int x, int y) {
        return std::cos((2 * x + 1) * u * std::numbers::pi / 16) * std::cos((2 * y + 1) * v * std::numbers::pi / 16);
      };
      const std::string name = "extreme (" + std::to_string(u) + "," + std::to_string(v) + ")";
      add(name + " +", [=](int x, int y) { return basis(x, y) > 0 ? 255 : 0; });
      add(name + " -", [=](int x, int y) { return basis(x, y) > 0 ? 0 : 255; });
    }
  }
  return blocks;
}

// The vector transform and quantiser against the portable 32-bit code: the same coefficients for
// every block, table and quality (its 16-bit sums must never wrap, nor its reciprocals round).
TEST(JpegForwardDct, VectorAndPortablePathsGiveTheSameCoefficients) {
  const std::vector<SampleBlock> blocks = TestBlocks();
  for (int quality : {1, 10, 50, 75, 90, 97, 100}) {
    for (bool chroma : {false, true}) {
      const QuantDivisors divisors = MakeDivisors(ScaledQuantTable(chroma, quality));
      for (const SampleBlock& block : blocks) {
        SCOPED_TRACE(block.name + " q" + std::to_string(quality) + (chroma ? " chroma" : " luma"));
        alignas(16) int16_t vector[64];
        alignas(16) int16_t portable[64];
        int16_t zigzag[64];
        TransformBlockNatural(block.samples.data(), kStride, divisors, vector);
        TransformBlockNaturalPortable(block.samples.data(), kStride, divisors, portable);
        TransformBlock(block.samples.data(), kStride, divisors, zigzag);
        for (int i = 0; i < 64; ++i) ASSERT_EQ(vector[i], portable[i]) << "coefficient " << i;
        for (int k = 0; k < 64; ++k) ASSERT_EQ(zigzag[k], vector[kZigzagToNatural[k]]) << "zigzag " << k;
      }
    }
  }
}

// Two blocks in one pass (AVX2 where the processor has it, one after the other elsewhere) give
// each block its own coefficients: every block paired with the next, so flat blocks meet busy ones
// in either half and flat ones each other.
TEST(JpegForwardDct, PairedBlocksGiveEachItsOwnCoefficients) {
  const std::vector<SampleBlock> blocks = TestBlocks();
  for (int quality : {1, 50, 90, 100}) {
    for (bool chroma : {false, true}) {
      const QuantDivisors divisors = MakeDivisors(ScaledQuantTable(chroma, quality));
      for (size_t i = 0; i < blocks.size(); ++i) {
        const SampleBlock& first = blocks[i];
        const SampleBlock& second = blocks[(i + 1) % blocks.size()];
        SCOPED_TRACE(first.name + " with " + second.name + " q" + std::to_string(quality) +
                     (chroma ? " chroma" : " luma"));
        alignas(16) int16_t paired[2][64];
        alignas(16) int16_t portable[2][64];
        TransformBlockPairNatural(first.samples.data(), second.samples.data(), kStride, divisors, paired[0],
                                  paired[1]);
        TransformBlockNaturalPortable(first.samples.data(), kStride, divisors, portable[0]);
        TransformBlockNaturalPortable(second.samples.data(), kStride, divisors, portable[1]);
        for (int b = 0; b < 2; ++b) {
          for (int k = 0; k < 64; ++k) ASSERT_EQ(paired[b][k], portable[b][k]) << "block " << b << " coefficient " << k;
        }
      }
    }
  }
}

// At step 1 the coefficients reach their extremes: they must stay in the ranges baseline code
// tables cover, and each extreme block must really drive its own coefficient near the bound (so
// the case is the worst one, not a gentle one).
TEST(JpegForwardDct, CoefficientsStayInBaselineRangesAtQuality100) {
  const QuantDivisors divisors = MakeDivisors(ScaledQuantTable(false, 100));
  for (const SampleBlock& block : TestBlocks()) {
    SCOPED_TRACE(block.name);
    alignas(16) int16_t natural[64];
    TransformBlockNatural(block.samples.data(), kStride, divisors, natural);
    EXPECT_GE(natural[0], -1024);
    EXPECT_LE(natural[0], 1023);
    for (int i = 1; i < 64; ++i) EXPECT_LE(std::abs(natural[i]), 1023) << "coefficient " << i;
    if (block.name == "flat 0") {
      EXPECT_EQ(natural[0], -1024);
    }
    if (block.name == "flat 255") {
      EXPECT_EQ(natural[0], 1016);
    }
    if (block.name.starts_with("extreme") && block.name != "extreme (0,0) +" && block.name != "extreme (0,0) -") {
      const int u = block.name[9] - '0', v = block.name[11] - '0';
      EXPECT_GE(std::abs(natural[v * 8 + u]), 400);
    }
  }
}

// The vector quantiser divides by reciprocal multiplication; for every step and every magnitude the
// transform can produce (at most 8 * 1024, plus the rounding half) it must equal true division.
TEST(JpegQuantiser, ReciprocalsDivideExactly) {
  QuantTable table{};
  for (int first = 1; first <= 255; first += 64) {
    for (int i = 0; i < 64; ++i) table[i] = static_cast<uint16_t>(std::min(first + i, 255));
    const QuantDivisors divisors = MakeDivisors(table);
    for (int i = 0; i < 64; ++i) {
      ASSERT_EQ(divisors.divisor[i], 8 * table[i]);
      ASSERT_EQ(divisors.rounding[i], 4 * table[i]);
      for (uint32_t magnitude = 0; magnitude <= 8 * 1024 + 8; ++magnitude) {
        const uint32_t n = magnitude + divisors.rounding[i];
        const uint32_t quotient = ((n * divisors.reciprocal[i]) >> 16) * divisors.scale[i] >> 16;
        ASSERT_EQ(quotient, n / divisors.divisor[i]) << "step " << table[i] << " magnitude " << magnitude;
      }
    }
  }
}

}  // namespace
