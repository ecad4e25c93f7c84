// Dialogs created from .rc templates, modeless or modal, with a framework-run modal loop so that
// PreTranslateMessage works inside modal dialogs too.
#pragma once

#include "Wnd.h"

namespace fw {

// Flags of RunModalLoop.
inline constexpr DWORD MLF_NOIDLEMSG = 0x1;
inline constexpr DWORD MLF_NOKICKIDLE = 0x2;
inline constexpr DWORD MLF_SHOWONIDLE = 0x4;

class Dialog : public Wnd {
 public:
  explicit Dialog(UINT templateId) : templateId_(templateId) {}
  ~Dialog() override;

  UINT templateId() const { return templateId_; }

  // Modeless: creates the window (hidden unless the template says WS_VISIBLE).
  bool Create(HWND owner);
  // Modal: disables the owner, runs the loop until EndDialog, destroys the window.
  INT_PTR DoModal(HWND owner);

  // Runs a message loop until EndModalLoop/EndDialog. MLF_SHOWONIDLE shows the window first; the
  // loop sends no idle messages, so MLF_NOKICKIDLE and MLF_NOIDLEMSG hold in any case.
  int RunModalLoop(DWORD flags);
  void EndModalLoop(int result);
  bool InModalLoop() const { return inModalLoop_; }

  // Ends the modal loop (if one runs) with the result and hides the window.
  void EndDialog(int result);
  void Destroy();

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  bool PreTranslateMessage(MSG& msg) override;

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Command from a control or menu; true when handled. IDOK/IDCANCEL reach OnOK/OnCancel when
  // this returns false.
  virtual bool OnCommand(UINT id, UINT code, HWND control) { return false; }
  // Called after the window is gone (WM_NCDESTROY).
  virtual void OnDestroyed() {}

 private:
  static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);

  UINT templateId_;
  bool inModalLoop_ = false;
  bool endLoop_ = false;
  bool endRequested_ = false;
  int loopResult_ = 0;
};

}  // namespace fw
