// The running number of the file-name template ("%r"): how it moves on after a capture.
#pragma once

#include <cstdint>

namespace pelmo {

// The number after `current` once a capture has used it: current + increment. The page keeps
// numbers within 0..2147483647; a step that would leave that range (past 2147483647, or below 0
// with a hand-edited negative value) starts the numbering again at startNumber, as the page's
// reset button does (0 when startNumber itself is negative). Never overflows.
int32_t NextRunningNumber(int32_t current, int32_t increment, int32_t startNumber);

}  // namespace pelmo
