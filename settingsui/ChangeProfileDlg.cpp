#include "ChangeProfileDlg.h"

#include <string>

#include "core/resource.h"
#include "settings/Profile.h"
#include "settingsui/ProfileNameMessages.h"

namespace pelmo {

CChangeProfileDlg::CChangeProfileDlg(CProfile& profiles, int* renamed, HWND parent)
    : fw::Dialog(IDD_RENAME_PROFILE), profiles_(profiles), renamed_(renamed), parent_(parent) {
  *renamed_ = 0;
}

BOOL CChangeProfileDlg::OnInitDialog() {
  SendDlgItemMessageW(hwnd_, IDC_RENAME_NAME, EM_LIMITTEXT, CProfile::kMaxNameLength, 0);
  SetFocus(Item(IDC_RENAME_NAME));
  return FALSE;
}

void CChangeProfileDlg::OnOK() {
  wchar_t buffer[CProfile::kMaxNameLength + 2] = {};
  GetDlgItemTextW(hwnd_, IDC_RENAME_NAME, buffer, static_cast<int>(std::size(buffer)));
  const std::wstring name = buffer;
  if (name.empty()) {
    ShowNameMessage(hwnd_, IDS_NAME_EMPTY);
    return;
  }
  // A refused name and a rename the file system refused (result 0) both keep the old name.
  const int result = profiles_.RenameProfile(name);
  if (result != CProfile::kNameOk) {
    *renamed_ = 0;
    ShowNameMessage(hwnd_, ProfileNameMessage(result));
    return;
  }
  *renamed_ = 1;
  EndDialog(IDOK);
}

}  // namespace pelmo
