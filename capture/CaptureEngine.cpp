// The capture events 0..4 of the engine and the screen-reading half of CaptureAndSave.
#include "ScreenShot.h"

#include "capture/Displays.h"
#include "framework/Handles.h"
#include "core/resource.h"

namespace pelmo {
namespace {


HWND TargetWindow(const EventRequest& request) {
  return request.targetWindow ? request.targetWindow : GetForegroundWindow();
}

RECT ClientRectOnScreen(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
  ClientToScreen(window, &topLeft);
  ClientToScreen(window, &bottomRight);
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace

bool CScreenShot::CaptureDesktop(EventRequest& request) {
  CaptureJob job;
  job.kind = kCaptureDesktop;
  job.window = GetDesktopWindow();
  if (!job.window) return false;
  GetWindowRect(job.window, &job.rect);
  return CaptureAndSaveFor(request, job);
}

bool CScreenShot::CaptureWindow(EventRequest& request) {
  CaptureJob job;
  job.kind = kCaptureWindow;
  job.window = TargetWindow(request);
  if (!job.window) {
    SetLastErrorText(IDS_NO_ACTIVE_WINDOW);  // else the balloon would show an old text, or none
    return false;
  }
  GetWindowRect(job.window, &job.rect);
  return CaptureAndSaveFor(request, job);
}

bool CScreenShot::CaptureClient(EventRequest& request) {
  CaptureJob job;
  job.kind = kCaptureClient;
  job.window = TargetWindow(request);
  if (!job.window) {
    SetLastErrorText(IDS_NO_ACTIVE_WINDOW);
    return false;
  }
  if (Current().other.GetCutClient()) {
    // The whole window is read and the client area cut out of it afterwards.
    GetWindowRect(job.window, &job.rect);
    GetClientRect(job.window, &job.cropRect);
    POINT origin{0, 0};
    ClientToScreen(job.window, &origin);
    OffsetRect(&job.cropRect, origin.x - job.rect.left, origin.y - job.rect.top);
    job.crop = 1;
  } else {
    job.rect = ClientRectOnScreen(job.window);
  }
  return CaptureAndSaveFor(request, job);
}

bool CScreenShot::CaptureAllDisplays(EventRequest& request) {
  CaptureJob job;
  job.kind = kCaptureAllDisplays;
  job.window = request.targetWindow;
  return CaptureAndSaveFor(request, job);
}

bool CScreenShot::CaptureDisplay(EventRequest& request) {
  CaptureJob job;
  job.kind = kCaptureDisplay;
  job.deviceName = Current().display.GetDisplayName();
  job.window = request.targetWindow;
  if (job.deviceName.empty()) {
    SetLastErrorText(IDS_NO_DISPLAY_CHOSEN);
    return false;
  }
  return CaptureAndSaveFor(request, job);
}

bool CScreenShot::CaptureAndSaveFor(EventRequest& request, CaptureJob& job) {
  const bool ok = CaptureAndSave(job);
  // The sound plays only when a file was written.
  if (request.playSound && !job.saved) request.playSound = 0;
  return ok;
}

bool CScreenShot::CaptureAndSave(CaptureJob& job) {
  const bool withCursor = Current().other.GetCaptureCursor() != 0;
  ImageHandle bitmap = nullptr;
  switch (job.kind) {
    case kCaptureDesktop:
    case kCaptureWindow:
    case kCaptureClient:
      bitmap = CaptureFromDisplay(nullptr, &job.rect, withCursor);
      break;
    case kCaptureAllDisplays:
      bitmap = CaptureFromDisplay(nullptr, nullptr, withCursor);
      break;
    case kCaptureDisplay:
      bitmap = CaptureFromDisplay(&job.deviceName, nullptr, false);
      break;
    case kCaptureCutFree:
    case kCaptureCutFixed:
    case kCaptureCutTarget:
      bitmap = CaptureFromDisplay(nullptr, &job.rect, false);
      break;
    default:
      break;
  }
  if (!bitmap) return false;
  return SaveCapture(job, bitmap);
}

ImageHandle CScreenShot::CaptureFromDisplay(const std::wstring* device, const RECT* rect, bool withCursor) {
  fw::UniqueDc source(CreateDCW(L"DISPLAY", device ? device->c_str() : nullptr, nullptr, nullptr));
  if (!source) {
    SetLastErrorText(IDS_NO_DISPLAY_DEVICE);
    return nullptr;
  }
  RECT area{};
  if (rect) {
    area = *rect;
  } else if (device) {
    // A device context is made even for a display that no monitor shows now: that display is
    // gone, not a failed screen copy.
    const auto r = DisplayDeviceRect(*device);
    if (!r) {
      SetLastErrorText(IDS_NO_DISPLAY_DEVICE);
      return nullptr;
    }
    area = {r->left, r->top, r->right, r->bottom};
  } else {
    DisplayRect all;
    Current().display.GetAllDisplaysRect(all);
    area = {all.left, all.top, all.right, all.bottom};
  }
  ImageHandle bitmap = codec_.CreateImageFromScreen(source.get(), area, withCursor);
  if (!bitmap) SetLastErrorText(IDS_CAPTURE_FAILED);
  return bitmap;
}

}  // namespace pelmo
