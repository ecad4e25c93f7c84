#include "output/RunningNumber.h"

#include <algorithm>
#include <limits>

#include "settings/NameProfile.h"

namespace pelmo {

int32_t NextRunningNumber(int32_t current, int32_t increment, int32_t startNumber) {
  const int64_t next = static_cast<int64_t>(current) + increment;
  if (next >= 0 && next <= std::numeric_limits<int32_t>::max()) return static_cast<int32_t>(next);
  return startNumber < 0 ? 0 : startNumber;
}

int32_t NumberAfterIncrementChange(int32_t current, int32_t startNumber, int32_t oldIncrement,
                                   int32_t newIncrement) {
  if (current == startNumber) return current;
  const int64_t moved = static_cast<int64_t>(current) + (static_cast<int64_t>(newIncrement) - oldIncrement);
  return static_cast<int32_t>(std::clamp<int64_t>(moved, 0, std::numeric_limits<int32_t>::max()));
}

int AdvanceRunningNumber(CNameProfile& names) {
  names.SetCurrentNumber(
      NextRunningNumber(names.GetCurrentNumber(), names.GetIncreasingNumber(), names.GetStartNumber()));
  return 1;
}

}  // namespace pelmo
