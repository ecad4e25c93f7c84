#include "OpBmpDlg.h"

#include "core/resource.h"
#include "settingsui/ColorDepthList.h"

namespace pelmo {

COpBmpDlg::COpBmpDlg(CBmpProfile& bmp) : SettingsPage(IDD_OP_BMP), bmp_(bmp) {}

BOOL COpBmpDlg::OnInitDialog() {
  FillColorDepthList(Item(IDC_BMP_COLOR));
  Refresh();
  return TRUE;
}

void COpBmpDlg::Refresh() {
  // A depth the list does not offer shows as 32 bits; nothing is stored until the user chooses.
  const int index = ColorIndexFromDepth(bmp_.GetBmpColor());
  SendMessageW(Item(IDC_BMP_COLOR), CB_SETCURSEL, static_cast<WPARAM>(index < 0 ? 0 : index), 0);
}

bool COpBmpDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id != IDC_BMP_COLOR || code != CBN_SELCHANGE) return false;
  const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
  if (sel != CB_ERR) bmp_.SetBmpColor(ColorDepthFromIndex(static_cast<int>(sel)));
  return true;
}

}  // namespace pelmo
