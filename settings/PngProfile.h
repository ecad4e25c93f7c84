// PNG: colour depth and interlacing.
#pragma once

#include <cstdint>

#include "SectionFields.h"

namespace pelmo {

class CPngProfile : public TableSection<CPngProfile> {
 public:
  static constexpr wchar_t kSection[] = L"PNG";

  CPngProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CPngProfile>& Fields();

  int32_t GetPngColor() const { return pngColor_; }
  void SetPngColor(int32_t bits) { pngColor_ = bits; }
  int32_t GetPngInterlace() const { return interlace_; }
  void SetPngInterlace(int32_t on) { interlace_ = on; }

 private:
  int32_t pngColor_ = 32;
  int32_t interlace_ = 0;
};

}  // namespace pelmo
