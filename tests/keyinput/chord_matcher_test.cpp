#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keyinput/KeyChordMatcher.h"

namespace pelmo {
namespace {

constexpr int kPrint = 44, kRAlt = 165, kRCtrl = 163, kRight = 39, kA = 65, kB = 66, kC = 67;

KeyBindingTable Defaults() {
  KeyBindingTable t{};
  t[kEventDesktop] = {kPrint, 0, 0};
  t[kEventWindow] = {kRAlt, kPrint, 0};
  t[kEventClient] = {kRCtrl, kPrint, 0};
  t[kEventNextProfile] = {kRCtrl, kRight, 0};
  t[kEventBackProfile] = {kRCtrl, 37, 0};
  return t;
}

// A step of a key sequence: '+' key-down, '-' key-up, with the events the step must fire.
struct Step {
  char op;
  int code;
  std::vector<CaptureEventId> fires;
  bool inputDisabled = false;
};

void RunSequence(const KeyBindingTable& bindings, const std::vector<Step>& steps) {
  KeyChordMatcher m;
  m.Reset();
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    if (s.op == '+') {
      EXPECT_EQ(m.OnKeyDown(s.code, bindings, s.inputDisabled), s.fires) << "step " << i;
    } else {
      m.OnKeyUp(s.code, bindings);
      EXPECT_TRUE(s.fires.empty()) << "a key-up never fires; step " << i;
    }
  }
}

struct Case {
  const char* name;
  KeyBindingTable bindings;
  std::vector<Step> steps;
};

KeyBindingTable With(KeyBindingTable t, CaptureEventId e, KeyBinding b) {
  t[e] = b;
  return t;
}

TEST(KeyChordMatcher, KeySequencesFireTheExpectedEvents) {
  const KeyBindingTable d = Defaults();
  const Case cases[] = {
      {"two keys beat one; the one-key event stays quiet while its key is held",
       d,
       {{'+', kRAlt, {}}, {'+', kPrint, {kEventWindow}}, {'-', kRAlt, {}}, {'+', kRAlt, {kEventWindow}},
        {'-', kRAlt, {}}, {'-', kPrint, {}}, {'+', kPrint, {kEventDesktop}}}},
      {"one key first, then the second completes the longer chord",
       d,
       {{'+', kPrint, {kEventDesktop}}, {'+', kRAlt, {kEventWindow}}}},
      {"no repeat while held, also with an unrelated key pressed",
       d,
       {{'+', kPrint, {kEventDesktop}}, {'+', kPrint, {}}, {'+', kA, {}}, {'-', kA, {}}, {'+', kA, {}}}},
      {"release and press again fires again",
       d,
       {{'+', kPrint, {kEventDesktop}}, {'-', kPrint, {}}, {'+', kPrint, {kEventDesktop}}}},
      {"two events on the same chord both fire, ascending",
       With(With(KeyBindingTable{}, 12, {kA, kB, 0}), 3, {kB, kA, 0}),
       {{'+', kA, {}}, {'+', kB, {3, 12}}}},
      {"only the events with the most keys fire among those completed together",
       With(With(With(KeyBindingTable{}, 0, {kA, 0, 0}), 4, {0, kB, kA}), 7, {kA, kB, kC}),
       {{'+', kB, {}}, {'+', kC, {}}, {'+', kA, {7}}, {'-', kC, {}}, {'+', kC, {7}}}},
      {"empty slots anywhere: only slot 2 set",
       With(KeyBindingTable{}, 5, {0, 0, kA}),
       {{'+', kA, {5}}}},
      {"empty slot in the middle",
       With(KeyBindingTable{}, 6, {kA, 0, kB}),
       {{'+', kB, {}}, {'+', kA, {6}}}},
      {"a doubled code counts two keys and needs only that key",
       With(With(KeyBindingTable{}, 1, {kA, kA, 0}), 2, {kA, kB, 0}),
       {{'+', kB, {}}, {'+', kA, {1, 2}}}},
      {"a doubled code beats a single one",
       With(With(KeyBindingTable{}, 1, {kA, 0, 0}), 2, {kA, 0, kA}),
       {{'+', kA, {2}}}},
      {"codes outside 0..255 never match and never index out of bounds",
       With(With(With(KeyBindingTable{}, 1, {kA, 256, 0}), 2, {-1, kA, 0}), 3, {INT32_MAX, 0, 0}),
       {{'+', kA, {}}, {'+', 256, {}}, {'-', -1, {}}, {'+', -1, {}}, {'+', INT32_MIN, {}}}},
      {"a side-neutral modifier in a binding is held by either side",
       With(With(KeyBindingTable{}, 3, {17, kA, 0}), 4, {16, 18, kB}),
       {{'+', 163, {}}, {'+', kA, {3}}, {'-', 163, {}}, {'+', 162, {3}}, {'+', 161, {}},
        {'+', 165, {}}, {'+', kB, {4}}, {'-', 161, {}}, {'+', 160, {4}}, {'-', 160, {}}, {'+', 16, {4}}}},
      {"a key-up for a key never seen down is harmless",
       d,
       {{'-', kPrint, {}}, {'+', kPrint, {kEventDesktop}}}},
      {"an unbound table fires nothing",
       KeyBindingTable{},
       {{'+', kA, {}}, {'+', kPrint, {}}, {'+', 0, {}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSequence(c.bindings, c.steps);
  }
}

TEST(KeyChordMatcher, InputDisabledModeFiresOnlyTheToggleAndKeepsOthersActive) {
  KeyBindingTable t = Defaults();
  t[kEventToggleInputMode] = {kRCtrl, kA, 0};
  t[kEventOpenSettings] = {kRCtrl, kA, 0};
  KeyChordMatcher m;
  m.Reset();
  EXPECT_EQ(m.OnKeyDown(kPrint, t, true), std::vector<CaptureEventId>{});
  EXPECT_TRUE(m.IsActive(kEventDesktop));
  EXPECT_EQ(m.OnKeyDown(kRCtrl, t, true), std::vector<CaptureEventId>{});
  EXPECT_TRUE(m.IsActive(kEventClient));
  // The toggle fires alone, though event 9 has the same chord.
  EXPECT_EQ(m.OnKeyDown(kA, t, true), std::vector<CaptureEventId>{kEventToggleInputMode});
  EXPECT_TRUE(m.IsActive(kEventOpenSettings));
  // Mode now off: chords completed meanwhile stay active until a key of theirs is released.
  EXPECT_EQ(m.OnKeyDown(kB, t, false), std::vector<CaptureEventId>{});
  m.OnKeyUp(kPrint, t);
  EXPECT_FALSE(m.IsActive(kEventDesktop));
  EXPECT_FALSE(m.IsActive(kEventClient));
  EXPECT_TRUE(m.IsActive(kEventOpenSettings));
  EXPECT_EQ(m.OnKeyDown(kPrint, t, false), (std::vector<CaptureEventId>{kEventClient}));
  m.OnKeyUp(kA, t);
  EXPECT_EQ(m.OnKeyDown(kA, t, false),
            (std::vector<CaptureEventId>{kEventOpenSettings, kEventToggleInputMode}));
}

TEST(KeyChordMatcher, ResetForgetsHeldKeysAndActiveEvents) {
  const KeyBindingTable d = Defaults();
  KeyChordMatcher m;
  m.Reset();
  EXPECT_EQ(m.OnKeyDown(kPrint, d, false), std::vector<CaptureEventId>{kEventDesktop});
  EXPECT_TRUE(m.IsHeld(kPrint));
  m.Reset();
  EXPECT_FALSE(m.IsHeld(kPrint));
  EXPECT_FALSE(m.IsActive(kEventDesktop));
  // A key held across a rebind counts again only once its key-down is seen again.
  EXPECT_EQ(m.OnKeyDown(kRAlt, d, false), std::vector<CaptureEventId>{});
  EXPECT_EQ(m.OnKeyDown(kPrint, d, false), std::vector<CaptureEventId>{kEventWindow});
}

TEST(KeyChordMatcher, MatchBindingCountsKeysOfCompleteBindings) {
  HeldKeyTable held{};
  held[kA] = 1;
  held[kB] = 1;
  struct Row {
    KeyBinding binding;
    bool matched;
    int keys;
  };
  const Row rows[] = {
      {{kA, 0, 0}, true, 1},  {{0, kA, kB}, true, 2}, {{kA, kA, kB}, true, 3},
      {{kA, kC, 0}, false, 0}, {{0, 0, 0}, false, 0}, {{kA, 256, 0}, false, 0},
      {{-7, 0, 0}, false, 0},
  };
  for (const Row& r : rows) {
    const BindingMatch m = MatchBinding(held, r.binding);
    EXPECT_EQ(m.matched, r.matched) << r.binding[0] << "," << r.binding[1] << "," << r.binding[2];
    EXPECT_EQ(m.keyCount, r.keys);
  }
}

}  // namespace
}  // namespace pelmo
