// The display page: which display the chosen-display capture takes.
#pragma once

#include "settings/DispProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpDispDlg : public SettingsPage {
 public:
  explicit COpDispDlg(CDispProfile& display);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FillList();
  void ShowChosen();

  CDispProfile& display_;
  bool filling_ = false;
};

}  // namespace pelmo
