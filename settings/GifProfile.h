// GIF: interlacing and the optional transparent and background colours.
#pragma once

#include <cstdint>

#include "EventProfile.h"

namespace pelmo {

struct RgbColor {
  int32_t r = 255, g = 255, b = 255;
  bool operator==(const RgbColor&) const = default;
  // Red in the low byte, then green, then blue; components taken modulo 256.
  uint32_t Packed() const {
    return (static_cast<uint32_t>(r) & 0xFF) | ((static_cast<uint32_t>(g) & 0xFF) << 8) |
           ((static_cast<uint32_t>(b) & 0xFF) << 16);
  }
};

class CGifProfile : public CEventProfile {
 public:
  static constexpr wchar_t kSection[] = L"GIF";

  CGifProfile();

  void SetDefaults() override;
  bool IsEqual(const CEventProfile& other) override;
  void Write(const std::wstring& profilePath) override;
  void Read(const std::wstring& profilePath) override;

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
