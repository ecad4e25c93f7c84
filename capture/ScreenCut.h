// The screen-cut overlays of events 5, 6 and 7 and the frame box that marks a rectangle on screen.
//
// An overlay is a 4 x 4, almost invisible, top-most window that travels with the cursor and holds
// the mouse capture, so every click lands on it wherever the cursor is (on any display, negative
// coordinates included). The candidate region is shown by a CScreenCutBoxDlg: a frame 2 pixels
// outside the region on a colour-keyed, otherwise transparent window. A left click (free size:
// press, drag, release) takes the region; the right button or any key press cancels. Run() returns
// IDOK with the rectangle (screen coordinates) and the top-level window at its centre, or IDCANCEL.
#pragma once

#include <windows.h>

#include <vector>

#include "capture/ScreenCutGeometry.h"
#include "capture/SystemCursors.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"

namespace pelmo {

// The frame control (id 1137 in template 197): paints the box's frame with the box's pen.
class CScCutFrame {
 public:
  void SetPen(HPEN pen) { pen_ = pen; }
  void Paint(HDC dc, const RECT& client) const;

 private:
  HPEN pen_ = nullptr;
};

class CScreenCutBoxDlg : public fw::Dialog {
 public:
  CScreenCutBoxDlg();
  ~CScreenCutBoxDlg() override;

  // Creates the box, hidden, owned by parent (may be null).
  bool CreateBox(HWND parent);
  // Shows the box 2 pixels outside the rectangle (corners in any order), top-most, not activated.
  void PlaceAround(const RECT& rect);
  // The rectangle last placed, when the box is visible and it is not empty.
  bool GetCutRect(RECT& rect) const;
  // The top-level window at the centre of the box (our own windows are looked through).
  HWND GetCenterWindow() const;
  // Frames the rectangle for the given time, then hides; a later call replaces it.
  bool ShowFor(UINT milliseconds, const RECT& rect, HWND parent);
  void Hide();

  // Windows a point lookup looks through: the box itself and the overlay that owns it.
  void SetIgnored(HWND overlay) { ignored_ = overlay; }

 protected:
  BOOL OnInitDialog() override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Pulse();

  fw::UniqueBrush black_;
  fw::UniquePen pen_;
  cut::Pulse pulse_;
  CScCutFrame frame_;
  HWND parent_ = nullptr;
  HWND ignored_ = nullptr;
};

// The deepest window at a screen point, looking through the two given windows (and what they own).
HWND WindowAtPoint(POINT pt, HWND skipA, HWND skipB);

class CScreenCutDlg : public fw::Dialog {
 public:
  explicit CScreenCutDlg(HWND owner);
  ~CScreenCutDlg() override;

  // Runs the overlay modally; fills rect and window only when a region was taken.
  INT_PTR Run(RECT& rect, HWND& window);
  // The keys pressed while the overlay was up (each cancelled it).
  const std::vector<int>& pressedKeys() const { return pressedKeys_; }

 protected:
  BOOL OnInitDialog() override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG& msg) override;
  void OnOK() override;
  void OnCancel() override;

  // The kinds: start, timer 1, and the mouse. `at` is where the cursor was for the message.
  virtual void OnStart(POINT cursor) {}
  virtual void OnTimer1() {}
  virtual void OnFollow(POINT cursor) {}
  virtual void OnLButtonDown(POINT at) {}
  virtual void OnLButtonUp(POINT at) {}
  virtual void OnMouseMove(POINT at) {}
  virtual void OnEnd() {}

  // Takes the region inside the box: posts IDOK (out-pointers filled) or IDCANCEL.
  void TakeRegion();
  void PlaceBox(const cut::Rect& r);
  // The overlay as the 4 x 4 top-most square centred on p.
  void MoveOverlay(POINT p);

  CScreenCutBoxDlg box_;

 private:
  void Teardown();

  HWND owner_;
  fw::UniqueBrush white_;
  HCURSOR cross_ = nullptr;
  HWND previousForeground_ = nullptr;
  RECT* outRect_ = nullptr;
  HWND* outWindow_ = nullptr;
  CrossHairCursors cursors_;
  bool ending_ = false;
  std::vector<int> pressedKeys_;
};

// Free size: press, drag (any direction), release.
class CScreenCutFree : public CScreenCutDlg {
 public:
  using CScreenCutDlg::CScreenCutDlg;

 protected:
  void OnStart(POINT cursor) override;
  void OnTimer1() override;
  void OnLButtonDown(POINT at) override;
  void OnLButtonUp(POINT at) override;
  void OnEnd() override { pressed_ = false; }

 private:
  bool pressed_ = false;
  POINT start_{};
};

// Fixed size: a box of the configured size centred on the cursor; a left click takes it.
class CScreenCutFix : public CScreenCutDlg {
 public:
  using CScreenCutDlg::CScreenCutDlg;
  // size: (0, 0, width, height).
  INT_PTR Run(const RECT& size, RECT& rect, HWND& window);

 protected:
  void OnStart(POINT cursor) override { Follow(cursor); }
  void OnFollow(POINT cursor) override { Follow(cursor); }
  void OnMouseMove(POINT at) override { Follow(at); }
  void OnLButtonDown(POINT at) override;

 private:
  void Follow(POINT at);
  RECT size_{};
};

// Target: the window (or control) under the cursor is framed; a left click takes it.
class CScreenCutTarget : public CScreenCutDlg {
 public:
  using CScreenCutDlg::CScreenCutDlg;

 protected:
  void OnStart(POINT cursor) override;
  void OnTimer1() override;
  void OnLButtonDown(POINT at) override;

 private:
  cut::Rect TargetRect(POINT cursor) const;
};

}  // namespace pelmo
