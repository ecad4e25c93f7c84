// PNG: colour depth and interlacing.
#pragma once

#include <cstdint>

#include "EventProfile.h"

namespace pelmo {

class CPngProfile : public CEventProfile {
 public:
  static constexpr wchar_t kSection[] = L"PNG";

  CPngProfile();

  void SetDefaults() override;
  bool IsEqual(const CEventProfile& other) override;
  void Write(const std::wstring& profilePath) override;
  void Read(const std::wstring& profilePath) override;

  int32_t GetPngColor() const { return pngColor_; }
  void SetPngColor(int32_t bits) { pngColor_ = bits; }
  int32_t GetPngInterlace() const { return interlace_; }
  void SetPngInterlace(int32_t on) { interlace_ = on; }

 private:
  int32_t pngColor_ = 32;
  int32_t interlace_ = 0;
};

}  // namespace pelmo
