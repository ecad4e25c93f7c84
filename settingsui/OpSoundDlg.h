// The sound page: per event whether a sound plays and which file; play, stop, browse.
#pragma once

#include "settings/SndProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class COpSoundDlg : public SettingsPage {
 public:
  explicit COpSoundDlg(CSndProfile& sounds);
  void Refresh() override;

  // The file chooser; tests replace it to skip the system dialog. Gives the chosen path or nothing.
  using FileChooser = std::optional<std::wstring> (*)(HWND owner);
  void SetFileChooser(FileChooser chooser) { chooser_ = chooser; }
  // What the real chooser asks the system for: "Waveファイル (*.wav)", "*.wav".
  static std::optional<std::wstring> ChooseWaveFile(HWND owner);

  // The tray's "disable all sounds": toggles the switch and shows it.
  void ToggleAllSoundOff();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowRow(int row);
  void ShowCurrent();
  void EnableFileControls(bool on);
  void ApplyAllOff();

  CSndProfile& sounds_;
  int current_ = 0;
  FileChooser chooser_;
};

}  // namespace pelmo
