// A capture request, passed from a capture handler to the save pipeline on the handler's stack.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace pelmo {

// The kind of area a capture takes; also the row of the event-name table that "%v" inserts.
enum CaptureKind : int32_t {
  kCaptureNone = -1,
  kCaptureDesktop = 0,
  kCaptureWindow = 1,
  kCaptureClient = 2,
  kCaptureAllDisplays = 3,
  kCaptureDisplay = 4,
  kCaptureCutFree = 5,
  kCaptureCutFixed = 6,
  kCaptureCutTarget = 7,
};

struct CaptureJob {
  int32_t kind = kCaptureNone;
  HWND window = nullptr;  // the window the capture is about ("%w")
  int32_t saved = 0;      // 1 when the file was written, 0 when the user kept the old one
  int32_t crop = 0;       // cut cropRect out of the image before saving
  RECT rect{};            // area to capture, screen coordinates
  RECT cropRect{};        // relative to rect's top-left corner
  std::wstring deviceName;  // display device (kind 4)
};

}  // namespace pelmo
