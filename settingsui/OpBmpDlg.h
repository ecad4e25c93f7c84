// The BMP page: the colour depth of written bitmaps.
#pragma once

#include "settings/BmpProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpBmpDlg : public SettingsPage {
 public:
  explicit COpBmpDlg(CBmpProfile& bmp);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  CBmpProfile& bmp_;
};

}  // namespace pelmo
