// Works the settings window of a running PELMO from another process, through its controls by id:
// clicks, selections, typed text and focus changes, and the message boxes the program shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "wine_test_support.h"

namespace pelmo::test {

bool WaitUntil(const std::function<bool()>& condition, DWORD ms = 10000);
// Text of a window of another process (WM_GETTEXT, which the system carries across).
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);

// A message box of the program: its window and the texts of its statics.
struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring text;
};
// The visible message box of the process (a #32770 window captioned with the application name).
MessageBoxSeen FindMessageBox(DWORD pid);
MessageBoxSeen WaitForMessageBox(DWORD pid, DWORD ms = 10000);
// Presses one of its buttons (IDYES, IDNO, IDOK, ...) and waits until the box is gone.
bool Answer(const MessageBoxSeen& box, int buttonId);
// A visible top-level dialog of the process with exactly this caption.
HWND FindDialog(DWORD pid, const std::wstring& caption);
HWND WaitForDialog(DWORD pid, const std::wstring& caption, DWORD ms = 10000);

class SettingsDriver {
 public:
  explicit SettingsDriver(PelmoProcess& pelmo) : pelmo_(pelmo) {}

  // Starts the program and waits for the settings window (visible when `visible`).
  bool Start(bool visible = true);
  DWORD pid() { return pelmo_.process().pid(); }
  HWND main() const { return main_; }
  HWND frame() const { return frame_; }
  HWND Item(int id) const { return GetDlgItem(frame_, id); }
  // The page (a child dialog of the frame) that holds the control.
  HWND Page(int controlId) const;
  bool PageVisible(int controlId) const;
  HWND PageItem(int pageControlId, int id) const { return GetDlgItem(Page(pageControlId), id); }

  std::vector<std::wstring> Entries() const;
  int Selected() const;
  std::wstring SelectedName() const;

  // Posted, so a message box the action opens does not block the driver.
  void Click(HWND button) const;
  void ChooseProfile(int index) const;
  void ChooseInCombo(HWND combo, int index) const;
  void SetChecked(HWND box, bool checked) const;
  // Types text into an edit field (or a combo's edit field).
  void Type(HWND edit, const std::wstring& text) const;
  // Moves the keyboard focus to a control of the window (as Tab or a click would).
  void Focus(HWND control) const;
  // A key posted to the focused control, as the keyboard would send it.
  void Key(HWND control, WPARAM vk) const;
  // Waits until the program is idle (all posted input handled).
  void Settle(DWORD extraMs = 300);
  LRESULT Send(HWND window, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

  std::wstring ProfileFile(const std::wstring& name) const { return pelmo_.path(L"Profile\\" + name + L".ini"); }
  std::wstring IniValue(const std::wstring& file, const std::wstring& section, const std::wstring& key) const;

 private:
  PelmoProcess& pelmo_;
  HWND main_ = nullptr;
  HWND frame_ = nullptr;
};

// Writes common.ini with these shared options (before the program starts).
bool WriteCommonIni(const std::wstring& programFolder, int show, int checkProfileRewrite = 1, int disableInput = 0);

}  // namespace pelmo::test
