#include "CreateProfileDlg.h"

#include "core/resource.h"
#include "settings/Profile.h"
#include "settingsui/ProfileNameMessages.h"

namespace pelmo {

CCreateProfileDlg::CCreateProfileDlg(CProfile& profiles, int* created, std::wstring* name, HWND parent)
    : fw::Dialog(IDD_CREATE_PROFILE), profiles_(profiles), created_(created), name_(name), parent_(parent) {
  *created_ = 0;
}

INT_PTR CCreateProfileDlg::Run(int copyAllowed) {
  copyAllowed_ = copyAllowed;
  return DoModal(parent_);
}

BOOL CCreateProfileDlg::OnInitDialog() {
  SendDlgItemMessageW(hwnd_, IDC_NEW_NAME, EM_LIMITTEXT, CProfile::kMaxNameLength, 0);
  EnableWindow(Item(IDC_COPY_CURRENT), copyAllowed_ ? TRUE : FALSE);
  SetFocus(Item(IDC_NEW_NAME));
  return FALSE;
}

void CCreateProfileDlg::OnOK() {
  wchar_t buffer[CProfile::kMaxNameLength + 2] = {};
  GetDlgItemTextW(hwnd_, IDC_NEW_NAME, buffer, static_cast<int>(std::size(buffer)));
  const std::wstring name = buffer;
  if (name.empty()) {
    ShowNameMessage(hwnd_, IDS_NAME_EMPTY);
    return;
  }
  const bool copy = copyAllowed_ && IsDlgButtonChecked(hwnd_, IDC_COPY_CURRENT) == BST_CHECKED;
  const int result = profiles_.CreateProfile(name, copy);
  if (result != CProfile::kNameOk) {
    *created_ = 0;
    ShowNameMessage(hwnd_, ProfileNameMessage(result));
    return;
  }
  *created_ = 1;
  *name_ = name;
  EndDialog(IDOK);
}

}  // namespace pelmo
