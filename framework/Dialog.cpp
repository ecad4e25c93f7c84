#include "Dialog.h"

#include "App.h"

namespace fw {
namespace {

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::~Dialog() { Destroy(); }

bool Dialog::Create(HWND owner) {
  if (hwnd_) return true;
  HWND h = CreateDialogParamW(App::ResourceInstance(), MAKEINTRESOURCEW(templateId_), owner, StaticProc,
                              reinterpret_cast<LPARAM>(this));
  return h != nullptr;
}

INT_PTR Dialog::DoModal(HWND owner) {
  // Like the system's modal dialogs: the owner is disabled while this one runs.
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (!Create(owner)) return -1;
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  const int result = RunModalLoop(MLF_SHOWONIDLE);
  if (ownerWasEnabled) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  Destroy();
  return result;
}

int Dialog::RunModalLoop(DWORD flags) {
  if (!hwnd_) return -1;
  if (flags & MLF_SHOWONIDLE) ShowWindow(hwnd_, SW_SHOWNORMAL);
  inModalLoop_ = true;
  // An EndDialog that came before the loop started (say, a log-off during start-up) still ends it.
  endLoop_ = endRequested_;
  endRequested_ = false;
  while (!endLoop_) {
    if (!PumpMessage()) {
      loopResult_ = IDABORT;
      break;
    }
  }
  inModalLoop_ = false;
  return loopResult_;
}

void Dialog::EndModalLoop(int result) {
  loopResult_ = result;
  endLoop_ = true;
  // Wake the loop in case this was called from outside a message.
  if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void Dialog::EndDialog(int result) {
  if (inModalLoop_) {
    EndModalLoop(result);
  } else {
    endRequested_ = true;
    loopResult_ = result;
  }
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Dialog::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Dialog::PreTranslateMessage(MSG& msg) {
  // Keyboard navigation (Tab, arrows, Enter, Esc) for the top-level dialog of the chain.
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) return false;
  return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->Bind(hwnd);
  } else {
    self = static_cast<Dialog*>(FromHandle(hwnd));
  }
  if (!self) return FALSE;
  const INT_PTR result = self->DialogProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    self->Unbind();
    self->OnDestroyed();
  }
  return result;
}

INT_PTR Dialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return OnInitDialog();
  if (std::optional<LRESULT> r = OnMessage(msg, wParam, lParam)) {
    if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(*r);
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, *r);
    return TRUE;
  }
  if (msg == WM_COMMAND) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (OnCommand(id, code, control)) return TRUE;
    if (id == IDOK && (code == BN_CLICKED || control == nullptr)) {
      OnOK();
      return TRUE;
    }
    if (id == IDCANCEL && (code == BN_CLICKED || control == nullptr)) {
      OnCancel();
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace fw
