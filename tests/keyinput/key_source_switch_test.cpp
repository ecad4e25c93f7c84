// The facade with sources of our own (FakeKeySource) and the real hook library: what a switch
// tells receivers, the fall-back when the hooks are refused, and the library's key-down flag at start.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>

#include "hooklib/Ravel.h"
#include "keyinput/FakeKeySource.h"
#include "keyinput/KeyInput.h"

namespace pelmo {
namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(0x4242));

struct FallbackCount {
  int calls = 0;
  static void Count(void* self) { ++static_cast<FallbackCount*>(self)->calls; }
};

class KeySourceSwitch : public ::testing::Test {
 protected:
  void TearDown() override {
    KeyInputStopAll();
    if (KeyInputIsRunning()) KeyInputStop();
    KeyInputReplaceSource(kKeyInputPolling, nullptr);
    KeyInputReplaceSource(kKeyInputHook, nullptr);
    KeyInputSetFallbackHandler(nullptr, nullptr);
  }
  // Members, so they outlive TearDown's stop.
  FakeKeySource polling, hook;
};

TEST_F(KeySourceSwitch, RefusedHooksFallBackToPollingKeepingTheBinding) {
  hook.failStart = true;
  KeyInputReplaceSource(kKeyInputPolling, &polling);
  KeyInputReplaceSource(kKeyInputHook, &hook);
  FallbackCount count;
  KeyInputSetFallbackHandler(&FallbackCount::Count, &count);

  SwitchKeyInputSource(kKeyInputPolling);
  KeyInputSetMainHwnd(kWindow);
  KeyInputSetKeyDownMessage(0x8004);
  KeyInputSetKeyUpMessage(0x8005);
  EXPECT_EQ(count.calls, 0);

  SwitchKeyInputSource(kKeyInputHook);
  EXPECT_EQ(count.calls, 1) << "told once";
  EXPECT_EQ(KeyInputGetMode(), kKeyInputPolling);
  EXPECT_EQ(KeyInputIsRunning(), 1);
  EXPECT_TRUE(polling.IsRunning());
  EXPECT_EQ(KeyInputIsMainHwnd(kWindow), 1);
  EXPECT_EQ(KeyInputGetKeyDownMessage(), 0x8004u);
  EXPECT_EQ(KeyInputGetKeyUpMessage(), 0x8005u);

  // The next profile load asks again, and is told again.
  SwitchKeyInputSource(kKeyInputHook);
  EXPECT_EQ(count.calls, 2);
  hook.failStart = false;
  SwitchKeyInputSource(kKeyInputHook);
  EXPECT_EQ(count.calls, 2);
  EXPECT_EQ(KeyInputGetMode(), kKeyInputHook);
  EXPECT_EQ(KeyInputIsMainHwnd(kWindow), 1);
}

TEST_F(KeySourceSwitch, EveryStartOfASourceIsANewGeneration) {
  KeyInputReplaceSource(kKeyInputPolling, &polling);
  KeyInputReplaceSource(kKeyInputHook, &hook);
  SwitchKeyInputSource(kKeyInputPolling);
  const uint32_t first = KeyInputSourceGeneration();
  SwitchKeyInputSource(kKeyInputPolling);
  EXPECT_EQ(KeyInputSourceGeneration(), first) << "the same running source: nothing changes";
  SwitchKeyInputSource(kKeyInputHook);
  const uint32_t second = KeyInputSourceGeneration();
  EXPECT_NE(second, first);
  SwitchKeyInputSource(kKeyInputPolling);
  EXPECT_NE(KeyInputSourceGeneration(), second);
}

TEST_F(KeySourceSwitch, StartingTheHooksClearsAKeyDownSuppressionLeftInTheLibrary) {
  // A run that ended during a screen cut leaves the shared flag at 0 for the next one.
  const auto* keys = reinterpret_cast<const char*>(rvGetVKeyCode());
  const auto* shared = reinterpret_cast<const ravel::SharedState*>(keys - offsetof(ravel::SharedState, keys));
  rvEnableKeyDown(0);
  ASSERT_EQ(shared->keyDownEnabled, 0);
  SwitchKeyInputSource(kKeyInputHook);
  ASSERT_EQ(KeyInputIsRunning(), 1);
  EXPECT_EQ(shared->keyDownEnabled, 1);
  // Suppression during this run still works.
  KeyInputEnableKeyDown(0);
  EXPECT_EQ(shared->keyDownEnabled, 0);
  KeyInputEnableKeyDown(1);
  EXPECT_EQ(shared->keyDownEnabled, 1);
}

}  // namespace
}  // namespace pelmo
