// The settings window: profile selector, page list and pages. It owns the capture engine (which
// is also the profile manager) and the system settings of setting.ini.
#pragma once

#include <string>
#include <vector>

#include "capture/ScreenShot.h"
#include "convert/OpTransDlg.h"
#include "framework/Dialog.h"
#include "settings/SystemSettings.h"

namespace pelmo {

class CdlgOption : public fw::Dialog {
 public:
  explicit CdlgOption(fw::Wnd& mainWindow);

  CScreenShot& engine() { return engine_; }
  SystemSettings& systemSettings() { return system_; }

  // Profile list access for the tray menu: -1 when the selector is empty.
  int ProfileCount() const;
  std::wstring ProfileText(int index) const;
  int SelectedProfile() const;
  std::vector<std::wstring> ProfileNames() const;
  bool IsProfileLoaded() const { return profileLoaded_ != 0; }

  // The common option "Show": open this window at start-up.
  bool ShowAtStart() const { return engine_.Current().other.GetShow() != 0; }
  // Tray shortcuts into the pages: input-disabled mode, all sounds off, image type.
  void ToggleInputDisabledMode();
  void ToggleAllSoundOff();
  void SelectFormat(int type);

  // Called once when the program ends: saves (asking unless atLogoff) and records the last profile.
  void SaveOnExit(int atLogoff);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ChangeProfileState(int loaded);
  bool LoadWithFallback(std::wstring name);
  void SwitchProfile();
  // True to go on (saved or not), false when the user cancelled.
  bool AskSaveQuestion();
  void RemoveEntry(int index);
  int FindExact(const std::wstring& name) const;
  // Applies what the loaded profile changes in the running program (the pages' refresh).
  void RefreshPages();
  int Ask(UINT stringId, UINT type, const std::wstring& suffix = L"");

  fw::Wnd& mainWindow_;
  CScreenShot engine_;
  SystemSettings system_;
  CdlgOpTrans transPage_{engine_};  // page 12, the conversion tool
  int profileLoaded_ = 0;
};

}  // namespace pelmo
