#include "PngProfile.h"

#include "IniStore.h"

namespace pelmo {

CPngProfile::CPngProfile() { CPngProfile::SetDefaults(); }

void CPngProfile::SetDefaults() {
  pngColor_ = 32;
  interlace_ = 0;
}

bool CPngProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CPngProfile*>(&other);
  return o && pngColor_ == o->pngColor_ && interlace_ == o->interlace_;
}

void CPngProfile::Write(const std::wstring& path) {
  IniStore::WriteInt(path, kSection, L"PngColor", pngColor_);
  IniStore::WriteInt(path, kSection, L"PngInterlace", interlace_);
}

void CPngProfile::Read(const std::wstring& path) {
  pngColor_ = IniStore::ReadInt(path, kSection, L"PngColor", 32);
  interlace_ = IniStore::ReadInt(path, kSection, L"PngInterlace", 0);
}

}  // namespace pelmo
