#include "CommonDialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "Handles.h"

#include <algorithm>

namespace fw {

std::optional<COLORREF> ChooseColour(HWND owner, COLORREF initial) {
  static COLORREF custom[16] = {};  // kept between calls, as users expect of this chooser
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = owner;
  cc.rgbResult = initial;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&cc)) return std::nullopt;
  return cc.rgbResult;
}

std::optional<std::wstring> ChooseOpenFile(HWND owner, const wchar_t* filter, const std::wstring& initialPath) {
  std::vector<wchar_t> buf(32768, L'\0');  // long paths
  initialPath.copy(buf.data(), std::min(initialPath.size(), buf.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size());
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return std::wstring(buf.data());
}

namespace {
int CALLBACK FolderCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}
}  // namespace

std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder) {
  ComScope com;
  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.lpszTitle = title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  bi.lpfn = FolderCallback;
  bi.lParam = initialFolder.empty() ? 0 : reinterpret_cast<LPARAM>(initialFolder.c_str());
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
  if (!pidl) return std::nullopt;
  std::vector<wchar_t> path(32768, L'\0');
  const BOOL ok = SHGetPathFromIDListEx(pidl, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
  CoTaskMemFree(pidl);
  if (!ok) return std::nullopt;
  return std::wstring(path.data());
}

}  // namespace fw
