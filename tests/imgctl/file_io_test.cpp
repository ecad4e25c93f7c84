// The safe write's temporary file: a name left behind by an ended process never blocks a later
// save, our own leftovers are removed (and nothing else), and a target whose name is near the
// file system's limit still has room for the temporary file beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "CodecTestUtil.h"
#include "FileIo.h"
#include "Library.h"
#include "SyntheticImages.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace imgctl {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

// A file as an ended process leaves it: written long enough ago to count as stale.
void LeaveStale(const fs::path& p, size_t bytes = 1000) {
  test::WriteBytes(p, std::vector<uint8_t>(bytes, 0x55));
  fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(1));
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(TemporaryFiles, OnlyOurPatternCounts) {
  struct Case {
    const char* name;
    bool ours;
  } cases[] = {
      {"~imgctl-0123456789abcdef.tmp", true},  {"~imgctl-0123456789ABCDEF.tmp", false},
      {"~imgctl-0123456789abcde.tmp", false},  {"~imgctl-0123456789abcdef0.tmp", false},
      {"~imgctl-0123456789abcdeg.tmp", false}, {"imgctl-0123456789abcdef.tmp", false},
      {"~imgctl-0123456789abcdef.png", false}, {"capture.png.1a2b-3.tmp", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsTemporaryName(fs::path(c.name).native()), c.ours);
  }
}

// A process killed during a save leaves its temporary file; a later process may draw the same
// name. The save must succeed and our leftovers go; files of other names stay.
TEST(TemporaryFiles, LeftoversOfTheSameNameNeitherBlockASaveNorStay) {
  TempFolder dir;
  Image* img = Adopt(testing::Pattern(40, 30, 24));
  SetTemporaryNameSeedForTesting(0x5eed0000);
  const fs::path next = dir / TemporaryNameForTesting(0), after = dir / TemporaryNameForTesting(1);
  LeaveStale(next, 10 << 20);  // the size a killed save of a large capture leaves
  LeaveStale(after);
  LeaveStale(dir / "notes.tmp");
  LeaveStale(dir / "~imgctl-ffffffffffffffff.tmp.bak");

  ASSERT_TRUE(SavePng((dir / "capture.png").native(), img, false));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"capture.png", "notes.tmp", "~imgctl-ffffffffffffffff.tmp.bak"}));
  Image* back = LoadFile((dir / "capture.png").native());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(test::FirstDifference(*back, *img, false), -1);
  Free(back);
  Free(img);
}

// A fresh file of our pattern may be another writer's, just before its rename: it is left alone
// and the save takes the next name.
TEST(TemporaryFiles, AFreshTemporaryIsLeftAloneAndTheNextNameTaken) {
  TempFolder dir;
  Image* img = Adopt(testing::Pattern(20, 10, 24));
  SetTemporaryNameSeedForTesting(0xfeed0000);
  const fs::path taken = dir / TemporaryNameForTesting(0);
  test::WriteBytes(taken, {'b', 'u', 's', 'y'});
  ASSERT_TRUE(SaveBmp((dir / "a.bmp").native(), img));
  EXPECT_EQ(test::ReadBytes(taken), (std::vector<uint8_t>{'b', 'u', 's', 'y'}));
  EXPECT_EQ(dir.FileCount(), 2u);
  Free(img);
}

#ifdef _WIN32
// A stale-looking temporary that a process still holds open is not touched.
TEST(TemporaryFiles, AnOpenTemporaryIsLeftAlone) {
  TempFolder dir;
  Image* img = Adopt(testing::Pattern(20, 10, 24));
  const fs::path open = dir / "~imgctl-00000000000000aa.tmp";
  LeaveStale(open);
  HANDLE h = CreateFileW(open.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SaveBmp((dir / "a.bmp").native(), img));
  CloseHandle(h);
  EXPECT_TRUE(fs::exists(open));
  // Once closed, the next save removes it.
  ASSERT_TRUE(SaveBmp((dir / "a.bmp").native(), img));
  EXPECT_FALSE(fs::exists(open));
  Free(img);
}
#endif

// A name of 250 characters: the old temporary name (target name plus a suffix) passed the file
// system's 255 per name; the short one fits. On Windows the whole path is also beyond MAX_PATH.
TEST(TemporaryFiles, TargetsNearTheNameAndPathLimitsAreWritten) {
  TempFolder dir;
  fs::path folder = dir.path();
  for (int i = 0; i < 3; ++i) folder /= std::string(60, static_cast<char>('a' + i));
  fs::create_directories(folder);
  const fs::path file = folder / (std::string(246, 'n') + ".png");
  ASSERT_GT(file.native().size(), 300u);
  Image* img = Adopt(testing::Pattern(17, 11, 24));
  ASSERT_TRUE(SavePng(file.native(), img, false));
  ASSERT_TRUE(SavePng(file.native(), img, true));  // and replaced
  Image* back = LoadFile(file.native());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(test::FirstDifference(*back, *img, false), -1);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{file.filename().string()}));
  Free(back);
  Free(img);
}

}  // namespace
}  // namespace imgctl
