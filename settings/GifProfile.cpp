#include "GifProfile.h"

#include "IniStore.h"

namespace pelmo {
namespace {

void WriteColor(const std::wstring& path, const wchar_t* base, const RgbColor& c) {
  const std::wstring b = base;
  IniStore::WriteInt(path, CGifProfile::kSection, b + L"_R", c.r);
  IniStore::WriteInt(path, CGifProfile::kSection, b + L"_G", c.g);
  IniStore::WriteInt(path, CGifProfile::kSection, b + L"_B", c.b);
}

RgbColor ReadColor(const std::wstring& path, const wchar_t* base) {
  const std::wstring b = base;
  return {IniStore::ReadInt(path, CGifProfile::kSection, b + L"_R", 255),
          IniStore::ReadInt(path, CGifProfile::kSection, b + L"_G", 255),
          IniStore::ReadInt(path, CGifProfile::kSection, b + L"_B", 255)};
}

}  // namespace

CGifProfile::CGifProfile() { CGifProfile::SetDefaults(); }

void CGifProfile::SetDefaults() {
  interlace_ = transparency_ = background_ = 0;
  transparencyColor_ = backgroundColor_ = RgbColor{};
}

bool CGifProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CGifProfile*>(&other);
  return o && interlace_ == o->interlace_ && transparency_ == o->transparency_ &&
         background_ == o->background_ && transparencyColor_ == o->transparencyColor_ &&
         backgroundColor_ == o->backgroundColor_;
}

void CGifProfile::Write(const std::wstring& path) {
  IniStore::WriteInt(path, kSection, L"GifInterlace", interlace_);
  IniStore::WriteInt(path, kSection, L"GifTransparency", transparency_);
  // Spelled without the r of "background" in every stored profile.
  IniStore::WriteInt(path, kSection, L"GifBackgound", background_);
  WriteColor(path, L"GifTransparencyColor", transparencyColor_);
  WriteColor(path, L"GifBackgroundColor", backgroundColor_);
}

void CGifProfile::Read(const std::wstring& path) {
  interlace_ = IniStore::ReadInt(path, kSection, L"GifInterlace", 0);
  transparency_ = IniStore::ReadInt(path, kSection, L"GifTransparency", 0);
  background_ = IniStore::ReadInt(path, kSection, L"GifBackgound", 0);
  transparencyColor_ = ReadColor(path, L"GifTransparencyColor");
  backgroundColor_ = ReadColor(path, L"GifBackgroundColor");
}

}  // namespace pelmo
