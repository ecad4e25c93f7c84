// The rules of the screen-cut overlays that need no window: the rectangles the frame box shows,
// the pulse of its grey frame, and the automatic-capture timer period. Portable and table-tested.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace pelmo::cut {

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  constexpr int32_t width() const { return right - left; }
  constexpr int32_t height() const { return bottom - top; }
  constexpr bool empty() const { return right <= left || bottom <= top; }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// The rectangle spanned by two corners given in any order (a drag to the upper left included).
constexpr Rect Normalize(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return {x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
}

// The fixed-size box centred on the cursor: half the size each way, halves rounding toward zero,
// so an odd size loses one pixel, a size of 1 (or 0) gives an empty box and a negative size
// counts as its absolute value. 64-bit on the way so a hand-edited huge size cannot overflow.
constexpr Rect FixedBox(int32_t x, int32_t y, int32_t sizeX, int32_t sizeY) {
  const int64_t w = sizeX / 2 < 0 ? -(int64_t{sizeX} / 2) : sizeX / 2;
  const int64_t h = sizeY / 2 < 0 ? -(int64_t{sizeY} / 2) : sizeY / 2;
  auto clamp = [](int64_t v) -> int32_t {
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
  };
  return {clamp(x - w), clamp(y - h), clamp(x + w), clamp(y + h)};
}

// The frame box lies 2 pixels outside the rectangle it marks.
inline constexpr int32_t kBoxMargin = 2;

constexpr Rect BoxAround(const Rect& r) {
  return {r.left - kBoxMargin, r.top - kBoxMargin, r.right + kBoxMargin, r.bottom + kBoxMargin};
}

// The rectangle a box window marks; empty when the box is 4 pixels or less either way.
constexpr Rect CutInside(const Rect& box) {
  if (box.width() <= 2 * kBoxMargin || box.height() <= 2 * kBoxMargin) return {};
  return {box.left + kBoxMargin, box.top + kBoxMargin, box.right - kBoxMargin, box.bottom - kBoxMargin};
}

// The centre of a rectangle, halves rounding toward zero.
constexpr int32_t Mid(int32_t a, int32_t b) { return static_cast<int32_t>((int64_t{a} + b) / 2); }

// The pulse of the frame's grey level: up in steps of 15 until 250 is reached, then down until
// 30, and so on. `rising` is carried from tick to tick.
struct Pulse {
  int32_t level = 15;
  bool rising = true;
  constexpr void Tick() {
    if (rising && level >= 250) rising = false;
    else if (!rising && level <= 30) rising = true;
    level += rising ? 15 : -15;
  }
};

// Automatic capture: "Interval" in tenths of a second, kept in 1..36000 (0.1 s to one hour) the way
// the settings page keeps it, so a zero, negative or hand-edited huge value never makes a busy or
// overflowing timer.
inline constexpr int32_t kMinInterval = 1;
inline constexpr int32_t kMaxInterval = 36000;

constexpr int32_t ClampInterval(int32_t interval) {
  return interval < kMinInterval ? kMinInterval : (interval > kMaxInterval ? kMaxInterval : interval);
}

constexpr uint32_t TimerPeriodMs(int32_t interval) { return static_cast<uint32_t>(ClampInterval(interval)) * 100u; }

}  // namespace pelmo::cut
