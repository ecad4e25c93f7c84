#include "Wnd.h"

namespace fw {
namespace {
constexpr wchar_t kWndProp[] = L"fw.Wnd";
}

Wnd* Wnd::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<Wnd*>(GetPropW(hwnd, kWndProp)) : nullptr;
}

void Wnd::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kWndProp, this);
}

void Wnd::Unbind() {
  if (hwnd_) RemovePropW(hwnd_, kWndProp);
  hwnd_ = nullptr;
}

bool PreTranslateChain(MSG& msg) {
  for (HWND w = msg.hwnd; w != nullptr;) {
    if (Wnd* wnd = Wnd::FromHandle(w)) {
      if (wnd->PreTranslateMessage(msg)) return true;
    }
    // Stop at the top-level window: owners are not part of the chain.
    if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) break;
    w = GetParent(w);
  }
  return false;
}

bool PumpMessage() {
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
    return false;
  }
  if (!PreTranslateChain(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace fw
