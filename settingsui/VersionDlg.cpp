#include "VersionDlg.h"

#include <shellapi.h>

#include "core/AppDirectory.h"
#include "core/resource.h"
#include "framework/App.h"
#include "settingsui/PageFonts.h"

namespace pelmo {

CdlgVersion::CdlgVersion() : SettingsPage(IDD_PAGE_VERSION) {}

BOOL CdlgVersion::OnInitDialog() {
  const int size = ScaleForWindow(hwnd_, 48);
  icon_.reset(static_cast<HICON>(
      LoadImageW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(IDI_WINDOW), IMAGE_ICON, size, size, 0)));
  HWND picture = Item(IDC_VERSION_ICON);
  SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
  SetWindowPos(picture, nullptr, 0, 0, size, size, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  bigFont_ = MakePageFont(hwnd_, 14, true);
  smallFont_ = MakePageFont(hwnd_, 12, false);
  white_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  for (int id : {IDC_VERSION_NAME, IDC_VERSION_TEXT}) {
    SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(bigFont_.get()), TRUE);
  }
  for (int id : {IDC_VERSION_LABEL, IDC_VERSION_LABELS, IDC_VERSION_AUTHOR}) {
    SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(smallFont_.get()), TRUE);
  }
  SetDlgItemTextW(hwnd_, IDC_VERSION_TEXT, kVersion);
  return TRUE;
}

bool CdlgVersion::OnCommand(UINT id, UINT code, HWND) {
  if (id != IDC_README || code != BN_CLICKED) return false;
  // Whatever the shell answers (a missing Readme included) is all the user sees.
  const std::wstring readme = GetAppDirectory() + L"Readme.txt";
  ShellExecuteW(nullptr, L"open", readme.c_str(), L"", L"", SW_SHOW);
  return true;
}

std::optional<LRESULT> CdlgVersion::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_CTLCOLORDLG:
      return reinterpret_cast<LRESULT>(white_.get());
    case WM_CTLCOLORSTATIC:
      return TransparentStatic(wParam, RGB(102, 102, 102), white_.get());
    default:
      return std::nullopt;
  }
}

}  // namespace pelmo
