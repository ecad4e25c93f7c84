// SCREEN_CUT: the size of the fixed-size cut box.
#pragma once

#include <cstdint>

#include "EventProfile.h"

namespace pelmo {

class CScreenCutProfile : public CEventProfile {
 public:
  static constexpr wchar_t kSection[] = L"SCREEN_CUT";

  CScreenCutProfile();

  void SetDefaults() override;
  bool IsEqual(const CEventProfile& other) override;
  void Write(const std::wstring& profilePath) override;
  void Read(const std::wstring& profilePath) override;

  int32_t GetFixSizeX() const { return fixSizeX_; }
  void SetFixSizeX(int32_t v) { fixSizeX_ = v; }
  int32_t GetFixSizeY() const { return fixSizeY_; }
  void SetFixSizeY(int32_t v) { fixSizeY_ = v; }

 private:
  int32_t fixSizeX_ = 600;
  int32_t fixSizeY_ = 480;
};

}  // namespace pelmo
