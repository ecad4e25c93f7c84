// The program's only way to the codec library imgctl.dll (imported by ordinal): screen copies,
// loading, depth, cropping, scaling and the four writers, and SaveImage, which maps the profile's
// format settings onto them. Paths go to the library as UTF-16, so every folder name works.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "output/ImageHandle.h"

namespace pelmo {

struct ProfileSectionSet;

class ImageCodec {
 public:
  // Batch conversion writes JPEG files with Huffman tables fitted to each image: a few per cent
  // smaller for a few milliseconds more. A capture keeps the standard tables: one file, at once.
  enum class JpegTables { kStandard, kFitted };
  explicit ImageCodec(JpegTables jpegTables = JpegTables::kStandard) : jpegTables_(jpegTables) {}

  // A 32-bit copy of `rect` of the display DC (its own coordinates), with the mouse pointer drawn
  // in when `drawCursor`; 0 on failure.
  ImageHandle CreateImageFromScreen(HDC displayDC, const RECT& rect, bool drawCursor);
  ImageHandle LoadImageFile(const std::wstring& path);
  void FreeImage(ImageHandle image);
  bool GetImageSize(ImageHandle image, int& width, int& height);
  // Replaces `image` by its part inside `rect` (the old image is freed); returns the new handle,
  // 0 when the rectangle holds nothing of the image.
  ImageHandle CropImage(ImageHandle& image, const RECT& rect);
  bool ResizeImage(ImageHandle image, int width, int height);
  // 8, 16 or 24 convert in place; any other value (32 included) changes nothing.
  void ConvertImageDepth(ImageHandle image, int bits);

  bool SaveBmp(ImageHandle image, const std::wstring& path, int bits);
  bool SaveJpg(ImageHandle image, const std::wstring& path, int quality, int progressive);
  // Transparent without background: that colour is written transparent. Both: the transparent
  // colour is painted with the background colour, and nothing is transparent. Colours are packed
  // red in bits 0..7, green 8..15, blue 16..23.
  bool SaveGif(ImageHandle image, const std::wstring& path, bool transparent, bool background,
               uint32_t transparentColour, uint32_t backgroundColour, bool interlace);
  bool SavePng(ImageHandle image, const std::wstring& path, int bits, bool interlace);

  // Writes by OPTION "ImageType" and the format's section of `profile`. On failure returns false
  // and sets *errorTextId (when given) to IDS_SAVE_FAILED for the caller's error text.
  bool SaveImage(ImageHandle image, const std::wstring& path, const ProfileSectionSet& profile,
                 int* errorTextId = nullptr);

 private:
  JpegTables jpegTables_;
};

}  // namespace pelmo
