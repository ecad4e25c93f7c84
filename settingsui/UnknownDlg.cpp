#include "UnknownDlg.h"

#include <string>

#include "core/resource.h"
#include "settingsui/PageFonts.h"

namespace pelmo {

CUnknownDlg::CUnknownDlg() : SettingsPage(IDD_PAGE_QUICKSTART) {}

BOOL CUnknownDlg::OnInitDialog() {
  titleFont_ = MakePageFont(hwnd_, 14, true);
  textFont_ = MakePageFont(hwnd_, 12, false);
  white_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  for (int id : {IDC_QS_TITLE, IDC_QS_FIRST_TITLE}) {
    SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), TRUE);
  }
  for (int id : {IDC_QS_TEXT, IDC_QS_FIRST_TEXT}) {
    SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), TRUE);
  }
  return FALSE;
}

bool CUnknownDlg::OnCommand(UINT id, UINT code, HWND) {
  if (id != IDC_QUICK_START || code != BN_CLICKED) return false;
  // The settings window runs the quick start; the name travels along for whoever wants it.
  const std::wstring name = kQuickStartName;
  SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(IDC_QUICK_START, BN_CLICKED),
               reinterpret_cast<LPARAM>(&name));
  return true;
}

std::optional<LRESULT> CUnknownDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_CTLCOLORDLG:
      return reinterpret_cast<LRESULT>(white_.get());
    case WM_CTLCOLORSTATIC:
      return TransparentStatic(wParam, RGB(100, 100, 100), white_.get());
    default:
      return std::nullopt;
  }
}

}  // namespace pelmo
