// The polling key source: a worker thread that samples every key code each 14 ms and posts the
// changes. One per process.
#pragma once

#include <windows.h>

#include "keyinput/KeyPollScan.h"

namespace pelmo {

class KeyPoller {
 public:
  static KeyPoller& Instance();

  KeyPoller(const KeyPoller&) = delete;
  KeyPoller& operator=(const KeyPoller&) = delete;

  bool Start();  // false when it already runs or the thread cannot be created
  // Returns once the worker has ended; then clears window, messages and held keys (not the
  // enable flag).
  void Stop();
  bool IsRunning() const { return thread_ != nullptr; }

  void SetMainHwnd(HWND window);
  HWND MainHwnd() const;
  void SetKeyDownMessage(uint32_t msg) { state_.keyDownMessage.store(msg); }
  void SetKeyUpMessage(uint32_t msg) { state_.keyUpMessage.store(msg); }
  uint32_t KeyDownMessage() const { return state_.keyDownMessage.load(); }
  uint32_t KeyUpMessage() const { return state_.keyUpMessage.load(); }
  void EnableKeyDown(bool enable) { state_.keyDownEnabled.store(enable ? 1 : 0); }
  const int32_t* KeyStates() const { return state_.held.data(); }

 private:
  KeyPoller() = default;
  ~KeyPoller();
  static DWORD WINAPI ThreadMain(void* param);

  KeyPollState state_;
  HANDLE thread_ = nullptr;  // held while the source runs
};

}  // namespace pelmo
