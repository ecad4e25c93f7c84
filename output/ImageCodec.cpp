#include "output/ImageCodec.h"

#include "core/LongPath.h"
#include "core/resource.h"
#include "framework/Handles.h"
#include "imgctl.h"
#include "settings/ProfileSectionSet.h"

namespace pelmo {

namespace {

// The pointer as the user sees it, with its hot spot on the pointer position.
void DrawCursor(HDC dc, const RECT& rect) {
  CURSORINFO ci{};
  ci.cbSize = sizeof ci;
  if (!GetCursorInfo(&ci) || !(ci.flags & CURSOR_SHOWING) || ci.hCursor == nullptr) return;
  ICONINFO ii{};
  int hx = 0, hy = 0;
  if (GetIconInfo(ci.hCursor, &ii)) {
    const fw::UniqueBitmap mask(ii.hbmMask), colour(ii.hbmColor);
    hx = static_cast<int>(ii.xHotspot);
    hy = static_cast<int>(ii.yHotspot);
  }
  DrawIconEx(dc, ci.ptScreenPos.x - rect.left - hx, ci.ptScreenPos.y - rect.top - hy, ci.hCursor, 0, 0, 0,
             nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

// The library gets the extended ("\\?\") form, so a capture named from a long window title or a
// deep template is written whatever its length.
std::wstring LibraryPath(const std::wstring& path) {
  std::wstring extended = ToExtendedPath(path);
  return extended.empty() ? path : extended;
}

}  // namespace

ImageHandle ImageCodec::CreateImageFromScreen(HDC displayDC, const RECT& rect, bool drawCursor) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (displayDC == nullptr || width <= 0 || height <= 0) return nullptr;
  // The common case: straight from the screen into the codec's image, one copy. The codec takes
  // no area left of or above the display's origin (displays placed there).
  if (!drawCursor && rect.left >= 0 && rect.top >= 0) {
    return ImgFromDC(displayDC, rect.left, rect.top, width, height);
  }
  // The pointer is drawn into a copy of our own first, which the codec then takes.
  const fw::UniqueDc mem(CreateCompatibleDC(displayDC));
  if (!mem) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;  // bottom-up rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const fw::UniqueBitmap dib(CreateDIBSection(displayDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib) return nullptr;
  const fw::SelectObjectScope select(mem.get(), dib.get());
  if (!BitBlt(mem.get(), 0, 0, width, height, displayDC, rect.left, rect.top, SRCCOPY)) return nullptr;
  if (drawCursor) DrawCursor(mem.get(), rect);
  return ImgFromDC(mem.get(), 0, 0, width, height);
}

ImageHandle ImageCodec::LoadImageFile(const std::wstring& path) { return ImgLoadFileW(LibraryPath(path).c_str()); }

void ImageCodec::FreeImage(ImageHandle image) {
  if (image) ImgFree(image);
}

bool ImageCodec::GetImageSize(ImageHandle image, int& width, int& height) {
  BITMAPINFOHEADER info{};
  if (!ImgGetInfo(image, &info)) return false;
  width = info.biWidth;
  height = info.biHeight;
  return true;
}

ImageHandle ImageCodec::CropImage(ImageHandle& image, const RECT& rect) {
  ImageHandle part = ImgCrop(image, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  FreeImage(image);
  image = part;
  return part;
}

bool ImageCodec::ResizeImage(ImageHandle image, int width, int height) {
  return ImgResize(image, width, height) != 0;
}

void ImageCodec::ConvertImageDepth(ImageHandle image, int bits) {
  switch (bits) {
    case 8:
      ImgTo8(image, IMGCTL_TO8_EXACT_FIRST | IMGCTL_TO8_DITHER, 0);
      break;
    case 16:
      ImgTo16(image, 0);
      break;
    case 24:
      ImgTo24(image);
      break;
    default:
      break;
  }
}

bool ImageCodec::SaveBmp(ImageHandle image, const std::wstring& path, int bits) {
  ConvertImageDepth(image, bits);
  return ImgSaveBmpW(LibraryPath(path).c_str(), image) != 0;
}

bool ImageCodec::SaveJpg(ImageHandle image, const std::wstring& path, int quality, int progressive) {
  if (jpegTables_ == JpegTables::kFitted) {
    const int flags = (progressive != 0 ? IMGCTL_JPEG_PROGRESSIVE : 0) | IMGCTL_JPEG_FIT_TABLES;
    return ImgSaveJpegExW(LibraryPath(path).c_str(), image, quality, flags) != 0;
  }
  return ImgSaveJpegW(LibraryPath(path).c_str(), image, quality, progressive) != 0;
}

bool ImageCodec::SaveGif(ImageHandle image, const std::wstring& path, bool transparent, bool background,
                         uint32_t transparentColour, uint32_t backgroundColour, bool interlace) {
  ImgctlGifRecord record{};
  record.flags = IMGCTL_GIF_REDUCE_COLOURS;
  record.colourBits = 8;
  if (transparent && !background) {
    record.flags |= IMGCTL_GIF_TRANSPARENT;
    record.transparentColour = transparentColour;
  } else if (transparent && background) {
    const DWORD pair[2] = {transparentColour, backgroundColour};
    ImgReplaceColours(image, pair, 1);
  }
  if (interlace) record.flags |= IMGCTL_GIF_INTERLACE;
  return ImgSaveGifW(LibraryPath(path).c_str(), image, &record) != 0;
}

bool ImageCodec::SavePng(ImageHandle image, const std::wstring& path, int bits, bool interlace) {
  ConvertImageDepth(image, bits);
  return ImgSavePngW(LibraryPath(path).c_str(), image, interlace ? 1 : 0) != 0;
}

bool ImageCodec::SaveImage(ImageHandle image, const std::wstring& path, const ProfileSectionSet& profile,
                           int* errorTextId) {
  bool ok = false;
  switch (profile.gen.GetImageType()) {
    case CGenProfile::kBmp:
      ok = SaveBmp(image, path, profile.bmp.GetBmpColor());
      break;
    case CGenProfile::kJpg:
      ok = SaveJpg(image, path, profile.jpg.GetJpgCompression(), profile.jpg.GetJpgProgression());
      break;
    case CGenProfile::kGif:
      ok = SaveGif(image, path, profile.gif.GetGifTransparency() != 0, profile.gif.GetGifBackground() != 0,
                   profile.gif.GetTransparencyColor().Packed(), profile.gif.GetBackgroundColor().Packed(),
                   profile.gif.GetGifInterlace() != 0);
      break;
    case CGenProfile::kPng:
      ok = SavePng(image, path, profile.png.GetPngColor(), profile.png.GetPngInterlace() != 0);
      break;
    default:
      break;
  }
  if (!ok && errorTextId) *errorTextId = IDS_SAVE_FAILED;
  return ok;
}

}  // namespace pelmo
