// SCREEN_CUT: the size of the fixed-size cut box.
#pragma once

#include <cstdint>

#include "SectionFields.h"

namespace pelmo {

class CScreenCutProfile : public TableSection<CScreenCutProfile> {
 public:
  static constexpr wchar_t kSection[] = L"SCREEN_CUT";

  CScreenCutProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CScreenCutProfile>& Fields();

  int32_t GetFixSizeX() const { return fixSizeX_; }
  void SetFixSizeX(int32_t v) { fixSizeX_ = v; }
  int32_t GetFixSizeY() const { return fixSizeY_; }
  void SetFixSizeY(int32_t v) { fixSizeY_ = v; }

 private:
  int32_t fixSizeX_ = 600;
  int32_t fixSizeY_ = 480;
};

}  // namespace pelmo
