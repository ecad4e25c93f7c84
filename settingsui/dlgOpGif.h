// The GIF page: interlacing and the transparent and background colours with their swatches.
#pragma once

#include "framework/Handles.h"
#include "settings/GifProfile.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class CdlgOpGif : public SettingsPage {
 public:
  explicit CdlgOpGif(CGifProfile& gif);
  void Refresh() override;

  // The colour chooser; tests replace it to skip the system dialog. Gets the owner and the colour
  // to start from (always black), gives the chosen colour or nothing on cancel.
  using ColorChooser = std::optional<COLORREF> (*)(HWND owner, COLORREF initial);
  void SetColorChooser(ColorChooser chooser) { chooser_ = chooser; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void EnableTransparentGroup(bool on);
  void EnableBackgroundGroup(bool on);
  void ShowColors();
  void ChooseColor(bool background);

  CGifProfile& gif_;
  COLORREF transparentPacked_ = 0;
  COLORREF backgroundPacked_ = 0;
  fw::UniqueBrush swatchBrush_;
  ColorChooser chooser_;
};

}  // namespace pelmo
