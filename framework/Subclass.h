// A control of a dialog taken over by a C++ object: its messages reach OnMessage first.
#pragma once

#include "Wnd.h"

namespace fw {

class SubclassedWindow : public Wnd {
 public:
  ~SubclassedWindow() override;
  // Takes over the control; false when it is already taken or does not exist.
  bool Subclass(HWND control);
  void Unsubclass();

 protected:
  // The control's own handling, for messages OnMessage wants to pass on after looking at them.
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR ref);
};

}  // namespace fw
