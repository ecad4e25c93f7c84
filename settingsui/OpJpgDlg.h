// The JPG page: quality slider and progressive writing.
#pragma once

#include "settings/JpgProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpJpgDlg : public SettingsPage {
 public:
  explicit COpJpgDlg(CJpgProfile& jpg);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowQualityText(int32_t quality);

  CJpgProfile& jpg_;
};

}  // namespace pelmo
