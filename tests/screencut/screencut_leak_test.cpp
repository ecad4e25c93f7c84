// A cut creates two windows, brushes, pens and twelve cursor copies: 60 cuts in a row must leave
// the program's memory (and object counts, where reported) where it was.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include "process_counters.h"
#include "wine_test_support.h"
#include "cut_overlay.h"

namespace {

TEST(ScreenCutLeak, SixtyCutsLeaveMemoryAndObjectsWhereTheyWere) {
  pelmo::test::DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  pelmo::test::PelmoProcess pelmo;
  const std::wstring out = pelmo.path(L"out");
  ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
  pelmo::test::TestProfile profile;
  profile.name = L"leak";
  profile.saveFolder = out;
  profile.imageType = 3;
  profile.fileName = L"same";
  profile.digitCount = 0;
  profile.keys = {{L"ScreenCutRect", VK_F6}};
  profile.extraSections = L"[SCREEN_CUT]\r\nFixSizeX=120\r\nFixSizeY=90\r\n";
  ASSERT_TRUE(pelmo::test::InstallProfile(pelmo.folder().path(), profile));
  ASSERT_TRUE(pelmo.Start());
  HWND main = pelmo.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const DWORD pid = pelmo.process().pid();
  SetCursorPos(640, 400);

  auto cutOnce = [&](size_t n) {
    PostMessageW(main, WM_APP + 4, VK_F6, 0);
    PostMessageW(main, WM_APP + 5, VK_F6, 0);
    HWND overlay = nullptr;
    for (int i = 0; i < 500 && !overlay; ++i) {
      overlay = pelmo::test::FindCutOverlay(pid);
      if (!overlay) pelmo::test::PumpFor(5);
    }
    if (!overlay) return false;
    PostMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    return monitor.WaitFor(L"event 6 done", n, 10000, pid).size() >= n;
  };
  for (size_t i = 1; i <= 10; ++i) ASSERT_TRUE(cutOnce(i)) << "cut " << i;
  const pelmo::test::ProcessCounters before = pelmo::test::ReadProcessCounters(pelmo.process().handle());
  ASSERT_GT(before.privateBytes, 0u) << "no memory figure: the test would prove nothing";
  for (size_t i = 11; i <= 70; ++i) ASSERT_TRUE(cutOnce(i)) << "cut " << i;
  const pelmo::test::ProcessCounters after = pelmo::test::ReadProcessCounters(pelmo.process().handle());
  EXPECT_EQ(monitor.Lines(L"cut taken", pid).size(), 70u);
  EXPECT_EQ(monitor.Lines(L"cursors cross-hair", pid).size(), monitor.Lines(L"cursors restored", pid).size());

  // Twelve leaked cursor copies a cut are about 100 KB: 60 cuts would be 6 MB.
  EXPECT_LT(after.privateBytes, before.privateBytes + 2u * 1024 * 1024)
      << "private bytes " << before.privateBytes << " -> " << after.privateBytes;
  if (before.gdi || after.gdi) {
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(after.handles, before.handles);
  }
}

}  // namespace
