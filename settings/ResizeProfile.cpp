#include "ResizeProfile.h"

#include "IniStore.h"

namespace pelmo {

CResizeProfile::CResizeProfile() { SetDefaults(); }

const FieldTable<CResizeProfile>& CResizeProfile::Fields() {
  using F = SectionField<CResizeProfile>;
  static const FieldTable<CResizeProfile> table(kSection, {
      F::UInt(L"Resize", &CResizeProfile::resize_, 0),
      F::UInt(L"ResizeType", &CResizeProfile::type_, kByPercent),
      F::UInt(L"Resize_X_PER", &CResizeProfile::percentX_, 100),
      F::UInt(L"Resize_Y_PER", &CResizeProfile::percentY_, 100),
      F::UInt(L"Resize_X_PX", &CResizeProfile::pixelsX_, 640),
      F::UInt(L"Resize_Y_PX", &CResizeProfile::pixelsY_, 480),
  });
  return table;
}

}  // namespace pelmo
