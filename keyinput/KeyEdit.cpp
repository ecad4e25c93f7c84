#include "KeyEdit.h"

#include "core/AppMessages.h"
#include "keyinput/KeyInput.h"

namespace pelmo {

void CKeyEdit::UpdateText() {
  if (hwnd_) SetWindowTextW(hwnd_, codes_.Text().c_str());
}

bool CKeyEdit::PreTranslateMessage(MSG& msg) {
  if (msg.hwnd != hwnd_) return false;
  switch (msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_SYSCHAR: case WM_SYSCOMMAND:
    case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

void CKeyEdit::OnKeyCode(int32_t code) {
  POINT cursor{};
  RECT frame{};
  bool inside = false;
  if (GetCursorPos(&cursor) && GetWindowRect(hwnd_, &frame)) {
    // Borders included: the right and bottom edges belong to the field too.
    inside = cursor.x >= frame.left && cursor.x <= frame.right && cursor.y >= frame.top && cursor.y <= frame.bottom;
  }
  if (codes_.OnKeyDown(code, [](int32_t c) { return KeyInputIsKeyHeld(c); }, inside)) UpdateText();
}

std::optional<LRESULT> CKeyEdit::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_APP_KEYDOWN:
      OnKeyCode(static_cast<int32_t>(wParam));
      return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_CHAR: case WM_SYSCHAR: case WM_CONTEXTMENU:
      return 0;
    case WM_SETFOCUS:
      if (KeyInputIsMainHwnd(hwnd_)) return 0;
      KeyInputSetMainHwnd(hwnd_);
      KeyInputSetKeyDownMessage(WM_APP_KEYDOWN);
      KeyInputSetKeyUpMessage(0);
      if (IsEmpty()) SetWindowTextW(hwnd_, L"");  // the prompt goes while keys are awaited
      return std::nullopt;
    case WM_KILLFOCUS:
      if (!KeyInputIsMainHwnd(hwnd_)) return 0;
      KeyInputSetMainHwnd(nullptr);
      return std::nullopt;
    case WM_DESTROY:
      // A field destroyed with the focus must not stay the window keys are posted to.
      if (KeyInputIsMainHwnd(hwnd_)) KeyInputSetMainHwnd(nullptr);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace pelmo
