#include "OpScCutDlg.h"

#include "core/resource.h"
#include "settings/TemplateFile.h"
#include "settingsui/PageControls.h"

namespace pelmo {
namespace {
page::NumberField Width(HWND page) {
  return {GetDlgItem(page, IDC_SCCUT_X), GetDlgItem(page, IDC_SCCUT_X_SPIN), kSizeRange, OutOfRange::kKeepPrevious};
}
page::NumberField Height(HWND page) {
  return {GetDlgItem(page, IDC_SCCUT_Y), GetDlgItem(page, IDC_SCCUT_Y_SPIN), kSizeRange, OutOfRange::kKeepPrevious};
}
}  // namespace

COpScCutDlg::COpScCutDlg(CScreenCutProfile& screenCut) : SettingsPage(IDD_OP_SCREENCUT), cut_(screenCut) {}

BOOL COpScCutDlg::OnInitDialog() {
  Width(hwnd_).Setup(10);
  Height(hwnd_).Setup(10);
  HWND combo = Item(IDC_SCCUT_TEMPLATE);
  std::wstring name;
  for (size_t i = 0; TemplateFile::GetSizeTemplateName(i, name); ++i) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  Refresh();
  return TRUE;
}

void COpScCutDlg::ShowSizes() {
  const int32_t w = Width(hwnd_).Show(cut_.GetFixSizeX());
  if (w != cut_.GetFixSizeX()) cut_.SetFixSizeX(w);
  const int32_t h = Height(hwnd_).Show(cut_.GetFixSizeY());
  if (h != cut_.GetFixSizeY()) cut_.SetFixSizeY(h);
}

void COpScCutDlg::Refresh() {
  ShowSizes();
  SendMessageW(Item(IDC_SCCUT_TEMPLATE), CB_SETCURSEL, 0, 0);
}

bool COpScCutDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (code == EN_KILLFOCUS && id == IDC_SCCUT_X) {
    cut_.SetFixSizeX(Width(hwnd_).Take(cut_.GetFixSizeX()));
    return true;
  }
  if (code == EN_KILLFOCUS && id == IDC_SCCUT_Y) {
    cut_.SetFixSizeY(Height(hwnd_).Take(cut_.GetFixSizeY()));
    return true;
  }
  if (id == IDC_SCCUT_TEMPLATE && code == CBN_SELCHANGE) {
    const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
    int32_t w = 0, h = 0;
    if (sel > 0 && TemplateFile::GetSizeTemplateSize(static_cast<size_t>(sel), w, h)) {
      cut_.SetFixSizeX(w);
      cut_.SetFixSizeY(h);
      ShowSizes();
    }
    return true;
  }
  return false;
}

}  // namespace pelmo
