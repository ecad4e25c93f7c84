// Both key input sources under real input: keys and buttons synthesized through the input system
// (SendInput) in this process reach key_receiver.exe's window as WM_APP_KEYDOWN / WM_APP_KEYUP.
// With the hook library the hook procedure runs here, in the process whose window has the focus,
// and posts across to the receiver.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/AppMessages.h"
#include "key_receiver_protocol.h"
#include "wine_test_support.h"

namespace pelmo::test {
namespace {

using Key = std::pair<uint32_t, uint32_t>;  // message, code
constexpr uint32_t kDown = WM_APP_KEYDOWN, kUp = WM_APP_KEYUP;

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

class KeySource : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ReceiverLog),
                                  kReceiverLogName);
    ASSERT_NE(mapping_, nullptr);
    log_ = static_cast<ReceiverLog*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(ReceiverLog)));
    ASSERT_NE(log_, nullptr);
    log_->count = 0;
    CreateFocusWindow();

    Handle ready(CreateEventW(nullptr, TRUE, FALSE, kReceiverReadyEvent));
    receiver_ = std::make_unique<ChildProcess>(TestBinDir() + L"\\key_receiver.exe",
                                               std::to_wstring(GetParam()));
    ASSERT_TRUE(receiver_->started());
    ASSERT_EQ(WaitForSingleObject(ready.get(), 15000), WAIT_OBJECT_0);
    receiverWnd_ = FindWindowW(L"PelmoKeyReceiver", kReceiverCaption);
    ASSERT_NE(receiverWnd_, nullptr);
    Settle();
  }

  void TearDown() override {
    if (receiverWnd_) {
      SendMessageTimeoutW(receiverWnd_, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, nullptr);
      if (receiver_) {
        EXPECT_EQ(receiver_->wait(10000), 0u);
      }
    }
    if (focus_) DestroyWindow(focus_);
    if (log_) UnmapViewOfFile(log_);
    if (mapping_) CloseHandle(mapping_);
  }

  void CreateFocusWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PelmoKeyFocus";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    focus_ = CreateWindowExW(0, wc.lpszClassName, L"focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                             400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(focus_, nullptr);
    SetForegroundWindow(focus_);
    SetFocus(focus_);
    PumpFor(200);
  }

  LRESULT Command(UINT cmd, WPARAM wParam = 0) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(receiverWnd_, cmd, wParam, 0, SMTO_NORMAL, 10000, &result));
    return static_cast<LRESULT>(result);
  }

  // Lets the input reach the sources and their messages reach the receiver.
  void Settle() { PumpFor(250); }

  // The messages received since the last call: waits (up to 3 s on a loaded machine) for the
  // number expected, then a little longer for any extra one.
  std::vector<Key> TakeReceived(size_t expected = 0) {
    const DWORD start = GetTickCount();
    while (static_cast<size_t>(log_->count - taken_) < expected && GetTickCount() - start < 3000) PumpFor(20);
    Settle();
    std::vector<Key> keys;
    const LONG n = log_->count;
    for (LONG i = taken_; i < n; ++i) keys.emplace_back(log_->keys[i].msg, log_->keys[i].code);
    taken_ = n;
    return keys;
  }

  // Whether the source's held-key table shows the code as `held` within 3 s.
  bool HeldBecomes(WORD code, bool held) {
    const DWORD start = GetTickCount();
    do {
      if ((Command(kCmdIsKeyHeld, code) != 0) == held) return true;
      PumpFor(20);
    } while (GetTickCount() - start < 3000);
    return false;
  }

  void ExpectReceived(const std::vector<Key>& expected) { EXPECT_EQ(TakeReceived(expected.size()), expected); }

  static void Press(WORD vk) {
    PressKey(vk, 60);
    PumpFor(60);
  }

  // A click with the pointer over the focus window, so the mouse hook runs in this process.
  void Click(DWORD downFlag, DWORD upFlag, DWORD data = 0) {
    RECT r;
    GetWindowRect(focus_, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PumpFor(50);
    for (DWORD flag : {downFlag, upFlag}) {
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dwFlags = flag;
      in.mi.mouseData = data;
      SendInput(1, &in, sizeof(in));
      PumpFor(80);
    }
  }

  bool Polling() const { return GetParam() == 0; }

  HANDLE mapping_ = nullptr;
  ReceiverLog* log_ = nullptr;
  LONG taken_ = 0;
  HWND focus_ = nullptr;
  HWND receiverWnd_ = nullptr;
  std::unique_ptr<ChildProcess> receiver_;
};

TEST_P(KeySource, EachPressGivesOneKeyDownAndOneKeyUp) {
  for (int round = 0; round < 3; ++round) {
    Press('A');
    Press(VK_F9);
  }
  Press(VK_SNAPSHOT);
  std::vector<Key> expected;
  for (int round = 0; round < 3; ++round) {
    expected.insert(expected.end(), {{kDown, 'A'}, {kUp, 'A'}, {kDown, VK_F9}, {kUp, VK_F9}});
  }
  expected.insert(expected.end(), {{kDown, VK_SNAPSHOT}, {kUp, VK_SNAPSHOT}});
  EXPECT_EQ(TakeReceived(expected.size()), expected);
}

// A modifier as a keyboard sends it: the right-hand Ctrl and Alt are extended keys.
void SendModifier(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_RCONTROL || vk == VK_RMENU ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &in, sizeof(in));
  PumpFor(60);
}

TEST_P(KeySource, ModifiersArriveWithTheCodeOfTheirSide) {
  // Both sources must report what the default bindings hold: Ctrl(右) is 163, Alt(右) 165.
  SendModifier(VK_RCONTROL, false);
  Press(VK_RIGHT);
  SendModifier(VK_RCONTROL, true);
  SendModifier(VK_LCONTROL, false);
  SendModifier(VK_LCONTROL, true);
  SendModifier(VK_LSHIFT, false);
  SendModifier(VK_LSHIFT, true);
  std::vector<Key> expected = {{kDown, VK_RCONTROL}, {kDown, VK_RIGHT},   {kUp, VK_RIGHT},
                               {kUp, VK_RCONTROL},   {kDown, VK_LCONTROL}, {kUp, VK_LCONTROL},
                               {kDown, VK_LSHIFT},   {kUp, VK_LSHIFT}};
  if (!Polling()) {
    // Wine's own key state files a synthesized right Shift under the left one, so only the hook
    // library (which reads the scan code) is checked for it.
    SendModifier(VK_RSHIFT, false);
    SendModifier(VK_RSHIFT, true);
    expected.insert(expected.end(), {{kDown, VK_RSHIFT}, {kUp, VK_RSHIFT}});
  }
  EXPECT_EQ(TakeReceived(expected.size()), expected);
}

TEST_P(KeySource, AHeldKeyGivesNoRepeats) {
  // What keyboard auto-repeat sends: key-downs without key-ups.
  for (int i = 0; i < 8; ++i) {
    KeyDown('B');
    PumpFor(60);
  }
  EXPECT_TRUE(HeldBecomes('B', true));
  KeyUp('B');
  PumpFor(60);
  ExpectReceived({{kDown, 'B'}, {kUp, 'B'}});
  EXPECT_TRUE(HeldBecomes('B', false));
}

TEST_P(KeySource, TheEnableFlagSuppressesKeyDownOnly) {
  EXPECT_EQ(Command(kCmdEnableKeyDown, 0), 1);
  Press('C');
  ExpectReceived({{kUp, 'C'}});
  EXPECT_EQ(Command(kCmdEnableKeyDown, 1), 1);
  Press('C');
  ExpectReceived({{kDown, 'C'}, {kUp, 'C'}});
}

TEST_P(KeySource, WithoutAKeyUpMessageTheHeldTableStillFollowsTheKeys) {
  EXPECT_EQ(Command(kCmdSetKeyUpMessage, 0), 0);
  KeyDown('D');
  EXPECT_TRUE(HeldBecomes('D', true));
  KeyUp('D');
  EXPECT_TRUE(HeldBecomes('D', false));
  ExpectReceived({{kDown, 'D'}});
}

TEST_P(KeySource, UnboundSourcePostsNothingAndAKeyReleasedAfterBindingPostsItsKeyUp) {
  Command(kCmdBind, 0);
  EXPECT_EQ(Command(kCmdIsBound), 0);
  Press('E');
  KeyDown('F');
  ASSERT_TRUE(HeldBecomes('F', true));  // the source has seen E go and F come, unbound
  Command(kCmdBind, 1);
  EXPECT_EQ(Command(kCmdIsBound), 1);
  KeyUp('F');
  PumpFor(60);
  ExpectReceived({{kUp, 'F'}});
}

TEST_P(KeySource, MouseButtonsArriveAsKeyCodes) {
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  Click(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  Click(MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON1);
  Click(MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON2);
  std::vector<Key> expected = {{kDown, VK_RBUTTON}, {kUp, VK_RBUTTON}, {kDown, VK_MBUTTON}, {kUp, VK_MBUTTON}};
  if (Polling()) {
    // The left button is never polled; the side buttons are.
    expected.insert(expected.end(), {{kDown, VK_XBUTTON1}, {kUp, VK_XBUTTON1}, {kDown, VK_XBUTTON2}, {kUp, VK_XBUTTON2}});
  } else {
    expected.insert(expected.end(), {{kDown, VK_LBUTTON}, {kUp, VK_LBUTTON}});
  }
  EXPECT_EQ(TakeReceived(expected.size()), expected);
}

TEST_P(KeySource, MouseButtonsIgnoreTheEnableFlagOfTheHookLibrary) {
  if (Polling()) GTEST_SKIP() << "the polling source suppresses every key-down alike";
  Command(kCmdEnableKeyDown, 0);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  Press('G');
  Command(kCmdEnableKeyDown, 1);
  ExpectReceived({{kDown, VK_RBUTTON}, {kUp, VK_RBUTTON}, {kUp, 'G'}});
}

TEST_P(KeySource, SwitchingSourcesKeepsTheBinding) {
  const int other = 1 - GetParam();
  EXPECT_EQ(Command(kCmdSwitchSource, other), other * 10 + 1);
  EXPECT_EQ(static_cast<uint32_t>(Command(kCmdGetMessages)), (kDown << 16) | kUp);
  EXPECT_EQ(Command(kCmdIsBound), 1);
  Press('H');
  ExpectReceived({{kDown, 'H'}, {kUp, 'H'}});
  EXPECT_EQ(Command(kCmdSwitchSource, GetParam()), GetParam() * 10 + 1);
  EXPECT_EQ(Command(kCmdIsBound), 1);
  Press('H');
  ExpectReceived({{kDown, 'H'}, {kUp, 'H'}});
  // The same source again only pauses.
  EXPECT_EQ(Command(kCmdSwitchSource, GetParam()), GetParam() * 10 + 1);
  Press('H');
  ExpectReceived({{kDown, 'H'}, {kUp, 'H'}});
}

TEST_P(KeySource, StartRefusesARunningSourceAndStopAllEndsIt) {
  EXPECT_EQ(Command(kCmdStart, GetParam()), 0);
  EXPECT_EQ(Command(kCmdStart, 1 - GetParam()), 0) << "the mode does not change either";
  EXPECT_EQ(Command(kCmdSwitchSource, GetParam()), GetParam() * 10 + 1);
  EXPECT_EQ(Command(kCmdStopAll), 0);
  Press('J');
  EXPECT_TRUE(TakeReceived().empty());
}

INSTANTIATE_TEST_SUITE_P(Sources, KeySource, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Polling") : std::string("HookLibrary");
                         });

}  // namespace
}  // namespace pelmo::test
