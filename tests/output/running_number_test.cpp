#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "output/RunningNumber.h"
#include "settings/NameProfile.h"

using namespace pelmo;

TEST(NextRunningNumber, StepsAndWhatHappensAtTheEndOfTheRange) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  struct Case {
    int32_t current, increment, start, expected;
  };
  const Case cases[] = {
      {0, 1, 0, 1},
      {1, 10, 0, 11},
      {kMax - 1, 1, 0, kMax},          // the last number is still used
      {kMax, 1, 0, 0},                 // then numbering starts again
      {kMax, 1, 100, 100},             // ... at the start number
      {kMax - 5, 32767, 3, 3},
      {kMax, 1, -9, 0},                // never at a negative number
      {5, 0, 0, 5},                    // a hand-edited step of 0 keeps the number
      {10, -3, 0, 7},                  // a hand-edited negative step counts down ...
      {1, -3, 4, 4},                   // ... but not below 0
      {-5, 1, 2, 2},                   // a hand-edited negative number starts again
      {kMin, -1, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.current << " + " << c.increment << " (start " << c.start << ")");
    EXPECT_EQ(NextRunningNumber(c.current, c.increment, c.start), c.expected);
  }
}

TEST(NumberAfterIncrementChange, MovesOnlyStartedNumbersAndStaysInRange) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  struct Case {
    int32_t current, start, oldStep, newStep, expected;
  };
  const Case cases[] = {
      {5, 5, 1, 10, 5},           // not started: unchanged
      {6, 5, 1, 10, 15},          // started: the pending step follows the new increment
      {15, 5, 10, 1, 6},
      {3, 0, 10, 1, 0},           // never below 0
      {kMax - 2, 0, 1, 32767, kMax},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.current << " " << c.oldStep << "->" << c.newStep);
    EXPECT_EQ(NumberAfterIncrementChange(c.current, c.start, c.oldStep, c.newStep), c.expected);
  }
}

TEST(AdvanceRunningNumber, MovesTheSectionsNumberAndTellsThePage) {
  CNameProfile names;
  std::vector<int32_t> shown;
  names.SetNextNumberDisplay([&](int32_t n) { shown.push_back(n); });
  names.SetStartNumber(10);
  names.SetIncreasingNumber(5);
  names.SetCurrentNumber(2147483640);
  EXPECT_EQ(AdvanceRunningNumber(names), 1);
  EXPECT_EQ(names.GetCurrentNumber(), 2147483645);
  AdvanceRunningNumber(names);  // 2147483650 does not fit: numbering starts again
  EXPECT_EQ(names.GetCurrentNumber(), 10);
  EXPECT_EQ(shown, (std::vector<int32_t>{2147483640, 2147483645, 10}));
}
