// The next/previous profile rule over the sorted profile list, at the list sizes where the old
// route through the tray's command ids broke (100 and more profiles).
#include <gtest/gtest.h>

#include "settingsui/ProfileStep.h"

namespace {

using pelmo::ProfileStepTarget;

struct StepCase {
  int selected, count;
  bool next;
  int expected;
};

TEST(ProfileStep, NeighbourWithoutWrapAround) {
  const StepCase cases[] = {
      // no profiles (the selector answers -1 or 0 for empty)
      {-1, -1, true, -1}, {-1, 0, false, -1}, {0, 0, true, -1},
      // one profile: nowhere to go
      {0, 1, true, -1}, {0, 1, false, -1},
      // nothing selected
      {-1, 5, true, -1}, {-1, 5, false, -1},
      // 99 profiles
      {0, 99, false, -1}, {0, 99, true, 1}, {97, 99, true, 98}, {98, 99, true, -1}, {98, 99, false, 97},
      // 100 profiles: the last one a tray command id can name is 99
      {98, 100, true, 99}, {99, 100, true, -1}, {99, 100, false, 98},
      // 150 profiles: past the tray's range (32830 + 102 would be 32932)
      {99, 150, true, 100}, {101, 150, true, 102}, {102, 150, true, 103}, {102, 150, false, 101},
      {149, 150, true, -1}, {149, 150, false, 148}, {0, 150, false, -1},
      // a selection the list does not have
      {150, 150, false, -1}, {7, 3, true, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileStepTarget(c.selected, c.count, c.next), c.expected)
        << "selected " << c.selected << " of " << c.count << (c.next ? " next" : " previous");
  }
}

static_assert(ProfileStepTarget(101, 150, true) == 102);

}  // namespace
