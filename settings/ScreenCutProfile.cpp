#include "ScreenCutProfile.h"

#include "IniStore.h"

namespace pelmo {

CScreenCutProfile::CScreenCutProfile() { CScreenCutProfile::SetDefaults(); }

void CScreenCutProfile::SetDefaults() {
  fixSizeX_ = 600;
  fixSizeY_ = 480;
}

bool CScreenCutProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CScreenCutProfile*>(&other);
  return o && fixSizeX_ == o->fixSizeX_ && fixSizeY_ == o->fixSizeY_;
}

void CScreenCutProfile::Write(const std::wstring& path) {
  IniStore::WriteInt(path, kSection, L"FixSizeX", fixSizeX_);
  IniStore::WriteInt(path, kSection, L"FixSizeY", fixSizeY_);
}

void CScreenCutProfile::Read(const std::wstring& path) {
  fixSizeX_ = IniStore::ReadInt(path, kSection, L"FixSizeX", 600);
  fixSizeY_ = IniStore::ReadInt(path, kSection, L"FixSizeY", 480);
}

}  // namespace pelmo
