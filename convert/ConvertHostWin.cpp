#include "convert/ConvertHostWin.h"

#include "capture/ScreenShot.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "output/Resize.h"

namespace pelmo {

std::wstring CodecConvertHost::Text(int id) { return LoadResString(id); }

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

void CodecConvertHost::OnSaveFailed() { screenShot_.SetLastErrorText(IDS_SAVE_FAILED); }

}  // namespace pelmo
