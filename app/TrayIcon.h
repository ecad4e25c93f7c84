// The notification-area icon: its record, icon choice, tooltip and balloons.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace pelmo {

// What the icon and tooltip show; gathered by the main window each time.
struct TrayStatus {
  bool profileLoaded = false;
  bool autoCaptureRunning = false;
  bool inputDisabled = false;
  std::wstring caption;      // the main window's caption
  std::wstring profileName;  // the selected profile, empty when none
};

// Tooltip: caption + " - " + profile, cut to 127 characters.
std::wstring BuildTrayTip(const TrayStatus& status);
// Icon resource for the state: 207 without a profile or with input disabled, 206 while
// automatic capture runs, 205 otherwise.
UINT ChooseTrayIcon(const TrayStatus& status);

class TrayIcon {
 public:
  TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Each call that can fail reports through onFailure (message 107 and a close request).
  bool Add(HWND owner, const TrayStatus& status);
  void Update(const TrayStatus& status, bool retry);
  BOOL Refresh(const TrayStatus& status);
  bool Remove();
  BOOL ShowBalloon(const TrayStatus& status, const std::wstring& text, const std::wstring& title,
                   UINT timeout, DWORD iconFlag);
  // After the shell restarted ("TaskbarCreated"): the old icon is gone; add it again.
  bool Readd(const TrayStatus& status);

  bool added() const { return added_; }
  // A failure was reported and a close requested: the one close the main window honours.
  bool failed() const { return failed_; }
  const NOTIFYICONDATAW& record() const { return data_; }

 private:
  // Shell_NotifyIconW with the shell's time-outs retried every 100 ms; false on other errors.
  bool NotifyWithRetry(DWORD message);
  void ReportFailure();
  void SetTip(const TrayStatus& status);
  void SetIcon(const TrayStatus& status);
  void TraceState(const wchar_t* what) const;

  NOTIFYICONDATAW data_{};
  bool added_ = false;
  bool failed_ = false;
  UINT iconId_ = 0;
};

}  // namespace pelmo
