// The save half of CaptureAndSave and the events that act on saved files (10..13).
#include "ScreenShot.h"

#include "capture/SavePaths.h"
#include "output/Resize.h"
#include "output/RunningNumber.h"
#include "output/SavePath.h"
#include "core/resource.h"
#include "framework/Handles.h"

namespace pelmo {

bool CScreenShot::SaveCapture(CaptureJob& job, ImageHandle bitmap) {
  fw::UniqueImage image(bitmap);  // freed on every path below
  ProfileSectionSet& profile = Current();
  const CaptureEventId event = job.kind >= 0 && job.kind <= 7 ? job.kind : kEventDesktop;
  const SavePathResult target =
      BuildSavePath(MakeSavePathRequest(profile.gen, profile.name, GetCurrentName(), event, job.window));
  if (target.status < 0) {
    SetLastErrorText(static_cast<UINT>(target.messageId));
    return false;
  }
  if (job.crop) {
    // The crop frees the whole image and hands back the part (null when it failed).
    ImageHandle whole = image.release();
    codec_.CropImage(whole, job.cropRect);
    image.reset(whole);
  }
  ResizeForSave(codec_, profile.resize, image.get());
  job.saved = profile.other.CheckOverwrite(mainWindow(), target.path) == COtherProfile::kOverwriteDeclined ? 0 : 1;
  if (job.saved) {
    const bool ok = image && codec_.SaveImage(image.get(), target.path, profile);
    image.reset();
    if (!ok) {
      SetLastErrorText(IDS_SAVE_FAILED);
      return false;
    }
    profile.gen.SetLastSaveFile(target.path);
  }
  image.reset();
  // Also after a declined overwrite: the number was used for the name.
  if (target.status == 1) AdvanceRunningNumber(profile.name);
  return true;
}

bool CScreenShot::CopyLastFileToClipboard(EventRequest&) {
  const std::wstring& path = LastSaveFile();
  if (!FileExists(path)) {
    SetLastErrorText(IDS_FILE_MISSING);
    return false;
  }
  // Another program may hold the clipboard open for a moment: try again briefly before failing.
  // The main window owns the data (a clipboard emptied without an owner may refuse it).
  constexpr int kAttempts = 8;
  constexpr DWORD kPauseMs = 40;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) Sleep(kPauseMs);
    if (CopyFileToClipboard(mainWindow(), path, 1)) return true;  // 1: copy, as the shell's "copy"
  }
  SetLastErrorText(IDS_CLIPBOARD_FAILED);
  return false;
}

bool CScreenShot::OpenLastFile(EventRequest&) {
  const std::wstring& path = LastSaveFile();
  if (!FileExists(path)) {
    SetLastErrorText(IDS_FILE_MISSING);
    return false;
  }
  CGenProfile::OpenFile(path);
  return true;
}

bool CScreenShot::OpenLastFolder(EventRequest&) {
  const std::wstring folder = DirectoryOf(LastSaveFile());
  if (!PathExists(folder)) {
    SetLastErrorText(IDS_NO_SAVE_FOLDER);
    return false;
  }
  CGenProfile::OpenFolder(folder);
  return true;
}

bool CScreenShot::OpenSaveFolder(EventRequest&) {
  const std::wstring& folder = Current().gen.GetSaveFolder();
  if (!PathExists(folder)) {
    SetLastErrorText(IDS_NO_SAVE_FOLDER);
    return false;
  }
  CGenProfile::OpenFolder(folder);
  return true;
}

}  // namespace pelmo
