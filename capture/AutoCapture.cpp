// Event 8 and the timer ticks of automatic capture. The settings and run-time state live in the
// TIME section (CTimeProfile); the timer is a window timer on the main window.
#include "ScreenShot.h"

#include "core/AppMessages.h"
#include "core/Trace.h"
#include "capture/ScreenCut.h"
#include "capture/ScreenCutGeometry.h"
#include "core/resource.h"

namespace pelmo {
namespace {

constexpr CaptureEventId kActionEvents[5] = {kEventDesktop, kEventWindow, kEventClient, kEventAllDisplay,
                                             kEventDisplay};
constexpr UINT kTargetBoxMs = 3000;

}  // namespace

void CScreenShot::AttachAutoCaptureState() {
  // Reading another profile over the current one ends a running capture; the icon follows.
  Current().time.Run().stop = [this] {
    StopAutoCapture();
    if (mainWindow_) PostMessageW(mainWindow_, WM_APP_REFRESHICON, 0, 0);
  };
}

CScreenShot::~CScreenShot() {
  StopAutoCapture();
  Current().time.Run().stop = nullptr;
}

bool CScreenShot::ToggleAutoCapture(EventRequest&) {
  bool result = true;
  if (IsAutoCaptureRunning()) {
    StopAutoCapture();
  } else {
    result = StartAutoCapture(mainWindow_, 0) != nullptr;
    if (!result) SetLastErrorText(IDS_NO_ACTIVE_WINDOW);
  }
  if (mainWindow_) SendMessageW(mainWindow_, WM_APP_REFRESHICON, 0, 0);
  // The request's sound is left alone: event 8 sounds on start and on stop.
  return result;
}

HWND CScreenShot::StartAutoCapture(HWND window, UINT timerId) {
  CTimeProfile& time = Current().time;
  CTimeProfile::RunState& run = time.Run();
  if (run.running) KillTimer(run.timerWindow, run.timerId);
  run.running = 0;

  HWND target = nullptr;
  if (time.GetExitNoActive() || time.GetTargetOnly()) {
    const int32_t action = time.GetActionType();
    if (action == 0) {
      target = GetDesktopWindow();
    } else if (action == 1 || action == 2) {
      target = GetForegroundWindow();
    }
    if (action >= 0 && action <= 2 && !target) return nullptr;
    if (target) {
      RECT r{};
      if (!GetWindowRect(target, &r)) return nullptr;
      targetBox_ = std::make_unique<CScreenCutBoxDlg>();
      targetBox_->ShowFor(kTargetBoxMs, r, nullptr);
    }
  }
  run.target = target;
  run.timerWindow = window;
  run.timerId = timerId;
  const int32_t interval = time.GetInterval();
  if (interval != cut::ClampInterval(interval)) {
    Trace(L"auto capture interval " + std::to_wstring(interval) + L" taken as " +
          std::to_wstring(cut::ClampInterval(interval)));
  }
  if (!SetTimer(window, timerId, cut::TimerPeriodMs(interval), nullptr)) return nullptr;
  if (time.GetCaptureStart()) PostMessageW(window, WM_TIMER, timerId, 0);
  run.running = 1;
  Trace(L"auto capture started period=" + std::to_wstring(cut::TimerPeriodMs(interval)) + L"ms");
  return window;
}

void CScreenShot::StopAutoCapture() {
  CTimeProfile::RunState& run = Current().time.Run();
  if (!run.running) return;
  KillTimer(run.timerWindow, run.timerId);
  run.running = 0;
  Trace(L"auto capture stopped");
}

bool CScreenShot::TargetStillValid() const {
  const CTimeProfile& time = Current().time;
  HWND target = time.Run().target;
  return time.TargetStillValid(target && IsWindow(target), target && GetForegroundWindow() == target);
}

bool CScreenShot::ShouldCaptureNow() const {
  const CTimeProfile& time = Current().time;
  HWND target = time.Run().target;
  return time.ShouldCaptureNow(target && GetForegroundWindow() == target);
}

bool CScreenShot::AutoCaptureTick() {
  // A tick during a running one (an overwrite question, say) is skipped, not queued.
  if (tickBusy_) return true;
  if (!IsAutoCaptureRunning()) return false;  // a WM_TIMER posted for a run that has ended
  tickBusy_ = 1;
  const CTimeProfile& time = Current().time;
  if (!TargetStillValid()) {
    StopAutoCapture();
    if (mainWindow_) SendMessageW(mainWindow_, WM_APP_REFRESHICON, 0, 0);
    tickBusy_ = 0;
    return false;
  }
  bool result = true;
  if (ShouldCaptureNow()) {
    EventRequest request;
    request.playSound = time.GetSoundOut() ? 1 : 0;
    request.targetWindow = time.GetTargetOnly() ? time.Run().target : nullptr;
    const int32_t action = time.GetActionType();
    if (action >= 0 && action <= 4) {
      result = RunEventNoted(&request, kActionEvents[action], IDS_AUTO_CAPTURE_STOPPED);
      if (!result) {
        // A lasting fault (a full disk, a missing folder) would fail every tick: end the run after
        // the first failure, whose balloon says why and that the run ended.
        StopAutoCapture();
        if (mainWindow_) SendMessageW(mainWindow_, WM_APP_REFRESHICON, 0, 0);
      }
    } else {
      result = false;
    }
  } else {
    Trace(L"auto capture tick skipped");
  }
  tickBusy_ = 0;
  return result;
}

}  // namespace pelmo
