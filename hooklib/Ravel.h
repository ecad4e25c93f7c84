// The exports of ravel.dll, the hook library: system-wide WH_KEYBOARD and WH_MOUSE hooks that post
// one message per key or button transition to the window the program names. The ordinals are
// fixed (ravel.def); the program imports the library by ordinal.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

extern "C" {

int32_t WINAPI rvInstallHook();                             // 1: 1 success, 0 failure
int32_t WINAPI rvUnInstallHook();                           // 2: 1 success, 0 failure
int32_t WINAPI rvSetMainHwnd(HWND hwnd);                    // 3: 1 if hwnd is not null
HWND WINAPI rvGetMainHwnd();                                // 4
uint32_t WINAPI rvInstallCallBackKeyBoardDown(uint32_t msg);  // 5: message numbers, 0 = post nothing
uint32_t WINAPI rvInstallCallBackKeyBoardUp(uint32_t msg);    // 6
uint32_t WINAPI rvInstallCallBackMouseDown(uint32_t msg);     // 7
uint32_t WINAPI rvInstallCallBackMouseUp(uint32_t msg);       // 8
uint32_t WINAPI rvGetCallBackKeyBoardDown();                // 9
uint32_t WINAPI rvGetCallBackKeyBoardUp();                  // 10
uint32_t WINAPI rvGetCallBackMouseDown();                   // 11
uint32_t WINAPI rvGetCallBackMouseUp();                     // 12
int32_t WINAPI rvResetSetting();                            // 13: clears window, messages, key table
int32_t* WINAPI rvGetVKeyCode();                            // 14: the 255-entry key table
int32_t WINAPI rvGetState();                                // 15: 1 while the hooks are installed
int32_t WINAPI rvCompInstallHwnd(HWND hwnd);                // 16: 1 if hwnd is the stored window
int32_t WINAPI rvTransVKeyMouseCode(uint32_t mouseMsg, int32_t unused1, int32_t unused2);  // 17
int32_t WINAPI rvEnableKeyDown(int32_t flag);               // 18: keyboard key-down posting on/off

}  // extern "C"

namespace pelmo::ravel {

// Layout of the section shared by every process that maps the library. All fields are 32 bits in
// both builds; window and hook handles fit in 32 bits on Windows.
inline constexpr int kKeyTableEntries = 255;
struct SharedState {
  int32_t keyDownEnabled;
  int32_t installed;
  int32_t keys[kKeyTableEntries];
  uint32_t keyUpMessage;
  uint32_t keyDownMessage;
  uint32_t mouseUpMessage;
  uint32_t mouseDownMessage;
  uint32_t mainWindow;
  uint32_t mouseHook;
  uint32_t keyboardHook;
};
static_assert(sizeof(SharedState) == 1056);
static_assert(offsetof(SharedState, keys) == 0x008);
static_assert(offsetof(SharedState, keyUpMessage) == 0x404);
static_assert(offsetof(SharedState, mainWindow) == 0x414);
static_assert(offsetof(SharedState, keyboardHook) == 0x41C);

}  // namespace pelmo::ravel
