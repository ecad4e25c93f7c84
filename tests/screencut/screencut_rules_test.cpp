// The window-free rules of the screen cuts and automatic capture.
#include <gtest/gtest.h>

#include <climits>

#include "capture/ScreenCutGeometry.h"
#include "settings/TimeProfile.h"

using namespace pelmo;
using cut::Rect;

TEST(CutGeometry, BothDragDirectionsGiveTheSameRectangle) {
  const Rect down = cut::Normalize(10, 20, 110, 70);
  EXPECT_EQ(cut::Normalize(110, 70, 10, 20), down);
  EXPECT_EQ(cut::Normalize(10, 70, 110, 20), down);
  EXPECT_EQ(down, (Rect{10, 20, 110, 70}));
  // A display left of and above the primary one.
  EXPECT_EQ(cut::Normalize(-5, -300, -1280, -1), (Rect{-1280, -300, -5, -1}));
}

TEST(CutGeometry, FixedBoxFollowsTheSizeRules) {
  struct Case {
    int32_t sx, sy;
    Rect box;
  } cases[] = {
      {600, 480, {100, 60, 700, 540}},
      {601, 480, {100, 60, 700, 540}},  // odd: one pixel narrower
      {1, 480, {400, 60, 400, 540}},    // empty: every click cancels
      {0, 0, {400, 300, 400, 300}},
      {-600, -480, {100, 60, 700, 540}},  // the absolute value
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cut::FixedBox(400, 300, c.sx, c.sy), c.box) << c.sx << "x" << c.sy;
  }
  EXPECT_TRUE(cut::FixedBox(400, 300, 1, 480).empty());
  // A hand-edited huge size does not wrap around.
  const Rect huge = cut::FixedBox(INT32_MAX - 10, INT32_MIN + 10, INT32_MAX, INT32_MIN);
  EXPECT_EQ(huge.right, INT32_MAX);
  EXPECT_EQ(huge.top, INT32_MIN);
  EXPECT_LT(huge.left, huge.right);
}

TEST(CutGeometry, TheBoxGivesBackExactlyTheRectanglePlaced) {
  for (const Rect& r : {Rect{10, 20, 11, 21}, Rect{-1280, -5, 40, 700}, Rect{0, 0, 600, 480}}) {
    EXPECT_EQ(cut::CutInside(cut::BoxAround(r)), r);
  }
  // Nothing inside a box of 4 pixels or less: an empty drag cancels.
  EXPECT_TRUE(cut::CutInside(cut::BoxAround(Rect{5, 5, 5, 50})).empty());
  EXPECT_TRUE(cut::CutInside(Rect{0, 0, 4, 100}).empty());
  EXPECT_EQ(cut::Mid(-3, 0), -1);  // toward zero
}

TEST(CutGeometry, PulseRunsBetween30And255InStepsOf15) {
  cut::Pulse p;
  std::vector<int> seen;
  for (int i = 0; i < 32; ++i) {
    p.Tick();
    seen.push_back(p.level);
  }
  const std::vector<int> head = {30, 45, 60, 75, 90, 105, 120, 135, 150, 165, 180, 195, 210, 225, 240, 255, 240};
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 17), head);
  EXPECT_EQ(seen[30], 30);
  EXPECT_EQ(seen[31], 45);  // one cycle is 30 ticks: 750 ms at 25 ms
}

TEST(AutoCaptureInterval, KeptInItsRange) {
  struct Case {
    int32_t interval;
    uint32_t ms;
  } cases[] = {{1, 100}, {50, 5000}, {36000, 3600000}, {0, 100}, {-5, 100}, {INT32_MIN, 100},
               {36001, 3600000}, {INT32_MAX, 3600000}};
  for (const auto& c : cases) EXPECT_EQ(cut::TimerPeriodMs(c.interval), c.ms) << c.interval;
}

TEST(AutoCaptureTick, TargetTestsFollowTheOptions) {
  auto* target = reinterpret_cast<WindowHandle>(0x1234);
  struct Case {
    int32_t action, exitNoActive, targetOnly;
    bool hasTarget, isWindow, inFront;
    bool valid, capture;
  } cases[] = {
      {1, 0, 0, false, false, false, true, true},   // no target: every tick, any window
      {1, 1, 0, true, true, true, true, true},
      {1, 1, 0, true, true, false, false, false},   // ExitNoActive: ends when not in front
      {1, 0, 1, true, true, false, true, false},    // TargetOnly: pauses when not in front
      {1, 0, 1, true, true, true, true, true},      // ... and resumes
      {1, 0, 1, true, false, false, false, false},  // ... ends when the window is gone
      {2, 1, 1, true, true, false, false, false},
      {0, 1, 0, true, true, false, false, true},    // the desktop is never in front
      {3, 0, 1, true, true, false, true, true},     // displays: the options change nothing
  };
  for (const auto& c : cases) {
    CTimeProfile t;
    t.SetActionType(c.action);
    t.SetExitNoActive(c.exitNoActive);
    t.SetTargetOnly(c.targetOnly);
    t.Run().target = c.hasTarget ? target : nullptr;
    EXPECT_EQ(t.TargetStillValid(c.isWindow, c.inFront), c.valid) << c.action << c.exitNoActive << c.targetOnly;
    EXPECT_EQ(t.ShouldCaptureNow(c.inFront), c.capture) << c.action << c.exitNoActive << c.targetOnly;
  }
}

TEST(AutoCaptureState, ReadingAProfileStopsARunAndCopiesNeverRun) {
  CTimeProfile t;
  int stops = 0;
  t.Run().stop = [&] {
    ++stops;
    t.Run().running = 0;
  };
  t.Run().running = 1;
  const CTimeProfile copy = t;  // a snapshot
  EXPECT_FALSE(copy.IsAutoCaptureRunning());
  CTimeProfile assigned;
  assigned = t;
  EXPECT_FALSE(assigned.IsAutoCaptureRunning());
  t = CTimeProfile{};  // assigning settings keeps the run as it is
  EXPECT_TRUE(t.IsAutoCaptureRunning());
  t.Read(L"no-such-profile.ini");
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(t.IsAutoCaptureRunning());
  t.Read(L"no-such-profile.ini");
  EXPECT_EQ(stops, 1);
}
