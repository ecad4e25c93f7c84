#include "GenProfile.h"

#include "IniStore.h"

namespace pelmo {

CGenProfile::CGenProfile() { SetDefaults(); }

const FieldTable<CGenProfile>& CGenProfile::Fields() {
  using F = SectionField<CGenProfile>;
  static const FieldTable<CGenProfile> table(kSection, {
      [] {
        F f = F::Text(L"SaveFolder", &CGenProfile::saveFolder_, L"", kPathBuffer);
        f.textDefaultOf = &CGenProfile::GetDefaultSaveFolder;
        return f;
      }(),
      F::Int(L"ImageType", &CGenProfile::imageType_, kJpg),
      F::Text(L"LastSaveFile", &CGenProfile::lastSaveFile_, L"", kPathBuffer, FieldHome::kRunning),
  });
  return table;
}

}  // namespace pelmo
