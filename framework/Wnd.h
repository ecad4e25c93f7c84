// The framework layer the program's windows are built on.
//
// Handler convention: a window class overrides OnMessage(msg, wParam, lParam) and returns a value
// when it handled the message (that value is the message's result) or std::nullopt to let the
// default handling run. Dialogs additionally get OnInitDialog, OnCommand, OnOK and OnCancel.
// PreTranslateMessage is called by the framework's message loops for the window a message is
// posted to and each of its parents up to the top-level window, before the message is dispatched.
#pragma once

#include <windows.h>

#include <optional>

namespace fw {

class Wnd {
 public:
  Wnd() = default;
  virtual ~Wnd() = default;
  Wnd(const Wnd&) = delete;
  Wnd& operator=(const Wnd&) = delete;

  HWND hwnd() const { return hwnd_; }
  bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }
  bool IsVisible() const { return hwnd_ != nullptr && ::IsWindowVisible(hwnd_); }

  // The wrapper bound to a window, or null for windows the framework does not know.
  static Wnd* FromHandle(HWND hwnd);

  // Return true when the message was consumed and must not be dispatched.
  virtual bool PreTranslateMessage(MSG& msg) { return false; }

 protected:
  virtual std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return std::nullopt; }

  void Bind(HWND hwnd);
  void Unbind();

  HWND hwnd_ = nullptr;
};

// Runs the PreTranslateMessage chain for a message: true when a window consumed it.
bool PreTranslateChain(MSG& msg);

// Gets and dispatches one message through the chain; false when WM_QUIT arrived (it is re-posted
// so outer loops end too).
bool PumpMessage();

}  // namespace fw
