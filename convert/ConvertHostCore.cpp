#include "convert/ConvertHostCore.h"

#include <ctime>

#include "Depth.h"
#include "Library.h"
#include "core/Strings.h"
#include "output/Resize.h"
#include "core/TextCodec.h"

namespace pelmo {
namespace {

imgctl::NativePath Native(const std::wstring& path) {
  std::wstring p = path;
  for (wchar_t& c : p) {
    if (c == L'\\') c = L'/';
  }
  return WideToUtf8(p);
}

void ConvertDepth(imgctl::Image* image, int bits) {
  switch (bits) {
    case 8:
      imgctl::To8(image, imgctl::kTo8ExactFirst | imgctl::kTo8Dither);
      break;
    case 16:
      imgctl::To16(image, 0);
      break;
    case 24:
      imgctl::To24(image);
      break;
    default:
      break;
  }
}

bool Save(imgctl::Image* image, const imgctl::NativePath& path, const ProfileSectionSet& p) {
  switch (p.gen.GetImageType()) {
    case CGenProfile::kBmp:
      ConvertDepth(image, p.bmp.GetBmpColor());
      return imgctl::SaveBmp(path, image);
    case CGenProfile::kJpg:
      return imgctl::SaveJpeg(path, image, p.jpg.GetJpgCompression(), p.jpg.GetJpgProgression() != 0, true);
    case CGenProfile::kGif: {
      imgctl::GifRecord record{};
      record.flags = 0x80000;
      record.colourBits = 8;
      const bool transparent = p.gif.GetGifTransparency() != 0, background = p.gif.GetGifBackground() != 0;
      if (transparent && !background) {
        record.flags |= imgctl::kGifTransparent;
        record.transparentColour = p.gif.GetTransparencyColor().Packed();
      } else if (transparent && background) {
        const uint32_t pair[2] = {p.gif.GetTransparencyColor().Packed(), p.gif.GetBackgroundColor().Packed()};
        imgctl::ReplacePairs(image, pair, 1);
      }
      if (p.gif.GetGifInterlace() != 0) record.flags |= imgctl::kGifInterlace;
      return imgctl::SaveGif(path, image, &record);
    }
    case CGenProfile::kPng:
      ConvertDepth(image, p.png.GetPngColor());
      return imgctl::SavePng(path, image, p.png.GetPngInterlace() != 0);
    default:
      return false;
  }
}

}  // namespace

std::wstring CoreConvertHost::Text(int id) {
  return texts_ ? texts_(id) : LoadResString(id);
}

LocalTimeFields CoreConvertHost::Now() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

ConvertFileResult CoreConvertHost::ConvertFile(const std::wstring& dest, const std::wstring& src,
                                               const ProfileSectionSet& profile) {
  imgctl::Image* image = imgctl::LoadFile(Native(src));
  if (image == nullptr) return ConvertFileResult::kLoadFailed;
  if (profile.resize.GetResize() != 0) {
    imgctl::InfoHeader info{};
    if (imgctl::GetInfo(image, &info)) {
      uint32_t w = static_cast<uint32_t>(info.width), h = static_cast<uint32_t>(info.height);
      ComputeResizedSize(profile.resize, w, h, w, h);
      imgctl::Resize(image, w > INT32_MAX ? INT32_MAX : static_cast<int>(w), h > INT32_MAX ? INT32_MAX : static_cast<int>(h));
    }
  }
  const bool saved = Save(image, Native(dest), profile);
  imgctl::Free(image);
  return saved ? ConvertFileResult::kConverted : ConvertFileResult::kSaveFailed;
}

}  // namespace pelmo
