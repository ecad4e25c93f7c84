#include "TimeProfile.h"

#include "IniStore.h"

namespace pelmo {

CTimeProfile::CTimeProfile() { SetDefaults(); }

const FieldTable<CTimeProfile>& CTimeProfile::Fields() {
  using F = SectionField<CTimeProfile>;
  static const FieldTable<CTimeProfile> table(kSection, {
      F::Int(L"ActionType", &CTimeProfile::actionType_, 2),
      F::Int(L"Interval", &CTimeProfile::interval_, 50),
      F::Int(L"ExitNoActive", &CTimeProfile::exitNoActive_, 0),
      F::Int(L"SoundOut", &CTimeProfile::soundOut_, 0),
      F::Int(L"CaptureStart", &CTimeProfile::captureStart_, 0),
      F::Int(L"TargetOnly", &CTimeProfile::targetOnly_, 0),
  });
  return table;
}

void CTimeProfile::Read(const std::wstring& path) {
  if (run_.running && run_.stop) run_.stop();
  TableSection::Read(path);
}

bool CTimeProfile::TargetStillValid(bool targetIsWindow, bool targetIsForeground) const {
  if (!run_.target) return true;
  if (!targetIsWindow) return false;
  return exitNoActive_ ? targetIsForeground : true;
}

bool CTimeProfile::ShouldCaptureNow(bool targetIsForeground) const {
  if ((actionType_ == 1 || actionType_ == 2) && run_.target) return targetIsForeground;
  return true;
}

}  // namespace pelmo
