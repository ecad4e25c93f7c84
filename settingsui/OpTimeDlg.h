// The automatic-capture page: the event to repeat, the interval and the window rules.
#pragma once

#include "settings/TimeProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpTimeDlg : public SettingsPage {
 public:
  explicit COpTimeDlg(CTimeProfile& time);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  CTimeProfile& time_;
};

}  // namespace pelmo
