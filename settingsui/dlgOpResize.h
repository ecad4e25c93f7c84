// The size page: optional scaling by percentage or to pixels, with the size templates.
#pragma once

#include "settings/ResizeProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class CdlgOpResize : public SettingsPage {
 public:
  explicit CdlgOpResize(CResizeProfile& resize);
  void Refresh() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  struct Field {
    int edit, spin;
    int32_t (CResizeProfile::*get)() const;
    void (CResizeProfile::*set)(int32_t);
  };
  static const Field kFields[4];

  void ApplyEnabling();
  void ShowField(const Field& f);

  CResizeProfile& resize_;
};

}  // namespace pelmo
