#include "TransProfile.h"

#include "IniStore.h"

namespace pelmo {

CTransProfile::CTransProfile() { SetDefaults(); }

const FieldTable<CTransProfile>& CTransProfile::Fields() {
  using F = SectionField<CTransProfile>;
  static const FieldTable<CTransProfile> table(kSection, {
      F::UInt(L"EnableSaveDirectory", &CTransProfile::enableSaveDirectory_, 0),
      F::Text(L"SaveDirectory", &CTransProfile::saveDirectory_, L"", kPathBuffer),
  });
  return table;
}

}  // namespace pelmo
