#include "convert/OpTransDlg.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "capture/ScreenShot.h"
#include "convert/ConvertRules.h"
#include "convert/ConvertRun.h"
#include "convert/DropList.h"
#include "convert/TransImageDlg.h"
#include "core/AppDirectory.h"
#include "core/AppMessages.h"
#include "core/Strings.h"
#include "core/resource.h"
#include "framework/App.h"
#include "framework/Handles.h"

namespace pelmo {
namespace {

// Every path of a drop, whole however long (a cut path would name another file).
std::vector<std::wstring> DroppedPaths(HDROP drop) {
  if (const void* block = GlobalLock(drop)) {
    // A block from another process's allocator may have no size here; the list's end marks it.
    const SIZE_T size = GlobalSize(drop);
    std::optional<std::vector<std::wstring>> names =
        ParseWideDropList(static_cast<const uint8_t*>(block), size ? size : SIZE_MAX);
    GlobalUnlock(drop);
    if (names) return std::move(*names);
  }
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace

CdlgOpTrans::CdlgOpTrans(CScreenShot& screenShot)
    : fw::Dialog(IDD_CONVERT_PAGE),
      screenShot_(screenShot),
      host_(screenShot),
      engine_(screenShot.Current(), host_, GetAppDirectory()) {}

BOOL CdlgOpTrans::OnInitDialog() {
  HWND list = Item(IDC_CONVERT_LIST);
  RECT rc{};
  GetWindowRect(list, &rc);
  const std::wstring heading = LoadResString(IDS_CONVERT_COLUMN);
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = (rc.right - rc.left) - 10;
  column.pszText = const_cast<wchar_t*>(heading.c_str());
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

  // The list destroys its image list with itself (no LVS_SHAREIMAGELISTS): it is the owner.
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 3);
  if (images) {
    HINSTANCE inst = fw::App::ResourceInstance();
    int* slots[] = {&pendingImage_, &doneImage_, &failedImage_};
    const int ids[] = {IDI_CONVERT_PENDING, IDI_CONVERT_DONE, IDI_CONVERT_FAILED};
    for (int i = 0; i < 3; ++i) {
      fw::UniqueIcon icon(static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(ids[i]), IMAGE_ICON, 16, 16, 0)));
      *slots[i] = icon ? ImageList_AddIcon(images, icon.get()) : -1;
    }
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    if (reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)) != images) {
      ImageList_Destroy(images);
    }
  }
  Refresh(0);
  return TRUE;
}

void CdlgOpTrans::Refresh(int commit) {
  if (commit || !hwnd_) return;
  const CTransProfile& trans = screenShot_.Current().translate;
  CheckDlgButton(hwnd_, IDC_CONVERT_USE_FOLDER, trans.GetEnableSaveDirectory() ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextW(hwnd_, IDC_CONVERT_FOLDER, trans.GetSaveDirectory().c_str());
  EnableFolderControls(trans.GetEnableSaveDirectory() != 0);
}

void CdlgOpTrans::EnableFolderControls(bool on) {
  EnableWindow(Item(IDC_CONVERT_FOLDER), on);
  EnableWindow(Item(IDC_CONVERT_BROWSE), on);
}

bool CdlgOpTrans::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_CONVERT_USE_FOLDER:
      OnUseFolderClicked();
      return true;
    case IDC_CONVERT_BROWSE:
      OnBrowse();
      return true;
    case IDC_CONVERT_RUN:
      OnConvert();
      return true;
    case IDC_CONVERT_CLEAR:
      OnClear();
      return true;
    default:
      return false;
  }
}

std::optional<LRESULT> CdlgOpTrans::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_APP_DROPFILES) return OnDropFiles(reinterpret_cast<HDROP>(wParam));
  return std::nullopt;
}

LRESULT CdlgOpTrans::OnDropFiles(HDROP drop) {
  // A drop delivered while a batch runs (messages pass between files) must not change its queue.
  if (running_ || drop == nullptr) return 1;
  if (converted_) OnClear();
  HWND list = Item(IDC_CONVERT_LIST);
  int row = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  const std::vector<std::wstring> paths = DroppedPaths(drop);
  // Without redrawing each row, a drop of thousands of files takes moments.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(row) + paths.size(), LVSICF_NOINVALIDATEALL);
  for (const std::wstring& path : paths) {
    if (!AcceptsDroppedFile(path) || !engine_.Add(path, row)) continue;
    const std::wstring name = FileNamePart(path);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(name.c_str());
    item.iImage = pendingImage_;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ++row;
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  return 1;
}

void CdlgOpTrans::OnUseFolderClicked() {
  const bool on = IsDlgButtonChecked(hwnd_, IDC_CONVERT_USE_FOLDER) == BST_CHECKED;
  screenShot_.Current().translate.SetEnableSaveDirectory(on ? 1 : 0);
  EnableFolderControls(on);
}

void CdlgOpTrans::OnBrowse() {
  fw::ComScope com;
  const std::wstring title = LoadResString(IDS_CONVERT_CHOOSE_FOLDER);
  BROWSEINFOW info{};
  info.hwndOwner = GetParent(hwnd_);
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (chosen == nullptr) return;
  std::wstring path(MAX_PATH * 8, L'\0');
  const bool ok = SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT) != 0;
  CoTaskMemFree(chosen);
  if (!ok) return;
  path.resize(wcslen(path.c_str()));
  screenShot_.Current().translate.SetSaveDirectory(path);
  SetDlgItemTextW(hwnd_, IDC_CONVERT_FOLDER, path.c_str());
}

void CdlgOpTrans::SetRowImage(int row, int image) {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = image;
  SendDlgItemMessageW(hwnd_, IDC_CONVERT_LIST, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CdlgOpTrans::OnConvert() {
  if (running_) return;
  running_ = true;
  CdlgTransImage progress(engine_, DefaultConvertWorkers());
  const std::vector<ConvertMark> marks = progress.Run(GetParent(hwnd_));
  running_ = false;
  HWND list = Item(IDC_CONVERT_LIST);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (const ConvertMark& mark : marks) SetRowImage(mark.row, mark.converted ? doneImage_ : failedImage_);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  converted_ = true;
}

void CdlgOpTrans::OnClear() {
  SendDlgItemMessageW(hwnd_, IDC_CONVERT_LIST, LVM_DELETEALLITEMS, 0, 0);
  engine_.Clear();
  converted_ = false;
}

}  // namespace pelmo
