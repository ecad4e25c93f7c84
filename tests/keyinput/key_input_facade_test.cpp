// The key input facade's own rules, in this process, without input: the mode gate, start and stop,
// and what a source switch keeps.
#include <gtest/gtest.h>

#include <chrono>
#include <windows.h>

#include "keyinput/KeyInput.h"

namespace pelmo {
namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(0x4242));

TEST(KeyInputFacade, AnUnknownModeMakesEveryOperationANoOpUntilASwitchBack) {
  ASSERT_EQ(KeyInputGetMode(), kKeyInputPolling);
  EXPECT_EQ(KeyInputIsRunning(), 0);
  EXPECT_EQ(KeyInputStart(7), 0);
  EXPECT_EQ(KeyInputGetMode(), 7);
  EXPECT_EQ(KeyInputSetMainHwnd(kWindow), nullptr);
  EXPECT_EQ(KeyInputGetMainHwnd(), nullptr);
  EXPECT_EQ(KeyInputIsMainHwnd(nullptr), 0);
  EXPECT_EQ(KeyInputSetKeyDownMessage(0x8004), 0u);
  EXPECT_EQ(KeyInputGetKeyDownMessage(), 0u);
  EXPECT_EQ(KeyInputEnableKeyDown(1), 0);
  EXPECT_EQ(KeyInputGetKeyStates(), nullptr);
  EXPECT_FALSE(KeyInputIsKeyHeld(65));
  EXPECT_EQ(KeyInputIsRunning(), 0);
  EXPECT_EQ(KeyInputStop(), 0);

  SwitchKeyInputSource(kKeyInputPolling);
  EXPECT_EQ(KeyInputGetMode(), kKeyInputPolling);
  EXPECT_EQ(KeyInputIsRunning(), 1);
  EXPECT_NE(KeyInputGetKeyStates(), nullptr);
  EXPECT_FALSE(KeyInputIsKeyHeld(-1));
  EXPECT_FALSE(KeyInputIsKeyHeld(255));
  KeyInputStopAll();
  EXPECT_EQ(KeyInputIsRunning(), 0);
}

TEST(KeyInputFacade, SwitchingKeepsTheBindingAndStopClearsIt) {
  SwitchKeyInputSource(kKeyInputPolling);
  EXPECT_EQ(KeyInputSetMainHwnd(kWindow), kWindow);
  KeyInputSetKeyDownMessage(0x8004);
  KeyInputSetKeyUpMessage(0);  // as the key capture control binds
  EXPECT_EQ(KeyInputStart(kKeyInputHook), 0) << "a running source is never restarted";
  EXPECT_EQ(KeyInputGetMode(), kKeyInputPolling);

  for (int32_t mode : {kKeyInputHook, kKeyInputPolling, kKeyInputHook}) {
    SCOPED_TRACE(mode);
    SwitchKeyInputSource(mode);
    EXPECT_EQ(KeyInputGetMode(), mode);
    EXPECT_EQ(KeyInputIsRunning(), 1);
    EXPECT_EQ(KeyInputIsMainHwnd(kWindow), 1);
    EXPECT_EQ(KeyInputGetKeyDownMessage(), 0x8004u);
    EXPECT_EQ(KeyInputGetKeyUpMessage(), 0u);
  }

  // The same source again changes nothing but still pauses.
  // A fine clock: GetTickCount moves in steps of about 16 ms and can show a 100 ms pause as 88.
  const auto start = std::chrono::steady_clock::now();
  SwitchKeyInputSource(kKeyInputHook);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
  EXPECT_EQ(KeyInputIsMainHwnd(kWindow), 1);

  EXPECT_EQ(KeyInputStopAll(), 1) << "the hooks were installed and are removed";
  EXPECT_EQ(KeyInputIsRunning(), 0);

  // Stopping the polling source forgets its binding: a caller that wants it must read it first.
  SwitchKeyInputSource(kKeyInputPolling);
  KeyInputSetMainHwnd(kWindow);
  KeyInputSetKeyDownMessage(0x8004);
  EXPECT_EQ(KeyInputStop(), 1);
  EXPECT_EQ(KeyInputIsRunning(), 0);
  EXPECT_EQ(KeyInputGetMainHwnd(), nullptr);
  EXPECT_EQ(KeyInputGetKeyDownMessage(), 0u);
  EXPECT_EQ(KeyInputStopAll(), 0) << "no hooks to remove";
}

}  // namespace
}  // namespace pelmo
