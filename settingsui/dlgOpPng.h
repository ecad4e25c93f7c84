// The PNG page: colour depth and interlacing.
#pragma once

#include "settings/PngProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class CdlgOpPng : public SettingsPage {
 public:
  explicit CdlgOpPng(CPngProfile& png);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  CPngProfile& png_;
};

}  // namespace pelmo
