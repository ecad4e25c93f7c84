#include "dlgOpResize.h"

#include "core/resource.h"
#include "settings/TemplateFile.h"
#include "settingsui/PageControls.h"

namespace pelmo {

const CdlgOpResize::Field CdlgOpResize::kFields[4] = {
    {IDC_RESIZE_PER_X, IDC_RESIZE_PER_X_SPIN, &CResizeProfile::GetPercentX, &CResizeProfile::SetPercentX},
    {IDC_RESIZE_PER_Y, IDC_RESIZE_PER_Y_SPIN, &CResizeProfile::GetPercentY, &CResizeProfile::SetPercentY},
    {IDC_RESIZE_PX_X, IDC_RESIZE_PX_X_SPIN, &CResizeProfile::GetPixelsX, &CResizeProfile::SetPixelsX},
    {IDC_RESIZE_PX_Y, IDC_RESIZE_PX_Y_SPIN, &CResizeProfile::GetPixelsY, &CResizeProfile::SetPixelsY},
};

namespace {
page::NumberField SizeField(HWND page, int edit, int spin) {
  return {GetDlgItem(page, edit), GetDlgItem(page, spin), kSizeRange, OutOfRange::kKeepPrevious};
}
}  // namespace

CdlgOpResize::CdlgOpResize(CResizeProfile& resize) : SettingsPage(IDD_OP_RESIZE), resize_(resize) {}

BOOL CdlgOpResize::OnInitDialog() {
  for (const Field& f : kFields) SizeField(hwnd_, f.edit, f.spin).Setup(0);
  HWND combo = Item(IDC_RESIZE_TEMPLATE);
  std::wstring name;
  for (size_t i = 0; TemplateFile::GetSizeTemplateName(i, name); ++i) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  Refresh();
  return TRUE;
}

void CdlgOpResize::ShowField(const Field& f) {
  const int32_t stored = (resize_.*f.get)();
  const int32_t shown = SizeField(hwnd_, f.edit, f.spin).Show(stored);
  if (shown != stored) (resize_.*f.set)(shown);
}

void CdlgOpResize::ApplyEnabling() {
  const bool on = resize_.GetResize() != 0;
  const int32_t type = resize_.GetResizeType();
  const bool percent = on && type == CResizeProfile::kByPercent;
  const bool pixels = on && type == CResizeProfile::kToPixels;
  page::Enable(Item(IDC_RESIZE_BY_PERCENT), on);
  page::Enable(Item(IDC_RESIZE_TO_PIXELS), on);
  SizeField(hwnd_, IDC_RESIZE_PER_X, IDC_RESIZE_PER_X_SPIN).Enable(percent);
  SizeField(hwnd_, IDC_RESIZE_PER_Y, IDC_RESIZE_PER_Y_SPIN).Enable(percent);
  SizeField(hwnd_, IDC_RESIZE_PX_X, IDC_RESIZE_PX_X_SPIN).Enable(pixels);
  SizeField(hwnd_, IDC_RESIZE_PX_Y, IDC_RESIZE_PX_Y_SPIN).Enable(pixels);
  page::Enable(Item(IDC_RESIZE_TEMPLATE), pixels);
}

void CdlgOpResize::Refresh() {
  const int32_t type = resize_.GetResizeType();
  // A type the page does not know checks neither button (and stores nothing).
  page::SetChecked(Item(IDC_RESIZE_BY_PERCENT), type == CResizeProfile::kByPercent);
  page::SetChecked(Item(IDC_RESIZE_TO_PIXELS), type == CResizeProfile::kToPixels);
  for (const Field& f : kFields) ShowField(f);
  page::SetChecked(Item(IDC_RESIZE_ON), resize_.GetResize() != 0);
  ApplyEnabling();
}

bool CdlgOpResize::OnCommand(UINT id, UINT code, HWND control) {
  if (code == BN_CLICKED) {
    switch (id) {
      case IDC_RESIZE_ON:
        resize_.SetResize(page::IsChecked(control) ? 1 : 0);
        ApplyEnabling();
        return true;
      case IDC_RESIZE_BY_PERCENT:
        resize_.SetResizeType(CResizeProfile::kByPercent);
        page::SetChecked(Item(IDC_RESIZE_TO_PIXELS), false);
        ApplyEnabling();
        return true;
      case IDC_RESIZE_TO_PIXELS:
        resize_.SetResizeType(CResizeProfile::kToPixels);
        page::SetChecked(Item(IDC_RESIZE_BY_PERCENT), false);
        ApplyEnabling();
        return true;
      default:
        return false;
    }
  }
  if (code == EN_KILLFOCUS) {
    for (const Field& f : kFields) {
      if (static_cast<int>(id) != f.edit) continue;
      (resize_.*f.set)(SizeField(hwnd_, f.edit, f.spin).Take((resize_.*f.get)()));
      return true;
    }
    return false;
  }
  if (id == IDC_RESIZE_TEMPLATE && code == CBN_SELCHANGE) {
    const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
    int32_t w = 0, h = 0;
    // Entry 0 is the list's caption; the method stays as it is.
    if (sel > 0 && TemplateFile::GetSizeTemplateSize(static_cast<size_t>(sel), w, h)) {
      resize_.SetPixelsX(w);
      resize_.SetPixelsY(h);
      ShowField(kFields[2]);
      ShowField(kFields[3]);
    }
    return true;
  }
  return false;
}

}  // namespace pelmo
