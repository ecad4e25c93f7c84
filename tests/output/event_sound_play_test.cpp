// Playing event sounds under Wine, with the program's own shutter sound.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "output/EventSound.h"
#include "core/AppDirectory.h"
#include "settings/SndProfile.h"
#include "wine_test_support.h"

using namespace pelmo;
using pelmo::test::TempDir;

namespace {

const wchar_t kDefaultSound[] = L"Sounds\\クラシック カメラ.wav";

// The current folder for the life of the object.
struct CurrentFolder {
  explicit CurrentFolder(const std::wstring& path) {
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(path.c_str());
  }
  ~CurrentFolder() { SetCurrentDirectoryW(saved); }
  wchar_t saved[MAX_PATH] = {};
};

class EventSoundPlay : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryW((program / L"Sounds").c_str(), nullptr));
    const std::wstring source =
        pelmo::test::ToWinPath(PELMO_SOURCE_DIR) + L"\\resources\\dist\\" + kDefaultSound;
    ASSERT_TRUE(CopyFileW(source.c_str(), (program / kDefaultSound).c_str(), TRUE));
    ASSERT_TRUE(pelmo::test::WriteTextFile(program / L"broken.wav", "not a wave file"));
  }
  void TearDown() override { StopEventSound(); }

  TempDir program;  // stands in for the program folder
  TempDir elsewhere;
  std::wstring appDir() const { return program.path() + L"\\"; }
};

}  // namespace

TEST_F(EventSoundPlay, DefaultSoundPlaysFromAnyCurrentFolder) {
  {
    CurrentFolder cwd(program.path());
    EXPECT_TRUE(PlayEventSound(true, false, kDefaultSound, appDir()));
  }
  // Started from a shortcut, or after a file dialog: the current folder is another one.
  CurrentFolder cwd(elsewhere.path());
  EXPECT_TRUE(PlayEventSound(true, false, kDefaultSound, appDir()));
  EXPECT_TRUE(PlayEventSound(true, false, program / kDefaultSound, appDir()));  // absolute
  // A sound still playing is cut off by the next one: starting again at once works.
  EXPECT_TRUE(PlayEventSound(true, false, kDefaultSound, appDir()));
}

TEST_F(EventSoundPlay, SwitchesAndMissingFilesPlayNothing) {
  CurrentFolder cwd(elsewhere.path());
  EXPECT_FALSE(PlayEventSound(false, false, kDefaultSound, appDir()));  // this event's sound off
  EXPECT_FALSE(PlayEventSound(true, true, kDefaultSound, appDir()));    // all sounds off
  EXPECT_FALSE(PlayEventSound(true, false, L"", appDir()));
  EXPECT_FALSE(PlayEventSound(true, false, L"nowhere.wav", appDir()));
  EXPECT_FALSE(PlayEventSound(true, false, elsewhere / L"gone.wav", appDir()));
  EXPECT_FALSE(PlayEventSound(true, false, L"Sounds", appDir()));  // a folder is no sound
}

TEST_F(EventSoundPlay, BrokenFileIsNoError) {
  // Not a WAV file: whatever the system answers, nothing is shown and nothing hangs.
  PlayEventSound(true, false, L"broken.wav", appDir());
  StopEventSound();
  SUCCEED();
}

TEST_F(EventSoundPlay, AsTheProfileSays) {
  SetAppDirectoryForTesting(program.path());
  CurrentFolder cwd(elsewhere.path());
  CSndProfile sounds;  // defaults: the camera for the captures, nothing for the other events
  EXPECT_TRUE(PlayEventSound(sounds, kEventDesktop));
  EXPECT_FALSE(PlayEventSound(sounds, kEventOpenSettings));
  EXPECT_FALSE(PlayEventSound(sounds, kEventCount));

  sounds.SetAllSoundOff(1);
  EXPECT_FALSE(PlayEventSound(sounds, kEventDesktop));
  sounds.SetAllSoundOff(0);

  sounds.SetSoundOn(kEventDesktop, 0);  // off keeps the file; on again plays it again
  EXPECT_FALSE(PlayEventSound(sounds, kEventDesktop));
  sounds.SetSoundOn(kEventDesktop, 1);
  EXPECT_TRUE(PlayEventSound(sounds, kEventDesktop));

  // A bare file name is found beside the program.
  ASSERT_TRUE(CopyFileW((program / kDefaultSound).c_str(), (program / L"bare.wav").c_str(), TRUE));
  sounds.SetSoundFile(kEventOpenSettings, L"bare.wav");
  EXPECT_TRUE(PlayEventSound(sounds, kEventOpenSettings));
  sounds.SetSoundFile(kEventOpenSettings, L"gone.wav");
  EXPECT_FALSE(PlayEventSound(sounds, kEventOpenSettings));
}
