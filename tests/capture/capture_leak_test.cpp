// Automatic capture can run ten times a second for hours: 200 captures in a row must leave the
// program's objects where they started.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include "process_counters.h"
#include "wine_test_support.h"

namespace {

TEST(CaptureLeak, TwoHundredCapturesLeaveObjectsAndMemoryWhereTheyStarted) {
  pelmo::test::DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  pelmo::test::PelmoProcess pelmo;
  const std::wstring out = pelmo.path(L"out");
  ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
  pelmo::test::TestProfile profile;
  profile.name = L"leak";
  profile.saveFolder = out;
  profile.imageType = 1;
  profile.fileName = L"same";  // one file, overwritten each time: the disk stays small
  profile.digitCount = 0;
  profile.keys = {{L"ScreenShot_Desktop", VK_F5}};
  ASSERT_TRUE(pelmo::test::InstallProfile(pelmo.folder().path(), profile));
  ASSERT_TRUE(pelmo.Start());
  HWND main = pelmo.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const DWORD pid = pelmo.process().pid();
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  ASSERT_NE(process, nullptr);

  auto captureOnce = [&](size_t n) {
    PostMessageW(main, WM_APP + 4, VK_F5, 0);
    PostMessageW(main, WM_APP + 5, VK_F5, 0);
    return monitor.WaitFor(L"event 0 done", n, 10000, pid).size() >= n;
  };
  // Warm up: the first captures load the codec and fill caches.
  for (size_t i = 1; i <= 10; ++i) ASSERT_TRUE(captureOnce(i));
  const pelmo::test::ProcessCounters before = pelmo::test::ReadProcessCounters(process);
  ASSERT_GT(before.privateBytes, 0u) << "no memory figure: the test would prove nothing";
  for (size_t i = 11; i <= 210; ++i) ASSERT_TRUE(captureOnce(i)) << "capture " << i;
  const pelmo::test::ProcessCounters after = pelmo::test::ReadProcessCounters(process);
  CloseHandle(process);
  EXPECT_TRUE(monitor.Lines(L"failed", pid).empty());

  // A leaked 1280x800 capture costs 4 MB: 200 of them would be 800 MB. Allow less than one.
  EXPECT_LT(after.privateBytes, before.privateBytes + 4u * 1024 * 1024)
      << "private bytes " << before.privateBytes << " -> " << after.privateBytes;
  if (before.gdi == 0 && after.gdi == 0) {
    std::printf("note: GDI, USER and handle counts are not reported here (Wine); memory checked only\n");
  } else {
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(after.handles, before.handles);
  }
}

}  // namespace
