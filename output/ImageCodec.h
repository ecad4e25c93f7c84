// The program's only way into imgctl.dll: images behind handles, copied from the screen or loaded
// from files, cropped, scaled, converted and written with the current profile's format settings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "imgctl/api/imgctl.h"
#include "settings/ProfileSectionSet.h"

namespace pelmo {

using ImageHandle = HIMGCTL;  // null = no image; the receiver of a handle frees it

// String id stored as the error text when a save fails.
inline constexpr unsigned kSaveFailedMessage = 251;

class ImageCodec {
 public:
  // A 32-bit bottom-up copy of rect of the display DC, with the cursor drawn in when asked.
  ImageHandle CreateImageFromScreen(HDC displayDC, const RECT& rect, bool drawCursor) const;
  ImageHandle LoadImageFile(const std::wstring& path) const;
  void FreeImage(ImageHandle image) const;
  bool GetImageSize(ImageHandle image, int32_t& width, int32_t& height) const;
  // Replaces image by its part rect (relative to the image); the old image is released.
  void CropImage(ImageHandle& image, const RECT& rect) const;
  void ResizeImage(ImageHandle image, int32_t width, int32_t height) const;
  // 8, 16 and 24 convert in place; any other value leaves the image as it is.
  void ConvertImageDepth(ImageHandle image, int32_t bits) const;

  bool SaveBmp(ImageHandle image, const std::wstring& path, int32_t bits) const;
  bool SaveJpg(ImageHandle image, const std::wstring& path, int32_t quality, int32_t progressive) const;
  bool SaveGif(ImageHandle image, const std::wstring& path, bool transparent, bool background,
               uint32_t transparentColour, uint32_t backgroundColour, bool interlace) const;
  bool SavePng(ImageHandle image, const std::wstring& path, int32_t bits, bool interlace) const;

  // Writes with the profile's image type and options; false (nothing reported) for an unknown type
  // or a failed write: the caller stores kSaveFailedMessage.
  bool SaveImage(ImageHandle image, const std::wstring& path, const ProfileSectionSet& profile) const;
  // Scales in place as the RESIZE section asks.
  void ResizeForSave(ImageHandle image, const CResizeProfile& resize) const;
};

}  // namespace pelmo
