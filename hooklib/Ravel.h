// The exports of ravel.dll, the hook library: system-wide WH_KEYBOARD and WH_MOUSE hooks that post
// one message per key or button transition to the window the program names. The ordinals are
// fixed (ravel.def); the program imports the library by ordinal.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

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
// Every process that maps the library, 32-bit or 64-bit build alike, reads the same words.
static_assert(offsetof(SharedState, keyDownEnabled) == 0x000);
static_assert(offsetof(SharedState, installed) == 0x004);
static_assert(offsetof(SharedState, keys[kKeyTableEntries - 1]) == 0x400);
static_assert(offsetof(SharedState, keyDownMessage) == 0x408);
static_assert(offsetof(SharedState, mouseUpMessage) == 0x40C);
static_assert(offsetof(SharedState, mouseDownMessage) == 0x410);
static_assert(offsetof(SharedState, mouseHook) == 0x418);
static_assert(std::is_standard_layout_v<SharedState> && std::is_trivially_copyable_v<SharedState>);
static_assert(alignof(SharedState) == 4 && sizeof(SharedState::mainWindow) == 4 &&
              sizeof(SharedState::mouseHook) == 4 && sizeof(SharedState::keyboardHook) == 4);

// Bytes a stdcall function takes off the stack: on i686 the import library's @N decoration, which
// callers push and the library's function pops; the two must agree or every call skews the stack.
template <class R, class... A>
constexpr size_t StdcallArgBytes(R(WINAPI*)(A...)) {
  return (size_t{0} + ... + ((sizeof(A) + 3) & ~size_t{3}));
}
#if defined(__i386__) || defined(_M_IX86)
// The same numbers as the import library (hooklib/CMakeLists.txt) and the checks of scripts/pe-check.
static_assert(StdcallArgBytes(&rvInstallHook) == 0 && StdcallArgBytes(&rvUnInstallHook) == 0);
static_assert(StdcallArgBytes(&rvSetMainHwnd) == 4 && StdcallArgBytes(&rvGetMainHwnd) == 0);
static_assert(StdcallArgBytes(&rvInstallCallBackKeyBoardDown) == 4 && StdcallArgBytes(&rvInstallCallBackKeyBoardUp) == 4);
static_assert(StdcallArgBytes(&rvInstallCallBackMouseDown) == 4 && StdcallArgBytes(&rvInstallCallBackMouseUp) == 4);
static_assert(StdcallArgBytes(&rvGetCallBackKeyBoardDown) == 0 && StdcallArgBytes(&rvGetCallBackMouseUp) == 0);
static_assert(StdcallArgBytes(&rvResetSetting) == 0 && StdcallArgBytes(&rvGetVKeyCode) == 0);
static_assert(StdcallArgBytes(&rvGetState) == 0 && StdcallArgBytes(&rvCompInstallHwnd) == 4);
static_assert(StdcallArgBytes(&rvTransVKeyMouseCode) == 12 && StdcallArgBytes(&rvEnableKeyDown) == 4);
#endif

}  // namespace pelmo::ravel
