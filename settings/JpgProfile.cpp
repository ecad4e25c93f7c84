#include "JpgProfile.h"

#include "IniStore.h"

namespace pelmo {

CJpgProfile::CJpgProfile() { CJpgProfile::SetDefaults(); }

void CJpgProfile::SetDefaults() {
  quality_ = 75;
  progressive_ = 0;
}

bool CJpgProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CJpgProfile*>(&other);
  return o && quality_ == o->quality_ && progressive_ == o->progressive_;
}

void CJpgProfile::Write(const std::wstring& path) {
  IniStore::WriteInt(path, kSection, L"JpgCompression", quality_);
  IniStore::WriteInt(path, kSection, L"JpgProgression", progressive_);
}

void CJpgProfile::Read(const std::wstring& path) {
  quality_ = IniStore::ReadInt(path, kSection, L"JpgCompression", 75);
  progressive_ = IniStore::ReadInt(path, kSection, L"JpgProgression", 0);
}

}  // namespace pelmo
