// BMP: the colour depth of written bitmaps.
#pragma once

#include <cstdint>

#include "SectionFields.h"

namespace pelmo {

class CBmpProfile : public TableSection<CBmpProfile> {
 public:
  static constexpr wchar_t kSection[] = L"BMP";

  CBmpProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CBmpProfile>& Fields();

  int32_t GetBmpColor() const { return bmpColor_; }
  void SetBmpColor(int32_t bits) { bmpColor_ = bits; }

 private:
  int32_t bmpColor_ = 32;
};

// The colour-depth list of the BMP and PNG pages: entry 0..3 is 32, 24, 16, 8 bits.
int32_t ColorDepthFromIndex(int index);  // any other index gives 32
int ColorIndexFromDepth(int32_t bits);   // -1 for a depth not in the list

}  // namespace pelmo
