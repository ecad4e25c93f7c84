// Page 13 "オプション": the OTHER switches, the process priority, the start-up shortcut, the key
// input source and the options all profiles share. Priority, shortcut and key source act at once.
#pragma once

#include "settings/OtherProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpOtherDlg : public SettingsPage {
 public:
  explicit COpOtherDlg(COtherProfile& other);

  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetCheck(int id, int32_t value);
  int32_t Checked(int id) const;
  // Creates or removes the shortcut; the box then shows whether it is really there.
  void ApplyShortcut(bool wanted);
  void ApplyKeySource();
  void ShowPriority();

  COtherProfile& other_;
};

}  // namespace pelmo
