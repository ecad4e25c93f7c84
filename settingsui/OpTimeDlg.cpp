#include "OpTimeDlg.h"

#include "core/Strings.h"
#include "core/resource.h"
#include "settingsui/PageControls.h"

namespace pelmo {
namespace {

constexpr int kActionCount = 5;  // events 0..4

page::NumberField Interval(HWND page) {
  return {GetDlgItem(page, IDC_TIME_INTERVAL), GetDlgItem(page, IDC_TIME_INTERVAL_SPIN), kIntervalRange, OutOfRange::kClamp};
}

struct Check {
  int id;
  int32_t (CTimeProfile::*get)() const;
  void (CTimeProfile::*set)(int32_t);
};
const Check kChecks[] = {
    {IDC_TIME_SOUND, &CTimeProfile::GetSoundOut, &CTimeProfile::SetSoundOut},
    {IDC_TIME_CAPTURE_START, &CTimeProfile::GetCaptureStart, &CTimeProfile::SetCaptureStart},
    {IDC_TIME_EXIT_NO_ACTIVE, &CTimeProfile::GetExitNoActive, &CTimeProfile::SetExitNoActive},
    {IDC_TIME_TARGET_ONLY, &CTimeProfile::GetTargetOnly, &CTimeProfile::SetTargetOnly},
};

}  // namespace

COpTimeDlg::COpTimeDlg(CTimeProfile& time) : SettingsPage(IDD_OP_TIME), time_(time) {}

BOOL COpTimeDlg::OnInitDialog() {
  HWND combo = Item(IDC_TIME_ACTION);
  for (int i = 0; i < kActionCount; ++i) {
    const std::wstring text = LoadResString(IDS_EVENT_FIRST + i);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  Interval(hwnd_).Setup(5);
  Refresh();
  return TRUE;
}

void COpTimeDlg::Refresh() {
  // An event the list does not hold shows no entry; it stays stored until the user chooses one.
  const int32_t action = time_.GetActionType();
  SendMessageW(Item(IDC_TIME_ACTION), CB_SETCURSEL, static_cast<WPARAM>(action >= 0 && action < kActionCount ? action : -1), 0);
  const int32_t shown = Interval(hwnd_).Show(time_.GetInterval());
  if (shown != time_.GetInterval()) time_.SetInterval(shown);
  for (const Check& c : kChecks) page::SetChecked(Item(c.id), (time_.*c.get)() != 0);
}

bool COpTimeDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_TIME_ACTION && code == CBN_SELCHANGE) {
    const LRESULT sel = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) time_.SetActionType(static_cast<int32_t>(sel));
    return true;
  }
  if (id == IDC_TIME_INTERVAL && code == EN_KILLFOCUS) {
    time_.SetInterval(Interval(hwnd_).Take(time_.GetInterval()));
    return true;
  }
  if (code == BN_CLICKED) {
    for (const Check& c : kChecks) {
      if (static_cast<int>(id) != c.id) continue;
      (time_.*c.set)(page::IsChecked(control) ? 1 : 0);
      return true;
    }
  }
  return false;
}

}  // namespace pelmo
