#include "GenProfile.h"

#include "IniStore.h"

namespace pelmo {

CGenProfile::CGenProfile() { CGenProfile::SetDefaults(); }

void CGenProfile::SetDefaults() {
  saveFolder_ = GetDefaultSaveFolder();
  lastSaveFile_.clear();
  imageType_ = kJpg;
}

bool CGenProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CGenProfile*>(&other);
  return o && saveFolder_ == o->saveFolder_ && imageType_ == o->imageType_;
}

void CGenProfile::Write(const std::wstring& path) {
  IniStore::WriteString(path, kSection, L"SaveFolder", saveFolder_);
  IniStore::WriteInt(path, kSection, L"ImageType", imageType_);
}

void CGenProfile::Read(const std::wstring& path) {
  saveFolder_ = IniStore::ReadString(path, kSection, L"SaveFolder", GetDefaultSaveFolder(), kPathBuffer);
  imageType_ = IniStore::ReadInt(path, kSection, L"ImageType", kJpg);
  lastSaveFile_ = IniStore::ReadString(path, kSection, L"LastSaveFile", L"", kPathBuffer);
}

void CGenProfile::WriteRunningState(const std::wstring& path) {
  // Into an existing profile only: a file deleted behind the program's back must not come back
  // as a stub holding this one key, and then load as a profile of defaults.
  if (IniStore::FileExists(path)) IniStore::WriteString(path, kSection, L"LastSaveFile", lastSaveFile_);
}

}  // namespace pelmo
