// Window messages between the program's windows. The numbers are fixed: the hook library posts
// the key messages by number, and WM_APP_DROPFILES shares WM_APP+10 with WM_APP_MESSAGEBOX.
#pragma once

namespace pelmo {

inline constexpr unsigned kWmApp = 0x8000;

inline constexpr unsigned WM_APP_TRAYNOTIFY = kWmApp + 1;       // shell -> main window
inline constexpr unsigned WM_APP_SETTINGSCLOSED = kWmApp + 2;   // settings window -> main window
inline constexpr unsigned WM_APP_SHOWSETTINGS = kWmApp + 3;     // main window -> settings window
inline constexpr unsigned WM_APP_KEYDOWN = kWmApp + 4;          // key source -> registered window
inline constexpr unsigned WM_APP_KEYUP = kWmApp + 5;
inline constexpr unsigned WM_APP_SETINPUTSTATE = kWmApp + 8;    // settings window -> main window
inline constexpr unsigned WM_APP_STEPPROFILE = kWmApp + 9;      // events 15, 16 -> main window
inline constexpr unsigned WM_APP_MESSAGEBOX = kWmApp + 10;      // anyone -> main window
inline constexpr unsigned WM_APP_SHOWERROR = kWmApp + 11;       // engine -> main window
inline constexpr unsigned WM_APP_REFRESHICON = kWmApp + 12;     // automatic capture -> main window
inline constexpr unsigned WM_APP_REFRESHTRAY = kWmApp + 13;     // settings window -> main window
inline constexpr unsigned WM_APP_DROPFILES = kWmApp + 10;       // settings window -> conversion page
inline constexpr unsigned WM_APP_SELECTFORMAT = kWmApp + 0x32;  // main window -> general page
inline constexpr unsigned WM_APP_SELECTPROFILE = kWmApp + 0x34; // main window -> settings window

}  // namespace pelmo
