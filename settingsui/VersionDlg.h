// Page 14 "バージョン": the program's name, version and author, and the Readme button.
#pragma once

#include "framework/Handles.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class CdlgVersion : public SettingsPage {
 public:
  static constexpr wchar_t kVersion[] = L"2.2.7";
  CdlgVersion();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  fw::UniqueFont bigFont_;
  fw::UniqueFont smallFont_;
  fw::UniqueBrush white_;
  fw::UniqueIcon icon_;
};

}  // namespace pelmo
