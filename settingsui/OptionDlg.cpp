#include "OptionDlg.h"

#include <shellapi.h>

#include "app/AppMessages.h"
#include "framework/App.h"
#include "resources/resource.h"

namespace pelmo {

CdlgOption::CdlgOption(fw::Wnd& mainWindow) : fw::Dialog(IDD_SETTINGS), mainWindow_(mainWindow) {}

BOOL CdlgOption::OnInitDialog() {
  engine_.AttachWindows(hwnd_, mainWindow_.hwnd());
  HINSTANCE inst = fw::App::ResourceInstance();
  auto big = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_WINDOW), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  auto small = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_WINDOW), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  ChangeProfileState(0);
  return TRUE;
}

int CdlgOption::ProfileCount() const {
  const LRESULT n = SendDlgItemMessageW(hwnd_, IDC_PROFILE_SELECTOR, CB_GETCOUNT, 0, 0);
  return n > 0 ? static_cast<int>(n) : -1;
}

std::wstring CdlgOption::ProfileText(int index) const {
  const LRESULT len = SendDlgItemMessageW(hwnd_, IDC_PROFILE_SELECTOR, CB_GETLBTEXTLEN, index, 0);
  if (len == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  SendDlgItemMessageW(hwnd_, IDC_PROFILE_SELECTOR, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(len));
  return text;
}

int CdlgOption::SelectedProfile() const {
  const LRESULT sel = SendDlgItemMessageW(hwnd_, IDC_PROFILE_SELECTOR, CB_GETCURSEL, 0, 0);
  return sel == CB_ERR ? -1 : static_cast<int>(sel);
}

std::vector<std::wstring> CdlgOption::ProfileNames() const {
  std::vector<std::wstring> names;
  for (int i = 0, n = ProfileCount(); i < n; ++i) names.push_back(ProfileText(i));
  return names;
}

void CdlgOption::ChangeProfileState(int loaded) {
  const bool changed = loaded == 0 || profileLoaded_ == 0;
  if (changed) {
    profileLoaded_ = loaded ? 1 : 0;
    for (int id : {IDC_PROFILE_SELECTOR, IDC_PAGE_LIST, IDC_SAVE_PROFILE, IDC_DELETE_PROFILE, IDC_RENAME_PROFILE}) {
      EnableWindow(GetDlgItem(hwnd_, id), profileLoaded_);
    }
    EnableWindow(GetDlgItem(hwnd_, IDC_SETTINGS_OK), loaded != 0);
    DragAcceptFiles(hwnd_, profileLoaded_);
  }
  SendMessageW(mainWindow_.hwnd(), WM_APP_SETINPUTSTATE, 1, loaded);
  SendMessageW(mainWindow_.hwnd(), WM_APP_REFRESHTRAY, 0, 0);
}

void CdlgOption::SaveOnExit(int /*atLogoff*/) {}

void CdlgOption::OnCancel() {
  if (!IsVisible()) return;
  if (profileLoaded_) {
    ShowWindow(hwnd_, SW_HIDE);
    SendMessageW(mainWindow_.hwnd(), WM_APP_SETTINGSCLOSED, 0, 0);
  } else {
    SendMessageW(mainWindow_.hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
  }
}

std::optional<LRESULT> CdlgOption::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_APP_SHOWSETTINGS:
      ShowWindow(hwnd_, SW_SHOW);
      SetForegroundWindow(hwnd_);
      return 1;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SETTINGS_OK && HIWORD(wParam) == BN_CLICKED) {
        PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
        return 0;
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace pelmo
