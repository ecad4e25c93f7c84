#include "TransProfile.h"

#include "IniStore.h"

namespace pelmo {

CTransProfile::CTransProfile() { CTransProfile::SetDefaults(); }

void CTransProfile::SetDefaults() {
  enableSaveDirectory_ = 0;
  saveDirectory_.clear();
}

bool CTransProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CTransProfile*>(&other);
  return o && enableSaveDirectory_ == o->enableSaveDirectory_ && saveDirectory_ == o->saveDirectory_;
}

void CTransProfile::Write(const std::wstring& path) {
  IniStore::WriteUInt(path, kSection, L"EnableSaveDirectory", enableSaveDirectory_);
  IniStore::WriteString(path, kSection, L"SaveDirectory", saveDirectory_);
}

void CTransProfile::Read(const std::wstring& path) {
  enableSaveDirectory_ = IniStore::ReadInt(path, kSection, L"EnableSaveDirectory", 0);
  saveDirectory_ = IniStore::ReadString(path, kSection, L"SaveDirectory", L"", kPathBuffer);
}

}  // namespace pelmo
