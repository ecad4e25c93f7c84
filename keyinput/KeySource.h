// One source of key-down and key-up messages: the polling thread, the hook library, or a test's
// fake. The facade (KeyInput.h) forwards every operation to the source of the current mode.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pelmo {

class KeySource {
 public:
  virtual ~KeySource() = default;

  virtual bool Start() = 0;  // false when the source could not start
  virtual void Stop() = 0;
  virtual bool IsRunning() const = 0;

  virtual void SetMainHwnd(HWND window) = 0;
  virtual HWND MainHwnd() const = 0;
  virtual bool IsMainHwnd(HWND window) const { return MainHwnd() == window; }
  virtual void SetKeyDownMessage(uint32_t msg) = 0;
  virtual void SetKeyUpMessage(uint32_t msg) = 0;
  virtual uint32_t KeyDownMessage() const = 0;
  virtual uint32_t KeyUpMessage() const = 0;
  virtual void EnableKeyDown(bool enable) = 0;
  // At least 255 entries, 1 = held; written by the source while it runs.
  virtual const int32_t* KeyStates() const = 0;
};

// The two real sources, one each per process.
KeySource& PollingKeySource();
KeySource& HookKeySource();

// Puts `source` in place of the real source of `mode` (0 or 1); null puts the real one back.
// For tests that drive a window with keys of their own.
void KeyInputReplaceSource(int32_t mode, KeySource* source);

// Counts the starts of a source; a key table kept by a receiver is stale once it changes, since
// the new source never reports the releases of keys held under the old one.
uint32_t KeyInputSourceGeneration();

// Called on the UI thread when the hook library could not install its hooks and the polling source
// took over. Null = nobody is told.
using KeyInputFallbackHandler = void (*)(void* context);
void KeyInputSetFallbackHandler(KeyInputFallbackHandler handler, void* context);

}  // namespace pelmo
