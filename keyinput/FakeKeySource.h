// A key source driven by the caller: Press and Release post the messages a real source would,
// under the same rules (window and message set, key-down enabled), and keep the held-key table.
#pragma once

#include <array>

#include "keyinput/KeySource.h"

namespace pelmo {

class FakeKeySource : public KeySource {
 public:
  bool Start() override { return running_ = !failStart; }
  void Stop() override {
    running_ = false;
    window_ = nullptr;
    down_ = up_ = 0;
    keys_.fill(0);
  }
  bool IsRunning() const override { return running_; }
  void SetMainHwnd(HWND window) override { window_ = window; }
  HWND MainHwnd() const override { return window_; }
  void SetKeyDownMessage(uint32_t msg) override { down_ = msg; }
  void SetKeyUpMessage(uint32_t msg) override { up_ = msg; }
  uint32_t KeyDownMessage() const override { return down_; }
  uint32_t KeyUpMessage() const override { return up_; }
  void EnableKeyDown(bool enable) override { keyDownEnabled_ = enable; }
  const int32_t* KeyStates() const override { return keys_.data(); }

  bool keyDownEnabled() const { return keyDownEnabled_; }

  void Press(int code) {
    if (!running_ || code <= 0 || code >= 256 || keys_[code]) return;
    keys_[code] = 1;
    if (window_ && down_ && keyDownEnabled_) PostMessageW(window_, down_, static_cast<WPARAM>(code), 0);
  }
  void Release(int code) {
    if (!running_ || code <= 0 || code >= 256 || !keys_[code]) return;
    keys_[code] = 0;
    if (window_ && up_) PostMessageW(window_, up_, static_cast<WPARAM>(code), 0);
  }

  bool failStart = false;  // Start fails, as a hook install can

 private:
  bool running_ = false;
  HWND window_ = nullptr;
  uint32_t down_ = 0, up_ = 0;
  bool keyDownEnabled_ = true;
  std::array<int32_t, 256> keys_{};
};

}  // namespace pelmo
