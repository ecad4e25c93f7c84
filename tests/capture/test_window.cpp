#include "test_window.h"

#include "wine_test_support.h"

namespace pelmo::test {
namespace {
constexpr uint32_t kQuadrants[4] = {0xE02020, 0x20C040, 0x2040E0, 0xF0E020};
constexpr wchar_t kClass[] = L"PelmoTestPattern";
}  // namespace

uint32_t PatternWindow::ColourAt(int x, int y) const {
  return kQuadrants[(y >= height_ / 2 ? 2 : 0) + (x >= width_ / 2 ? 1 : 0)];
}

LRESULT CALLBACK PatternWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (self) {
      for (int q = 0; q < 4; ++q) {
        const int w = self->width_ / 2, h = self->height_ / 2;
        RECT r{(q % 2) * w, (q / 2) * h, (q % 2) ? self->width_ : w, (q / 2) ? self->height_ : h};
        const uint32_t c = kQuadrants[q];
        HBRUSH b = CreateSolidBrush(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        FillRect(dc, &r, b);
        DeleteObject(b);
      }
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

PatternWindow::PatternWindow(int x, int y, int width, int height) : width_(width), height_(height) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClassW(&wc);
  RECT r{0, 0, width, height};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  AdjustWindowRect(&r, style, FALSE);
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST, kClass, L"Pattern", style, x, y, r.right - r.left, r.bottom - r.top,
                          nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(hwnd_, SW_SHOW);
  BringToFront();
}

PatternWindow::~PatternWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

RECT PatternWindow::ClientOnScreen() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  POINT a{r.left, r.top}, b{r.right, r.bottom};
  ClientToScreen(hwnd_, &a);
  ClientToScreen(hwnd_, &b);
  return {a.x, a.y, b.x, b.y};
}

void PatternWindow::BringToFront() {
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  SetFocus(hwnd_);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  PumpFor(300);
}

}  // namespace pelmo::test
