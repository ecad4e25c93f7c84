#include "output/RunningNumber.h"

#include <limits>

namespace pelmo {

int32_t NextRunningNumber(int32_t current, int32_t increment, int32_t startNumber) {
  const int64_t next = static_cast<int64_t>(current) + increment;
  if (next >= 0 && next <= std::numeric_limits<int32_t>::max()) return static_cast<int32_t>(next);
  return startNumber < 0 ? 0 : startNumber;
}

}  // namespace pelmo
