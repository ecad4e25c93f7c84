// The settings window: profile selector, page list and pages. It owns the capture engine, which
// the main window uses for every capture.
#pragma once

#include <string>
#include <vector>

#include "capture/ScreenShot.h"
#include "framework/Dialog.h"

namespace pelmo {

class CdlgOption : public fw::Dialog {
 public:
  explicit CdlgOption(fw::Wnd& mainWindow);

  CScreenShot& engine() { return engine_; }

  // Profile list access for the tray menu: -1 when the selector is empty.
  int ProfileCount() const;
  std::wstring ProfileText(int index) const;
  int SelectedProfile() const;
  std::vector<std::wstring> ProfileNames() const;
  bool IsProfileLoaded() const { return profileLoaded_ != 0; }

  // The common option "Show": open this window at start-up.
  bool ShowAtStart() const { return false; }
  // Tray shortcuts into the pages: input-disabled mode, all sounds off, image type.
  void ToggleInputDisabledMode() { engine_.SetInputDisabled(!engine_.IsInputDisabled()); }
  void ToggleAllSoundOff() { engine_.SetAllSoundOff(!engine_.IsAllSoundOff()); }
  void SelectFormat(int type) { engine_.SetImageType(type); }

  // Called once when the program ends: saves (asking unless atLogoff) and records the last profile.
  void SaveOnExit(int atLogoff);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ChangeProfileState(int loaded);

  fw::Wnd& mainWindow_;
  CScreenShot engine_;
  int profileLoaded_ = 0;
};

}  // namespace pelmo
