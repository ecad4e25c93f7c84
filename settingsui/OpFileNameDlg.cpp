#include "OpFileNameDlg.h"

#include "core/resource.h"
#include "settingsui/PageControls.h"

namespace pelmo {
namespace {

struct NumberBox {
  int edit, spin;
  NumberRange range;
  int textLimit;  // the length of the upper bound in decimal; 0 = none
  int32_t (CNameProfile::*get)() const;
  void (CNameProfile::*set)(int32_t);
};

const NumberBox kNumbers[] = {
    {IDC_NAME_WINDOW_LENGTH, IDC_NAME_WINDOW_LENGTH_SPIN, kWindowNameRange, 3, &CNameProfile::GetWindowNameLength,
     &CNameProfile::SetWindowNameLength},
    {IDC_NAME_START, IDC_NAME_START_SPIN, kStartNumberRange, 10, &CNameProfile::GetStartNumber, &CNameProfile::SetStartNumber},
    {IDC_NAME_DIGITS, IDC_NAME_DIGITS_SPIN, kDigitCountRange, 2, &CNameProfile::GetDigitCount, &CNameProfile::SetDigitCount},
    {IDC_NAME_INCREMENT, IDC_NAME_INCREMENT_SPIN, kIncrementRange, 0, &CNameProfile::GetIncreasingNumber,
     &CNameProfile::SetIncreasingNumber},
};

page::NumberField FieldOf(HWND page, const NumberBox& n) {
  return {GetDlgItem(page, n.edit), GetDlgItem(page, n.spin), n.range, OutOfRange::kClamp};
}

constexpr int kTemplateLimit = 250;

}  // namespace

COpFileNameDlg::COpFileNameDlg(CNameProfile& name) : SettingsPage(IDD_OP_FILENAME), name_(name) {}

// The display holds only the box's handle, never the page, so a section that outlives the page
// (or a page destroyed after the section) is safe either way.
void COpFileNameDlg::OnDestroyed() { name_.SetNextNumberDisplay(nullptr); }

BOOL COpFileNameDlg::OnInitDialog() {
  SendMessageW(Item(IDC_NAME_TEMPLATE), EM_LIMITTEXT, kTemplateLimit, 0);
  for (const NumberBox& n : kNumbers) FieldOf(hwnd_, n).Setup(n.textLimit);
  HWND next = Item(IDC_NAME_NEXT);
  name_.SetNextNumberDisplay([next](int32_t value) { page::SetNumber(next, value); });
  Refresh();
  return TRUE;
}

void COpFileNameDlg::ShowNext() { page::SetNumber(Item(IDC_NAME_NEXT), name_.GetCurrentNumber()); }

void COpFileNameDlg::Refresh() {
  page::SetText(Item(IDC_NAME_TEMPLATE), name_.GetFileName());
  for (const NumberBox& n : kNumbers) {
    const int32_t stored = (name_.*n.get)();
    const int32_t shown = FieldOf(hwnd_, n).Show(stored);
    if (shown != stored) (name_.*n.set)(shown);
  }
  ShowNext();
}

bool COpFileNameDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_NAME_RESET && code == BN_CLICKED) {
    name_.SetCurrentNumber(NextNumberAfterReset(name_.GetStartNumber()));
    ShowNext();
    return true;
  }
  if (code != EN_KILLFOCUS) return false;
  if (id == IDC_NAME_TEMPLATE) {
    name_.SetFileName(page::GetText(control));  // checked when a capture uses it
    return true;
  }
  for (const NumberBox& n : kNumbers) {
    if (static_cast<int>(id) != n.edit) continue;
    const int32_t old = (name_.*n.get)();
    const int32_t value = FieldOf(hwnd_, n).Take(old);
    (name_.*n.set)(value);
    if (n.edit == IDC_NAME_INCREMENT && value != old) {
      name_.SetCurrentNumber(
          NextNumberAfterIncrementChange(name_.GetCurrentNumber(), name_.GetStartNumber(), old, value));
      ShowNext();
    }
    return true;
  }
  return false;
}

}  // namespace pelmo
