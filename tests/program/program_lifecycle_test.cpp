#include <gtest/gtest.h>
#include <windows.h>

#include "wine_test_support.h"

using pelmo::test::ChildProcess;
using pelmo::test::PelmoProcess;

namespace {

constexpr UINT kWmApp = 0x8000;

bool MutexHeld(const wchar_t* name) {
  HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, name);
  if (!h) return false;
  CloseHandle(h);
  return true;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pelmo::test::FileExists(pelmo_.path(L"pelmo.exe")));
    ASSERT_TRUE(pelmo_.Start());
    main_ = pelmo_.WaitForMainWindow();
    ASSERT_NE(main_, nullptr) << "the hidden main window did not appear";
  }

  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main_, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &result)) << std::hex << msg;
    return static_cast<LRESULT>(result);
  }

  PelmoProcess pelmo_;
  HWND main_ = nullptr;
};

TEST_F(ProgramTest, MainWindowIsHiddenAndHoldsTheMutex) {
  EXPECT_FALSE(IsWindowVisible(main_));
  EXPECT_TRUE(MutexHeld(L"pelmo"));
}

TEST_F(ProgramTest, SecondStartEndsAtOnceAndLeavesTheFirst) {
  ChildProcess second(pelmo_.path(L"pelmo.exe"), L"", pelmo_.folder().path());
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.wait(10000), 0u) << "the second instance must end by itself";
  EXPECT_TRUE(pelmo_.process().running());
  EXPECT_EQ(pelmo::test::FindPelmoMainWindow(second.pid()), nullptr);
  EXPECT_EQ(pelmo::test::FindPelmoMainWindow(pelmo_.process().pid()), main_);
}

struct MessageCase {
  const char* name;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  LRESULT expected;
};

// Without a profile the settings window closes both gates at start; SETINPUTSTATE opens them.
TEST_F(ProgramTest, WindowMessagesAnswerAsDocumented) {
  const MessageCase cases[] = {
      {"query gates (closed: no profile)", kWmApp + 8, 0, 0, 0},
      {"open gates", kWmApp + 8, 1, 1, 1},
      {"query gates (open)", kWmApp + 8, 0, 5, 1},
      {"key down", kWmApp + 4, 0x2C, 0, 1},
      {"key up", kWmApp + 5, 0x2C, 0, 1},
      {"step to next: no profile", kWmApp + 9, 1, 0, 0},
      {"step to previous: no profile", kWmApp + 9, 0, 0, 0},
      {"message box without text", kWmApp + 10, 0, MB_OK | MB_ICONINFORMATION, 0},
      {"message box without type", kWmApp + 10, 1, 0, 0},
      {"error balloon without title", kWmApp + 11, 0, 1, 0},
      {"error balloon without text", kWmApp + 11, 1, 0, 0},
      {"refresh icon", kWmApp + 12, 0, 0, 1},
      {"tray mouse move", kWmApp + 1, 0, WM_MOUSEMOVE, 1},
      {"close gates", kWmApp + 8, 1, 0, 0},
      {"query gates (closed)", kWmApp + 8, 0, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Send(c.msg, c.wp, c.lp), c.expected);
  }
  // The shell answers the tray refresh; under any shell it is one of its two answers.
  const LRESULT refresh = Send(kWmApp + 13);
  EXPECT_TRUE(refresh == 0 || refresh == 1);
  EXPECT_TRUE(pelmo_.process().running());
}

TEST_F(ProgramTest, SettingsClosedRebindsAndAnswersOne) {
  EXPECT_EQ(Send(kWmApp + 2), 1);
  EXPECT_TRUE(pelmo_.process().running());
}

TEST_F(ProgramTest, ExitCommandEndsTheProcessAndReleasesTheMutex) {
  PostMessageW(main_, WM_COMMAND, 32791, 0);
  EXPECT_EQ(pelmo_.process().wait(20000), 0u);
  EXPECT_FALSE(MutexHeld(L"pelmo"));
  EXPECT_EQ(pelmo::test::FindPelmoMainWindow(), nullptr);
}

TEST_F(ProgramTest, EndOfSessionEndsTheProcessAndLetsWindowsGoOn) {
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 20000, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  EXPECT_EQ(pelmo_.process().wait(20000), 0u);
  EXPECT_FALSE(MutexHeld(L"pelmo"));
}

TEST_F(ProgramTest, RestartAfterExitTakesTheMutexAgain) {
  PostMessageW(main_, WM_COMMAND, 32791, 0);
  ASSERT_EQ(pelmo_.process().wait(20000), 0u);
  ChildProcess again(pelmo_.path(L"pelmo.exe"), L"", pelmo_.folder().path());
  ASSERT_TRUE(again.started());
  HWND second = nullptr;
  for (int i = 0; i < 300 && !second; ++i) {
    second = pelmo::test::FindPelmoMainWindow(again.pid());
    Sleep(50);
  }
  EXPECT_NE(second, nullptr);
  PostMessageW(second, WM_COMMAND, 32791, 0);
  EXPECT_EQ(again.wait(20000), 0u);
}

}  // namespace
