// Page 0 "全般": the image type with its banner and description, the save folder with its
// history and chooser, and the shell actions on the last captured file.
#pragma once

#include "framework/Handles.h"
#include "settings/GenProfile.h"
#include "settings/SystemSettings.h"
#include "settingsui/SettingsPage.h"

namespace pelmo {

class CScreenShot;

class COpGeneralDlg : public SettingsPage {
 public:
  COpGeneralDlg(CGenProfile& gen, CScreenShot& engine, SystemSettings& system);

  void Refresh() override;
  // The frame calls this whenever it becomes visible with a profile loaded.
  void RefreshLastFile();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void RefillHistory();
  void UpdateBanner();
  void SelectImageType(int type);
  void Browse();
  std::wstring FolderText() const;

  CGenProfile& gen_;
  CScreenShot& engine_;
  SystemSettings& system_;
  fw::UniqueBrush white_;
  fw::UniqueFont descriptionFont_;
  fw::UniqueBitmap banner_;
};

}  // namespace pelmo
