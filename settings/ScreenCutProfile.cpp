#include "ScreenCutProfile.h"

#include "IniStore.h"

namespace pelmo {

CScreenCutProfile::CScreenCutProfile() { SetDefaults(); }

const FieldTable<CScreenCutProfile>& CScreenCutProfile::Fields() {
  using F = SectionField<CScreenCutProfile>;
  static const FieldTable<CScreenCutProfile> table(kSection, {
      F::Int(L"FixSizeX", &CScreenCutProfile::fixSizeX_, 600),
      F::Int(L"FixSizeY", &CScreenCutProfile::fixSizeY_, 480),
  });
  return table;
}

}  // namespace pelmo
