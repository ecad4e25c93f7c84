#include "MessageBoxService.h"

#include "AppMessages.h"

namespace pelmo {
namespace {
HWND g_messageBoxWindow = nullptr;
}

void SetMessageBoxWindow(HWND window) { g_messageBoxWindow = window; }
HWND GetMessageBoxWindow() { return g_messageBoxWindow; }

int AskUser(const std::wstring& text, UINT type) {
  if (!g_messageBoxWindow) return 0;
  return static_cast<int>(SendMessageW(g_messageBoxWindow, WM_APP_MESSAGEBOX,
                                       reinterpret_cast<WPARAM>(&text), static_cast<LPARAM>(type)));
}

}  // namespace pelmo
