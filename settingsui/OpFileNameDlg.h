// The file-name page: the template, the running number with its next value, and the legend.
#pragma once

#include "settings/NameProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpFileNameDlg : public SettingsPage {
 public:
  explicit COpFileNameDlg(CNameProfile& name);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  void OnDestroyed() override;

 private:
  void ShowNext();

  CNameProfile& name_;
};

}  // namespace pelmo
