#include "ScreenShot.h"

#include "core/AppMessages.h"
#include "core/MessageBoxService.h"
#include "core/Strings.h"
#include "core/Trace.h"
#include "capture/Displays.h"
#include "capture/ScreenCut.h"
#include "framework/App.h"
#include "output/EventSound.h"
#include "core/AppDirectory.h"
#include "core/resource.h"

namespace pelmo {

const std::array<CScreenShot::Handler, kEventCount> CScreenShot::kHandlers = {
    &CScreenShot::CaptureDesktop,      // 0
    &CScreenShot::CaptureWindow,       // 1
    &CScreenShot::CaptureClient,       // 2
    &CScreenShot::CaptureAllDisplays,  // 3
    &CScreenShot::CaptureDisplay,      // 4
    &CScreenShot::CutFree,             // 5
    &CScreenShot::CutFixed,            // 6
    &CScreenShot::CutTarget,           // 7
    &CScreenShot::ToggleAutoCapture,   // 8
    &CScreenShot::OpenSettings,     // 9
    &CScreenShot::CopyLastFileToClipboard,  // 10
    &CScreenShot::OpenLastFile,             // 11
    &CScreenShot::OpenLastFolder,           // 12
    &CScreenShot::OpenSaveFolder,           // 13
    &CScreenShot::ToggleInputMode,  // 14
    &CScreenShot::NextProfile,      // 15
    &CScreenShot::BackProfile,      // 16
};

CScreenShot::CScreenShot() {
  InstallMonitorSource();
  Current().display.Refresh();
  AttachAutoCaptureState();
}

void CScreenShot::AttachWindows(HWND frame, HWND mainWindow) {
  frame_ = frame;
  mainWindow_ = mainWindow;
}

bool CScreenShot::RunEvent(EventRequest* request, CaptureEventId id) { return RunEventNoted(request, id, 0); }

bool CScreenShot::RunEventNoted(EventRequest* request, CaptureEventId id, UINT note) {
  if (!request || !IsValidEvent(id)) return false;
  if (!(this->*kHandlers[id])(*request)) {
    Trace(L"event " + std::to_wstring(id) + L" failed");
    if (note) {
      const std::wstring saved = lastError_;
      lastError_ += L"\n" + LoadResString(static_cast<int>(note));
      ShowLastError();
      lastError_ = saved;
    } else {
      ShowLastError();
    }
    return false;
  }
  Trace(L"event " + std::to_wstring(id) + L" done" + (request->playSound ? L", sound" : L", no sound"));
  if (request->playSound) PlaySound(id);
  return true;
}

bool CScreenShot::RunHandlerOnly(CaptureEventId id) {
  if (!IsValidEvent(id)) return false;
  EventRequest request;
  if ((this->*kHandlers[id])(request)) return true;
  ShowLastError();
  return false;
}

void CScreenShot::PlaySound(CaptureEventId id) { PlayEventSound(Current().sound, id); }

void CScreenShot::ShowLastError() {
  if (!mainWindow_) return;
  const std::wstring title = L"エラー";
  // An empty text still shows a balloon: the main window puts one space in its place.
  SendErrorBalloon(mainWindow_, title, lastError_);
}

void CScreenShot::SetLastErrorText(UINT stringId) { lastError_ = LoadResString(static_cast<int>(stringId)); }

bool CScreenShot::OpenSettings(EventRequest&) {
  SendMessageW(mainWindow_, WM_COMMAND, IDM_SETTINGS, 0);
  return true;
}

bool CScreenShot::ToggleInputMode(EventRequest&) {
  SendMessageW(mainWindow_, WM_COMMAND, IDM_INPUT_DISABLED, 0);
  return true;
}

bool CScreenShot::NextProfile(EventRequest&) {
  SendMessageW(mainWindow_, WM_APP_STEPPROFILE, 1, 0);
  return true;
}

bool CScreenShot::BackProfile(EventRequest&) {
  SendMessageW(mainWindow_, WM_APP_STEPPROFILE, 0, 0);
  return true;
}

}  // namespace pelmo
