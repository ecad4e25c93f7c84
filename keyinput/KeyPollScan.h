// One scan of the polling key source: compares every polled key code's state with the held-key
// table and reports each change. Portable, so the scan rules are tested without a keyboard.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace pelmo {

inline constexpr int kPollKeyCount = 256;
inline constexpr unsigned kPollPeriodMs = 14;

// State shared by the UI thread (writes binding and flags) and the polling thread (scans). Every
// field is one word; the worker reads the binding afresh for every message it posts.
struct KeyPollState {
  std::atomic<uintptr_t> window{0};  // 0 = post nothing
  std::atomic<uint32_t> keyDownMessage{0};
  std::atomic<uint32_t> keyUpMessage{0};
  std::atomic<int32_t> keyDownEnabled{1};
  std::atomic<int32_t> running{0};
  std::array<int32_t, kPollKeyCount> held{};  // written only by the scanning thread while it runs
};

// Codes the scan skips: 0, the left mouse button (1) and the side-neutral Shift, Ctrl and Alt
// (16, 17, 18); the side-specific 160..165 are scanned.
constexpr bool IsPolledKeyCode(int code) {
  return code > 1 && code < kPollKeyCount && code != 16 && code != 17 && code != 18;
}

// keyState(code) returns GetAsyncKeyState's 16-bit value: bit 15 when the key is down now, bit 0
// when it was pressed since the last query, so a tap between two scans is still seen.
// post(window, message, code) posts one message.
//
// The first scan of a newly started worker counts only bit 15: bit 0 then dates from whatever
// query came last in this process, perhaps minutes ago, and would post a press nobody just made.
template <class KeyStateFn, class PostFn>
void ScanKeys(KeyPollState& s, bool firstScan, KeyStateFn&& keyState, PostFn&& post) {
  const uint16_t downBits = firstScan ? 0x8000 : 0xFFFF;
  for (int code = 0; code < kPollKeyCount; ++code) {
    if (!IsPolledKeyCode(code)) continue;
    const bool down = (static_cast<uint16_t>(keyState(code)) & downBits) != 0;
    std::atomic_ref<int32_t> entry(s.held[static_cast<size_t>(code)]);
    const bool wasDown = entry.load(std::memory_order_relaxed) != 0;
    if (down == wasDown) continue;
    entry.store(down ? 1 : 0, std::memory_order_relaxed);
    const uint32_t msg = (down ? s.keyDownMessage : s.keyUpMessage).load(std::memory_order_relaxed);
    const uintptr_t window = s.window.load(std::memory_order_relaxed);
    if (msg == 0 || window == 0) continue;
    if (down && s.keyDownEnabled.load(std::memory_order_relaxed) == 0) continue;
    post(window, msg, code);
  }
}

// Forget the held keys; only while no thread scans.
void ClearHeldKeys(KeyPollState& s);

}  // namespace pelmo
