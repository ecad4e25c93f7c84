#include "JpgProfile.h"

#include "IniStore.h"

namespace pelmo {

CJpgProfile::CJpgProfile() { SetDefaults(); }

const FieldTable<CJpgProfile>& CJpgProfile::Fields() {
  using F = SectionField<CJpgProfile>;
  static const FieldTable<CJpgProfile> table(kSection, {
      F::Int(L"JpgCompression", &CJpgProfile::quality_, 75),
      F::Int(L"JpgProgression", &CJpgProfile::progressive_, 0),
  });
  return table;
}

}  // namespace pelmo
