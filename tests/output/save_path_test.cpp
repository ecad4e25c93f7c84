// The save path under Wine: real folders in a temporary folder, real windows for "%w".
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/LongPath.h"
#include "core/resource.h"
#include "output/RunningNumber.h"
#include "output/SavePath.h"
#include "settings/GenProfile.h"
#include "settings/NameProfile.h"
#include "wine_test_support.h"

using namespace pelmo;
using pelmo::test::TempDir;

namespace {

SavePathRequest DefaultRequest(const std::wstring& folder) {
  SavePathRequest r;
  r.saveFolder = folder;
  r.fileNameTemplate = L"screenshot\\%p\\capture%r";
  r.profileName = L"Game";
  r.event = kEventDesktop;
  r.window = GetDesktopWindow();
  return r;
}

// Writes a file at path through the long form, as the save step does.
bool Touch(const std::wstring& path) {
  HANDLE h = CreateFileW(ToExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

// Removes a tree of any depth (the temporary folder's own cleanup stops at MAX_PATH).
void RemoveTree(const std::wstring& dir) {
  const std::wstring base = ToExtendedPath(dir);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((base + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = base + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(base.c_str());
}

// A top-level window with a title, owned by the test.
struct TitledWindow {
  explicit TitledWindow(const wchar_t* title)
      : hwnd(CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr)) {}
  ~TitledWindow() { DestroyWindow(hwnd); }
  HWND hwnd;
};

}  // namespace

TEST(BuildSavePath, DefaultProfileCreatesTheFoldersAndUsesTheNumber) {
  TempDir tmp;
  CGenProfile options;  // JPG by default
  options.SetSaveFolder(tmp.path());
  CNameProfile names;  // "screenshot\%p\capture%r", one digit, number 0
  int32_t shown = -1;
  names.SetNextNumberDisplay([&](int32_t n) { shown = n; });

  const SavePathResult result =
      BuildSavePath(MakeSavePathRequest(options, names, L"Game", kEventDesktop, GetDesktopWindow()));
  ASSERT_EQ(result.status, 1) << result.messageId;
  EXPECT_EQ(result.path, tmp.path() + L"\\screenshot\\Game\\capture0.jpg");
  EXPECT_TRUE(LongPathIsDirectory(tmp / L"screenshot\\Game"));
  EXPECT_FALSE(LongPathExists(result.path));  // only the folders are made

  // The save step then moves the number on, and the page's box is told.
  EXPECT_EQ(AdvanceRunningNumber(names), 1);
  EXPECT_EQ(names.GetCurrentNumber(), 1);
  EXPECT_EQ(shown, 1);

  // The same profile again: the folders exist already, which is no error.
  EXPECT_EQ(BuildSavePath(MakeSavePathRequest(options, names, L"Game", kEventDesktop, nullptr)).path,
            tmp.path() + L"\\screenshot\\Game\\capture1.jpg");

  // A template without placeholders always gives the same path and does not use the number.
  names.SetFileName(L"fixed");
  const SavePathResult fixed = BuildSavePath(MakeSavePathRequest(options, names, L"Game", kEventWindow, nullptr));
  EXPECT_EQ(fixed.status, 0);
  EXPECT_EQ(fixed.path, tmp.path() + L"\\fixed.jpg");
}

TEST(BuildSavePath, FailuresNameTheirMessageAndCreateNothing) {
  TempDir tmp;
  ASSERT_TRUE(pelmo::test::WriteTextFile(tmp / L"afile", "x"));
  struct Case {
    std::wstring folder;
    std::wstring fileTemplate;
    int message;
  };
  const Case cases[] = {
      {tmp / L"missing", L"sub\\name", IDS_NO_SAVE_FOLDER},
      {L"", L"sub\\name", IDS_NO_SAVE_FOLDER},
      {tmp / L"afile", L"sub\\name", IDS_NO_SAVE_FOLDER},  // a file is no save folder
      {tmp.path(), L"sub\\", IDS_BAD_FILE_NAME},
      {tmp.path(), L"", IDS_BAD_FILE_NAME},
      {tmp.path(), L"afile\\sub\\name", IDS_MKDIR_FAILED},  // a file stands in the way
      {tmp.path(), L"bad<>|\\name", IDS_MKDIR_FAILED},      // a typed name Windows refuses
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.folder + L" + " + c.fileTemplate));
    SavePathRequest request = DefaultRequest(c.folder);
    request.fileNameTemplate = c.fileTemplate;
    const SavePathResult result = BuildSavePath(request);
    EXPECT_EQ(result.status, -1);
    EXPECT_EQ(result.messageId, c.message);
    EXPECT_TRUE(result.path.empty());
  }
  EXPECT_FALSE(LongPathExists(tmp / L"missing"));
  EXPECT_FALSE(LongPathExists(tmp / L"sub"));
}

TEST(BuildSavePath, AnyUnicodeFolderAndFileName) {
  TempDir tmp;
  SavePathRequest request = DefaultRequest(tmp.path());
  // Japanese, Korean (outside the Japanese ANSI code page) and characters beyond the BMP.
  request.profileName = L"ゲーム한국어\xD83D\xDCF7";
  request.fileNameTemplate = L"キャプチャ\\%p\\\xD842\xDFB7野家 %r";
  request.digitCount = 3;
  const SavePathResult result = BuildSavePath(request);
  ASSERT_EQ(result.status, 1) << result.messageId;
  EXPECT_EQ(result.path, tmp.path() + L"\\キャプチャ\\ゲーム한국어\xD83D\xDCF7\\\xD842\xDFB7野家 000.jpg");
  EXPECT_TRUE(LongPathIsDirectory(tmp / L"キャプチャ\\ゲーム한국어\xD83D\xDCF7"));
  EXPECT_TRUE(Touch(result.path));
  EXPECT_TRUE(LongPathExists(result.path));
}

TEST(BuildSavePath, PathsLongerThanMaxPath) {
  TempDir tmp;
  SavePathRequest request = DefaultRequest(tmp.path());
  request.profileName = std::wstring(120, L'長');
  request.fileNameTemplate = L"%p\\%p\\%p\\%p\\name%r";
  const SavePathResult result = BuildSavePath(request);
  ASSERT_EQ(result.status, 1) << result.messageId;
  EXPECT_GT(result.path.size(), 4u * 120u);
  EXPECT_TRUE(LongPathIsDirectory(result.path.substr(0, result.path.rfind(L'\\'))));

  // The overwrite question depends on this: an existing file is seen at any length.
  EXPECT_FALSE(LongPathExists(result.path));
  ASSERT_TRUE(Touch(result.path));
  EXPECT_TRUE(LongPathExists(result.path));
  RemoveTree(tmp / std::wstring(120, L'長'));
}

TEST(BuildSavePath, WindowTitlesBecomeSafeFolderAndFileNames) {
  TempDir tmp;
  struct Case {
    const wchar_t* title;
    const wchar_t* folder;
    const wchar_t* file;
  };
  const Case cases[] = {
      {L"a:b?c|d*e", L"a b c d e", L"a b c d e"},
      {L"Loading...", L"Loading", L"Loading..."},
      {L"x\ty\"z", L"x y z", L"x y z"},
      {L"", L"_Unknown", L"_Unknown"},
      {L"0123456789abcdefghij", L"0123456789abcdef", L"0123456789abcdef"},
      {L"con", L"con_", L"con_"},  // not the console device
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.title)));
    TitledWindow window(c.title);
    ASSERT_TRUE(window.hwnd);
    SavePathRequest request = DefaultRequest(tmp.path());
    request.window = window.hwnd;
    request.fileNameTemplate = L"%w\\%w";
    const SavePathResult result = BuildSavePath(request);
    ASSERT_EQ(result.status, 0) << result.messageId;
    EXPECT_EQ(result.path, tmp.path() + L"\\" + c.folder + L"\\" + c.file + L".jpg");
    EXPECT_TRUE(Touch(result.path));
  }
}

TEST(GetWindowNameText, DesktopAndHungWindows) {
  EXPECT_EQ(GetWindowNameText(GetDesktopWindow(), 16), L"スクロールキャプチャ");
  EXPECT_EQ(GetWindowNameText(GetDesktopWindow(), 3), L"スクロ");
  EXPECT_EQ(GetWindowNameText(nullptr, 16), L"_Unknown");

  // A window whose thread does not answer still gives its title, without holding up the capture.
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND busy = nullptr;
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {
    busy = CreateWindowExW(0, L"STATIC", L"Busy window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           nullptr, nullptr);
    SetEvent(ready);
    WaitForSingleObject(release, 20000);  // not pumping messages
    DestroyWindow(busy);
  });
  WaitForSingleObject(ready, 5000);
  const auto start = std::chrono::steady_clock::now();
  const std::wstring text = GetWindowNameText(busy, 16);
  const auto waited = std::chrono::steady_clock::now() - start;
  SetEvent(release);
  owner.join();
  CloseHandle(release);
  CloseHandle(ready);
  EXPECT_EQ(text, L"Busy window");
  EXPECT_LT(waited, std::chrono::seconds(3));
}

TEST(LongPath, CreateDirectoryTreeAndExistence) {
  TempDir tmp;
  EXPECT_TRUE(CreateDirectoryTree(tmp / L"a\\b\\c\\"));
  EXPECT_TRUE(CreateDirectoryTree(tmp / L"a\\b\\c"));  // again: nothing to do
  EXPECT_TRUE(LongPathIsDirectory(tmp / L"a\\b\\c"));
  EXPECT_TRUE(CreateDirectoryTree(tmp / L"a\\.\\x\\..\\y"));  // resolved like any path
  EXPECT_TRUE(LongPathIsDirectory(tmp / L"a\\y"));
  EXPECT_FALSE(LongPathExists(tmp / L"a\\x"));

  ASSERT_TRUE(pelmo::test::WriteTextFile(tmp / L"f", "x"));
  EXPECT_FALSE(CreateDirectoryTree(tmp / L"f"));
  EXPECT_FALSE(CreateDirectoryTree(tmp / L"f\\g"));
  EXPECT_TRUE(LongPathExists(tmp / L"f"));
  EXPECT_FALSE(LongPathIsDirectory(tmp / L"f"));
  EXPECT_FALSE(LongPathExists(tmp / L"nothing"));
  EXPECT_FALSE(LongPathExists(L""));
  EXPECT_FALSE(CreateDirectoryTree(L""));
}

TEST(LongPath, ExtendedForms) {
  EXPECT_EQ(ToExtendedPath(L"C:\\a\\.\\b\\..\\c"), L"\\\\?\\C:\\a\\c");
  EXPECT_EQ(ToExtendedPath(L"C:\\a\\\\b"), L"\\\\?\\C:\\a\\b");
  EXPECT_EQ(ToExtendedPath(L"\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
  EXPECT_EQ(ToExtendedPath(L"\\\\?\\C:\\kept"), L"\\\\?\\C:\\kept");
  EXPECT_EQ(ToExtendedPath(L""), L"");
}
