// JPG: quality and progressive writing.
#pragma once

#include <cstdint>

#include "EventProfile.h"

namespace pelmo {

class CJpgProfile : public CEventProfile {
 public:
  static constexpr wchar_t kSection[] = L"JPG";

  CJpgProfile();

  void SetDefaults() override;
  bool IsEqual(const CEventProfile& other) override;
  void Write(const std::wstring& profilePath) override;
  void Read(const std::wstring& profilePath) override;

  int32_t GetJpgCompression() const { return quality_; }
  void SetJpgCompression(int32_t quality) { quality_ = quality; }
  int32_t GetJpgProgression() const { return progressive_; }
  void SetJpgProgression(int32_t on) { progressive_ = on; }

 private:
  int32_t quality_ = 75;
  int32_t progressive_ = 0;
};

}  // namespace pelmo
