#include "QuantTables.h"

#include <algorithm>

namespace imgctl::jpeg {
namespace {

constexpr std::array<uint8_t, 64> kLumaBase = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

constexpr std::array<uint8_t, 64> kChromaBase = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

}  // namespace

QuantTable ScaledQuantTable(bool chroma, int quality) {
  quality = std::clamp(quality, 1, 100);
  const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
  const auto& base = chroma ? kChromaBase : kLumaBase;
  QuantTable table{};
  for (int i = 0; i < 64; ++i) {
    const long value = (static_cast<long>(base[i]) * scale + 50) / 100;
    table[i] = static_cast<uint16_t>(std::clamp(value, 1L, 255L));
  }
  return table;
}

}  // namespace imgctl::jpeg
