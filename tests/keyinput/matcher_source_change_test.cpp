// The matcher across a change of key source: a profile step bound to right Ctrl + Right that loads
// a profile with the other source must not leave both keys held, or Right alone steps again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "keyinput/KeyChordMatcher.h"

namespace pelmo {
namespace {

constexpr int kRCtrl = 163, kRight = 39, kLeft = 37, kPrint = 44;

KeyBindingTable Bindings() {
  KeyBindingTable t{};
  t[kEventDesktop] = {kPrint, 0, 0};
  t[kEventNextProfile] = {kRCtrl, kRight, 0};
  t[kEventBackProfile] = {kRCtrl, kLeft, 0};
  return t;
}

// '+' key-down, '-' key-up, 's' the receiver syncs with source generation `code`.
struct Step {
  char op;
  int code;
  std::vector<CaptureEventId> fires;
};

struct Case {
  const char* name;
  std::vector<Step> steps;
  std::vector<int> heldAtEnd;
};

TEST(KeyChordMatcherSourceChange, HeldKeysAreForgottenOnlyWhenTheSourceChanges) {
  const Case cases[] = {
      {"the step switches source; its releases are lost; Right alone does nothing",
       {{'s', 1, {}}, {'+', kRCtrl, {}}, {'+', kRight, {kEventNextProfile}}, {'s', 2, {}}, {'+', kRight, {}}},
       {kRight}},
      {"after the switch the whole combination works again",
       {{'s', 1, {}}, {'+', kRCtrl, {}}, {'+', kRight, {kEventNextProfile}}, {'s', 2, {}}, {'+', kRCtrl, {}},
        {'+', kRight, {kEventNextProfile}}},
       {kRCtrl, kRight}},
      {"a sync with the same generation keeps held keys and active events",
       {{'s', 5, {}}, {'+', kRCtrl, {}}, {'+', kRight, {kEventNextProfile}}, {'s', 5, {}}, {'+', kRight, {}}},
       {kRCtrl, kRight}},
      {"the first sync after start forgets keys seen before any source ran",
       {{'+', kPrint, {kEventDesktop}}, {'s', 1, {}}, {'+', kPrint, {kEventDesktop}}},
       {kPrint}},
      {"a release seen after the change of a key never reported down is harmless",
       {{'s', 1, {}}, {'+', kRCtrl, {}}, {'s', 2, {}}, {'-', kRCtrl, {}}, {'+', kLeft, {}}},
       {kLeft}},
  };
  const KeyBindingTable bindings = Bindings();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyChordMatcher m;
    m.Reset();
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      if (s.op == 's') {
        m.SyncSource(static_cast<uint32_t>(s.code));
      } else if (s.op == '+') {
        EXPECT_EQ(m.OnKeyDown(s.code, bindings, false), s.fires) << "step " << i;
      } else {
        m.OnKeyUp(s.code, bindings);
      }
    }
    for (int code = 0; code < kKeyCodeCount; ++code) {
      const bool expected = std::find(c.heldAtEnd.begin(), c.heldAtEnd.end(), code) != c.heldAtEnd.end();
      EXPECT_EQ(m.IsHeld(code), expected) << "code " << code;
    }
  }
}

}  // namespace
}  // namespace pelmo
