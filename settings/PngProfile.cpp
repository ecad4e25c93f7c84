#include "PngProfile.h"

#include "IniStore.h"

namespace pelmo {

CPngProfile::CPngProfile() { SetDefaults(); }

const FieldTable<CPngProfile>& CPngProfile::Fields() {
  using F = SectionField<CPngProfile>;
  static const FieldTable<CPngProfile> table(kSection, {
      F::Int(L"PngColor", &CPngProfile::pngColor_, 32),
      F::Int(L"PngInterlace", &CPngProfile::interlace_, 0),
  });
  return table;
}

}  // namespace pelmo
