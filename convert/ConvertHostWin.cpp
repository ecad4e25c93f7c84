#include "convert/ConvertHostWin.h"

#include "capture/ScreenShot.h"
#include "framework/App.h"
#include "output/Resize.h"

namespace pelmo {

std::wstring CodecConvertHost::Text(int id) { return fw::LoadResString(static_cast<UINT>(id)); }

LocalTimeFields CodecConvertHost::Now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

ConvertFileResult CodecConvertHost::ConvertFile(const std::wstring& dest, const std::wstring& src,
                                                const ProfileSectionSet& profile) {
  ImageHandle image = codec_.LoadImageFile(src);
  if (image == nullptr) return ConvertFileResult::kLoadFailed;
  ResizeForSave(codec_, profile.resize, image);
  const bool saved = codec_.SaveImage(image, dest, profile);
  codec_.FreeImage(image);
  return saved ? ConvertFileResult::kConverted : ConvertFileResult::kSaveFailed;
}

void CodecConvertHost::OnSaveFailed() { screenShot_.SetLastErrorText(kSaveImageFailedText); }

}  // namespace pelmo
