#include "OpOtherDlg.h"

#include <commctrl.h>

#include "core/Trace.h"
#include "core/resource.h"
#include "keyinput/KeyInput.h"

namespace pelmo {

COpOtherDlg::COpOtherDlg(COtherProfile& other) : SettingsPage(IDD_PAGE_OTHER), other_(other) {}

BOOL COpOtherDlg::OnInitDialog() {
  SendDlgItemMessageW(hwnd_, IDC_PRIORITY, TBM_SETRANGE, TRUE, MAKELPARAM(0, 4));
  SendDlgItemMessageW(hwnd_, IDC_PRIORITY, TBM_SETTICFREQ, 5, 0);
  return FALSE;
}

void COpOtherDlg::SetCheck(int id, int32_t value) { CheckDlgButton(hwnd_, id, value ? BST_CHECKED : BST_UNCHECKED); }

int32_t COpOtherDlg::Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED ? 1 : 0; }

void COpOtherDlg::ApplyShortcut(bool wanted) {
  if (wanted) {
    COtherProfile::CreateStartupShortcut();
  } else {
    COtherProfile::RemoveStartupShortcut();
  }
  std::wstring path;
  const bool present = COtherProfile::GetStartupShortcutPath(&path, nullptr) &&
                       GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  other_.SetStartupShortcutPresent(present ? 1 : 0);
  SetCheck(IDC_STARTUP_SHORTCUT, other_.GetStartupShortcutPresent());
  Trace(std::wstring(L"startup shortcut ") + (present ? L"present" : L"absent"));
}

void COpOtherDlg::ApplyKeySource() {
  const int32_t mode = other_.GetGlobalKeyHook() ? kKeyInputHook : kKeyInputPolling;
  SwitchKeyInputSource(mode);
  Trace(std::wstring(L"key source ") + (mode == kKeyInputHook ? L"hook" : L"polling"));
}

void COpOtherDlg::ShowPriority() {
  std::wstring name;
  other_.GetPriorityName(name);
  SetDlgItemTextW(hwnd_, IDC_PRIORITY_NAME, name.c_str());
  other_.ApplyPriority();
}

void COpOtherDlg::Refresh() {
  if (!hwnd_) return;
  ApplyShortcut(other_.GetStartupShortcutPresent() != 0);
  SetCheck(IDC_SHOW_AT_START, other_.GetShow());
  SetCheck(IDC_DISABLE_INPUT, other_.GetDisableInputMode());
  SetCheck(IDC_CHECK_PROFILE_REWRITE, other_.GetCheckProfileRewrite());
  SetCheck(IDC_CHECK_REWRITE, other_.GetCheckRewrite());
  SetCheck(IDC_CUT_CLIENT, other_.GetCutClient());
  SetCheck(IDC_CAPTURE_CURSOR, other_.GetCaptureCursor());
  SetCheck(IDC_GLOBAL_KEY_HOOK, other_.GetGlobalKeyHook());
  ApplyKeySource();
  SendDlgItemMessageW(hwnd_, IDC_PRIORITY, TBM_SETPOS, TRUE, other_.GetPriority());
  ShowPriority();
}

bool COpOtherDlg::OnCommand(UINT id, UINT code, HWND) {
  if (id == IDM_INPUT_DISABLED) {  // the tray command and event 14, through the main window
    other_.SetDisableInputMode(other_.GetDisableInputMode() ? 0 : 1);
    SetCheck(IDC_DISABLE_INPUT, other_.GetDisableInputMode());
    return true;
  }
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_CHECK_REWRITE: other_.SetCheckRewrite(Checked(id)); return true;
    case IDC_CUT_CLIENT: other_.SetCutClient(Checked(id)); return true;
    case IDC_CAPTURE_CURSOR: other_.SetCaptureCursor(Checked(id)); return true;
    case IDC_SHOW_AT_START: other_.SetShow(Checked(id)); return true;
    case IDC_CHECK_PROFILE_REWRITE: other_.SetCheckProfileRewrite(Checked(id)); return true;
    case IDC_DISABLE_INPUT: other_.SetDisableInputMode(Checked(id)); return true;
    case IDC_STARTUP_SHORTCUT: ApplyShortcut(Checked(id) != 0); return true;
    case IDC_GLOBAL_KEY_HOOK:
      other_.SetGlobalKeyHook(Checked(id));
      ApplyKeySource();
      return true;
    default:
      return false;
  }
}

std::optional<LRESULT> COpOtherDlg::OnMessage(UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_HSCROLL || reinterpret_cast<HWND>(lParam) != Item(IDC_PRIORITY)) return std::nullopt;
  other_.SetPriority(static_cast<int32_t>(SendDlgItemMessageW(hwnd_, IDC_PRIORITY, TBM_GETPOS, 0, 0)));
  ShowPriority();
  return 0;
}

}  // namespace pelmo
