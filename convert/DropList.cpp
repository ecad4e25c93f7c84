#include "convert/DropList.h"

#include <cstring>

namespace pelmo {
namespace {

constexpr size_t kHeaderSize = 20;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

std::optional<std::vector<std::wstring>> ParseWideDropList(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kHeaderSize) return std::nullopt;
  const uint32_t offset = ReadU32(data);
  if (ReadU32(data + 16) == 0) return std::nullopt;
  std::vector<std::wstring> names;
  size_t pos = offset;
  std::wstring name;
  while (pos + 2 <= size) {
    const char16_t unit = static_cast<char16_t>(data[pos] | (data[pos + 1] << 8));
    pos += 2;
    if (unit != 0) {
      name.push_back(static_cast<wchar_t>(unit));
      continue;
    }
    if (name.empty()) break;  // the empty name that ends the list
    names.push_back(std::move(name));
    name.clear();
  }
  return names;
}

}  // namespace pelmo
