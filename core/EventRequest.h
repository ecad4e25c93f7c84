// The parameter block every event handler receives; one per run, on the caller's stack.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pelmo {

struct EventRequest {
  int32_t playSound = 1;  // cleared by handlers that saved nothing, so no sound plays
  int32_t reserved = 0;
  HWND targetWindow = nullptr;  // window for the window and client events; null = foreground
};

}  // namespace pelmo
