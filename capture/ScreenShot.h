// The capture engine: runs capture events through its handler table and holds the last error
// text that the main window shows as a balloon.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/CaptureEvents.h"
#include "core/EventRequest.h"
#include "capture/CaptureJob.h"
#include "output/ImageCodec.h"
#include "keyinput/KeyBindingTable.h"
#include "keyinput/KeyChordMatcher.h"
#include "settings/Profile.h"

namespace pelmo {

// The engine is also the profile manager: the sections it captures with are the ones the
// settings pages edit.
class CScreenCutBoxDlg;

class CScreenShot : public CProfile {
 public:
  // Lists the platform's monitors in the DISPLAY section from now on.
  CScreenShot();
  ~CScreenShot();

  // The settings window that owns the engine and the main window that shows its errors.
  void AttachWindows(HWND frame, HWND mainWindow);
  HWND mainWindow() const { return mainWindow_; }

  // Runs one event: false for a missing request or an id outside 0..16 (silently), or when the
  // handler failed (then the last error text is shown once).
  bool RunEvent(EventRequest* request, CaptureEventId id);
  // Calls a handler directly (the tray's file commands): no sound, failure shown as a balloon.
  bool RunHandlerOnly(CaptureEventId id);

  // The key matcher lives here; it reads the current profile's bindings and the
  // input-disabled flag each time.
  KeyChordMatcher& matcher() { return matcher_; }
  // A key that cancelled a screen cut is not also taken as a key press when the key source
  // reports it just after the cut (key-downs were off while the overlay was up).
  KeyChordMatcher::EventList OnKeyDown(int code);
  void OnKeyUp(int code) { matcher_.OnKeyUp(code, CurrentBindings()); }

  // Current profile values the main window and the tray use.
  const KeyBindingTable& CurrentBindings() const { return Current().key.GetBindings(); }
  bool IsInputDisabled() const { return Current().other.GetDisableInputMode() != 0; }
  void SetInputDisabled(bool on) { Current().other.SetDisableInputMode(on ? 1 : 0); }
  bool IsAllSoundOff() const { return Current().sound.GetAllSoundOff() != 0; }
  void SetAllSoundOff(bool off) { Current().sound.SetAllSoundOff(off ? 1 : 0); }
  int ImageType() const { return Current().gen.GetImageType(); }
  void SetImageType(int type) { Current().gen.SetImageType(type); }
  const std::wstring& LastSaveFile() const { return Current().gen.GetLastSaveFile(); }

  // Automatic capture: one timer tick, and the start/stop toggle of event 8. The timer is
  // timerId on `window` (the main window, id 0); its period is "Interval" kept in 1..36000 tenths
  // of a second. A tick whose capture fails ends the run (one balloon says why).
  bool IsAutoCaptureRunning() const { return Current().time.IsAutoCaptureRunning(); }
  bool AutoCaptureTick();
  bool ToggleAutoCapture(EventRequest& request);
  HWND StartAutoCapture(HWND window, UINT timerId);
  void StopAutoCapture();
  bool TargetStillValid() const;
  bool ShouldCaptureNow() const;

  void ShowLastError();
  void SetLastErrorText(UINT stringId);
  void SetLastErrorText(std::wstring text) { lastError_ = std::move(text); }
  const std::wstring& lastErrorText() const { return lastError_; }

 protected:
  using Handler = bool (CScreenShot::*)(EventRequest&);
  // Sound of an event after its handler succeeded.
  void PlaySound(CaptureEventId id);


  // Capture events 0..4: choose the area and window, then capture and save.
  bool CaptureDesktop(EventRequest& request);
  bool CaptureWindow(EventRequest& request);
  bool CaptureClient(EventRequest& request);
  bool CaptureAllDisplays(EventRequest& request);
  bool CaptureDisplay(EventRequest& request);
  // Screen cuts 5..7: an overlay picks the region, then capture and save.
  bool CutFree(EventRequest& request);
  bool CutFixed(EventRequest& request);
  bool CutTarget(EventRequest& request);
  bool RunScreenCut(EventRequest& request, int32_t kind);
  // Runs the job; job.saved tells whether a file was written.
  bool CaptureAndSave(CaptureJob& job);
  // The same for an event: its sound is cleared when nothing was saved.
  bool CaptureAndSaveFor(EventRequest& request, CaptureJob& job);
  // device null: the whole desktop in screen coordinates; rect null: the device's or all displays'.
  ImageHandle CaptureFromDisplay(const std::wstring* device, const RECT* rect, bool withCursor);
  // The save half of CaptureAndSave; takes over the bitmap and releases it on every path.
  bool SaveCapture(CaptureJob& job, ImageHandle bitmap);

  // File events 10..13.
  bool CopyLastFileToClipboard(EventRequest& request);
  bool OpenLastFile(EventRequest& request);
  bool OpenLastFolder(EventRequest& request);
  bool OpenSaveFolder(EventRequest& request);

  ImageCodec& codec() { return codec_; }
  bool OpenSettings(EventRequest& request);
  bool ToggleInputMode(EventRequest& request);
  bool NextProfile(EventRequest& request);
  bool BackProfile(EventRequest& request);

 private:
  void AttachAutoCaptureState();
  // RunEvent; on failure `note`, when given, is added to the balloon's text.
  bool RunEventNoted(EventRequest* request, CaptureEventId id, UINT note);

  static const std::array<Handler, kEventCount> kHandlers;

  HWND frame_ = nullptr;
  HWND mainWindow_ = nullptr;
  std::wstring lastError_;
  KeyChordMatcher matcher_;
  ImageCodec codec_;
  int32_t tickBusy_ = 0;
  std::vector<int> cutKeys_;  // keys pressed during the last screen cut
  DWORD cutEnded_ = 0;        // tick count at its end
  std::unique_ptr<CScreenCutBoxDlg> targetBox_;  // frames the target of automatic capture
};

}  // namespace pelmo
