// GIF: interlacing and the optional transparent and background colours.
#pragma once

#include <cstdint>

#include "SectionFields.h"

namespace pelmo {

class CGifProfile : public TableSection<CGifProfile> {
 public:
  static constexpr wchar_t kSection[] = L"GIF";

  CGifProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CGifProfile>& Fields();

  int32_t GetGifInterlace() const { return interlace_; }
  void SetGifInterlace(int32_t on) { interlace_ = on; }
  int32_t GetGifTransparency() const { return transparency_; }
  void SetGifTransparency(int32_t on) { transparency_ = on; }
  int32_t GetGifBackground() const { return background_; }
  void SetGifBackground(int32_t on) { background_ = on; }
  const RgbColor& GetTransparencyColor() const { return transparencyColor_; }
  void SetTransparencyColor(const RgbColor& c) { transparencyColor_ = c; }
  const RgbColor& GetBackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(const RgbColor& c) { backgroundColor_ = c; }

 private:
  int32_t interlace_ = 0;
  int32_t transparency_ = 0;
  int32_t background_ = 0;
  RgbColor transparencyColor_;
  RgbColor backgroundColor_;
};

}  // namespace pelmo
