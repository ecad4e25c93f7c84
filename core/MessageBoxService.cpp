#include "MessageBoxService.h"

#include "AppMessages.h"

#include <algorithm>
#include <vector>

namespace pelmo {
namespace {

HWND g_messageBoxWindow = nullptr;
// Sends nest (a question during a question), so a stack of what is being sent.
thread_local std::vector<const void*> t_beingSent;

class BeingSent {
 public:
  BeingSent(std::initializer_list<const void*> addresses) : count_(addresses.size()) {
    t_beingSent.insert(t_beingSent.end(), addresses);
  }
  ~BeingSent() { t_beingSent.resize(t_beingSent.size() - count_); }
  BeingSent(const BeingSent&) = delete;
  BeingSent& operator=(const BeingSent&) = delete;

 private:
  size_t count_;
};

}  // namespace

void SetMessageBoxWindow(HWND window) { g_messageBoxWindow = window; }
HWND GetMessageBoxWindow() { return g_messageBoxWindow; }

int AskUser(const std::wstring& text, UINT type) {
  if (!g_messageBoxWindow) return 0;
  return SendMessageBox(g_messageBoxWindow, text, type);
}

int SendMessageBox(HWND window, const std::wstring& text, UINT type) {
  BeingSent sending{&text};
  return static_cast<int>(SendMessageW(window, WM_APP_MESSAGEBOX, reinterpret_cast<WPARAM>(&text), static_cast<LPARAM>(type)));
}

void SendErrorBalloon(HWND window, const std::wstring& title, const std::wstring& text) {
  BeingSent sending{&title, &text};
  SendMessageW(window, WM_APP_SHOWERROR, reinterpret_cast<WPARAM>(&title), reinterpret_cast<LPARAM>(&text));
}

bool IsAddressBeingSent(const void* address) {
  return address && std::find(t_beingSent.begin(), t_beingSent.end(), address) != t_beingSent.end();
}

}  // namespace pelmo
