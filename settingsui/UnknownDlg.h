// The quick-start page, shown instead of every other page while no profile exists. Its button
// asks the settings window to create the ready-to-use profile "クイックスタート".
#pragma once

#include "framework/Handles.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class CUnknownDlg : public SettingsPage {
 public:
  static constexpr wchar_t kQuickStartName[] = L"クイックスタート";
  CUnknownDlg();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  fw::UniqueFont titleFont_;
  fw::UniqueFont textFont_;
  fw::UniqueBrush white_;
};

}  // namespace pelmo
