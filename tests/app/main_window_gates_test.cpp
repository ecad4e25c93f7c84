// The main window in this process, its keys coming from a fake key source: a key-down that comes
// while a message box of the message-box service is up is dropped, key-ups are still tracked, and
// the gate opens again when the box has gone.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/TessikDlg.h"
#include "capture/ScreenShot.h"
#include "core/AppDirectory.h"
#include "core/MessageBoxService.h"
#include "keyinput/FakeKeySource.h"
#include "keyinput/KeyInput.h"
#include "wine_test_support.h"

namespace pelmo {
namespace {

constexpr int kToggleKey = VK_F9;  // bound to event 14, the input-disabled mode

FakeKeySource* g_keys = nullptr;
int g_stage = 0;
bool g_toggledUnderBox = false;
CScreenShot* g_engine = nullptr;

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  // The box: a visible dialog with an OK button.
  if (IsWindowVisible(window) && lstrcmpW(cls, L"#32770") == 0 && GetDlgItem(window, IDOK) != nullptr) {
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  }
  return TRUE;
}

// Runs inside the message box's own loop.
void CALLBACK DuringTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  switch (g_stage++) {
    case 0:
      g_keys->Release(kToggleKey);  // tracked: the combination may fire again later
      g_keys->Press(kToggleKey);    // dropped: the gate is closed
      g_keys->Release(kToggleKey);
      break;
    case 1:
      g_toggledUnderBox = !g_engine->IsInputDisabled();
      EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
      KillTimer(nullptr, timer);
      break;
  }
}

TEST(MainWindowGates, AKeyDownUnderAMessageBoxIsDroppedAndKeyUpsAreStillTracked) {
  test::TempDir folder;
  test::TestProfile profile;
  profile.name = L"gates";
  profile.saveFolder = folder.path();
  profile.keys.emplace_back(L"ChangeInputMode", kToggleKey);
  ASSERT_TRUE(test::InstallProfile(folder.path(), profile));
  SetAppDirectoryForTesting(folder.path() + L"\\");

  FakeKeySource polling, hook;
  KeyInputReplaceSource(kKeyInputPolling, &polling);
  KeyInputReplaceSource(kKeyInputHook, &hook);
  g_keys = &polling;
  {
    CTessikDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    CScreenShot& engine = dlg.settingsWindow().engine();
    g_engine = &engine;
    ASSERT_TRUE(polling.IsRunning()) << "the profile's source started";
    ASSERT_EQ(polling.MainHwnd(), dlg.hwnd()) << "the main window bound itself";
    ASSERT_FALSE(engine.IsInputDisabled());

    polling.Press(kToggleKey);
    test::PumpFor(200);
    ASSERT_TRUE(engine.IsInputDisabled()) << "the combination fires with the gates open";

    SetTimer(nullptr, 0, 150, DuringTheBox);
    const int button = AskUser(L"gates", MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(button, IDOK);
    EXPECT_EQ(g_stage, 2) << "the box was up while the keys came";
    EXPECT_FALSE(g_toggledUnderBox) << "the key-down under the box was dropped";
    EXPECT_TRUE(engine.IsInputDisabled());

    polling.Press(kToggleKey);
    test::PumpFor(200);
    EXPECT_FALSE(engine.IsInputDisabled()) << "the gate is open again and the release was seen";
    polling.Release(kToggleKey);
    test::PumpFor(100);

    dlg.ShutdownController(1);
  }
  KeyInputReplaceSource(kKeyInputPolling, nullptr);
  KeyInputReplaceSource(kKeyInputHook, nullptr);
}

}  // namespace
}  // namespace pelmo
