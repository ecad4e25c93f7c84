// The key input facade: one of two sources (the polling thread or the hook library ravel.dll)
// posts a key-down and a key-up message, wParam = virtual-key code, to one registered window.
// Callers never know which source runs. All functions are for the UI thread.
//
// The main window binds with KeyInputSetMainHwnd(window), KeyInputSetKeyDownMessage(WM_APP_KEYDOWN),
// KeyInputSetKeyUpMessage(WM_APP_KEYUP), unbinds with KeyInputSetMainHwnd(nullptr) and calls
// KeyInputStopAll() at exit. The source is chosen and (re)started only by SwitchKeyInputSource.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pelmo {

enum KeyInputMode : int32_t {
  kKeyInputPolling = 0,  // KeyPoller, the default
  kKeyInputHook = 1,     // ravel.dll's system-wide hooks
};

// Any mode other than 0 and 1 makes every operation below do nothing and return 0 / null.
int32_t KeyInputStart(int32_t mode);  // 1 started; 0 when the current source runs or start failed
int32_t KeyInputStop();               // polling: also clears window, messages and held keys
int32_t KeyInputStopAll();            // ends the polling thread and removes the hooks, any mode

HWND KeyInputSetMainHwnd(HWND window);  // null = post nothing; returns the handle passed
HWND KeyInputGetMainHwnd();
int32_t KeyInputIsMainHwnd(HWND window);
uint32_t KeyInputSetKeyDownMessage(uint32_t msg);  // 0 = post no key-down; returns msg
uint32_t KeyInputSetKeyUpMessage(uint32_t msg);    // 0 = post no key-up; returns msg
uint32_t KeyInputGetKeyDownMessage();
uint32_t KeyInputGetKeyUpMessage();
int32_t KeyInputIsRunning();
// 0 suppresses key-down messages (keys are still tracked and key-ups posted); the screen cut
// turns it off while its overlay is up.
int32_t KeyInputEnableKeyDown(int32_t flag);

// The held-key table of the current source, 1 = down, index = key code; at least 255 entries
// (0..254). Read-only, updated by the source while it runs. Null in another mode.
const int32_t* KeyInputGetKeyStates();
// Bounds-checked read of that table: false for any code outside 0..254 or another mode.
bool KeyInputIsKeyHeld(int code);
int32_t KeyInputGetMode();

// Switches to the source `mode` and keeps the current window and message numbers bound; with that
// source already running it changes nothing. Always pauses 100 ms.
void SwitchKeyInputSource(int32_t mode);

}  // namespace pelmo
