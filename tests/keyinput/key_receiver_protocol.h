// The protocol between a key input test (or benchmark) driver and key_receiver.exe, a separate
// process that runs the key input facade with a window of its own and logs what reaches it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pelmo::test {

inline constexpr wchar_t kReceiverCaption[] = L"pelmo key receiver";
inline constexpr wchar_t kReceiverReadyEvent[] = L"pelmo_key_receiver_ready";
inline constexpr wchar_t kReceiverLogName[] = L"pelmo_key_receiver_log";

// Commands, sent (SendMessageW) to the receiver window; the result is the facade's answer.
enum ReceiverCommand : UINT {
  kCmdSwitchSource = WM_USER + 1,    // wParam = mode; returns mode * 10 + KeyInputIsRunning()
  kCmdEnableKeyDown = WM_USER + 2,   // wParam = flag
  kCmdSetKeyDownMessage = WM_USER + 3,
  kCmdSetKeyUpMessage = WM_USER + 4,
  kCmdBind = WM_USER + 5,            // wParam 1 = bind the receiver window, 0 = unbind (null)
  kCmdIsKeyHeld = WM_USER + 6,       // wParam = code
  kCmdIsBound = WM_USER + 7,         // KeyInputIsMainHwnd(receiver window)
  kCmdGetMessages = WM_USER + 8,     // key-down message << 16 | key-up message (32 bits)
  kCmdStopAll = WM_USER + 9,         // KeyInputStopAll(), then KeyInputIsRunning()
  kCmdStart = WM_USER + 10,          // KeyInputStart(wParam) (to see it refuse a running source)
};

struct ReceivedKey {
  uint32_t msg;
  uint32_t code;
  int64_t qpc;  // QueryPerformanceCounter when the receiver took the message
};

struct ReceiverLog {
  volatile LONG count;  // entries written so far; the receiver stops logging when full
  ReceivedKey keys[16384];
};

}  // namespace pelmo::test
