// ravel.dll's exports and hook procedures, loaded into this process: the setters and getters on the
// shared section, and the hooks watching this process's own focused window.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "hooklib/Ravel.h"
#include "wine_test_support.h"

namespace pelmo::test {
namespace {

constexpr UINT kKbDown = WM_APP + 4, kKbUp = WM_APP + 5, kMsDown = WM_APP + 6, kMsUp = WM_APP + 7;

TEST(RavelExports, SettersAnswerAsDocumentedAndResetKeepsFlagsAndState) {
  EXPECT_EQ(rvSetMainHwnd(nullptr), 0);
  const HWND fake = reinterpret_cast<HWND>(static_cast<intptr_t>(0x12345));
  EXPECT_EQ(rvSetMainHwnd(fake), 1);
  EXPECT_EQ(rvGetMainHwnd(), fake);
  EXPECT_EQ(rvCompInstallHwnd(fake), 1);
  EXPECT_EQ(rvCompInstallHwnd(nullptr), 0);
  EXPECT_EQ(rvInstallCallBackKeyBoardDown(11), 11u);
  EXPECT_EQ(rvInstallCallBackKeyBoardUp(12), 12u);
  EXPECT_EQ(rvInstallCallBackMouseDown(13), 13u);
  EXPECT_EQ(rvInstallCallBackMouseUp(14), 14u);
  EXPECT_EQ(rvGetCallBackKeyBoardDown(), 11u);
  EXPECT_EQ(rvGetCallBackKeyBoardUp(), 12u);
  EXPECT_EQ(rvGetCallBackMouseDown(), 13u);
  EXPECT_EQ(rvGetCallBackMouseUp(), 14u);
  EXPECT_EQ(rvEnableKeyDown(7), 1);
  EXPECT_EQ(rvEnableKeyDown(0), 0);
  rvGetVKeyCode()[65] = 1;

  EXPECT_EQ(rvResetSetting(), 0);
  EXPECT_EQ(rvGetMainHwnd(), nullptr);
  EXPECT_EQ(rvGetCallBackKeyBoardDown() | rvGetCallBackKeyBoardUp() | rvGetCallBackMouseDown() |
                rvGetCallBackMouseUp(),
            0u);
  EXPECT_EQ(rvGetVKeyCode()[65], 0);
  EXPECT_EQ(rvGetState(), 0);
  // The enable flag survives the reset: key-downs stay suppressed until enabled again.
  const auto* section = reinterpret_cast<const ravel::SharedState*>(
      reinterpret_cast<const char*>(rvGetVKeyCode()) - offsetof(ravel::SharedState, keys));
  EXPECT_EQ(section->keyDownEnabled, 0);
  rvEnableKeyDown(1);
  EXPECT_EQ(section->keyDownEnabled, 1);
}

TEST(RavelExports, MouseMessagesTranslateToButtonCodes) {
  const std::pair<UINT, int32_t> rows[] = {
      {WM_LBUTTONDOWN, 1}, {WM_LBUTTONUP, 1},     {WM_NCLBUTTONDOWN, 1}, {WM_NCLBUTTONUP, 1},
      {WM_RBUTTONDOWN, 2}, {WM_RBUTTONUP, 2},     {WM_NCRBUTTONDOWN, 2}, {WM_NCRBUTTONUP, 2},
      {WM_MBUTTONDOWN, 4}, {WM_MBUTTONUP, 4},     {WM_NCMBUTTONDOWN, 4}, {WM_NCMBUTTONUP, 4},
      {WM_MOUSEMOVE, 0},   {WM_LBUTTONDBLCLK, 0}, {WM_XBUTTONDOWN, 0},   {WM_MOUSEWHEEL, 0},
  };
  for (const auto& [msg, code] : rows) EXPECT_EQ(rvTransVKeyMouseCode(msg, 0, 0), code) << msg;
}

// A focused window of this process, registered as the library's main window: the hooks run here
// and post to it.
class RavelHooks : public ::testing::Test {
 protected:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= kKbDown && msg <= kMsUp) {
      received_.emplace_back(msg, static_cast<UINT>(wParam));
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  void SetUp() override {
    received_.clear();
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PelmoRavelHookTest";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"hooks", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 300,
                              200, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    SetForegroundWindow(window_);
    SetFocus(window_);
    PumpFor(200);
    rvResetSetting();
    ASSERT_EQ(rvInstallHook(), 1);
    ASSERT_EQ(rvGetState(), 1);
    rvSetMainHwnd(window_);
    rvInstallCallBackKeyBoardDown(kKbDown);
    rvInstallCallBackKeyBoardUp(kKbUp);
    rvInstallCallBackMouseDown(kMsDown);
    rvInstallCallBackMouseUp(kMsUp);
    rvEnableKeyDown(1);
  }

  void TearDown() override {
    EXPECT_EQ(rvUnInstallHook(), 1);
    EXPECT_EQ(rvGetState(), 0);
    EXPECT_EQ(rvUnInstallHook(), 0) << "nothing left to remove";
    rvResetSetting();
    DestroyWindow(window_);
  }

  void MouseAtWindow(DWORD flag) {
    RECT r;
    GetWindowRect(window_, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof(in));
    PumpFor(30);
  }

  HWND window_ = nullptr;
  static std::vector<std::pair<UINT, UINT>> received_;
};
std::vector<std::pair<UINT, UINT>> RavelHooks::received_;

using Received = std::vector<std::pair<UINT, UINT>>;

TEST_F(RavelHooks, AKeyPressedBeforeInstallingPostsNothingOnRelease) {
  rvUnInstallHook();
  KeyDown('K');
  PumpFor(80);
  ASSERT_EQ(rvInstallHook(), 1);
  KeyUp('K');
  PumpFor(150);
  EXPECT_EQ(received_, Received{});
}

TEST_F(RavelHooks, SuppressedKeyDownIsStillRecordedForItsRelease) {
  rvEnableKeyDown(0);
  KeyDown('L');
  PumpFor(80);
  EXPECT_EQ(rvGetVKeyCode()['L'], 1);
  KeyUp('L');
  PumpFor(150);
  EXPECT_EQ(received_, (Received{{kKbUp, 'L'}}));
}

TEST_F(RavelHooks, ADoubleClickPostsOnlyTheFirstPressAndRelease) {
  for (int i = 0; i < 2; ++i) {
    MouseAtWindow(MOUSEEVENTF_LEFTDOWN);
    MouseAtWindow(MOUSEEVENTF_LEFTUP);
  }
  PumpFor(150);
  EXPECT_EQ(received_, (Received{{kMsDown, 1}, {kMsUp, 1}}));
}

TEST_F(RavelHooks, NoWindowMeansNoMessagesButTheTableIsKept) {
  rvSetMainHwnd(nullptr);
  KeyDown('M');
  PumpFor(80);
  EXPECT_EQ(rvGetVKeyCode()['M'], 1);
  KeyUp('M');
  PumpFor(150);
  EXPECT_EQ(rvGetVKeyCode()['M'], 0);
  EXPECT_EQ(received_, Received{});
}

}  // namespace
}  // namespace pelmo::test
