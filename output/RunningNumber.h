// The running number of the file-name template ("%r"): how it moves on after a capture.
#pragma once

#include <cstdint>

namespace pelmo {

class CNameProfile;

// The number after `current` once a capture has used it: current + increment. The page keeps
// numbers within 0..2147483647; a step that would leave that range (past 2147483647, or below 0
// with a hand-edited negative value) starts the numbering again at startNumber, as the page's
// reset button does (0 when startNumber itself is negative). Never overflows.
int32_t NextRunningNumber(int32_t current, int32_t increment, int32_t startNumber);

// The next number once the page's increment changes from oldIncrement to newIncrement: unchanged
// while numbering has not started (current == startNumber), else current + (new - old), kept
// within 0..2147483647.
int32_t NumberAfterIncrementChange(int32_t current, int32_t startNumber, int32_t oldIncrement,
                                   int32_t newIncrement);

// After a capture that used the number: CurrentNumber of the FILE_NAME section moves on by its
// IncreasingNumber (NextRunningNumber), and the page's next-number box is told. Returns 1.
int AdvanceRunningNumber(CNameProfile& names);

}  // namespace pelmo
