// The screen-cut overlay of a running program: its only visible 4×4 window.
#pragma once

#include <windows.h>

namespace pelmo::test {

struct CutOverlaySearch {
  DWORD pid;
  HWND found = nullptr;
};

inline BOOL CALLBACK FindCutOverlayStep(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<CutOverlaySearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT r{};
  if (pid == s->pid && IsWindowVisible(h) && GetWindowRect(h, &r) && r.right - r.left == 4 && r.bottom - r.top == 4) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

// The overlay window of process pid now, or null.
inline HWND FindCutOverlay(DWORD pid) {
  CutOverlaySearch s{pid};
  EnumWindows(FindCutOverlayStep, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace pelmo::test
