#include "keyinput/KeyChordMatcher.h"

namespace pelmo {
namespace {

bool IsKeyCode(int code) { return code >= 0 && code < kKeyCodeCount; }

// Both sources report Shift, Ctrl and Alt by side (160..165). A binding holding a side-neutral code
// (16..18, from older profiles or a hand edit) is held by either side.
bool IsBindingKeyHeld(const HeldKeyTable& held, int32_t code) {
  if (!IsKeyCode(code)) return false;
  if (held[static_cast<size_t>(code)] != 0) return true;
  if (code < 16 || code > 18) return false;
  const size_t left = 160 + 2 * static_cast<size_t>(code - 16);
  return held[left] != 0 || held[left + 1] != 0;
}

}  // namespace

BindingMatch MatchBinding(const HeldKeyTable& held, const KeyBinding& binding) {
  int empty = 0;
  for (int32_t code : binding) {
    if (code == 0) {
      ++empty;
    } else if (!IsBindingKeyHeld(held, code)) {
      return {};
    }
  }
  if (empty == kBindingSlots) return {};
  return {true, kBindingSlots - empty};
}

void KeyChordMatcher::Reset() {
  held_.fill(0);
  active_.fill(0);
}

void KeyChordMatcher::SyncSource(uint32_t generation) {
  if (generation == sourceGeneration_) return;
  sourceGeneration_ = generation;
  Reset();
}

KeyChordMatcher::EventList KeyChordMatcher::OnKeyDown(int code, const KeyBindingTable& bindings,
                                                      bool inputDisabled) {
  EventList result;
  // A foreign poster could send any wParam; such a code changes nothing, so nothing completes.
  if (!IsKeyCode(code)) return result;
  held_[static_cast<size_t>(code)] = 1;

  std::array<int, kEventCount> candidateKeys{};  // 0 = not a candidate
  int best = 0;
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (active_[e] != 0) continue;
    const BindingMatch m = MatchBinding(held_, bindings[e]);
    active_[e] = m.matched ? 1 : 0;
    if (m.matched && (!inputDisabled || e == kEventToggleInputMode)) {
      candidateKeys[e] = m.keyCount;
      if (m.keyCount > best) best = m.keyCount;
    }
  }
  if (best == 0) return result;
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (candidateKeys[e] == best) result.push_back(e);
  }
  return result;
}

void KeyChordMatcher::OnKeyUp(int code, const KeyBindingTable& bindings) {
  if (!IsKeyCode(code)) return;
  held_[static_cast<size_t>(code)] = 0;
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (active_[e] != 0) active_[e] = MatchBinding(held_, bindings[e]).matched ? 1 : 0;
  }
}

bool KeyChordMatcher::IsHeld(int code) const {
  return IsKeyCode(code) && held_[static_cast<size_t>(code)] != 0;
}

bool KeyChordMatcher::IsActive(CaptureEventId id) const {
  return IsValidEvent(id) && active_[id] != 0;
}

}  // namespace pelmo
