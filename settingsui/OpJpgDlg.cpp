#include "OpJpgDlg.h"

#include <commctrl.h>

#include "core/resource.h"
#include "settingsui/PageControls.h"

namespace pelmo {

COpJpgDlg::COpJpgDlg(CJpgProfile& jpg) : SettingsPage(IDD_OP_JPG), jpg_(jpg) {}

BOOL COpJpgDlg::OnInitDialog() {
  HWND slider = Item(IDC_JPG_QUALITY);
  SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  SendMessageW(slider, TBM_SETTICFREQ, 25, 0);
  Refresh();
  return TRUE;
}

void COpJpgDlg::ShowQualityText(int32_t quality) {
  page::SetText(Item(IDC_JPG_QUALITY_TEXT), std::to_wstring(quality) + L"%");
}

void COpJpgDlg::Refresh() {
  // The slider cannot show a hand-edited 150; the text shows the stored value as it is.
  SendMessageW(Item(IDC_JPG_QUALITY), TBM_SETPOS, TRUE, jpg_.GetJpgCompression());
  ShowQualityText(jpg_.GetJpgCompression());
  page::SetChecked(Item(IDC_JPG_PROGRESSIVE), jpg_.GetJpgProgression() != 0);
}

bool COpJpgDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id != IDC_JPG_PROGRESSIVE || code != BN_CLICKED) return false;
  jpg_.SetJpgProgression(page::IsChecked(control) ? 1 : 0);
  return true;
}

std::optional<LRESULT> COpJpgDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_HSCROLL || reinterpret_cast<HWND>(lParam) != Item(IDC_JPG_QUALITY)) return std::nullopt;
  const auto pos = static_cast<int32_t>(SendMessageW(Item(IDC_JPG_QUALITY), TBM_GETPOS, 0, 0));
  jpg_.SetJpgCompression(pos);
  ShowQualityText(pos);
  return 0;
}

}  // namespace pelmo
