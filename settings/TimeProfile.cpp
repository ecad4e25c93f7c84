#include "TimeProfile.h"

#include "IniStore.h"

namespace pelmo {

CTimeProfile::CTimeProfile() { CTimeProfile::SetDefaults(); }

void CTimeProfile::SetDefaults() {
  actionType_ = 2;
  interval_ = 50;
  exitNoActive_ = soundOut_ = captureStart_ = targetOnly_ = 0;
}

bool CTimeProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CTimeProfile*>(&other);
  return o && actionType_ == o->actionType_ && interval_ == o->interval_ &&
         exitNoActive_ == o->exitNoActive_ && soundOut_ == o->soundOut_ &&
         captureStart_ == o->captureStart_ && targetOnly_ == o->targetOnly_;
}

void CTimeProfile::Write(const std::wstring& path) {
  IniStore::WriteInt(path, kSection, L"ActionType", actionType_);
  IniStore::WriteInt(path, kSection, L"Interval", interval_);
  IniStore::WriteInt(path, kSection, L"ExitNoActive", exitNoActive_);
  IniStore::WriteInt(path, kSection, L"SoundOut", soundOut_);
  IniStore::WriteInt(path, kSection, L"CaptureStart", captureStart_);
  IniStore::WriteInt(path, kSection, L"TargetOnly", targetOnly_);
}

void CTimeProfile::Read(const std::wstring& path) {
  // Loading a profile ends a running automatic capture first.
  if (run_.running && run_.stop) run_.stop();
  actionType_ = IniStore::ReadInt(path, kSection, L"ActionType", 2);
  interval_ = IniStore::ReadInt(path, kSection, L"Interval", 50);
  exitNoActive_ = IniStore::ReadInt(path, kSection, L"ExitNoActive", 0);
  soundOut_ = IniStore::ReadInt(path, kSection, L"SoundOut", 0);
  captureStart_ = IniStore::ReadInt(path, kSection, L"CaptureStart", 0);
  targetOnly_ = IniStore::ReadInt(path, kSection, L"TargetOnly", 0);
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
