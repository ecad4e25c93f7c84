#include "BmpProfile.h"

#include "IniStore.h"

namespace pelmo {
namespace {
constexpr int32_t kDepths[] = {32, 24, 16, 8};
}

CBmpProfile::CBmpProfile() { SetDefaults(); }

const FieldTable<CBmpProfile>& CBmpProfile::Fields() {
  using F = SectionField<CBmpProfile>;
  static const FieldTable<CBmpProfile> table(kSection, {
      F::Int(L"BmpColor", &CBmpProfile::bmpColor_, 32),
  });
  return table;
}

int32_t ColorDepthFromIndex(int index) { return (index >= 0 && index < 4) ? kDepths[index] : 32; }

int ColorIndexFromDepth(int32_t bits) {
  for (int i = 0; i < 4; ++i) {
    if (kDepths[i] == bits) return i;
  }
  return -1;
}

}  // namespace pelmo
