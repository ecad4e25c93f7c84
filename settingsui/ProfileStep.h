// The next/previous profile events: which entry of the profile list they select. The list is the
// settings window's sorted selector; there is no wrap-around.
#pragma once

namespace pelmo {

// selected: the selected index (-1 for none); count: the number of entries (0 or -1 for none).
// Returns the index to select, or -1 when there is nothing to switch to.
constexpr int ProfileStepTarget(int selected, int count, bool next) {
  if (count <= 0 || selected < 0 || selected >= count) return -1;
  if (next) return selected + 1 < count ? selected + 1 : -1;
  return selected > 0 ? selected - 1 : -1;
}

}  // namespace pelmo
