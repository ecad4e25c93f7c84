#include "dlgOpPng.h"

#include "core/resource.h"
#include "settings/BmpProfile.h"
#include "settingsui/ColorDepthList.h"
#include "settingsui/PageControls.h"

namespace pelmo {

CdlgOpPng::CdlgOpPng(CPngProfile& png) : SettingsPage(IDD_OP_PNG), png_(png) {}

BOOL CdlgOpPng::OnInitDialog() {
  FillColorDepthList(Item(IDC_PNG_COLOR));
  Refresh();
  return TRUE;
}

void CdlgOpPng::Refresh() {
  // The first entry that begins with the stored depth; a depth no entry begins with (12) shows
  // an empty list rather than a depth that is not stored.
  const int index = FindPrefixEntry(ColorDepthEntries(), std::to_wstring(png_.GetPngColor()), 0);
  SendMessageW(Item(IDC_PNG_COLOR), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  page::SetChecked(Item(IDC_PNG_INTERLACE), png_.GetPngInterlace() != 0);
}

bool CdlgOpPng::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_PNG_COLOR && code == CBN_SELCHANGE) {
    const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) png_.SetPngColor(ColorDepthFromIndex(static_cast<int>(sel)));
    return true;
  }
  if (id == IDC_PNG_INTERLACE && code == BN_CLICKED) {
    png_.SetPngInterlace(page::IsChecked(control) ? 1 : 0);
    return true;
  }
  return false;
}

}  // namespace pelmo
