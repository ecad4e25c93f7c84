#include "capture/ScreenCut.h"

#include <windowsx.h>

#include <string>

#include "core/Trace.h"
#include "core/resource.h"

namespace pelmo {
namespace {

constexpr UINT_PTR kFollowTimer = 0;  // overlay: follow the cursor
constexpr UINT_PTR kKindTimer = 1;    // overlay: the kind's own timer
constexpr UINT_PTR kPulseTimer = 0;   // box: the frame's grey level
constexpr UINT_PTR kShowForTimer = 1; // box: end of ShowFor
constexpr UINT kFollowMs = 10;
constexpr UINT kFreeMs = 25;
constexpr UINT kTargetMs = 200;
constexpr UINT kPulseMs = 25;
constexpr int kOverlaySize = 4;
// After the overlay is hidden, what lay under it is repainted by its own process; a capture
// taken at once could still read the overlay's square.
constexpr DWORD kSettleMs = 50;

cut::Rect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const cut::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

POINT MessagePoint() {
  const DWORD pos = GetMessagePos();
  return {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
}

POINT CursorPoint() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

bool IsOneOf(HWND h, HWND a, HWND b) {
  if (!h) return false;
  const HWND root = GetAncestor(h, GA_ROOT);
  return h == a || h == b || (root && (root == a || root == b));
}

std::wstring RectText(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
         std::to_wstring(r.bottom);
}

}  // namespace

HWND WindowAtPoint(POINT pt, HWND skipA, HWND skipB) {
  HWND h = WindowFromPoint(pt);
  if (h && !IsOneOf(h, skipA, skipB)) return h;
  // Our own window is in front (the system may not look through a colour-keyed window): take
  // the first visible top-level window behind it, then its deepest child at the point.
  HWND top = nullptr;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (IsOneOf(w, skipA, skipB) || !IsWindowVisible(w)) continue;
    RECT r{};
    if (GetWindowRect(w, &r) && PtInRect(&r, pt)) {
      top = w;
      break;
    }
  }
  for (HWND w = top; w;) {
    POINT local = pt;
    ScreenToClient(w, &local);
    HWND child = ChildWindowFromPointEx(w, local, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == w) break;
    top = w = child;
  }
  return top;
}

// --- frame ---------------------------------------------------------------------------------

void CScCutFrame::Paint(HDC dc, const RECT& client) const {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (!pen_) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  SelectObject(dc, pen_);
  const POINT line[] = {{client.left + 1, client.top + 1},
                        {client.right - 1, client.top + 1},
                        {client.right - 1, client.bottom - 1},
                        {client.left + 1, client.bottom - 1},
                        {client.left + 1, client.top}};
  Polyline(dc, line, 5);
  RestoreDC(dc, saved);
}

// --- box -----------------------------------------------------------------------------------

CScreenCutBoxDlg::CScreenCutBoxDlg() : fw::Dialog(IDD_SCREENCUT_BOX) {}

CScreenCutBoxDlg::~CScreenCutBoxDlg() { Destroy(); }

bool CScreenCutBoxDlg::CreateBox(HWND parent) {
  parent_ = parent;
  return Create(parent);
}

BOOL CScreenCutBoxDlg::OnInitDialog() {
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                    GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
  // Black is the colour key: all but the frame is see-through.
  SetLayeredWindowAttributes(hwnd_, RGB(0, 0, 0), 255, LWA_COLORKEY);
  black_.reset(CreateSolidBrush(RGB(0, 0, 0)));
  pen_.reset(CreatePen(PS_SOLID, 1, RGB(15, 15, 15)));
  frame_.SetPen(pen_.get());
  SetWindowPos(hwnd_, nullptr, 0, 0, 5, 5, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetTimer(hwnd_, kPulseTimer, kPulseMs, nullptr);
  return FALSE;
}

void CScreenCutBoxDlg::Pulse() {
  pulse_.Tick();
  const int g = pulse_.level;
  fw::UniquePen next(CreatePen(PS_SOLID, 2, RGB(g, g, g)));
  if (!next) return;
  frame_.SetPen(next.get());
  pen_ = std::move(next);
  if (IsVisible()) InvalidateRect(Item(IDC_SCCUT_FRAME), nullptr, FALSE);
}

void CScreenCutBoxDlg::PlaceAround(const RECT& rect) {
  if (!hwnd_) return;
  const cut::Rect r = cut::Normalize(rect.left, rect.top, rect.right, rect.bottom);
  const cut::Rect box = cut::BoxAround(r);
  SetWindowPos(hwnd_, HWND_TOPMOST, box.left, box.top, box.width(), box.height(),
               SWP_NOCOPYBITS | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

bool CScreenCutBoxDlg::GetCutRect(RECT& rect) const {
  if (!IsVisible()) return false;
  RECT box{};
  if (!GetWindowRect(hwnd_, &box)) return false;
  const cut::Rect inside = cut::CutInside(FromRect(box));
  if (inside.empty()) return false;
  rect = ToRect(inside);
  return true;
}

HWND CScreenCutBoxDlg::GetCenterWindow() const {
  if (!hwnd_) return nullptr;
  RECT box{};
  GetWindowRect(hwnd_, &box);
  HWND h = WindowAtPoint({cut::Mid(box.left, box.right), cut::Mid(box.top, box.bottom)}, hwnd_, ignored_);
  for (int i = 0; h && i < 20; ++i) {
    HWND parent = GetParent(h);
    if (!parent) break;
    h = parent;
  }
  return h;
}

bool CScreenCutBoxDlg::ShowFor(UINT milliseconds, const RECT& rect, HWND parent) {
  if (!hwnd_ && !CreateBox(parent)) return false;
  PlaceAround(rect);
  SetTimer(hwnd_, kShowForTimer, milliseconds, nullptr);
  return true;
}

void CScreenCutBoxDlg::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

std::optional<LRESULT> CScreenCutBoxDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      if (wParam == kPulseTimer) {
        Pulse();
      } else if (wParam == kShowForTimer) {
        KillTimer(hwnd_, kShowForTimer);
        Hide();
      }
      return 0;
    case WM_SIZE: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      MoveWindow(Item(IDC_SCCUT_FRAME), 0, 0, client.right, client.bottom, TRUE);
      return std::nullopt;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_SCCUT_FRAME) return std::nullopt;
      frame_.Paint(item->hDC, item->rcItem);
      return TRUE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(black_.get());
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_CROSS));
      return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      // The overlay decides what a click means.
      if (parent_) PostMessageW(parent_, msg, wParam, lParam);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

// --- overlay -------------------------------------------------------------------------------

CScreenCutDlg::CScreenCutDlg(HWND owner) : fw::Dialog(IDD_SCREENCUT), owner_(owner) {}

CScreenCutDlg::~CScreenCutDlg() { Teardown(); }

INT_PTR CScreenCutDlg::Run(RECT& rect, HWND& window) {
  outRect_ = &rect;
  outWindow_ = &window;
  ending_ = false;
  previousForeground_ = GetForegroundWindow();
  if (!Create(owner_)) {
    Trace(L"cut could not start");
    return IDCANCEL;
  }
  const int result = RunModalLoop(0);
  Teardown();
  if (result == IDOK) {
    Trace(L"cut taken rect=" + RectText(rect));
    Sleep(kSettleMs);
    return IDOK;
  }
  Trace(L"cut cancelled");
  return IDCANCEL;
}

void CScreenCutDlg::Teardown() {
  if (hwnd_) {
    KillTimer(hwnd_, kFollowTimer);
    KillTimer(hwnd_, kKindTimer);
    if (GetCapture() == hwnd_) ReleaseCapture();
  }
  box_.Destroy();
  Destroy();
  cursors_.Restore();
}

BOOL CScreenCutDlg::OnInitDialog() {
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW);
  SetLayeredWindowAttributes(hwnd_, 0, 8, LWA_ALPHA);
  white_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  box_.CreateBox(hwnd_);
  box_.SetIgnored(hwnd_);

  const POINT cursor = CursorPoint();
  SetWindowPos(hwnd_, HWND_TOPMOST, cursor.x - kOverlaySize / 2, cursor.y - kOverlaySize / 2, kOverlaySize,
               kOverlaySize, SWP_SHOWWINDOW);
  SetTimer(hwnd_, kFollowTimer, kFollowMs, nullptr);
  cross_ = LoadCursorW(nullptr, IDC_CROSS);
  // Keys reach the overlay only while it is in front.
  SetForegroundWindow(hwnd_);
  SetFocus(hwnd_);
  SetCapture(hwnd_);
  cursors_.Engage(cross_);
  OnStart(cursor);
  Trace(L"cut overlay shown at " + std::to_wstring(cursor.x) + L"," + std::to_wstring(cursor.y));
  return FALSE;
}

bool CScreenCutDlg::PreTranslateMessage(MSG& msg) {
  const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  // An auto-repeat of a key already down when the cut began (the combination that started it)
  // is no new key press.
  const bool repeat = key && (msg.lParam & (1 << 30)) != 0;
  if (key && !repeat) pressedKeys_.push_back(static_cast<int>(msg.wParam));
  if ((key && !repeat) || msg.message == WM_RBUTTONDOWN) PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
  return false;
}

std::optional<LRESULT> CScreenCutDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      if (wParam == kFollowTimer) {
        const POINT p = CursorPoint();
        MoveOverlay(p);
        OnFollow(p);
      } else if (wParam == kKindTimer) {
        OnTimer1();
      }
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(MessagePoint());
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(MessagePoint());
      return 0;
    case WM_MOUSEMOVE: {
      // The move itself is the freshest word on where the cursor is; the timer covers the rest.
      const POINT p = MessagePoint();
      MoveOverlay(p);
      OnMouseMove(p);
      return 0;
    }
    case WM_RBUTTONDOWN:
      // Also the box's forwarded right clicks, which the message loop saw as the box's.
      PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
      return 0;
    case WM_SETCURSOR:
      SetCursor(cross_);
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<LRESULT>(white_.get());
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
      // The session ends under the cut: the cursors must not stay cross-hairs.
      cursors_.Restore();
      PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

void CScreenCutDlg::MoveOverlay(POINT p) {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  if (r.left == p.x - kOverlaySize / 2 && r.top == p.y - kOverlaySize / 2 && IsWindowVisible(hwnd_)) return;
  SetWindowPos(hwnd_, HWND_TOPMOST, p.x - kOverlaySize / 2, p.y - kOverlaySize / 2, kOverlaySize, kOverlaySize,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CScreenCutDlg::PlaceBox(const cut::Rect& r) { box_.PlaceAround(ToRect(r)); }

void CScreenCutDlg::TakeRegion() {
  RECT r{};
  if (box_.GetCutRect(r)) {
    *outRect_ = r;
    *outWindow_ = box_.GetCenterWindow();
    PostMessageW(hwnd_, WM_COMMAND, IDOK, 0);
  } else {
    PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
  }
}

void CScreenCutDlg::OnOK() {
  if (ending_) return;
  ending_ = true;
  OnEnd();
  if (previousForeground_) SetForegroundWindow(previousForeground_);
  EndDialog(IDOK);
}

void CScreenCutDlg::OnCancel() {
  if (ending_) return;
  ending_ = true;
  OnEnd();
  if (previousForeground_) SetForegroundWindow(previousForeground_);
  EndDialog(IDCANCEL);
}

// --- free size -----------------------------------------------------------------------------

void CScreenCutFree::OnStart(POINT) { SetTimer(hwnd_, kKindTimer, kFreeMs, nullptr); }

void CScreenCutFree::OnLButtonDown(POINT at) {
  if (pressed_) return;
  start_ = at;
  pressed_ = true;
  Trace(L"cut start " + std::to_wstring(at.x) + L"," + std::to_wstring(at.y));
}

void CScreenCutFree::OnTimer1() {
  if (!pressed_) return;
  const POINT p = CursorPoint();
  PlaceBox(cut::Normalize(start_.x, start_.y, p.x, p.y));
}

void CScreenCutFree::OnLButtonUp(POINT at) {
  if (!pressed_) return;
  // The region is where the button came up, not where the last tick drew the box.
  PlaceBox(cut::Normalize(start_.x, start_.y, at.x, at.y));
  TakeRegion();
  pressed_ = false;
}

// --- fixed size ----------------------------------------------------------------------------

INT_PTR CScreenCutFix::Run(const RECT& size, RECT& rect, HWND& window) {
  size_ = size;
  return CScreenCutDlg::Run(rect, window);
}

void CScreenCutFix::Follow(POINT at) { PlaceBox(cut::FixedBox(at.x, at.y, size_.right, size_.bottom)); }

void CScreenCutFix::OnLButtonDown(POINT at) {
  Follow(at);
  TakeRegion();
}

// --- target --------------------------------------------------------------------------------

cut::Rect CScreenCutTarget::TargetRect(POINT cursor) const {
  // 3 pixels up and left, off the overlay's square under the cursor.
  HWND h = WindowAtPoint({cursor.x - 3, cursor.y - 3}, hwnd_, box_.hwnd());
  RECT r{};
  if (!h || !GetWindowRect(h, &r)) return {};
  return FromRect(r);
}

void CScreenCutTarget::OnStart(POINT cursor) {
  PlaceBox(TargetRect(cursor));
  SetTimer(hwnd_, kKindTimer, kTargetMs, nullptr);
}

void CScreenCutTarget::OnTimer1() { PlaceBox(TargetRect(CursorPoint())); }

void CScreenCutTarget::OnLButtonDown(POINT at) {
  PlaceBox(TargetRect(at));
  TakeRegion();
}

}  // namespace pelmo
