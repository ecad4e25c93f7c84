#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "keyinput/KeyPollScan.h"

namespace pelmo {
namespace {

using Posted = std::tuple<uintptr_t, uint32_t, int>;

// A fake keyboard: the codes down now, and which of them only have the "pressed since the last
// query" bit (a tap between two scans).
struct Keyboard {
  std::set<int> down;
  std::set<int> tapped;
  std::vector<int> asked;
  int16_t operator()(int code) {
    asked.push_back(code);
    if (down.count(code)) return static_cast<int16_t>(0x8000);
    if (tapped.erase(code)) return 1;
    return 0;
  }
};

struct Scanner {
  KeyPollState state;
  Keyboard keyboard;
  std::vector<Posted> posted;
  bool first = false;  // most cases look at a worker that has already run
  std::vector<Posted> Scan() {
    posted.clear();
    ScanKeys(state, first, keyboard, [this](uintptr_t w, uint32_t m, int c) { posted.emplace_back(w, m, c); });
    return posted;
  }
  void Bind(uintptr_t window, uint32_t down, uint32_t up) {
    state.window = window;
    state.keyDownMessage = down;
    state.keyUpMessage = up;
  }
};

constexpr uintptr_t kWin = 0x1234;
constexpr uint32_t kDown = 0x8004, kUp = 0x8005;

TEST(KeyPollScan, AsksEveryCodeButTheSkippedOnesInAscendingOrder) {
  Scanner s;
  s.Scan();
  std::vector<int> expected;
  for (int c = 2; c < 256; ++c) {
    if (c != 16 && c != 17 && c != 18) expected.push_back(c);
  }
  EXPECT_EQ(s.keyboard.asked, expected);
  EXPECT_EQ(expected.size(), 251u);
}

TEST(KeyPollScan, PostsOneDownPerPressAndOneUpPerRelease) {
  Scanner s;
  s.Bind(kWin, kDown, kUp);
  s.keyboard.down = {44, 165};
  EXPECT_EQ(s.Scan(), (std::vector<Posted>{{kWin, kDown, 44}, {kWin, kDown, 165}}));
  EXPECT_TRUE(s.Scan().empty()) << "a held key repeats nothing";
  EXPECT_EQ(s.state.held[44], 1);
  s.keyboard.down = {165};
  EXPECT_EQ(s.Scan(), (std::vector<Posted>{{kWin, kUp, 44}}));
  EXPECT_EQ(s.state.held[44], 0);
}

TEST(KeyPollScan, ATapBetweenTwoScansIsStillReported) {
  Scanner s;
  s.Bind(kWin, kDown, kUp);
  s.keyboard.tapped = {65};
  EXPECT_EQ(s.Scan(), (std::vector<Posted>{{kWin, kDown, 65}}));
  EXPECT_EQ(s.Scan(), (std::vector<Posted>{{kWin, kUp, 65}}));
}

TEST(KeyPollScan, TheFirstScanSeesHeldKeysButNoStalePresses) {
  Scanner s;
  s.Bind(kWin, kDown, kUp);
  s.first = true;
  s.keyboard.down = {44};
  s.keyboard.tapped = {65};  // its "pressed since" bit is left from before the start
  EXPECT_EQ(s.Scan(), (std::vector<Posted>{{kWin, kDown, 44}}));
  EXPECT_TRUE(s.keyboard.tapped.empty()) << "the first scan queries, and so clears, every code";
  s.first = false;
  EXPECT_TRUE(s.Scan().empty());
}

TEST(KeyPollScan, NeverReportsTheLeftButtonOrTheNeutralModifiers) {
  Scanner s;
  s.Bind(kWin, kDown, kUp);
  s.keyboard.down = {0, 1, 2, 4, 5, 6, 16, 17, 18, 160, 255};
  std::vector<int> codes;
  for (const Posted& p : s.Scan()) codes.push_back(std::get<2>(p));
  EXPECT_EQ(codes, (std::vector<int>{2, 4, 5, 6, 160, 255}));
}

TEST(KeyPollScan, UnboundOrSuppressedTransitionsAreTrackedButNotPosted) {
  struct Case {
    const char* name;
    uintptr_t window;
    uint32_t down, up;
    int32_t enabled;
    bool postsDown, postsUp;
  };
  const Case cases[] = {
      {"bound", kWin, kDown, kUp, 1, true, true},
      {"key-down disabled: only the key-up", kWin, kDown, kUp, 0, false, true},
      {"key-up message 0 (key capture control)", kWin, kDown, 0, 1, true, false},
      {"no window", 0, kDown, kUp, 1, false, false},
      {"no messages", kWin, 0, 0, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scanner s;
    s.Bind(c.window, c.down, c.up);
    s.state.keyDownEnabled = c.enabled;
    s.keyboard.down = {65};
    EXPECT_EQ(s.Scan().size(), c.postsDown ? 1u : 0u);
    EXPECT_EQ(s.state.held[65], 1);
    s.keyboard.down = {};
    const auto ups = s.Scan();
    EXPECT_EQ(ups.size(), c.postsUp ? 1u : 0u);
    if (c.postsUp) {
      EXPECT_EQ(ups[0], (Posted{c.window, c.up, 65}));
    }
    EXPECT_EQ(s.state.held[65], 0);
  }
}

TEST(KeyPollScan, AKeyPressedWhileUnboundReleasesAfterBinding) {
  Scanner s;
  s.keyboard.down = {44};
  EXPECT_TRUE(s.Scan().empty());
  s.Bind(kWin, kDown, kUp);
  EXPECT_TRUE(s.Scan().empty());
  s.keyboard.down = {};
  EXPECT_EQ(s.Scan(), (std::vector<Posted>{{kWin, kUp, 44}}));
  ClearHeldKeys(s.state);
  s.keyboard.down = {44};
  EXPECT_EQ(s.Scan(), (std::vector<Posted>{{kWin, kDown, 44}})) << "after a clear a held key is new";
}

}  // namespace
}  // namespace pelmo
