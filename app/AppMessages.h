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

// Command ids of the tray menu and the controller.
inline constexpr unsigned ID_APP_EXIT = 32791;
inline constexpr unsigned ID_SETTINGS = 32794;
inline constexpr unsigned ID_IMAGETYPE_FIRST = 32800;  // .. 32809
inline constexpr unsigned ID_SOUNDS_FIRST = 32820;     // .. 32829; 32820 is "disable all sounds"
inline constexpr unsigned ID_PROFILE_FIRST = 32830;    // .. 32929
inline constexpr unsigned ID_PROFILE_LAST = 32929;
inline constexpr unsigned ID_INPUT_DISABLED = 32932;
inline constexpr unsigned ID_OPEN_SAVE_FOLDER = 32933;
inline constexpr unsigned ID_OPEN_LAST_FILE = 32938;
inline constexpr unsigned ID_OPEN_LAST_FOLDER = 32939;
inline constexpr unsigned ID_COPY_TO_CLIPBOARD = 32941;

}  // namespace pelmo
