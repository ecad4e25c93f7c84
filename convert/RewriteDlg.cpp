#include "convert/RewriteDlg.h"

#include "core/resource.h"

namespace pelmo {

CdlgRewrite::CdlgRewrite() : fw::Dialog(IDD_CONVERT_OVERWRITE) {}

OverwriteChoice CdlgRewrite::Ask(HWND owner, const std::wstring& text) {
  text_ = text;
  choice_ = OverwriteChoice::kNo;
  DoModal(owner);
  return choice_;
}

BOOL CdlgRewrite::OnInitDialog() {
  SetDlgItemTextW(hwnd_, IDC_OVERWRITE_NAME, text_.c_str());
  SetFocus(Item(IDC_OVERWRITE_ALL));
  return FALSE;  // the focus is set
}

bool CdlgRewrite::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_OVERWRITE_ALL:
      choice_ = OverwriteChoice::kAll;
      break;
    case IDC_OVERWRITE_THIS:
      choice_ = OverwriteChoice::kThis;
      break;
    case IDC_OVERWRITE_NO:
      choice_ = OverwriteChoice::kNo;
      break;
    default:
      return false;
  }
  EndDialog(IDCANCEL);
  return true;
}

}  // namespace pelmo
