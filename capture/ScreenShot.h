// The capture engine: runs capture events through its handler table and holds the last error
// text that the main window shows as a balloon.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "app/CaptureEvents.h"
#include "app/EventRequest.h"
#include "keyinput/KeyBindingTable.h"
#include "keyinput/KeyChordMatcher.h"

namespace pelmo {

class CScreenShot {
 public:
  CScreenShot() = default;
  CScreenShot(const CScreenShot&) = delete;
  CScreenShot& operator=(const CScreenShot&) = delete;
  virtual ~CScreenShot() = default;

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
  KeyChordMatcher::EventList OnKeyDown(int code) { return matcher_.OnKeyDown(code, CurrentBindings(), IsInputDisabled()); }
  void OnKeyUp(int code) { matcher_.OnKeyUp(code, CurrentBindings()); }

  // State the main window shows in the tray.
  virtual const KeyBindingTable& CurrentBindings() const { return bindings_; }
  virtual bool IsInputDisabled() const { return inputDisabled_; }
  virtual void SetInputDisabled(bool on) { inputDisabled_ = on; }
  virtual bool IsAllSoundOff() const { return allSoundOff_; }
  virtual void SetAllSoundOff(bool off) { allSoundOff_ = off; }
  virtual int ImageType() const { return imageType_; }
  virtual void SetImageType(int type) { imageType_ = type; }
  virtual std::wstring LastSaveFile() const { return {}; }

  // Automatic capture: one timer tick, and the start/stop toggle of event 8.
  virtual bool IsAutoCaptureRunning() const { return false; }
  virtual bool AutoCaptureTick() { return false; }
  virtual bool ToggleAutoCapture(EventRequest& request) { return false; }

  void ShowLastError();
  void SetLastErrorText(UINT stringId);
  void SetLastErrorText(std::wstring text) { lastError_ = std::move(text); }
  const std::wstring& lastErrorText() const { return lastError_; }

 protected:
  using Handler = bool (CScreenShot::*)(EventRequest&);
  // Sound of an event after its handler succeeded.
  virtual void PlayEventSound(CaptureEventId id) {}

  bool NotImplemented(EventRequest& request);
  bool OpenSettings(EventRequest& request);
  bool ToggleInputMode(EventRequest& request);
  bool NextProfile(EventRequest& request);
  bool BackProfile(EventRequest& request);

 private:
  static const std::array<Handler, kEventCount> kHandlers;

  HWND frame_ = nullptr;
  HWND mainWindow_ = nullptr;
  std::wstring lastError_;
  KeyChordMatcher matcher_;
  KeyBindingTable bindings_{};
  bool inputDisabled_ = false;
  bool allSoundOff_ = false;
  int imageType_ = 1;
};

}  // namespace pelmo
