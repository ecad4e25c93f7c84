// The three screen cuts in the running program, driven by real key and mouse input; the files are
// decoded with stb_image and compared pixel by pixel with a window whose pixels we know.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "cut_driver.h"
#include "cut_overlay.h"

namespace {

using namespace pelmo::test;

class ScreenCut : public ::testing::Test {
 protected:
  void StartWith(const std::wstring& extra = L"") {
    ASSERT_TRUE(s_.Start(extra));
    window_ = std::make_unique<PatternWindow>(200, 150, 240, 160);
  }

  // Every way out: cursors back, the previous window in front, and (for a cancel) nothing else.
  void ExpectCleanEnd(const char* how) {
    SCOPED_TRACE(how);
    EXPECT_EQ(s_.monitor.Lines(L"cursors cross-hair").size(), s_.monitor.Lines(L"cursors restored").size());
    EXPECT_FALSE(FileExists(InterruptedMarker()));
    PumpFor(200);
    EXPECT_EQ(GetForegroundWindow(), window_->hwnd());
  }

  void ExpectCancelled(const char* how, size_t cutsSoFar) {
    SCOPED_TRACE(how);
    ASSERT_TRUE(s_.WaitEventDone(5, cutsSoFar));
    const auto done = s_.monitor.Lines(L"event 5 done");
    ASSERT_EQ(done.size(), cutsSoFar);
    EXPECT_NE(done.back().find(L"no sound"), std::wstring::npos) << done.back();
    EXPECT_EQ(s_.monitor.Lines(L"cut cancelled").size(), cutsSoFar);
    EXPECT_TRUE(FilesUnder(s_.outFolder()).empty());
    EXPECT_TRUE(s_.monitor.Lines(L"balloon").empty());
    EXPECT_TRUE(s_.monitor.Lines(L"sound event").empty());
    ExpectCleanEnd(how);
  }

  static std::wstring InterruptedMarker() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring p = temp;
    if (p.back() != L'\\') p += L'\\';
    return p + L"pelmo-screencut.marker";
  }

  CutSession s_;
  std::unique_ptr<PatternWindow> window_;
};

TEST_F(ScreenCut, FreeDragToTheUpperLeftWritesExactlyThatRectangle) {
  StartWith();
  const RECT c = window_->ClientOnScreen();
  // From inside the bottom-right quadrant to inside the top-left one: all four quadrants.
  const POINT from{c.left + 200, c.top + 130}, to{c.left + 40, c.top + 30};
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  MoveTo(from.x, from.y);
  LeftDown();
  for (int i = 1; i <= 4; ++i) MoveTo(from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4);
  LeftUp();
  ASSERT_TRUE(s_.WaitEventDone(5, 1));
  const std::wstring file = s_.Out(L"ScreenCut001.png");
  ASSERT_TRUE(FileExists(file)) << s_.monitor.Lines(L"event 5").back().size();
  const Image img = DecodeImage(file);
  for (const auto& line : s_.monitor.Lines(L"cut")) std::printf("%ls\n", line.c_str());
  std::printf("from %ld,%ld to %ld,%ld\n", from.x, from.y, to.x, to.y);
  ASSERT_EQ(img.width, from.x - to.x);
  ASSERT_EQ(img.height, from.y - to.y);
  int wrong = 0;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      if (img.At(x, y) != window_->ColourAt(to.x - c.left + x, to.y - c.top + y)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0) << "pixels differing from the window";
  const auto done = s_.monitor.Lines(L"event 5 done");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_NE(done[0].find(L", sound"), std::wstring::npos);
  ExpectCleanEnd("taken");
}

TEST_F(ScreenCut, EveryWayOfCancellingLeavesNothingBehind) {
  StartWith();
  const RECT c = window_->ClientOnScreen();
  size_t cuts = 0;

  ASSERT_TRUE(s_.BeginCut(VK_F5));
  PressKey(VK_ESCAPE, 50);
  ExpectCancelled("escape", ++cuts);

  window_->BringToFront();
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  PressKey('A', 50);
  ExpectCancelled("another key", ++cuts);

  // The key of another cut: it cancels this one and starts nothing (key-downs are off meanwhile).
  window_->BringToFront();
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  PressKey(VK_F6, 50);
  ExpectCancelled("the fixed cut's key", ++cuts);
  PumpFor(300);
  EXPECT_TRUE(s_.monitor.Lines(L"event 6").empty());
  EXPECT_EQ(s_.monitor.Lines(L"cut overlay shown").size(), cuts);

  window_->BringToFront();
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  MoveTo(c.left + 50, c.top + 50);
  RightClick();
  ExpectCancelled("right button", ++cuts);

  window_->BringToFront();
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  MoveTo(c.left + 50, c.top + 20);
  LeftDown();
  MoveTo(c.left + 50, c.top + 90);  // no width
  LeftUp();
  ExpectCancelled("zero-width drag", ++cuts);

  window_->BringToFront();
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  MoveTo(c.left + 50, c.top + 20);
  LeftDown();
  LeftUp();  // a click without a drag
  ExpectCancelled("click", ++cuts);
}

TEST_F(ScreenCut, FixedSizeOfOddWidthIsOnePixelNarrowerAndCentredOnTheCursor) {
  StartWith(L"[SCREEN_CUT]\r\nFixSizeX=601\r\nFixSizeY=480\r\n");
  const RECT c = window_->ClientOnScreen();
  const POINT at{c.left + 120, c.top + 80};
  ASSERT_TRUE(s_.BeginCut(VK_F6));
  MoveTo(at.x, at.y);
  MoveTo(at.x, at.y);
  LeftDown();
  LeftUp();
  ASSERT_TRUE(s_.WaitEventDone(6, 1));
  const Image img = DecodeImage(s_.Out(L"ScreenCutRect001.png"));
  ASSERT_EQ(img.width, 600);
  ASSERT_EQ(img.height, 480);
  // The image's top-left is the cursor minus half the size.
  const int ox = at.x - 300, oy = at.y - 240;
  int wrong = 0;
  for (int y = c.top; y < c.bottom; ++y) {
    for (int x = c.left; x < c.right; ++x) {
      if (img.At(x - ox, y - oy) != window_->ColourAt(x - c.left, y - c.top)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  ExpectCleanEnd("fixed");
}

TEST_F(ScreenCut, FixedSizeOfOnePixelCancelsEveryClick) {
  StartWith(L"[SCREEN_CUT]\r\nFixSizeX=1\r\nFixSizeY=480\r\n");
  const RECT c = window_->ClientOnScreen();
  ASSERT_TRUE(s_.BeginCut(VK_F6));
  MoveTo(c.left + 60, c.top + 60);
  LeftDown();
  LeftUp();
  ASSERT_TRUE(s_.WaitEventDone(6, 1));
  EXPECT_EQ(s_.monitor.Lines(L"cut cancelled").size(), 1u);
  EXPECT_TRUE(FilesUnder(s_.outFolder()).empty());
  EXPECT_TRUE(s_.monitor.Lines(L"balloon").empty());
}

// A button inside the pattern window.
HWND MakeButton(HWND parent, int x, int y, int w, int h) {
  HWND b = CreateWindowExW(0, L"BUTTON", L"Target", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(100), GetModuleHandleW(nullptr), nullptr);
  PumpFor(200);
  return b;
}

TEST_F(ScreenCut, TargetFramesAButtonAloneAndNamesTheFileScreenCutTarget) {
  StartWith();
  HWND button = MakeButton(window_->hwnd(), 60, 40, 100, 50);
  ASSERT_NE(button, nullptr);
  RECT b{};
  GetWindowRect(button, &b);
  ASSERT_TRUE(s_.BeginCut(VK_F7));
  MoveTo(b.left + 50, b.top + 25);
  MoveTo(b.left + 50, b.top + 25);
  PumpFor(500);  // the target follows every 200 ms
  LeftDown();
  LeftUp();
  ASSERT_TRUE(s_.WaitEventDone(7, 1));
  const auto taken = s_.monitor.Lines(L"cut taken");
  ASSERT_EQ(taken.size(), 1u);
  const std::wstring expected = std::to_wstring(b.left) + L"," + std::to_wstring(b.top) + L"," +
                                std::to_wstring(b.right) + L"," + std::to_wstring(b.bottom);
  EXPECT_NE(taken[0].find(expected), std::wstring::npos) << taken[0];
  const Image img = DecodeImage(s_.Out(L"ScreenCutTarget001.png"));
  EXPECT_EQ(img.width, b.right - b.left);
  EXPECT_EQ(img.height, b.bottom - b.top);
  ExpectCleanEnd("target");
}

TEST_F(ScreenCut, TheEndOfTheSessionDuringACutRestoresTheCursors) {
  StartWith();
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  const HWND overlay = pelmo::test::FindCutOverlay(s_.pelmo.process().pid());
  ASSERT_NE(overlay, nullptr);
  EXPECT_TRUE(FileExists(InterruptedMarker()));
  SendMessageW(overlay, WM_ENDSESSION, TRUE, 0);
  EXPECT_FALSE(FileExists(InterruptedMarker()));
  EXPECT_EQ(s_.monitor.WaitFor(L"cursors restored", 1, 5000).size(), 1u);
  ASSERT_TRUE(s_.WaitEventDone(5, 1));
  EXPECT_EQ(s_.monitor.Lines(L"cut cancelled").size(), 1u);
}

TEST_F(ScreenCut, AKillDuringACutLeavesNormalCursorsAtTheNextStart) {
  StartWith();
  ASSERT_TRUE(s_.BeginCut(VK_F5));
  EXPECT_TRUE(FileExists(InterruptedMarker()));
  s_.pelmo.process().terminate();
  EXPECT_TRUE(FileExists(InterruptedMarker())) << "nobody saw the kill";

  PelmoProcess again;
  TestProfile profile;
  profile.name = L"again";
  profile.saveFolder = again.path(L"");
  ASSERT_TRUE(InstallProfile(again.folder().path(), profile));
  ASSERT_TRUE(again.Start());
  ASSERT_NE(again.WaitForMainWindow(), nullptr);
  EXPECT_EQ(s_.monitor.WaitFor(L"cursors restored after an interrupted cut", 1, 5000).size(), 1u);
  EXPECT_FALSE(FileExists(InterruptedMarker()));
}

}  // namespace
