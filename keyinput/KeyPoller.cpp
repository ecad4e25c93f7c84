#include "keyinput/KeyPoller.h"

namespace pelmo {

KeyPoller& KeyPoller::Instance() {
  static KeyPoller poller;
  return poller;
}

KeyPoller::~KeyPoller() {
  // A program that ends without stopping must not leave the worker scanning freed state.
  Stop();
}

bool KeyPoller::Start() {
  if (thread_ != nullptr) return false;
  // Raised here, not by the worker, so a Stop right after Start cannot be overtaken by it.
  state_.running.store(1);
  thread_ = CreateThread(nullptr, 0, &KeyPoller::ThreadMain, this, 0, nullptr);
  if (thread_ == nullptr) {
    state_.running.store(0);
    return false;
  }
  return true;
}

void KeyPoller::Stop() {
  if (thread_ == nullptr) return;
  state_.running.store(0);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
  state_.keyDownMessage.store(0);
  state_.keyUpMessage.store(0);
  state_.window.store(0);
  ClearHeldKeys(state_);
}

void KeyPoller::SetMainHwnd(HWND window) { state_.window.store(reinterpret_cast<uintptr_t>(window)); }

HWND KeyPoller::MainHwnd() const { return reinterpret_cast<HWND>(state_.window.load()); }

DWORD WINAPI KeyPoller::ThreadMain(void* param) {
  KeyPollState& state = static_cast<KeyPoller*>(param)->state_;
  const auto keyState = [](int code) { return GetAsyncKeyState(code); };
  const auto post = [](uintptr_t window, uint32_t msg, int code) {
    PostMessageW(reinterpret_cast<HWND>(window), msg, static_cast<WPARAM>(code), 0);
  };
  bool firstScan = true;
  do {
    ScanKeys(state, firstScan, keyState, post);
    firstScan = false;
    Sleep(kPollPeriodMs);
  } while (state.running.load(std::memory_order_relaxed) != 0);
  return 0;
}

}  // namespace pelmo
