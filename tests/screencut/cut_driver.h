// What the screen-cut and automatic-capture tests share: a running PELMO with a profile of their
// making, real mouse and key input, the trace, and files decoded by stb_image (not our decoder).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "test_window.h"
#include "wine_test_support.h"

namespace pelmo::test {

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint32_t At(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (p[0] << 16) | (p[1] << 8) | p[2];
  }
};
Image DecodeImage(const std::wstring& path);

// The cursor to a screen point (exactly), then the buttons through SendInput.
void MoveTo(int x, int y);
void LeftDown();
void LeftUp();
void RightClick();

// Files below a folder, recursively.
std::vector<std::wstring> FilesUnder(const std::wstring& folder);

class CutSession {
 public:
  // Installs a PNG profile saving to <program>\out\cut\%v%r, with keys F5..F9 for events 5..8
  // (F5 free, F6 fixed, F7 target, F8 automatic capture) and `extra` sections, and starts PELMO.
  bool Start(const std::wstring& extra = L"", const std::wstring& fileName = L"cut\\%v%r");
  std::wstring Out(const std::wstring& name) const { return out_ + L"\\cut\\" + name; }
  const std::wstring& outFolder() const { return out_; }

  // Presses the key of a cut and waits until the overlay is up.
  bool BeginCut(WORD key);
  // Waits until event `id` has finished `count` times in all.
  bool WaitEventDone(int id, size_t count, DWORD ms = 10000);

  DebugMonitor monitor;
  PelmoProcess pelmo;

 private:
  std::wstring out_;
};

}  // namespace pelmo::test
