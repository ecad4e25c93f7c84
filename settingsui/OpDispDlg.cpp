#include "OpDispDlg.h"

#include "core/resource.h"
#include "settingsui/PageControls.h"

namespace pelmo {

COpDispDlg::COpDispDlg(CDispProfile& display) : SettingsPage(IDD_OP_DISPLAY), display_(display) {}

BOOL COpDispDlg::OnInitDialog() {
  HWND list = Item(IDC_DISPLAY_LIST);
  page::SetupReportList(list);
  page::AddColumn(list, 0, L"ディスプレイ", page::ListWidth(list) - 10);
  FillList();
  Refresh();
  return TRUE;
}

void COpDispDlg::FillList() {
  HWND list = Item(IDC_DISPLAY_LIST);
  // Filling selects nothing, but the list reports its changes all the same.
  filling_ = true;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  struct Ctx {
    HWND list;
    int row;
  } ctx{list, 0};
  display_.ForEachDisplay(
      [](int32_t, const DisplayPair& pair, void* user) {
        auto* c = static_cast<Ctx*>(user);
        page::InsertRow(c->list, c->row++, CDispProfile::GetDisplayText(pair));
        return 1;
      },
      &ctx);
  filling_ = false;
}

void COpDispDlg::ShowChosen() {
  page::SetText(Item(IDC_DISPLAY_CHOSEN),
                CDispProfile::GetDisplayText({display_.GetDisplayName(), display_.GetDeviceName()}));
}

void COpDispDlg::Refresh() { ShowChosen(); }

bool COpDispDlg::OnCommand(UINT id, UINT code, HWND) {
  if (id != IDC_DISPLAY_REFRESH || code != BN_CLICKED) return false;
  FillList();
  return true;
}

std::optional<LRESULT> COpDispDlg::OnMessage(UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_NOTIFY) return std::nullopt;
  const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (hdr->idFrom != IDC_DISPLAY_LIST || hdr->code != LVN_ITEMCHANGED) return std::nullopt;
  if (filling_) return 0;
  const int row = static_cast<int>(SendMessageW(hdr->hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return 0;
  if (std::optional<DisplayPair> pair = display_.GetDisplay(static_cast<size_t>(row))) {
    display_.SetChosenDisplay(*pair);
    ShowChosen();
  }
  return 0;
}

}  // namespace pelmo
