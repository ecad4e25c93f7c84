// The running program with a profile that binds event 9 (open the settings window) to a key
// combination: pressing it through the input system shows the settings window, with the polling
// source and with "GlobalKeyHook" = 1.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/CaptureEvents.h"
#include "wine_test_support.h"

namespace pelmo::test {
namespace {

std::string Narrow(const wchar_t* s) {
  std::string out;
  for (; *s; ++s) out.push_back(static_cast<char>(*s));
  return out;
}

class ProgramKeys : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    // Left Shift + F8 opens the settings window; F8 alone is bound to nothing.
    const std::string stem = Narrow(EventKeyNameW(kEventOpenSettings));
    ASSERT_TRUE(WriteTextFile(pelmo_.path(L"setting.ini"), "[SYSTEM]\r\nLastProfile=keys\r\n"));
    ASSERT_TRUE(WriteTextFile(pelmo_.path(L"common.ini"), "[COMMON_OTHER]\r\nShow=0\r\n"));
    ASSERT_TRUE(CreateDirectoryW(pelmo_.path(L"Profile").c_str(), nullptr));
    const std::string profile = "[KEY]\r\n" + stem + "1=160\r\n" + stem + "2=0\r\n" + stem +
                                "3=119\r\n[OTHER]\r\nGlobalKeyHook=" + std::to_string(GetParam()) + "\r\n";
    ASSERT_TRUE(WriteTextFile(pelmo_.path(L"Profile\\keys.ini"), profile));

    // The hook procedures run in the process whose window has the keyboard focus: this one.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PelmoProgramKeysFocus";
    RegisterClassW(&wc);
    focus_ = CreateWindowExW(0, wc.lpszClassName, L"focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                             nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(focus_, nullptr);

    ASSERT_TRUE(pelmo_.Start());
    ASSERT_NE(pelmo_.WaitForMainWindow(), nullptr);
    settings_ = FindPelmoSettingsWindow(pelmo_.process().pid());
    ASSERT_NE(settings_, nullptr);
    SetForegroundWindow(focus_);
    SetFocus(focus_);
    PumpFor(500);
  }

  void TearDown() override {
    if (pelmo_.mainWindow()) {
      PostMessageW(pelmo_.mainWindow(), WM_COMMAND, 32791, 0);
      EXPECT_EQ(pelmo_.process().wait(20000), 0u);
    }
    if (focus_) DestroyWindow(focus_);
  }

  bool SettingsShownWithin(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
      if (IsWindowVisible(settings_)) return true;
      PumpFor(50);
    } while (GetTickCount() - start < ms);
    return false;
  }

  PelmoProcess pelmo_;
  HWND focus_ = nullptr;
  HWND settings_ = nullptr;
};

TEST_P(ProgramKeys, TheBoundCombinationOpensTheSettingsWindow) {
  EXPECT_FALSE(IsWindowVisible(settings_));
  PressKey(VK_F8, 60);
  PressKey(VK_LSHIFT, 60);
  EXPECT_FALSE(SettingsShownWithin(800)) << "one key of the two is not the combination";

  KeyDown(VK_LSHIFT);
  PumpFor(80);
  PressKey(VK_F8, 60);
  KeyUp(VK_LSHIFT);
  EXPECT_TRUE(SettingsShownWithin(5000));
}

TEST_P(ProgramKeys, ExitRemovesTheHooksAndEndsThePollingThread) {
  // The library's shared section, seen from here through the program's own copy of the file.
  HMODULE ravel = LoadLibraryW(pelmo_.path(L"ravel.dll").c_str());
  ASSERT_NE(ravel, nullptr);
  using GetState = int32_t(WINAPI*)();
  auto getState = reinterpret_cast<GetState>(reinterpret_cast<void*>(GetProcAddress(ravel, MAKEINTRESOURCEA(15))));
  ASSERT_NE(getState, nullptr);
  EXPECT_EQ(getState(), GetParam()) << "hooks installed exactly when the profile asks for them";
  PostMessageW(pelmo_.mainWindow(), WM_COMMAND, 32791, 0);
  EXPECT_EQ(pelmo_.process().wait(20000), 0u) << "exit waits for the polling thread and returns";
  EXPECT_EQ(getState(), 0);
  FreeLibrary(ravel);
}

INSTANTIATE_TEST_SUITE_P(Sources, ProgramKeys, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Polling") : std::string("GlobalKeyHook");
                         });

}  // namespace
}  // namespace pelmo::test
