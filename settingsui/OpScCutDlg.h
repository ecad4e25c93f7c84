// The screen-cut page: the size of the fixed-size cut box, with the size templates.
#pragma once

#include "settings/ScreenCutProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpScCutDlg : public SettingsPage {
 public:
  explicit COpScCutDlg(CScreenCutProfile& screenCut);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void ShowSizes();

  CScreenCutProfile& cut_;
};

}  // namespace pelmo
