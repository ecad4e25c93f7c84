#include "keyinput/KeyInput.h"

#include <atomic>

#include "hooklib/Ravel.h"
#include "keyinput/KeyPoller.h"
#include "keyinput/KeySource.h"

namespace pelmo {
namespace {

class PollingSource final : public KeySource {
 public:
  bool Start() override { return Poller().Start(); }
  void Stop() override { Poller().Stop(); }
  bool IsRunning() const override { return Poller().IsRunning(); }
  void SetMainHwnd(HWND window) override { Poller().SetMainHwnd(window); }
  HWND MainHwnd() const override { return Poller().MainHwnd(); }
  void SetKeyDownMessage(uint32_t msg) override { Poller().SetKeyDownMessage(msg); }
  void SetKeyUpMessage(uint32_t msg) override { Poller().SetKeyUpMessage(msg); }
  uint32_t KeyDownMessage() const override { return Poller().KeyDownMessage(); }
  uint32_t KeyUpMessage() const override { return Poller().KeyUpMessage(); }
  void EnableKeyDown(bool enable) override { Poller().EnableKeyDown(enable); }
  const int32_t* KeyStates() const override { return Poller().KeyStates(); }

 private:
  static KeyPoller& Poller() { return KeyPoller::Instance(); }
};

class HookSource final : public KeySource {
 public:
  bool Start() override {
    // The shared section outlives our process: drop a binding a previous run left behind, and a
    // key-down suppression it left on when it ended during a screen cut.
    rvResetSetting();
    rvEnableKeyDown(1);
    return rvInstallHook() != 0;
  }
  void Stop() override { rvUnInstallHook(); }
  bool IsRunning() const override { return rvGetState() != 0; }
  void SetMainHwnd(HWND window) override { rvSetMainHwnd(window); }
  HWND MainHwnd() const override { return rvGetMainHwnd(); }
  bool IsMainHwnd(HWND window) const override { return rvCompInstallHwnd(window) != 0; }
  // Mouse buttons arrive as the same two messages as keys.
  void SetKeyDownMessage(uint32_t msg) override {
    rvInstallCallBackKeyBoardDown(msg);
    rvInstallCallBackMouseDown(msg);
  }
  void SetKeyUpMessage(uint32_t msg) override {
    rvInstallCallBackKeyBoardUp(msg);
    rvInstallCallBackMouseUp(msg);
  }
  uint32_t KeyDownMessage() const override { return rvGetCallBackKeyBoardDown(); }
  uint32_t KeyUpMessage() const override { return rvGetCallBackKeyBoardUp(); }
  void EnableKeyDown(bool enable) override { rvEnableKeyDown(enable ? 1 : 0); }
  const int32_t* KeyStates() const override { return rvGetVKeyCode(); }
};

int32_t g_mode = kKeyInputPolling;  // changed only by KeyInputStart
KeySource* g_replaced[2] = {nullptr, nullptr};
uint32_t g_generation = 0;
KeyInputFallbackHandler g_fallback = nullptr;
void* g_fallbackContext = nullptr;

constexpr DWORD kSwitchPauseMs = 100;

KeySource* SourceFor(int32_t mode) {
  switch (mode) {
    case kKeyInputPolling: return g_replaced[0] ? g_replaced[0] : &PollingKeySource();
    case kKeyInputHook: return g_replaced[1] ? g_replaced[1] : &HookKeySource();
    default: return nullptr;  // an unknown mode: every operation does nothing
  }
}

KeySource* Current() { return SourceFor(g_mode); }

}  // namespace

KeySource& PollingKeySource() {
  static PollingSource source;
  return source;
}

KeySource& HookKeySource() {
  static HookSource source;
  return source;
}

void KeyInputReplaceSource(int32_t mode, KeySource* source) {
  if (mode == kKeyInputPolling || mode == kKeyInputHook) g_replaced[mode] = source;
}

uint32_t KeyInputSourceGeneration() { return g_generation; }

void KeyInputSetFallbackHandler(KeyInputFallbackHandler handler, void* context) {
  g_fallback = handler;
  g_fallbackContext = context;
}

int32_t KeyInputStart(int32_t mode) {
  if (KeyInputIsRunning() == 1) return 0;
  g_mode = mode;
  KeySource* source = Current();
  if (!source || !source->Start()) return 0;
  ++g_generation;
  return 1;
}

int32_t KeyInputStop() {
  KeySource* source = Current();
  if (!source) return 0;
  source->Stop();
  return 1;
}

int32_t KeyInputStopAll() {
  SourceFor(kKeyInputPolling)->Stop();
  return rvUnInstallHook();
}

HWND KeyInputSetMainHwnd(HWND window) {
  KeySource* source = Current();
  if (!source) return nullptr;
  source->SetMainHwnd(window);
  return window;
}

HWND KeyInputGetMainHwnd() {
  const KeySource* source = Current();
  return source ? source->MainHwnd() : nullptr;
}

int32_t KeyInputIsMainHwnd(HWND window) {
  const KeySource* source = Current();
  return source && source->IsMainHwnd(window) ? 1 : 0;
}

uint32_t KeyInputSetKeyDownMessage(uint32_t msg) {
  KeySource* source = Current();
  if (!source) return 0;
  source->SetKeyDownMessage(msg);
  return msg;
}

uint32_t KeyInputSetKeyUpMessage(uint32_t msg) {
  KeySource* source = Current();
  if (!source) return 0;
  source->SetKeyUpMessage(msg);
  return msg;
}

uint32_t KeyInputGetKeyDownMessage() {
  const KeySource* source = Current();
  return source ? source->KeyDownMessage() : 0;
}

uint32_t KeyInputGetKeyUpMessage() {
  const KeySource* source = Current();
  return source ? source->KeyUpMessage() : 0;
}

int32_t KeyInputIsRunning() {
  const KeySource* source = Current();
  return source && source->IsRunning() ? 1 : 0;
}

int32_t KeyInputEnableKeyDown(int32_t flag) {
  KeySource* source = Current();
  if (!source) return 0;
  source->EnableKeyDown(flag != 0);
  return 1;
}

const int32_t* KeyInputGetKeyStates() {
  const KeySource* source = Current();
  return source ? source->KeyStates() : nullptr;
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
    if (KeyInputStart(mode) != 1 && mode == kKeyInputHook) {
      // Without the hooks every key combination would be dead: the polling source takes over.
      if (KeyInputStart(kKeyInputPolling) == 1 && g_fallback) g_fallback(g_fallbackContext);
    }
    KeyInputSetMainHwnd(window);
    KeyInputSetKeyDownMessage(down);
    KeyInputSetKeyUpMessage(up);
  }
  Sleep(kSwitchPauseMs);
}

}  // namespace pelmo
