#include "keyinput/KeyPollScan.h"

namespace pelmo {

void ClearHeldKeys(KeyPollState& s) {
  for (int32_t& entry : s.held) std::atomic_ref<int32_t>(entry).store(0, std::memory_order_relaxed);
}

}  // namespace pelmo
