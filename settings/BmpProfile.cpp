#include "BmpProfile.h"

#include "IniStore.h"

namespace pelmo {
namespace {
constexpr int32_t kDepths[] = {32, 24, 16, 8};
}

CBmpProfile::CBmpProfile() { CBmpProfile::SetDefaults(); }

void CBmpProfile::SetDefaults() { bmpColor_ = 32; }

bool CBmpProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CBmpProfile*>(&other);
  return o && bmpColor_ == o->bmpColor_;
}

void CBmpProfile::Write(const std::wstring& path) { IniStore::WriteInt(path, kSection, L"BmpColor", bmpColor_); }

void CBmpProfile::Read(const std::wstring& path) { bmpColor_ = IniStore::ReadInt(path, kSection, L"BmpColor", 32); }

int32_t ColorDepthFromIndex(int index) { return (index >= 0 && index < 4) ? kDepths[index] : 32; }

int ColorIndexFromDepth(int32_t bits) {
  for (int i = 0; i < 4; ++i) {
    if (kDepths[i] == bits) return i;
  }
  return -1;
}

}  // namespace pelmo
