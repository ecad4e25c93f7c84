// RESIZE: optional scaling of every saved image, by percentage or to a pixel size.
#pragma once

#include <cstdint>

#include "SectionFields.h"

namespace pelmo {

class CResizeProfile : public TableSection<CResizeProfile> {
 public:
  static constexpr wchar_t kSection[] = L"RESIZE";
  enum ResizeType : int32_t { kByPercent = 0, kToPixels = 1 };

  CResizeProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CResizeProfile>& Fields();

  int32_t GetResize() const { return resize_; }
  void SetResize(int32_t on) { resize_ = on; }
  int32_t GetResizeType() const { return type_; }
  void SetResizeType(int32_t type) { type_ = type; }
  int32_t GetPercentX() const { return percentX_; }
  void SetPercentX(int32_t v) { percentX_ = v; }
  int32_t GetPercentY() const { return percentY_; }
  void SetPercentY(int32_t v) { percentY_ = v; }
  int32_t GetPixelsX() const { return pixelsX_; }
  void SetPixelsX(int32_t v) { pixelsX_ = v; }
  int32_t GetPixelsY() const { return pixelsY_; }
  void SetPixelsY(int32_t v) { pixelsY_ = v; }

 private:
  int32_t resize_ = 0;
  int32_t type_ = kByPercent;
  int32_t percentX_ = 100;
  int32_t percentY_ = 100;
  int32_t pixelsX_ = 640;
  int32_t pixelsY_ = 480;
};

}  // namespace pelmo
