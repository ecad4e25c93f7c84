// JPG: quality and progressive writing.
#pragma once

#include <cstdint>

#include "SectionFields.h"

namespace pelmo {

class CJpgProfile : public TableSection<CJpgProfile> {
 public:
  static constexpr wchar_t kSection[] = L"JPG";

  CJpgProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CJpgProfile>& Fields();

  int32_t GetJpgCompression() const { return quality_; }
  void SetJpgCompression(int32_t quality) { quality_ = quality; }
  int32_t GetJpgProgression() const { return progressive_; }
  void SetJpgProgression(int32_t on) { progressive_ = on; }

 private:
  int32_t quality_ = 75;
  int32_t progressive_ = 0;
};

}  // namespace pelmo
