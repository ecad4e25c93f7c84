// Events 5, 6 and 7: a screen-cut overlay picks the region, then it is captured and saved.
#include "ScreenShot.h"

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
  if (kind == kCaptureCutFree) {
    CScreenCutFree overlay(frame_);
    taken = overlay.Run(job.rect, job.window);
  } else if (kind == kCaptureCutFixed) {
    const CScreenCutProfile& cut = Current().screenCut;
    const RECT size{0, 0, cut.GetFixSizeX(), cut.GetFixSizeY()};
    CScreenCutFix overlay(frame_);
    taken = overlay.Run(size, job.rect, job.window);
  } else {
    CScreenCutTarget overlay(frame_);
    taken = overlay.Run(job.rect, job.window);
  }
  // A cancelled cut succeeds with nothing saved: no file, no balloon, no sound.
  const bool result = taken == IDOK ? CaptureAndSave(job) : true;
  if (request.playSound && !job.saved) request.playSound = 0;
  KeyInputEnableKeyDown(1);
  return result;
}

}  // namespace pelmo
