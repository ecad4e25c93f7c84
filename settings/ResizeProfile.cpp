#include "ResizeProfile.h"

#include "IniStore.h"

namespace pelmo {

CResizeProfile::CResizeProfile() { CResizeProfile::SetDefaults(); }

void CResizeProfile::SetDefaults() {
  resize_ = 0;
  type_ = kByPercent;
  percentX_ = percentY_ = 100;
  pixelsX_ = 640;
  pixelsY_ = 480;
}

bool CResizeProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CResizeProfile*>(&other);
  return o && resize_ == o->resize_ && type_ == o->type_ && percentX_ == o->percentX_ &&
         percentY_ == o->percentY_ && pixelsX_ == o->pixelsX_ && pixelsY_ == o->pixelsY_;
}

void CResizeProfile::Write(const std::wstring& path) {
  IniStore::WriteUInt(path, kSection, L"Resize", resize_);
  IniStore::WriteUInt(path, kSection, L"ResizeType", type_);
  IniStore::WriteUInt(path, kSection, L"Resize_X_PER", percentX_);
  IniStore::WriteUInt(path, kSection, L"Resize_Y_PER", percentY_);
  IniStore::WriteUInt(path, kSection, L"Resize_X_PX", pixelsX_);
  IniStore::WriteUInt(path, kSection, L"Resize_Y_PX", pixelsY_);
}

void CResizeProfile::Read(const std::wstring& path) {
  resize_ = IniStore::ReadInt(path, kSection, L"Resize", 0);
  type_ = IniStore::ReadInt(path, kSection, L"ResizeType", kByPercent);
  percentX_ = IniStore::ReadInt(path, kSection, L"Resize_X_PER", 100);
  percentY_ = IniStore::ReadInt(path, kSection, L"Resize_Y_PER", 100);
  pixelsX_ = IniStore::ReadInt(path, kSection, L"Resize_X_PX", 640);
  pixelsY_ = IniStore::ReadInt(path, kSection, L"Resize_Y_PX", 480);
}

}  // namespace pelmo
