// The key field of the key page: an edit control that takes no typed text. While it has the
// focus it is the key input source's window, so the keys and mouse buttons held arrive as
// WM_APP_KEYDOWN and it shows the held combination by name.
#pragma once

#include <windows.h>

#include "framework/Subclass.h"
#include "keyinput/KeyCodeList.h"

namespace pelmo {

class CKeyEdit : public fw::SubclassedWindow {
 public:
  explicit CKeyEdit(int32_t maximum) : codes_(maximum) {}

  int32_t GetCode(size_t i) const { return codes_.GetCode(i); }
  void AddCode(int32_t code) { codes_.AddCode(code); }
  void Clear() { codes_.Clear(); }
  bool IsEmpty() const { return codes_.size() == 0; }
  void UpdateText();

  // Keys that would move the focus, close the window or open a menu never reach the dialog
  // while the field has the focus; they arrive as key codes from the source instead.
  bool PreTranslateMessage(MSG& msg) override;

 protected:
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnKeyCode(int32_t code);

  KeyCodeList codes_;
};

}  // namespace pelmo
