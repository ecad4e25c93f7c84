// The hidden main window: owns the tray icon and menu and the settings window, gates key events
// and timer ticks, and turns key events into capture events on the engine.
#pragma once

#include <cstdint>
#include <string>

#include "app/TrayIcon.h"
#include "app/TrayMenu.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "settingsui/OptionDlg.h"

namespace pelmo {

class CScreenShot;

class CTessikDlg : public fw::Dialog {
 public:
  CTessikDlg();

  void BindKeyInput();
  void OpenSettingsWindow();
  void ShutdownController(int atLogoff);

  CdlgOption& settingsWindow() { return settings_; }

 protected:
  BOOL OnInitDialog() override;
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  // Enter and Esc reach a dialog as IDOK and IDCANCEL; neither may end the program.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  LRESULT OnKeyDown(WPARAM code);
  LRESULT OnKeyUp(WPARAM code);
  LRESULT OnStepProfile(WPARAM next);
  LRESULT OnMessageBox(WPARAM textAddress, LPARAM type);
  LRESULT OnShowError(WPARAM titleAddress, LPARAM textAddress);
  LRESULT OnTrayNotify(LPARAM mouseMessage);
  LRESULT OnClose();
  static void OnHookFallback(void* self);
  void ShowHookFallbackBalloon();
  void OnTimer(UINT_PTR id);
  void ToggleInputDisabledMode();
  void ShowTrayMenu();
  void RefreshTrayMenu();
  TrayStatus CurrentTrayStatus() const;
  bool SettingsVisible() const { return settings_.IsVisible(); }

  TrayIcon tray_;
  CScreenShot* engine_ = nullptr;
  TrayMenu trayMenu_;
  int32_t keyGate_ = 1;
  int32_t idleGate_ = 1;
  int32_t inKeyDown_ = 0;
  CdlgOption settings_;
  UINT taskbarCreated_ = 0;
  bool hookFallbackPending_ = false;  // reported once the tray icon is there
  fw::UniqueHook messageFilter_;     // drops posted pointer messages (see TessikDlg.cpp)
};

}  // namespace pelmo
