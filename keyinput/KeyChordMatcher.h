// Turns the key-down and key-up messages of the key input source into the capture events whose key
// combinations have just become complete.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "keyinput/KeyBindingTable.h"

namespace pelmo {

inline constexpr int kKeyCodeCount = 256;
using HeldKeyTable = std::array<int32_t, kKeyCodeCount>;  // 1 = down, index = key code

struct BindingMatch {
  bool matched = false;
  int keyCount = 0;  // non-empty slots of the binding; a doubled code counts twice
};

// A binding matches when it has at least one code and every code is held; a side-neutral Shift,
// Ctrl or Alt (16, 17, 18) is held when either side is. A code outside 0..255 (a hand-edited
// profile) can never be held, so its binding never matches.
BindingMatch MatchBinding(const HeldKeyTable& held, const KeyBinding& binding);

class KeyChordMatcher {
 public:
  using EventList = std::vector<CaptureEventId>;

  // Forget every held key and every completed combination; done each time key input is bound.
  void Reset();

  // Records the key as held and returns, in ascending order, the events whose combinations this
  // key completes and that have the most keys among them. Every completed combination is marked
  // active, fired or not, and cannot fire again until one of its keys is released. While input is
  // disabled only kEventToggleInputMode can fire.
  EventList OnKeyDown(int code, const KeyBindingTable& bindings, bool inputDisabled);

  // Records the release; active events whose combination is no longer complete may fire again.
  void OnKeyUp(int code, const KeyBindingTable& bindings);

  // A receiver calls this with the facade's source generation before each key message: when the
  // source has changed since the last call, the held keys are forgotten (Reset), since the new
  // source never reports the releases of keys pressed under the old one.
  void SyncSource(uint32_t generation);

  bool IsHeld(int code) const;
  bool IsActive(CaptureEventId id) const;

 private:
  HeldKeyTable held_{};
  std::array<int32_t, kEventCount> active_{};
  uint32_t sourceGeneration_ = 0;
};

}  // namespace pelmo
