// Each event asks for its own sound file, as the profile's SOUND section says; the switches
// silence it; a bare name is found beside the program; a missing file plays nothing and fails
// nothing. Observed from outside through the program's trace.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "cut_driver.h"

namespace {

using namespace pelmo::test;

const wchar_t kShutter[] = L"Sounds\\クラシック カメラ.wav";

class Sounds : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyProgramFolder(program_.path()));
    // Bare names that exist only beside the program (the current folder is another one).
    for (const wchar_t* name : {L"e0.wav", L"e6.wav", L"e8.wav", L"e14.wav"}) {
      ASSERT_TRUE(CopyFileW((program_ / kShutter).c_str(), (program_ / name).c_str(), FALSE));
    }
    ASSERT_TRUE(CopyFileW((program_ / kShutter).c_str(), (elsewhere_ / L"abs.wav").c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW((program_ / L"out").c_str(), nullptr));
    TestProfile p;
    p.name = L"snd";
    p.saveFolder = program_ / L"out";
    p.imageType = 3;
    p.fileName = L"%v%r";
    p.keys = {{L"ScreenShot_Desktop", VK_F5}, {L"ScreenShot_Window", VK_F6}, {L"ScreenShot_Client", VK_F7},
              {L"ScreenShot_AllDisplay", VK_F8}, {L"ScreenShot_Display", VK_F9}, {L"ScreenCutRect", VK_F2},
              {L"SetClipboard", VK_F3}, {L"ChangeInputMode", VK_F4}};
    p.extraSections = L"[DISPLAY]\r\nDisplayName=\\\\.\\DISPLAY1\r\n[SCREEN_CUT]\r\nFixSizeX=40\r\nFixSizeY=40\r\n"
                      L"[TIME]\r\nActionType=3\r\nInterval=36000\r\n"
                      L"[SOUND]\r\nAllSoundOff=0\r\n"
                      L"ScreenShot_Desktop_Sound=1\r\nScreenShot_Desktop_Sound_File=e0.wav\r\n"
                      L"ScreenShot_Window_Sound=0\r\nScreenShot_Window_Sound_File=e0.wav\r\n"
                      L"ScreenShot_Client_Sound=1\r\nScreenShot_Client_Sound_File=missing.wav\r\n"
                      L"ScreenShot_AllDisplay_Sound=1\r\nScreenShot_AllDisplay_Sound_File=" + (elsewhere_ / L"abs.wav") +
                      L"\r\nScreenCutRect_Sound=1\r\nScreenCutRect_Sound_File=e6.wav\r\n"
                      L"SetClipboard_Sound=1\r\nSetClipboard_Sound_File=e8.wav\r\n"
                      L"ChangeInputMode_Sound=1\r\nChangeInputMode_Sound_File=e14.wav\r\n";
    ASSERT_TRUE(InstallProfile(program_.path(), p));
    // Started from another folder, as from a shortcut: relative names are not found there.
    process_ = std::make_unique<ChildProcess>(program_ / L"pelmo.exe", L"", elsewhere_.path());
    ASSERT_TRUE(process_->started());
    for (int i = 0; i < 300 && !(main_ = FindPelmoMainWindow(process_->pid())); ++i) Sleep(50);
    ASSERT_NE(main_, nullptr);
    WaitForInputIdle(process_->handle(), 10000);
    window_ = std::make_unique<PatternWindow>(200, 150, 240, 160);
  }
  void TearDown() override {
    if (HasFailure()) {
      for (const auto& line : monitor_.Lines(L"")) std::printf("  %ls\n", line.c_str());
    }
  }

  // Presses a key and returns the sound line of that event run.
  std::wstring SoundOf(WORD key, int event) {
    window_->BringToFront();
    const std::wstring tag = L"sound event=" + std::to_wstring(event) + L" ";
    const size_t before = monitor_.Lines(tag).size();
    PressKey(key, 80);
    const auto lines = monitor_.WaitFor(tag, before + 1, 8000);
    PumpFor(300);
    if (lines.size() <= before) return L"(nothing)";
    const std::wstring& line = lines[before];
    return line.substr(line.find(tag) + tag.size());
  }

  DebugMonitor monitor_;
  TempDir program_, elsewhere_;
  std::unique_ptr<ChildProcess> process_;
  HWND main_ = nullptr;
  std::unique_ptr<PatternWindow> window_;
};

TEST_F(Sounds, EachEventAsksForItsOwnFile) {
  const std::wstring dir = program_.path() + L"\\";
  struct Case {
    WORD key;
    int event;
    std::wstring expected;
  } cases[] = {
      {VK_F5, 0, L"play=" + dir + L"e0.wav"},            // bare name, beside the program
      {VK_F6, 1, L"off"},                                // this event's switch
      {VK_F7, 2, L"none (no file: missing.wav)"},        // plays nothing, fails nothing
      {VK_F8, 3, L"play=" + (elsewhere_ / L"abs.wav")},  // absolute
      {VK_F9, 4, L"play=" + dir + kShutter},             // the default, beside the program
      {VK_F3, 8, L"play=" + dir + L"e8.wav"},            // automatic capture starts...
      {VK_F3, 8, L"play=" + dir + L"e8.wav"},            // ... and stops
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SoundOf(c.key, c.event), c.expected) << "event " << c.event;
  }
  EXPECT_TRUE(monitor_.Lines(L"balloon").empty());
  EXPECT_TRUE(monitor_.Lines(L"failed").empty());

  // Event 14 twice (on, and off again: while on, only it can fire).
  EXPECT_EQ(SoundOf(VK_F4, 14), L"play=" + dir + L"e14.wav");
  EXPECT_EQ(SoundOf(VK_F4, 14), L"play=" + dir + L"e14.wav");

  // A fixed cut sounds when taken, not when cancelled.
  const RECT client = window_->ClientOnScreen();
  window_->BringToFront();
  PressKey(VK_F2, 80);
  ASSERT_EQ(monitor_.WaitFor(L"cut overlay shown", 1, 8000).size(), 1u);
  MoveTo(client.left + 100, client.top + 80);
  LeftDown();
  LeftUp();
  ASSERT_EQ(monitor_.WaitFor(L"sound event=6 ", 1, 8000).size(), 1u);
  EXPECT_EQ(monitor_.Lines(L"sound event=6 ")[0], L"pelmo: sound event=6 play=" + dir + L"e6.wav");
  window_->BringToFront();
  PressKey(VK_F2, 80);
  ASSERT_EQ(monitor_.WaitFor(L"cut overlay shown", 2, 8000).size(), 2u);
  PressKey(VK_ESCAPE, 50);
  ASSERT_EQ(monitor_.WaitFor(L"event 6 done", 2, 8000).size(), 2u);
  EXPECT_EQ(monitor_.Lines(L"sound event=6 ").size(), 1u);

  // The tray's all-off command silences every event; again, and they sound again.
  SendMessageW(main_, WM_COMMAND, 32820, 0);
  EXPECT_EQ(SoundOf(VK_F5, 0), L"off (all sounds off)");
  SendMessageW(main_, WM_COMMAND, 32820, 0);
  EXPECT_EQ(SoundOf(VK_F5, 0), L"play=" + dir + L"e0.wav");
}

}  // namespace
