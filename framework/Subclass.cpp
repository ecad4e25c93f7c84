#include "Subclass.h"

#include <commctrl.h>

namespace fw {
namespace {
constexpr UINT_PTR kSubclassId = 0x70656C6D;
}

SubclassedWindow::~SubclassedWindow() { Unsubclass(); }

bool SubclassedWindow::Subclass(HWND control) {
  if (!control || hwnd_ || FromHandle(control)) return false;
  if (!SetWindowSubclass(control, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
  Bind(control);
  return true;
}

void SubclassedWindow::Unsubclass() {
  if (!hwnd_) return;
  RemoveWindowSubclass(hwnd_, Proc, kSubclassId);
  Unbind();
}

LRESULT SubclassedWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<SubclassedWindow*>(ref);
  if (msg == WM_NCDESTROY) {
    const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
    self->Unsubclass();
    return r;
  }
  if (std::optional<LRESULT> r = self->OnMessage(msg, wParam, lParam)) return *r;
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace fw
