#include "OpKeyDlg.h"

#include <imm.h>

#include "core/Strings.h"
#include "core/resource.h"
#include "keyinput/KeyInput.h"
#include "settingsui/PageControls.h"

namespace pelmo {

COpKeyDlg::COpKeyDlg(CKeyProfile& keys) : SettingsPage(IDD_OP_KEY), keys_(keys) {}

BOOL COpKeyDlg::OnInitDialog() {
  field_.Subclass(Item(IDC_KEY_FIELD));
  // Keys reach the field unconverted.
  ImmAssociateContext(Item(IDC_KEY_FIELD), nullptr);
  HWND list = Item(IDC_OP_EVENT_LIST);
  page::SetupReportList(list);
  const std::vector<int> widths = ColumnWidths(page::ListWidth(list), 25, {0.6, 0.4});
  page::AddColumn(list, 0, L"イベント名", widths[0]);
  page::AddColumn(list, 1, L"割り当てキー", widths[1]);
  for (int i = 0; i < kEventCount; ++i) page::InsertRow(list, i, LoadResString(IDS_EVENT_FIRST + i));
  Refresh();
  return TRUE;
}

void COpKeyDlg::ShowRowBinding(int row) {
  std::wstring text;
  keys_.GetBindingText(static_cast<CaptureEventId>(row), text);
  page::SetCell(Item(IDC_OP_EVENT_LIST), row, 1, text);
}

void COpKeyDlg::LoadBinding(int row) {
  field_.Clear();
  for (int32_t code : keys_.GetBinding(static_cast<CaptureEventId>(row))) field_.AddCode(code);
  // The change notification this causes writes nothing back: the field has no focus here, or,
  // with the focus, it writes the same codes sorted (what the field shows is what is stored).
  field_.UpdateText();
}

void COpKeyDlg::Refresh() {
  // Row 0 becomes current first, so the selection's own notification changes nothing.
  current_ = 0;
  page::SelectRow(Item(IDC_OP_EVENT_LIST), 0);
  LoadBinding(0);
  for (int i = 0; i < kEventCount; ++i) ShowRowBinding(i);
}

bool COpKeyDlg::OnCommand(UINT id, UINT code, HWND) {
  if (id == IDC_KEY_FIELD && code == EN_CHANGE) {
    if (KeyInputIsMainHwnd(field_.hwnd())) {
      for (int slot = 0; slot < 3; ++slot) {
        keys_.SetBindingCode(static_cast<CaptureEventId>(current_), slot, field_.GetCode(static_cast<size_t>(slot)));
      }
    }
    ShowRowBinding(current_);
    return true;
  }
  if (id == IDC_KEY_CLEAR && code == BN_CLICKED) {
    for (int slot = 0; slot < 3; ++slot) keys_.SetBindingCode(static_cast<CaptureEventId>(current_), slot, 0);
    field_.Clear();
    field_.UpdateText();
    ShowRowBinding(current_);
    return true;
  }
  return false;
}

std::optional<LRESULT> COpKeyDlg::OnMessage(UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_NOTIFY) return std::nullopt;
  const std::optional<int> row = page::NewlySelectedEventRow(lParam, current_);
  if (!row) return std::nullopt;
  if (*row < 0) return 0;
  current_ = *row;
  LoadBinding(current_);
  return 0;
}

}  // namespace pelmo
