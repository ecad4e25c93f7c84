#include "keyinput/KeyInput.h"

#include <atomic>

#include "hooklib/Ravel.h"
#include "keyinput/KeyPoller.h"

namespace pelmo {
namespace {

int32_t g_mode = kKeyInputPolling;  // changed only by KeyInputStart

constexpr DWORD kSwitchPauseMs = 100;

KeyPoller& Poller() { return KeyPoller::Instance(); }

}  // namespace

int32_t KeyInputStart(int32_t mode) {
  if (KeyInputIsRunning() == 1) return 0;
  g_mode = mode;
  switch (mode) {
    case kKeyInputPolling:
      return Poller().Start() ? 1 : 0;
    case kKeyInputHook:
      // The shared section outlives our process: drop a binding a previous run left behind.
      rvResetSetting();
      return rvInstallHook() != 0 ? 1 : 0;
    default:
      return 0;
  }
}

int32_t KeyInputStop() {
  switch (g_mode) {
    case kKeyInputPolling:
      Poller().Stop();
      return 1;
    case kKeyInputHook:
      rvUnInstallHook();
      return 1;
    default:
      return 0;
  }
}

int32_t KeyInputStopAll() {
  Poller().Stop();
  return rvUnInstallHook();
}

HWND KeyInputSetMainHwnd(HWND window) {
  switch (g_mode) {
    case kKeyInputPolling:
      Poller().SetMainHwnd(window);
      return window;
    case kKeyInputHook:
      rvSetMainHwnd(window);
      return window;
    default:
      return nullptr;
  }
}

HWND KeyInputGetMainHwnd() {
  switch (g_mode) {
    case kKeyInputPolling: return Poller().MainHwnd();
    case kKeyInputHook: return rvGetMainHwnd();
    default: return nullptr;
  }
}

int32_t KeyInputIsMainHwnd(HWND window) {
  switch (g_mode) {
    case kKeyInputPolling: return Poller().MainHwnd() == window ? 1 : 0;
    case kKeyInputHook: return rvCompInstallHwnd(window);
    default: return 0;
  }
}

uint32_t KeyInputSetKeyDownMessage(uint32_t msg) {
  switch (g_mode) {
    case kKeyInputPolling:
      Poller().SetKeyDownMessage(msg);
      return msg;
    case kKeyInputHook:
      // Mouse buttons arrive as the same two messages as keys.
      rvInstallCallBackKeyBoardDown(msg);
      rvInstallCallBackMouseDown(msg);
      return msg;
    default:
      return 0;
  }
}

uint32_t KeyInputSetKeyUpMessage(uint32_t msg) {
  switch (g_mode) {
    case kKeyInputPolling:
      Poller().SetKeyUpMessage(msg);
      return msg;
    case kKeyInputHook:
      rvInstallCallBackKeyBoardUp(msg);
      rvInstallCallBackMouseUp(msg);
      return msg;
    default:
      return 0;
  }
}

uint32_t KeyInputGetKeyDownMessage() {
  switch (g_mode) {
    case kKeyInputPolling: return Poller().KeyDownMessage();
    case kKeyInputHook: return rvGetCallBackKeyBoardDown();
    default: return 0;
  }
}

uint32_t KeyInputGetKeyUpMessage() {
  switch (g_mode) {
    case kKeyInputPolling: return Poller().KeyUpMessage();
    case kKeyInputHook: return rvGetCallBackKeyBoardUp();
    default: return 0;
  }
}

int32_t KeyInputIsRunning() {
  switch (g_mode) {
    case kKeyInputPolling: return Poller().IsRunning() ? 1 : 0;
    case kKeyInputHook: return rvGetState() != 0 ? 1 : 0;
    default: return 0;
  }
}

int32_t KeyInputEnableKeyDown(int32_t flag) {
  switch (g_mode) {
    case kKeyInputPolling:
      Poller().EnableKeyDown(flag != 0);
      return 1;
    case kKeyInputHook:
      rvEnableKeyDown(flag);
      return 1;
    default:
      return 0;
  }
}

const int32_t* KeyInputGetKeyStates() {
  switch (g_mode) {
    case kKeyInputPolling: return Poller().KeyStates();
    case kKeyInputHook: return rvGetVKeyCode();
    default: return nullptr;
  }
}

bool KeyInputIsKeyHeld(int code) {
  if (code < 0 || code >= ravel::kKeyTableEntries) return false;
  const int32_t* table = KeyInputGetKeyStates();
  if (table == nullptr) return false;
  // The source writes the table from another thread or process, word by word.
  return std::atomic_ref<int32_t>(const_cast<int32_t&>(table[code])).load(std::memory_order_relaxed) != 0;
}

int32_t KeyInputGetMode() { return g_mode; }

void SwitchKeyInputSource(int32_t mode) {
  if (mode != KeyInputGetMode() || KeyInputIsRunning() != 1) {
    const HWND window = KeyInputGetMainHwnd();
    const uint32_t down = KeyInputGetKeyDownMessage();
    const uint32_t up = KeyInputGetKeyUpMessage();
    if (KeyInputIsRunning() == 1) KeyInputStop();
    KeyInputStart(mode);
    KeyInputSetMainHwnd(window);
    KeyInputSetKeyDownMessage(down);
    KeyInputSetKeyUpMessage(up);
  }
  Sleep(kSwitchPauseMs);
}

}  // namespace pelmo
