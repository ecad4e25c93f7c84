#include "NameProfile.h"

#include "IniStore.h"

namespace pelmo {

CNameProfile::CNameProfile() { SetDefaults(); }

const FieldTable<CNameProfile>& CNameProfile::Fields() {
  using F = SectionField<CNameProfile>;
  static const FieldTable<CNameProfile> table(kSection, {
      F::Text(L"FileName", &CNameProfile::fileName_, kDefaultFileName, kFileNameBuffer),
      F::Int(L"StartNumber", &CNameProfile::startNumber_, 0),
      F::Int(L"DigitCount", &CNameProfile::digitCount_, 1),
      F::Int(L"IncreasingNumber", &CNameProfile::increasingNumber_, 1),
      // A profile without it continues from its start number.
      [] {
        F f = F::Int(L"CurrentNumber", &CNameProfile::currentNumber_, 0, FieldHome::kRunningSaved);
        f.readDefaultFrom = &CNameProfile::startNumber_;
        return f;
      }(),
      F::Int(L"WindowNameLength", &CNameProfile::windowNameLength_, 16),
  });
  return table;
}

void CNameProfile::SetCurrentNumber(int32_t v) {
  currentNumber_ = v;
  if (nextNumberDisplay_) nextNumberDisplay_(currentNumber_);
}

}  // namespace pelmo
