#include "OptionDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "convert/OpTransDlg.h"
#include "core/AppMessages.h"
#include "core/MessageBoxService.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "framework/App.h"
#include "settingsui/ChangeProfileDlg.h"
#include "settingsui/CreateProfileDlg.h"
#include "settingsui/OpBmpDlg.h"
#include "settingsui/OpDispDlg.h"
#include "settingsui/OpFileNameDlg.h"
#include "settingsui/OpGeneralDlg.h"
#include "settingsui/OpJpgDlg.h"
#include "settingsui/OpKeyDlg.h"
#include "settingsui/OpScCutDlg.h"
#include "settingsui/OpSoundDlg.h"
#include "settingsui/OpTimeDlg.h"
#include "settingsui/dlgOpGif.h"
#include "settingsui/dlgOpPng.h"
#include "settingsui/dlgOpResize.h"
#include "settingsui/OpOtherDlg.h"
#include "settingsui/PageFonts.h"
#include "settingsui/UnknownDlg.h"
#include "settingsui/VersionDlg.h"

namespace pelmo {
namespace {

constexpr int kSelector = IDC_PROFILE_SELECTOR;
// Pages sit at this client position (pixels at 96 DPI, scaled with the window's DPI).
constexpr POINT kPageOrigin{128, 68};
constexpr int kListColumnWidth = 104;
constexpr int kListRowHeight = 25;
constexpr int kMargin = 8;

// The page list's rows, in page order.
constexpr const wchar_t* kPageNames[CdlgOption::kPageCount] = {
    L"全般", L"ファイル名", L"キー", L"サウンド", L"BMP", L"JPG", L"GIF", L"PNG",
    L"サイズ", L"スクリーンカット", L"ディスプレイ", L"自動撮影", L"ツール", L"オプション", L"バージョン",
};

// The page last chosen through the page list (process-wide, as the list is).
int g_pageIndex = -1;

}  // namespace

CdlgOption::CdlgOption(fw::Wnd& mainWindow) : fw::Dialog(IDD_SETTINGS), mainWindow_(mainWindow) { BuildPageTable(); }

CdlgOption::~CdlgOption() = default;

void CdlgOption::BuildPageTable() {
  ProfileSectionSet& profile = engine_.Current();
  auto general = std::make_unique<COpGeneralDlg>(profile.gen, engine_, system_);
  general_ = general.get();
  pages_ = {
      Slot(std::move(general)),                          // 0 全般
      Slot(std::make_unique<COpFileNameDlg>(profile.name)),  // 1 ファイル名
      Slot(std::make_unique<COpKeyDlg>(profile.key)),        // 2 キー
      Slot(std::make_unique<COpSoundDlg>(profile.sound)),    // 3 サウンド
      Slot(std::make_unique<COpBmpDlg>(profile.bmp)),        // 4 BMP
      Slot(std::make_unique<COpJpgDlg>(profile.jpg)),        // 5 JPG
      Slot(std::make_unique<CdlgOpGif>(profile.gif)),        // 6 GIF
      Slot(std::make_unique<CdlgOpPng>(profile.png)),        // 7 PNG
      Slot(std::make_unique<CdlgOpResize>(profile.resize)),  // 8 サイズ
      Slot(std::make_unique<COpScCutDlg>(profile.screenCut)),  // 9 スクリーンカット
      Slot(std::make_unique<COpDispDlg>(profile.display)),   // 10 ディスプレイ
      Slot(std::make_unique<COpTimeDlg>(profile.time)),      // 11 自動撮影
      Slot(std::make_unique<CdlgOpTrans>(engine_)),      // 12 ツール
      Slot(std::make_unique<COpOtherDlg>(profile.other)),  // 13 オプション
      PageSlot{std::make_unique<CdlgVersion>(), {}},     // 14 バージョン
  };
  quickStart_ = std::make_unique<CUnknownDlg>();
}

HWND CdlgOption::PageWindow(int index) const {
  if (index < 0 || index >= kPageCount) return quickStart_ ? quickStart_->hwnd() : nullptr;
  const PageSlot& slot = pages_[static_cast<size_t>(index)];
  return slot.page ? slot.page->hwnd() : nullptr;
}

BOOL CdlgOption::OnInitDialog() {
  engine_.AttachWindows(hwnd_, mainWindow_.hwnd());
  HINSTANCE inst = fw::App::ResourceInstance();
  auto icon = [inst](int cx, int cy) {
    return static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_WINDOW), IMAGE_ICON, cx, cy, 0));
  };
  bigIcon_.reset(icon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
  smallIcon_.reset(icon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  white_.reset(CreateSolidBrush(RGB(255, 255, 255)));

  InitPageList();
  selectorFont_ = MakePageFont(hwnd_, 14, true);
  SendDlgItemMessageW(hwnd_, kSelector, WM_SETFONT, reinterpret_cast<WPARAM>(selectorFont_.get()), TRUE);
  CreatePages();
  LayOut();

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
  if (index == CB_ERR) index = 0;
  start = ProfileText(index);  // the listed spelling of the name
  SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, index, 0);
  LoadWithFallback(start);
  return TRUE;
}

void CdlgOption::InitPageList() {
  HWND list = Item(IDC_PAGE_LIST);
  listFont_ = MakePageFont(hwnd_, 13, true);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
  // A one-pixel-wide image list only to give every row its height.
  const int rowHeight = ScaleForWindow(hwnd_, kListRowHeight);
  pageImages_ = ImageList_Create(1, rowHeight, ILC_COLORDDB, 1, 0);
  if (pageImages_) {
    fw::UniqueBitmap row(static_cast<HBITMAP>(
        LoadImageW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(IDB_PAGELIST), IMAGE_BITMAP, 1, rowHeight, 0)));
    if (row) ImageList_Add(pageImages_, row.get(), nullptr);
    ListView_SetImageList(list, pageImages_, LVSIL_SMALL);
  }
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = 0;
  ListView_InsertColumn(list, 0, &column);
  column.cx = ScaleForWindow(hwnd_, kListColumnWidth);
  ListView_InsertColumn(list, 1, &column);
  ListView_SetTextColor(list, RGB(102, 102, 102));
  ListView_SetTextBkColor(list, RGB(255, 255, 255));
  ListView_SetBkColor(list, RGB(255, 255, 255));
  for (int i = 0; i < kPageCount; ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertItem(list, &item);
    ListView_SetItemText(list, i, 1, const_cast<wchar_t*>(kPageNames[i]));
  }
}

void CdlgOption::CreatePages() {
  const int x = ScaleForWindow(hwnd_, kPageOrigin.x), y = ScaleForWindow(hwnd_, kPageOrigin.y);
  auto place = [&](fw::Dialog& page) {
    page.Create(hwnd_);
    SetWindowPos(page.hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(page.hwnd(), SW_HIDE);
  };
  place(*quickStart_);
  for (auto& slot : pages_) place(*slot.page);
  ShowPage(kPageGeneral);
}

void CdlgOption::LayOut() {
  // The frame holds the largest page; the page list reaches down to the page area's bottom, with
  // "新規作成" under it and "OK" at the bottom right.
  const int x = ScaleForWindow(hwnd_, kPageOrigin.x), y = ScaleForWindow(hwnd_, kPageOrigin.y);
  const int margin = ScaleForWindow(hwnd_, kMargin);
  int pageWidth = 0, pageHeight = 0;
  for (int i = -1; i < kPageCount; ++i) {
    RECT r{};
    if (!GetWindowRect(PageWindow(i), &r)) continue;
    pageWidth = std::max<int>(pageWidth, r.right - r.left);
    pageHeight = std::max<int>(pageHeight, r.bottom - r.top);
  }
  auto clientRect = [this](int id) {
    RECT r{};
    GetWindowRect(Item(id), &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const RECT list = clientRect(IDC_PAGE_LIST);
  const RECT newButton = clientRect(IDC_NEW_PROFILE);
  const RECT okButton = clientRect(IDC_SETTINGS_OK);
  const RECT rename = clientRect(IDC_RENAME_PROFILE);
  const int buttonTop = y + pageHeight + margin;
  const int clientWidth = std::max<int>(x + pageWidth + margin, rename.right + margin);
  const int clientHeight = buttonTop + (okButton.bottom - okButton.top) + margin;

  // The list reaches to just before the pages; its names column takes the whole row, so the
  // longest name ("スクリーンカット") is not cut at larger fonts.
  const int listWidth = x - list.left - ScaleForWindow(hwnd_, 2);
  MoveWindow(Item(IDC_PAGE_LIST), list.left, y, listWidth, pageHeight, FALSE);
  RECT listClient{};
  GetClientRect(Item(IDC_PAGE_LIST), &listClient);
  ListView_SetColumnWidth(Item(IDC_PAGE_LIST), 1,
                          std::max<int>(ScaleForWindow(hwnd_, kListColumnWidth), listClient.right));
  MoveWindow(Item(IDC_NEW_PROFILE), list.left, buttonTop, listWidth, newButton.bottom - newButton.top, FALSE);
  const int okWidth = okButton.right - okButton.left;
  MoveWindow(Item(IDC_SETTINGS_OK), clientWidth - margin - okWidth, buttonTop, okWidth, okButton.bottom - okButton.top,
             FALSE);

  const RECT rule = clientRect(IDC_FRAME_RULE);
  MoveWindow(Item(IDC_FRAME_RULE), rule.left, rule.top, clientWidth - 2 * rule.left, 1, FALSE);

  RECT window{}, client{};
  GetWindowRect(hwnd_, &window);
  GetClientRect(hwnd_, &client);
  SetWindowPos(hwnd_, nullptr, 0, 0, (window.right - window.left) - client.right + clientWidth,
               (window.bottom - window.top) - client.bottom + clientHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CdlgOption::ShowPage(int index) {
  for (int i = -1; i < kPageCount; ++i) {
    if (HWND page = PageWindow(i)) ShowWindow(page, SW_HIDE);
  }
  if (HWND page = PageWindow(index)) ShowWindow(page, SW_SHOW);
}

void CdlgOption::RefreshPages() {
  for (auto& slot : pages_) {
    if (slot.refresh) slot.refresh();
  }
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
  return static_cast<int>(SendDlgItemMessageW(hwnd_, kSelector, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(name.c_str())));
}

int CdlgOption::Ask(UINT stringId, UINT type, const std::wstring& suffix) {
  const std::wstring text = LoadResString(static_cast<int>(stringId)) + suffix;
  return SendMessageBox(mainWindow_.hwnd(), text, type);
}

void CdlgOption::ChangeProfileState(int loaded) {
  const bool changed = loaded == 0 || profileLoaded_ == 0;
  if (changed) {
    profileLoaded_ = loaded ? 1 : 0;
    ShowPage(profileLoaded_ ? kPageGeneral : -1);
    for (int id : {kSelector, IDC_PAGE_LIST, IDC_SAVE_PROFILE, IDC_DELETE_PROFILE, IDC_RENAME_PROFILE}) {
      EnableWindow(Item(id), profileLoaded_);
    }
    EnableWindow(Item(IDC_SETTINGS_OK), loaded != 0);
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

int CdlgOption::AddEntry(const std::wstring& name) {
  // The selector is sorted: the new entry goes where the order puts it.
  const int index = static_cast<int>(
      SendDlgItemMessageW(hwnd_, kSelector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str())));
  SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, index, 0);
  return index;
}

void CdlgOption::RemoveEntry(int index) {
  const int count = ProfileCount();
  if (index < 0 || index >= count) return;
  SendDlgItemMessageW(hwnd_, kSelector, CB_DELETESTRING, index, 0);
  if (count == 1) return;  // empty now: nothing to select
  SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, index == count - 1 ? index - 1 : index, 0);
}

bool CdlgOption::SaveWithMessage() {
  if (engine_.SaveCurrent()) return true;
  std::wstring path;
  engine_.GetProfilePath(path);
  Ask(IDS_PROFILE_SAVE_FAILED, MB_OK | MB_ICONERROR, L"\n\n" + path);
  return false;
}

bool CdlgOption::AskSaveQuestion() {
  if (!profileLoaded_ || engine_.MatchesSnapshot()) return true;
  if (engine_.Current().other.GetCheckProfileRewrite()) {
    const int answer = Ask(IDS_ASK_SAVE_PROFILE, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    if (answer != IDYES) return true;
  }
  // Edits that could not be written stay in the window, where "保存" can try again.
  return SaveWithMessage();
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
    SendMessageW(mainWindow_.hwnd(), WM_APP_REFRESHTRAY, 0, 0);
    return;
  }
  LoadWithFallback(name);
}

void CdlgOption::ToggleInputDisabledMode() {
  if (HWND page = PageWindow(kPageOptions)) SendMessageW(page, WM_COMMAND, IDM_INPUT_DISABLED, 0);
}

void CdlgOption::ToggleAllSoundOff() {
  // The sound page flips the switch, so its check box never shows a stale value; before the
  // window exists there is no page to show it.
  if (HWND page = PageWindow(kPageSound)) {
    SendMessageW(page, WM_COMMAND, IDM_SOUNDS_OFF, 0);
  } else {
    engine_.SetAllSoundOff(!engine_.IsAllSoundOff());
  }
}

void CdlgOption::SelectFormat(int type) {
  if (HWND page = PageWindow(kPageGeneral)) SendMessageW(page, WM_APP_SELECTFORMAT, static_cast<WPARAM>(type), 0);
}

void CdlgOption::SaveOnExit(int atLogoff) {
  if (profileLoaded_) {
    bool save = true;  // at log-off without a question
    if (!atLogoff) {
      if (engine_.MatchesSnapshot()) {
        save = false;
      } else if (engine_.Current().other.GetCheckProfileRewrite()) {
        save = Ask(IDS_ASK_SAVE_PROFILE, MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES;  // Cancel only skips saving
      }
    }
    // A failed write is told; the user may try again (say, after freeing the disk) or go on.
    while (save && !engine_.SaveCurrent()) {
      save = Ask(IDS_PROFILE_SAVE_FAILED_EXIT, MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY;
    }
    if (atLogoff) engine_.WriteAllCommon();
  }
  system_.SetLastProfile(engine_.GetCurrentName());
  while (!system_.Save()) {
    if (Ask(IDS_SETTINGS_SAVE_FAILED, MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY) break;
  }
}

void CdlgOption::OnNewProfile() {
  int created = 0;
  std::wstring name;
  CCreateProfileDlg dialog(engine_, &created, &name, hwnd_);
  dialog.Run(profileLoaded_);
  if (!created) return;
  AddEntry(name);
  SwitchProfile();
}

void CdlgOption::OnSaveProfile() {
  if (!SaveWithMessage()) return;
  engine_.TakeSnapshot();
  Ask(IDS_PROFILE_SAVED, MB_ICONINFORMATION);
}

void CdlgOption::OnDeleteProfile() {
  const int sel = SelectedProfile();
  if (sel < 0) return;
  if (Ask(IDS_ASK_DELETE_PROFILE, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  engine_.DeleteCurrentProfile();
  RemoveEntry(sel);
  SwitchProfile();
}

void CdlgOption::OnRenameProfile() {
  int renamed = 0;
  CChangeProfileDlg dialog(engine_, &renamed, hwnd_);
  dialog.Run();
  if (!renamed) return;
  // Sorted: the renamed entry moves to where its new name belongs, and stays selected.
  const int sel = SelectedProfile();
  if (sel >= 0) SendDlgItemMessageW(hwnd_, kSelector, CB_DELETESTRING, sel, 0);
  AddEntry(engine_.GetCurrentName());
  SendMessageW(mainWindow_.hwnd(), WM_APP_REFRESHTRAY, 0, 0);
}

void CdlgOption::OnQuickStart() {
  const std::wstring name = CUnknownDlg::kQuickStartName;
  // 1, or -4 when such a file exists already: then that file is loaded as it is.
  if (engine_.CreateProfile(name, false) == CProfile::kNameWriteFailed) {
    Ask(IDS_PROFILE_WRITE_FAILED, MB_OK | MB_ICONERROR);
    return;
  }
  const int existing = FindExact(name);
  if (existing >= 0) {
    SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, existing, 0);
  } else {
    AddEntry(name);
  }
  SwitchProfile();
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
  if (id == kSelector) {
    if (code == CBN_SELCHANGE) SwitchProfile();
    return code == CBN_SELCHANGE;
  }
  void (CdlgOption::*action)() = nullptr;
  switch (id) {
    case IDC_NEW_PROFILE: action = &CdlgOption::OnNewProfile; break;
    case IDC_SAVE_PROFILE: action = &CdlgOption::OnSaveProfile; break;
    case IDC_DELETE_PROFILE: action = &CdlgOption::OnDeleteProfile; break;
    case IDC_RENAME_PROFILE: action = &CdlgOption::OnRenameProfile; break;
    case IDC_QUICK_START: action = &CdlgOption::OnQuickStart; break;
    case IDC_SETTINGS_OK:
      if (code == BN_CLICKED && IsVisible()) PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
      return code == BN_CLICKED;
    default:
      return false;
  }
  if (code != BN_CLICKED) return false;
  if (!IsVisible()) return true;
  // Key input stays off while a dialog or question of the window is up.
  SendMessageW(mainWindow_.hwnd(), WM_APP_SETINPUTSTATE, 1, 0);
  (this->*action)();
  SendMessageW(mainWindow_.hwnd(), WM_APP_SETINPUTSTATE, 1, profileLoaded_);
  return true;
}

std::optional<LRESULT> CdlgOption::OnCtlColor(WPARAM dc, HWND control) {
  HWND selector = Item(kSelector);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  GetComboBoxInfo(selector, &info);
  if (control != selector && control != info.hwndItem && control != info.hwndList) return std::nullopt;
  return TransparentStatic(dc, RGB(102, 102, 102), white_.get());
}

std::optional<LRESULT> CdlgOption::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_APP_SHOWSETTINGS:
      ShowWindow(hwnd_, SW_SHOW);
      SetForegroundWindow(hwnd_);
      return 1;
    case WM_APP_SELECTPROFILE: {
      // An index the list does not have changes nothing (a stale tray command, say).
      if (static_cast<int>(wParam) >= ProfileCount()) return 0;
      // The profile being edited chosen again: as in the selector, nothing happens (a reload
      // would drop its unsaved edits).
      if (profileLoaded_ && static_cast<int>(wParam) == SelectedProfile() &&
          ProfileText(static_cast<int>(wParam)) == engine_.GetCurrentName()) {
        return 1;
      }
      SendDlgItemMessageW(hwnd_, kSelector, CB_SETCURSEL, wParam, 0);
      SwitchProfile();
      return 1;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != IDC_PAGE_LIST || header->code != LVN_ITEMCHANGED) return std::nullopt;
      const int row = ListView_GetNextItem(header->hwndFrom, -1, LVNI_SELECTED);
      if (row >= 0 && row != g_pageIndex) {
        ShowPage(row);
        g_pageIndex = row;
      }
      return 0;
    }
    case WM_DROPFILES:
      // Files are accepted only while a profile is loaded.
      if (!profileLoaded_) {
        DragFinish(reinterpret_cast<HDROP>(wParam));
        return 0;
      }
      // To the conversion tool page, which is shown; the page list keeps its row.
      if (HWND tool = PageWindow(kPageTool)) SendMessageW(tool, WM_APP_DROPFILES, wParam, 0);
      ShowPage(kPageTool);
      DragFinish(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_SHOWWINDOW:
      if (wParam && profileLoaded_ && general_) general_->RefreshLastFile();
      return std::nullopt;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      return OnCtlColor(wParam, reinterpret_cast<HWND>(lParam));
    default:
      return std::nullopt;
  }
}

bool CdlgOption::PreTranslateMessage(MSG& msg) {
  // Enter and Esc inside a page belong to the page, whose OK and Cancel do nothing; only on the
  // frame's own controls does Esc close the window. (The system's dialog navigation would pass
  // them from a page up to the frame.)
  const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR;
  const bool enterOrEsc = key && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
  if (enterOrEsc && InsidePage(msg.hwnd)) {
    const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;  // a dropped list closes, say
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
      // Enter on a focused button of the page presses it.
      SendMessageW(GetParent(msg.hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                   reinterpret_cast<LPARAM>(msg.hwnd));
    }
    return true;
  }
  return fw::Dialog::PreTranslateMessage(msg);
}

bool CdlgOption::InsidePage(HWND window) const {
  for (int i = -1; i < kPageCount; ++i) {
    HWND page = PageWindow(i);
    if (page && (page == window || IsChild(page, window))) return true;
  }
  return false;
}

}  // namespace pelmo
