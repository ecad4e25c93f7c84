// Events 5, 6 and 7: a screen-cut overlay picks the region, then it is captured and saved.
#include "ScreenShot.h"

#include <algorithm>

#include "capture/ScreenCut.h"
#include "keyinput/KeyInput.h"

namespace pelmo {

bool CScreenShot::CutFree(EventRequest& request) { return RunScreenCut(request, kCaptureCutFree); }
bool CScreenShot::CutFixed(EventRequest& request) { return RunScreenCut(request, kCaptureCutFixed); }
bool CScreenShot::CutTarget(EventRequest& request) { return RunScreenCut(request, kCaptureCutTarget); }

bool CScreenShot::RunScreenCut(EventRequest& request, int32_t kind) {
  // No key-down reaches the main window while the overlay is up; key-ups still do.
  KeyInputEnableKeyDown(0);
  CaptureJob job;
  job.kind = kind;
  INT_PTR taken = IDCANCEL;
  {
    CScreenCutFree free(frame_);
    CScreenCutFix fixed(frame_);
    CScreenCutTarget target(frame_);
    CScreenCutDlg* overlay = &target;
    if (kind == kCaptureCutFree) {
      taken = free.Run(job.rect, job.window);
      overlay = &free;
    } else if (kind == kCaptureCutFixed) {
      const CScreenCutProfile& cut = Current().screenCut;
      const RECT size{0, 0, cut.GetFixSizeX(), cut.GetFixSizeY()};
      taken = fixed.Run(size, job.rect, job.window);
      overlay = &fixed;
    } else {
      taken = target.Run(job.rect, job.window);
    }
    cutKeys_ = overlay->pressedKeys();
    cutEnded_ = GetTickCount();
  }
  // A cancelled cut succeeds with nothing saved: no file, no balloon, no sound.
  const bool result = taken == IDOK ? CaptureAndSave(job) : true;
  if (request.playSound && !job.saved) request.playSound = 0;
  KeyInputEnableKeyDown(1);
  return result;
}

KeyChordMatcher::EventList CScreenShot::OnKeyDown(int code) {
  // The key source may see a key that cancelled the cut only after key-downs are on again.
  constexpr DWORD kLateKeyMs = 500;
  if (!cutKeys_.empty()) {
    if (GetTickCount() - cutEnded_ > kLateKeyMs) {
      cutKeys_.clear();
    } else if (auto it = std::find(cutKeys_.begin(), cutKeys_.end(), code); it != cutKeys_.end()) {
      cutKeys_.erase(it);
      return {};
    }
  }
  return matcher_.OnKeyDown(code, CurrentBindings(), IsInputDisabled());
}

}  // namespace pelmo
