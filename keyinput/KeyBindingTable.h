// Key bindings of the 17 events: three virtual-key codes each, 0 = empty slot.
#pragma once

#include <array>
#include <cstdint>

#include "core/CaptureEvents.h"

namespace pelmo {

inline constexpr int kBindingSlots = 3;
using KeyBinding = std::array<int32_t, kBindingSlots>;
using KeyBindingTable = std::array<KeyBinding, kEventCount>;

}  // namespace pelmo
