// Automatic capture in the running program: started and stopped by its key, ticks that capture,
// pause, resume and end as the options say, and the tray icon that shows the state.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "cut_driver.h"

namespace {

using namespace pelmo::test;

std::wstring TimeSection(int action, int interval, int captureStart, int exitNoActive, int targetOnly,
                         int soundOut = 0) {
  return L"[TIME]\r\nActionType=" + std::to_wstring(action) + L"\r\nInterval=" + std::to_wstring(interval) +
         L"\r\nExitNoActive=" + std::to_wstring(exitNoActive) + L"\r\nSoundOut=" + std::to_wstring(soundOut) +
         L"\r\nCaptureStart=" + std::to_wstring(captureStart) + L"\r\nTargetOnly=" + std::to_wstring(targetOnly) +
         L"\r\n";
}

struct BoxSearch {
  DWORD pid;
  RECT want;
  HWND found;
};

BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT r{};
  if (pid == s->pid && IsWindowVisible(h) && GetWindowRect(h, &r) && EqualRect(&r, &s->want)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

// The program's visible window lying 2 pixels around `target`, if any.
HWND TargetBox(DWORD pid, HWND target) {
  BoxSearch s{pid, {}, nullptr};
  GetWindowRect(target, &s.want);
  InflateRect(&s.want, 2, 2);
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

class AutoCapture : public ::testing::Test {
 protected:
  void StartWith(const std::wstring& time) {
    ASSERT_TRUE(s_.Start(time, L"auto\\%r"));
    window_ = std::make_unique<PatternWindow>(200, 150, 240, 160);
    other_ = std::make_unique<PatternWindow>(700, 150, 200, 120);
    window_->BringToFront();
  }
  void TearDown() override {
    if (HasFailure()) {
      for (const auto& line : s_.monitor.Lines(L"")) std::printf("  %ls\n", line.c_str());
    }
  }
  size_t Files() const { return FilesUnder(s_.outFolder()).size(); }
  size_t Captures() const { return s_.monitor.Lines(L"event 2 done").size(); }
  bool WaitStarted(size_t n = 1) { return s_.monitor.WaitFor(L"auto capture started", n, 5000).size() >= n; }
  bool WaitStopped(size_t n = 1) { return s_.monitor.WaitFor(L"auto capture stopped", n, 5000).size() >= n; }
  std::wstring LastIcon() {
    PumpFor(300);  // the icon follows the state right after it
    const auto tray = s_.monitor.Lines(L"tray ");
    return tray.empty() ? L"" : tray.back().substr(tray.back().find(L"icon="), 8);
  }

  CutSession s_;
  std::unique_ptr<PatternWindow> window_, other_;
};

TEST_F(AutoCapture, FirstCaptureAtOnceThenOnePerTickUntilTheKeyAgain) {
  StartWith(TimeSection(2, 1, 1, 0, 0));
  const DWORD t0 = GetTickCount();
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  ASSERT_TRUE(s_.WaitEventDone(2, 1, 3000));
  const DWORD first = GetTickCount() - t0;
  EXPECT_EQ(LastIcon(), L"icon=206");
  PumpFor(1500);
  const size_t during = Captures();
  const DWORD elapsed = GetTickCount() - t0;
  // One per 100 ms tick at most (ticks are skipped, never queued), and most ticks capture.
  EXPECT_GE(during, 6u);
  EXPECT_LE(during, elapsed / 100 + 2) << elapsed << " ms";
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStopped());
  PumpFor(200);
  EXPECT_EQ(LastIcon(), L"icon=205");
  const size_t atStop = Captures();
  PumpFor(600);
  EXPECT_EQ(Captures(), atStop) << "captures after the stop";
  EXPECT_EQ(Files(), atStop);
  EXPECT_TRUE(s_.monitor.Lines(L"balloon").empty());
  std::printf("first capture %lu ms after the key press began\n", first);
}

TEST_F(AutoCapture, TargetOnlyPausesBehindAnotherWindowResumesAndEndsWithTheWindow) {
  StartWith(TimeSection(1, 1, 1, 0, 1));
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  const DWORD started = GetTickCount();
  // The start window is framed for three seconds.
  EXPECT_NE(TargetBox(s_.pelmo.process().pid(), window_->hwnd()), nullptr) << "no frame around the target";
  PumpFor(600);
  ASSERT_GE(s_.monitor.Lines(L"event 1 done").size(), 2u);
  other_->BringToFront();
  PumpFor(200);
  const size_t paused = s_.monitor.Lines(L"event 1 done").size();
  PumpFor(800);
  EXPECT_EQ(s_.monitor.Lines(L"event 1 done").size(), paused) << "captured while another window was in front";
  EXPECT_FALSE(s_.monitor.Lines(L"auto capture tick skipped").empty());
  window_->BringToFront();
  PumpFor(800);
  EXPECT_GT(s_.monitor.Lines(L"event 1 done").size(), paused) << "did not resume";
  if (GetTickCount() - started < 3000) PumpFor(3300 - (GetTickCount() - started));
  EXPECT_EQ(TargetBox(s_.pelmo.process().pid(), window_->hwnd()), nullptr) << "the frame stayed";
  window_.reset();  // the start window closes
  ASSERT_TRUE(WaitStopped());
  EXPECT_EQ(LastIcon(), L"icon=205");
}

TEST_F(AutoCapture, ExitNoActiveEndsTheRunWhenAnotherWindowComesInFront) {
  StartWith(TimeSection(1, 1, 1, 1, 0));
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  ASSERT_TRUE(s_.WaitEventDone(1, 1, 3000));
  other_->BringToFront();
  ASSERT_TRUE(WaitStopped());
  EXPECT_TRUE(s_.monitor.Lines(L"balloon").empty()) << "ended without a message";
}

TEST_F(AutoCapture, TheDesktopWithExitNoActiveEndsAtTheFirstTick) {
  // The desktop window is never the foreground window.
  StartWith(TimeSection(0, 1, 1, 1, 0));
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  ASSERT_TRUE(WaitStopped());
  EXPECT_TRUE(s_.monitor.Lines(L"event 0 ").empty());
  EXPECT_TRUE(s_.monitor.Lines(L"balloon").empty());
}

TEST_F(AutoCapture, OpeningTheSettingsWindowEndsTheRunAtTheNextTick) {
  StartWith(TimeSection(2, 2, 0, 0, 0));
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  PostMessageW(s_.pelmo.mainWindow(), WM_COMMAND, 32794, 0);
  ASSERT_TRUE(WaitStopped());
  EXPECT_EQ(LastIcon(), L"icon=205");
  EXPECT_EQ(Captures(), 0u);
}

TEST_F(AutoCapture, AFailingSaveEndsTheRunWithOneBalloon) {
  StartWith(TimeSection(2, 1, 1, 0, 0));
  ASSERT_TRUE(RemoveDirectoryW(s_.outFolder().c_str()));
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  ASSERT_TRUE(WaitStopped());
  PumpFor(800);
  const auto balloons = s_.monitor.Lines(L"balloon");
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_NE(balloons[0].find(L"保存フォルダが存在しません。"), std::wstring::npos) << balloons[0];
  EXPECT_NE(balloons[0].find(L"自動撮影を終了しました。"), std::wstring::npos) << balloons[0];
  EXPECT_EQ(LastIcon(), L"icon=205");
}

TEST_F(AutoCapture, LoadingAnotherProfileEndsTheRun) {
  TestProfile second;
  second.name = L"zz";
  second.saveFolder = s_.pelmo.path(L"");
  ASSERT_TRUE(InstallProfile(s_.pelmo.folder().path(), second));
  ASSERT_TRUE(DeleteFileW(s_.pelmo.path(L"setting.ini").c_str()));  // "cut" is to be the last one
  StartWith(TimeSection(2, 5, 0, 0, 0));
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  // The tray menu's profile command: the settings window loads that profile.
  SendMessageW(s_.pelmo.mainWindow(), WM_COMMAND, 32830 + 1, 0);
  SendMessageW(s_.pelmo.mainWindow(), WM_COMMAND, 32830 + 0, 0);
  ASSERT_TRUE(WaitStopped());
  PumpFor(300);
  EXPECT_EQ(LastIcon(), L"icon=205");
}

struct IntervalCase {
  int interval;
  const wchar_t* period;
};

class AutoCaptureInterval : public AutoCapture, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(AutoCaptureInterval, AnIntervalOutsideItsRangeIsKeptInIt) {
  StartWith(TimeSection(2, GetParam().interval, 0, 0, 0));
  PressKey(VK_F8, 60);
  ASSERT_TRUE(WaitStarted());
  const auto started = s_.monitor.Lines(L"auto capture started");
  EXPECT_NE(started[0].find(GetParam().period), std::wstring::npos) << started[0];
  PumpFor(300);
  PressKey(VK_F8, 60);
  EXPECT_TRUE(WaitStopped());
}

// 0 and negative would make a busy timer; 2147483647 tenths would overflow the milliseconds.
INSTANTIATE_TEST_SUITE_P(Edges, AutoCaptureInterval,
                         ::testing::Values(IntervalCase{0, L"period=100ms"}, IntervalCase{-7, L"period=100ms"},
                                           IntervalCase{2147483647, L"period=3600000ms"}));

}  // namespace
