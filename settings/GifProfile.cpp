#include "GifProfile.h"

#include "IniStore.h"

namespace pelmo {
CGifProfile::CGifProfile() { SetDefaults(); }

const FieldTable<CGifProfile>& CGifProfile::Fields() {
  using F = SectionField<CGifProfile>;
  static const FieldTable<CGifProfile> table(kSection, {
      F::Int(L"GifInterlace", &CGifProfile::interlace_, 0),
      F::Int(L"GifTransparency", &CGifProfile::transparency_, 0),
      // Spelled without the r of "background" in every stored profile.
      F::Int(L"GifBackgound", &CGifProfile::background_, 0),
      F::Color(L"GifTransparencyColor", &CGifProfile::transparencyColor_),
      F::Color(L"GifBackgroundColor", &CGifProfile::backgroundColor_),
  });
  return table;
}

}  // namespace pelmo
