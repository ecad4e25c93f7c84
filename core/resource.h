// Identifiers of the program's resources. Dialog, control, menu and string ids are fixed: other
// code and the tests find windows and texts by them.
#pragma once

// Dialogs
#define IDD_MAIN 102
#define IDD_SETTINGS 160

// Menus
#define IDR_TRAYMENU 131

// Icons and bitmaps
#define IDI_WINDOW 187
#define IDI_TRAY_NORMAL 205
#define IDI_TRAY_AUTO 206
#define IDI_TRAY_DISABLED 207
#define IDB_PAGELIST 210

// Settings window frame controls
#define IDC_NEW_PROFILE 1000
#define IDC_SAVE_PROFILE 1001
#define IDC_DELETE_PROFILE 1002
#define IDC_PROFILE_SELECTOR 1005
#define IDC_SETTINGS_OK 1015
#define IDC_PAGE_LIST 1025
#define IDC_RENAME_PROFILE 1026
#define IDC_QUICK_START 1161

// Strings
#define IDS_PROFILE_SAVED 50
#define IDS_NAME_TOO_LONG 100
#define IDS_NAME_FORBIDDEN 102
#define IDS_NAME_EMPTY 103
#define IDS_NAME_IN_USE 104
#define IDS_TRAY_FAILED 107
#define IDS_PROFILE_MISSING 108
#define IDS_ASK_SAVE_PROFILE 150
#define IDS_ASK_DELETE_PROFILE 151
#define IDS_ASK_OVERWRITE 152
#define IDS_NO_SAVE_FOLDER 201
#define IDS_MKDIR_FAILED 203
#define IDS_BAD_FILE_NAME 204
#define IDS_PATH_TOO_LONG 208
#define IDS_FILE_MISSING 209
#define IDS_FILE_EXISTS 210
#define IDS_NO_FILE_NAME 211
#define IDS_NO_DISPLAY_DEVICE 250
#define IDS_SAVE_FAILED 251
#define IDS_CAPTURE_FAILED 252
#define IDS_NO_DISPLAY_CHOSEN 253
#define IDS_NO_ACTIVE_WINDOW 254
#define IDS_DESC_BMP 300
#define IDS_DESC_JPG 301
#define IDS_DESC_GIF 302
#define IDS_DESC_PNG 303
#define IDS_RCLICK_DISABLED_TITLE 400
#define IDS_RCLICK_DISABLED_TEXT 401
#define IDS_FORMAT_BMP 1000
#define IDS_FORMAT_JPG 1001
#define IDS_FORMAT_GIF 1002
#define IDS_FORMAT_PNG 1003
#define IDS_EVENT_FIRST 2000  // event n: 2000 + n
#define IDS_DESKTOP_WINDOW_NAME 2200

// Tray menu commands
#define IDM_APP_EXIT 32791
#define IDM_SETTINGS 32794
#define IDM_IMAGETYPE_FIRST 32800  // .. 32809
#define IDM_IMAGETYPE_LAST 32809
#define IDM_SOUNDS_FIRST 32820  // .. 32829; the first is "disable all sounds"
#define IDM_SOUNDS_OFF 32820
#define IDM_SOUNDS_LAST 32829
#define IDM_PROFILE_FIRST 32830  // .. 32929, one per profile
#define IDM_PROFILE_LAST 32929
#define IDM_INPUT_DISABLED 32932
#define IDM_OPEN_SAVE_FOLDER 32933
#define IDM_OPEN_LAST_FILE 32938
#define IDM_OPEN_LAST_FOLDER 32939
#define IDM_COPY_TO_CLIPBOARD 32941

// Key input (main window): the hook library refused its hooks and the polling source took over
#define IDS_HOOK_FALLBACK_TITLE 410
#define IDS_HOOK_FALLBACK_TEXT 411
