#include "OpGeneralDlg.h"

#include <vector>

#include "capture/ScreenShot.h"
#include "core/AppMessages.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "framework/App.h"
#include "framework/CommonDialogs.h"
#include "settingsui/PageFonts.h"

namespace pelmo {
namespace {

constexpr int kFolderLimit = 4096;

struct ImageTypeArt {
  int bitmap;
  int description;
};
constexpr ImageTypeArt kArt[] = {
    {IDB_BANNER_BMP, IDS_DESC_BMP}, {IDB_BANNER_JPG, IDS_DESC_JPG},
    {IDB_BANNER_GIF, IDS_DESC_GIF}, {IDB_BANNER_PNG, IDS_DESC_PNG},
};

}  // namespace

COpGeneralDlg::COpGeneralDlg(CGenProfile& gen, CScreenShot& engine, SystemSettings& system)
    : SettingsPage(IDD_PAGE_GENERAL), gen_(gen), engine_(engine), system_(system) {}

BOOL COpGeneralDlg::OnInitDialog() {
  for (int t = 0; t < 4; ++t) {
    const std::wstring name = LoadResString(IDS_FORMAT_BMP + t);
    SendDlgItemMessageW(hwnd_, IDC_IMAGE_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendDlgItemMessageW(hwnd_, IDC_SAVE_FOLDER, CB_LIMITTEXT, kFolderLimit, 0);
  white_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  descriptionFont_ = MakePointFont(hwnd_, 70);
  SendDlgItemMessageW(hwnd_, IDC_DESCRIPTION, WM_SETFONT, reinterpret_cast<WPARAM>(descriptionFont_.get()), TRUE);
  return FALSE;
}

void COpGeneralDlg::Refresh() {
  if (!hwnd_) return;
  if (system_.TakeHistoryChanged()) RefillHistory();
  SetDlgItemTextW(hwnd_, IDC_SAVE_FOLDER, gen_.GetSaveFolder().c_str());
  SelectImageType(gen_.GetImageType());
  RefreshLastFile();
}

void COpGeneralDlg::RefreshLastFile() {
  if (!hwnd_) return;
  const std::wstring& last = gen_.GetLastSaveFile();
  SetDlgItemTextW(hwnd_, IDC_LAST_FILE, last.c_str());
  for (int id : {IDC_OPEN_LAST_FOLDER, IDC_OPEN_LAST_FILE, IDC_COPY_LAST_FILE}) EnableWindow(Item(id), !last.empty());
}

void COpGeneralDlg::SelectImageType(int type) {
  SendDlgItemMessageW(hwnd_, IDC_IMAGE_TYPE, CB_SETCURSEL, type >= 0 && type < 4 ? type : -1, 0);
  UpdateBanner();
}

void COpGeneralDlg::UpdateBanner() {
  const int type = gen_.GetImageType();
  fw::UniqueBitmap next;
  std::wstring description = L"\r\n";
  if (type >= 0 && type < 4) {
    next.reset(static_cast<HBITMAP>(
        LoadImageW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(kArt[type].bitmap), IMAGE_BITMAP, 0, 0, 0)));
    description += LoadResString(kArt[type].description);
  }
  // The control shows the new picture before the old one is released.
  SendDlgItemMessageW(hwnd_, IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(next.get()));
  banner_ = std::move(next);
  SetDlgItemTextW(hwnd_, IDC_DESCRIPTION, description.c_str());
}

void COpGeneralDlg::RefillHistory() {
  HWND combo = Item(IDC_SAVE_FOLDER);
  const std::wstring text = FolderText();
  for (LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0); n > 0; --n) SendMessageW(combo, CB_DELETESTRING, n - 1, 0);
  SetWindowTextW(combo, text.c_str());
  std::wstring folder;
  for (size_t i = 0; system_.GetSaveDirectory(i, folder); ++i) {
    SendMessageW(combo, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(folder.c_str()));
  }
}

std::wstring COpGeneralDlg::FolderText() const {
  HWND combo = Item(IDC_SAVE_FOLDER);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(combo)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(combo, text.data(), static_cast<int>(text.size()))));
  return text;
}

void COpGeneralDlg::Browse() {
  const std::optional<std::wstring> folder = fw::ChooseFolder(GetParent(hwnd_), L"保存フォルダの選択", gen_.GetSaveFolder());
  if (!folder || folder->empty()) return;
  gen_.SetSaveFolder(*folder);
  system_.AddSaveDirectory(*folder);
  RefillHistory();
  SetDlgItemTextW(hwnd_, IDC_SAVE_FOLDER, folder->c_str());
}

bool COpGeneralDlg::OnCommand(UINT id, UINT code, HWND) {
  switch (id) {
    case IDC_IMAGE_TYPE:
      if (code != CBN_SELCHANGE) return false;
      gen_.SetImageType(static_cast<int32_t>(SendDlgItemMessageW(hwnd_, IDC_IMAGE_TYPE, CB_GETCURSEL, 0, 0)));
      UpdateBanner();
      return true;
    case IDC_SAVE_FOLDER:
      if (code == CBN_KILLFOCUS) {
        gen_.SetSaveFolder(FolderText());
        RefillHistory();
        return true;
      }
      if (code == CBN_SELCHANGE) {
        // The picked entry moves to the front; SaveFolder follows when the field is left.
        const LRESULT sel = SendDlgItemMessageW(hwnd_, IDC_SAVE_FOLDER, CB_GETCURSEL, 0, 0);
        const LRESULT len = SendDlgItemMessageW(hwnd_, IDC_SAVE_FOLDER, CB_GETLBTEXTLEN, sel, 0);
        if (sel == CB_ERR || len == CB_ERR) return true;
        std::wstring text(static_cast<size_t>(len) + 1, L'\0');
        SendDlgItemMessageW(hwnd_, IDC_SAVE_FOLDER, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(len));
        system_.AddSaveDirectory(text);
        return true;
      }
      return false;
    case IDC_BROWSE_FOLDER:
      if (code == BN_CLICKED) Browse();
      return code == BN_CLICKED;
    case IDC_OPEN_SAVE_FOLDER:
    case IDC_OPEN_LAST_FOLDER:
    case IDC_OPEN_LAST_FILE:
    case IDC_COPY_LAST_FILE: {
      if (code != BN_CLICKED) return false;
      const CaptureEventId event = id == IDC_OPEN_SAVE_FOLDER   ? kEventOpenSaveFolder
                                   : id == IDC_OPEN_LAST_FOLDER ? kEventOpenLastFolder
                                   : id == IDC_OPEN_LAST_FILE   ? kEventOpenLastFile
                                                                : kEventCopyToClipboard;
      engine_.RunHandlerOnly(event);  // a failure is shown as the error balloon
      return true;
    }
    default:
      return false;
  }
}

std::optional<LRESULT> COpGeneralDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_APP_SELECTFORMAT:
      if (wParam > 3) return 0;  // only the four formats the list can show
      gen_.SetImageType(static_cast<int32_t>(wParam));
      SelectImageType(gen_.GetImageType());
      return 1;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != Item(IDC_DESCRIPTION)) return std::nullopt;
      return TransparentStatic(wParam, RGB(50, 50, 50), white_.get());
    default:
      return std::nullopt;
  }
}

}  // namespace pelmo
