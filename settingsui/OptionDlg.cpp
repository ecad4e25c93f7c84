#include "OptionDlg.h"

#include <shellapi.h>

#include "core/AppMessages.h"
#include "framework/App.h"
#include "keyinput/KeyInput.h"
#include "core/Strings.h"
#include "core/resource.h"

namespace pelmo {
namespace {
constexpr int kSelector = IDC_PROFILE_SELECTOR;
}

CdlgOption::CdlgOption(fw::Wnd& mainWindow) : fw::Dialog(IDD_SETTINGS), mainWindow_(mainWindow) {}

BOOL CdlgOption::OnInitDialog() {
  engine_.AttachWindows(hwnd_, mainWindow_.hwnd());
  HINSTANCE inst = fw::App::ResourceInstance();
  auto icon = [inst](int cx, int cy) {
    return reinterpret_cast<LPARAM>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_WINDOW), IMAGE_ICON, cx, cy, LR_SHARED));
  };
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));

  transPage_.Create(hwnd_);
  system_.Load();
  ProfileSearch search;
  std::wstring name;
  for (bool more = engine_.FindFirstProfile(search, name); more; more = engine_.FindNextProfile(search, name)) {
    SendDlgItemMessageW(hwnd_, kSelector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  if (ProfileCount() <= 0) {
    ChangeProfileState(0);
    return TRUE;
  }
  std::wstring start = system_.GetLastProfile();
  int index = start.empty() ? CB_ERR : FindExact(start);
  if (index == CB_ERR) {
    index = 0;
    start = ProfileText(0);
  }
  SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, index, 0);
  LoadWithFallback(start);
  return TRUE;
}

int CdlgOption::ProfileCount() const {
  const LRESULT n = SendDlgItemMessageW(hwnd_, kSelector, CB_GETCOUNT, 0, 0);
  return n > 0 ? static_cast<int>(n) : -1;
}

std::wstring CdlgOption::ProfileText(int index) const {
  const LRESULT len = SendDlgItemMessageW(hwnd_, kSelector, CB_GETLBTEXTLEN, index, 0);
  if (len == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  SendDlgItemMessageW(hwnd_, kSelector, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(len));
  return text;
}

int CdlgOption::SelectedProfile() const {
  const LRESULT sel = SendDlgItemMessageW(hwnd_, kSelector, CB_GETCURSEL, 0, 0);
  return sel == CB_ERR ? -1 : static_cast<int>(sel);
}

std::vector<std::wstring> CdlgOption::ProfileNames() const {
  std::vector<std::wstring> names;
  for (int i = 0, n = ProfileCount(); i < n; ++i) names.push_back(ProfileText(i));
  return names;
}

int CdlgOption::FindExact(const std::wstring& name) const {
  return static_cast<int>(
      SendDlgItemMessageW(hwnd_, kSelector, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str())));
}

int CdlgOption::Ask(UINT stringId, UINT type, const std::wstring& suffix) {
  const std::wstring text = LoadResString(static_cast<int>(stringId)) + suffix;
  return static_cast<int>(SendMessageW(mainWindow_.hwnd(), WM_APP_MESSAGEBOX, reinterpret_cast<WPARAM>(&text), type));
}

void CdlgOption::ChangeProfileState(int loaded) {
  const bool changed = loaded == 0 || profileLoaded_ == 0;
  if (changed) {
    profileLoaded_ = loaded ? 1 : 0;
    for (int id : {kSelector, IDC_PAGE_LIST, IDC_SAVE_PROFILE, IDC_DELETE_PROFILE, IDC_RENAME_PROFILE}) {
      EnableWindow(GetDlgItem(hwnd_, id), profileLoaded_);
    }
    EnableWindow(GetDlgItem(hwnd_, IDC_SETTINGS_OK), loaded != 0);
    DragAcceptFiles(hwnd_, profileLoaded_);
  }
  SendMessageW(mainWindow_.hwnd(), WM_APP_SETINPUTSTATE, 1, loaded);
  SendMessageW(mainWindow_.hwnd(), WM_APP_REFRESHTRAY, 0, 0);
}

bool CdlgOption::LoadWithFallback(std::wstring name) {
  for (;;) {
    engine_.SetCurrentName(name);
    if (engine_.LoadCurrent()) {  // takes the snapshot of the loaded state
      ChangeProfileState(1);
      RefreshPages();
      return true;
    }
    if (ProfileCount() <= 0) break;
    if (SelectedProfile() < 0) SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, 0, 0);
    Ask(IDS_PROFILE_MISSING, MB_OK | MB_ICONEXCLAMATION, L"\n\n削除対象 : " + name);
    RemoveEntry(SelectedProfile());
    const int next = SelectedProfile();
    if (next < 0) break;
    name = ProfileText(next);
  }
  ChangeProfileState(0);
  return false;
}

void CdlgOption::RemoveEntry(int index) {
  const int count = ProfileCount();
  if (index < 0 || index >= count) return;
  SendDlgItemMessageW(hwnd_, kSelector, CB_DELETESTRING, index, 0);
  if (count == 1) return;  // empty now: nothing to select
  SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, index == count - 1 ? index - 1 : index, 0);
}

bool CdlgOption::AskSaveQuestion() {
  if (!profileLoaded_ || engine_.MatchesSnapshot()) return true;
  if (!engine_.Current().other.GetCheckProfileRewrite()) {
    engine_.SaveCurrent();
    return true;
  }
  const int answer = Ask(IDS_ASK_SAVE_PROFILE, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  if (answer == IDYES) engine_.SaveCurrent();
  return true;
}

void CdlgOption::SwitchProfile() {
  const int sel = SelectedProfile();
  if (sel < 0) {
    ChangeProfileState(0);
    return;
  }
  const std::wstring name = ProfileText(sel);
  if (!AskSaveQuestion()) {
    SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, FindExact(engine_.GetCurrentName()), 0);
    return;
  }
  LoadWithFallback(name);
}

void CdlgOption::RefreshPages() {
  // The options page's refresh: the loaded profile chooses the key input source and priority.
  transPage_.Refresh(0);
  COtherProfile& other = engine_.Current().other;
  SwitchKeyInputSource(other.GetGlobalKeyHook() ? kKeyInputHook : kKeyInputPolling);
  other.ApplyPriority();
  if (other.GetStartupShortcutPresent()) {
    COtherProfile::CreateStartupShortcut();
  } else {
    COtherProfile::RemoveStartupShortcut();
  }
}

void CdlgOption::ToggleInputDisabledMode() { engine_.SetInputDisabled(!engine_.IsInputDisabled()); }
void CdlgOption::ToggleAllSoundOff() { engine_.SetAllSoundOff(!engine_.IsAllSoundOff()); }
void CdlgOption::SelectFormat(int type) { engine_.SetImageType(type); }

void CdlgOption::SaveOnExit(int atLogoff) {
  if (profileLoaded_) {
    if (atLogoff) {
      engine_.SaveCurrent();
      engine_.WriteAllCommon();
    } else {
      AskSaveQuestion();
    }
  }
  system_.SetLastProfile(engine_.GetCurrentName());
  system_.Save();
}

void CdlgOption::OnCancel() {
  if (!IsVisible()) return;
  if (profileLoaded_) {
    ShowWindow(hwnd_, SW_HIDE);
    SendMessageW(mainWindow_.hwnd(), WM_APP_SETTINGSCLOSED, 0, 0);
  } else {
    SendMessageW(mainWindow_.hwnd(), WM_COMMAND, IDM_APP_EXIT, 0);
  }
}

bool CdlgOption::OnCommand(UINT id, UINT code, HWND) {
  if (id == kSelector && code == CBN_SELCHANGE) {
    SwitchProfile();
    return true;
  }
  if (id == IDC_SETTINGS_OK && code == BN_CLICKED) {
    PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
    return true;
  }
  return false;
}

std::optional<LRESULT> CdlgOption::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_APP_SHOWSETTINGS:
      ShowWindow(hwnd_, SW_SHOW);
      SetForegroundWindow(hwnd_);
      return 1;
    case WM_DROPFILES:  // to the conversion tool page, which is then shown
      SendMessageW(transPage_.hwnd(), WM_APP_DROPFILES, wParam, 0);
      ShowWindow(transPage_.hwnd(), SW_SHOW);
      DragFinish(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_APP_SELECTPROFILE:
      SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, wParam, 0);
      SwitchProfile();
      return 1;
    default:
      return std::nullopt;
  }
}

}  // namespace pelmo
