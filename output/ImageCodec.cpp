#include "ImageCodec.h"

#include "framework/Handles.h"
#include "output/Resize.h"

namespace pelmo {

ImageHandle ImageCodec::CreateImageFromScreen(HDC displayDC, const RECT& rect, bool drawCursor) const {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return nullptr;
  fw::UniqueDc memory(CreateCompatibleDC(displayDC));
  if (!memory) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  fw::UniqueBitmap dib(CreateDIBSection(displayDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib) return nullptr;
  ImageHandle image = nullptr;
  {
    fw::SelectObjectScope select(memory.get(), dib.get());
    BitBlt(memory.get(), 0, 0, width, height, displayDC, rect.left, rect.top, SRCCOPY);
    if (drawCursor) {
      if (HCURSOR cursor = GetCursor()) {
        POINT pt{};
        GetCursorPos(&pt);
        DrawIcon(memory.get(), pt.x - rect.left, pt.y - rect.top, cursor);
      }
    }
    image = ImgFromDC(memory.get(), 0, 0, width, height);
  }
  return image;
}

ImageHandle ImageCodec::LoadImageFile(const std::wstring& path) const { return ImgLoadFileW(path.c_str()); }

void ImageCodec::FreeImage(ImageHandle image) const {
  if (image) ImgFree(image);
}

bool ImageCodec::GetImageSize(ImageHandle image, int32_t& width, int32_t& height) const {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  if (!image || !ImgGetInfo(image, &header)) return false;
  width = header.biWidth;
  height = header.biHeight;
  return true;
}

void ImageCodec::CropImage(ImageHandle& image, const RECT& rect) const {
  ImageHandle cropped = ImgCrop(image, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  FreeImage(image);
  image = cropped;
}

void ImageCodec::ResizeImage(ImageHandle image, int32_t width, int32_t height) const {
  if (image) ImgResize(image, width, height);
}

void ImageCodec::ConvertImageDepth(ImageHandle image, int32_t bits) const {
  switch (bits) {
    case 8: ImgTo8(image, IMGCTL_TO8_EXACT_FIRST | IMGCTL_TO8_DITHER, 0); break;
    case 16: ImgTo16(image, 0); break;
    case 24: ImgTo24(image); break;
    default: break;
  }
}

bool ImageCodec::SaveBmp(ImageHandle image, const std::wstring& path, int32_t bits) const {
  ConvertImageDepth(image, bits);
  return ImgSaveBmpW(path.c_str(), image) != 0;
}

bool ImageCodec::SaveJpg(ImageHandle image, const std::wstring& path, int32_t quality, int32_t progressive) const {
  return ImgSaveJpegW(path.c_str(), image, quality, progressive) != 0;
}

bool ImageCodec::SaveGif(ImageHandle image, const std::wstring& path, bool transparent, bool background,
                         uint32_t transparentColour, uint32_t backgroundColour, bool interlace) const {
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
  return ImgSaveGifW(path.c_str(), image, &record) != 0;
}

bool ImageCodec::SavePng(ImageHandle image, const std::wstring& path, int32_t bits, bool interlace) const {
  ConvertImageDepth(image, bits);
  return ImgSavePngW(path.c_str(), image, interlace ? 1 : 0) != 0;
}

bool ImageCodec::SaveImage(ImageHandle image, const std::wstring& path, const ProfileSectionSet& p) const {
  switch (p.gen.GetImageType()) {
    case CGenProfile::kBmp:
      return SaveBmp(image, path, p.bmp.GetBmpColor());
    case CGenProfile::kJpg:
      return SaveJpg(image, path, p.jpg.GetJpgCompression(), p.jpg.GetJpgProgression());
    case CGenProfile::kGif:
      return SaveGif(image, path, p.gif.GetGifTransparency() != 0, p.gif.GetGifBackground() != 0,
                     p.gif.GetTransparencyColor().Packed(), p.gif.GetBackgroundColor().Packed(),
                     p.gif.GetGifInterlace() != 0);
    case CGenProfile::kPng:
      return SavePng(image, path, p.png.GetPngColor(), p.png.GetPngInterlace() != 0);
    default:
      return false;
  }
}

void ImageCodec::ResizeForSave(ImageHandle image, const CResizeProfile& resize) const {
  if (!resize.GetResize()) return;
  int32_t width = 0, height = 0;
  if (!GetImageSize(image, width, height)) return;
  uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
  ComputeResizedSize(resize, w, h, w, h);
  ResizeImage(image, static_cast<int32_t>(w), static_cast<int32_t>(h));
}

}  // namespace pelmo
