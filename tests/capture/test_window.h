// A window with known pixels: its client area is four solid quadrants.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pelmo::test {

class PatternWindow {
 public:
  // A captioned window at (x, y) whose client area is width x height.
  PatternWindow(int x, int y, int width, int height);
  ~PatternWindow();
  PatternWindow(const PatternWindow&) = delete;
  PatternWindow& operator=(const PatternWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  RECT ClientOnScreen() const;
  // The colour the pattern has at client point (x, y), as 0xRRGGBB.
  uint32_t ColourAt(int x, int y) const;
  void BringToFront();

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
  int width_;
  int height_;
};

}  // namespace pelmo::test
