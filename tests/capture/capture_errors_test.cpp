// What the running program says and writes when a capture or the clipboard copy cannot be done as
// asked: a display that is gone, no window to capture, a clipboard held by another program; and a
// capture path far beyond MAX_PATH written whole, folders, file and overwrite question included.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "wine_test_support.h"

namespace {

using pelmo::test::PelmoProcess;

const std::wstring kProfile = L"エラー";
constexpr int kPng = 3;

struct Key {
  const wchar_t* event;
  WORD vk;
};
constexpr Key kKeys[] = {{L"ScreenShot_Desktop", VK_F5}, {L"ScreenShot_Window", VK_F6},
                         {L"ScreenShot_Client", VK_F7},  {L"ScreenShot_Display", VK_F9},
                         {L"OpenSetting", VK_F11}};  // the key name of event 10, the clipboard copy

// Width and height of an image file as stb_image reads it; 0 x 0 when it is no image.
std::pair<int, int> ImageSize(const std::wstring& path) {
  const std::string bytes = pelmo::test::ReadFileBytes(path);
  int w = 0, h = 0, n = 0;
  if (!stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &w, &h, &n))
    return {0, 0};
  return {w, h};
}

// Names in a folder (not recursive).
std::vector<std::wstring> Names(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

class CaptureErrorsTest : public ::testing::Test {
 protected:
  // `saveFolder` empty: a folder "出力" in the program folder.
  void Start(const std::wstring& extraSections, const std::wstring& other = L"CheckRewrite=0\r\n",
             const std::wstring& fileName = L"capture%r", const std::wstring& saveFolder = L"") {
    out_ = saveFolder.empty() ? pelmo_.path(L"出力") : saveFolder;
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + out_).c_str(), nullptr));
    pelmo::test::TestProfile profile;
    profile.name = kProfile;
    profile.saveFolder = out_;
    profile.imageType = kPng;
    profile.fileName = fileName;
    for (const Key& k : kKeys) profile.keys.emplace_back(k.event, k.vk);
    profile.otherSection = other;
    profile.extraSections = L"[PNG]\r\nPngColor=24\r\n" + extraSections;
    ASSERT_TRUE(pelmo::test::InstallProfile(pelmo_.folder().path(), profile));
    ASSERT_TRUE(pelmo_.Start());
    ASSERT_NE(pelmo_.WaitForMainWindow(), nullptr);
  }

  // The key source may still see the previous press's key as held for a moment (Wine repeats a
  // "key is up" answer for up to 50 ms): a press right after it would be no new key-down.
  static void PressAfterAPause(WORD vk) {
    pelmo::test::PumpFor(300);
    pelmo::test::PressKey(vk, 80);
  }

  // Presses the key and waits for the event's trace line ("event N done…" or "event N failed").
  std::wstring Press(WORD vk, int event) {
    const std::wstring prefix = L"event " + std::to_wstring(event) + L" ";
    const size_t before = monitor_.Lines(prefix).size();
    PressAfterAPause(vk);
    const auto lines = monitor_.WaitFor(prefix, before + 1, 15000);
    return lines.size() > before ? lines[before] : L"(no event line)";
  }

  // The balloons shown so far, after a moment for the last one to arrive.
  std::vector<std::wstring> Balloons(size_t atLeast) {
    monitor_.WaitFor(L"balloon", atLeast, 5000);
    pelmo::test::PumpFor(300);
    return monitor_.Lines(L"balloon");
  }

  pelmo::test::DebugMonitor monitor_;
  PelmoProcess pelmo_;
  std::wstring out_;
};

TEST_F(CaptureErrorsTest, AChosenDisplayThatIsGoneSaysTheDeviceDoesNotExist) {
  // Wine makes a device context even for this name; no monitor shows it.
  Start(L"[DISPLAY]\r\nDisplayName=\\\\.\\DISPLAY9\r\n");
  EXPECT_NE(Press(VK_F9, 4).find(L"failed"), std::wstring::npos);
  const auto balloons = Balloons(1);
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_NE(balloons[0].find(L"title=エラー text=ディスプレイデバイスが存在しないか、認識に失敗しました。"), std::wstring::npos)
      << balloons[0];
  EXPECT_TRUE(Names(out_).empty());
}

// With no foreground window the window and client events fail with text 254, each time (not
// the text of an earlier failure, nor an empty balloon).
TEST_F(CaptureErrorsTest, NoWindowToCaptureSaysSo) {
  Start(L"[DISPLAY]\r\nDisplayName=\\\\.\\DISPLAY9\r\n");
  // Wine's desktop keeps its task bar in front; without it, and once a window that was in front
  // is gone, there is no foreground window.
  struct HiddenTaskBar {
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    HiddenTaskBar() {
      if (tray) ShowWindow(tray, SW_HIDE);
    }
    ~HiddenTaskBar() {
      if (tray) ShowWindow(tray, SW_SHOWNA);
    }
  } hidden;
  HWND w = CreateWindowExW(0, L"STATIC", L"gone", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100, 100, nullptr,
                           nullptr, nullptr, nullptr);
  SetForegroundWindow(w);
  pelmo::test::PumpFor(200);
  DestroyWindow(w);
  pelmo::test::PumpFor(300);
  ASSERT_EQ(GetForegroundWindow(), nullptr) << "the test needs a desktop without a foreground window";
  // An earlier failure with another text first.
  Press(VK_F9, 4);
  for (const auto& [vk, event] : {std::pair<WORD, int>{VK_F6, 1}, {VK_F7, 2}}) {
    SCOPED_TRACE(event);
    EXPECT_NE(Press(vk, event).find(L"failed"), std::wstring::npos);
  }
  const auto balloons = Balloons(3);
  ASSERT_EQ(balloons.size(), 3u);
  for (size_t i = 1; i < 3; ++i)
    EXPECT_NE(balloons[i].find(L"title=エラー text=アクティブなウィンドウを取得できませんでした。"), std::wstring::npos)
        << balloons[i];
  EXPECT_TRUE(Names(out_).empty());
}

// Another program holds the clipboard open: the copy fails with our text, as a failure (no
// sound); once the clipboard is free the same event puts the file there.
TEST_F(CaptureErrorsTest, AClipboardHeldByAnotherProgramIsReportedAsAFailure) {
  Start(L"");
  const std::wstring file = out_ + L"\\capture001.png";
  ASSERT_NE(Press(VK_F5, 0).find(L"done"), std::wstring::npos);
  ASSERT_TRUE(pelmo::test::FileExists(file));

  ASSERT_TRUE(OpenClipboard(nullptr));
  const std::wstring held = Press(VK_F11, 10);
  CloseClipboard();
  EXPECT_NE(held.find(L"event 10 failed"), std::wstring::npos) << held;
  const auto balloons = Balloons(1);
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_NE(balloons[0].find(L"title=エラー text=クリップボードへのコピーに失敗しました。"), std::wstring::npos) << balloons[0];

  const std::wstring freed = Press(VK_F11, 10);
  EXPECT_NE(freed.find(L"event 10 done"), std::wstring::npos) << freed;
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE drop = GetClipboardData(CF_HDROP);
  wchar_t pasted[MAX_PATH] = {};
  if (drop) DragQueryFileW(static_cast<HDROP>(drop), 0, pasted, MAX_PATH);
  CloseClipboard();
  EXPECT_EQ(std::wstring(pasted), file);
  EXPECT_EQ(monitor_.Lines(L"balloon").size(), 1u);
}

// The overwrite question is a message box of the program; answer it like a user would.
struct QuestionSearch {
  DWORD pid;
  HWND box;
};

BOOL CALLBACK FindQuestion(HWND h, LPARAM lp) {
  auto* search = reinterpret_cast<QuestionSearch*>(lp);
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (owner == search->pid && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(h) && GetDlgItem(h, IDNO)) {
    search->box = h;
    return FALSE;
  }
  return TRUE;
}

bool AnswerQuestion(DWORD pid, int button) {
  for (int i = 0; i < 200; ++i) {
    QuestionSearch search{pid, nullptr};
    EnumWindows(FindQuestion, reinterpret_cast<LPARAM>(&search));
    if (search.box) {
      PostMessageW(search.box, WM_COMMAND, button, 0);
      return true;
    }
    pelmo::test::PumpFor(50);
  }
  return false;
}

// A save folder and template that make a path of about 400 characters, with a file name of 247
// (a temporary name built from it would pass the 255 a name may have): the folders are made, the
// file written, and an existing file is asked about before it is replaced.
TEST_F(CaptureErrorsTest, APathBeyondMaxPathIsWrittenWholeAndAskedAbout) {
  const std::wstring folder = pelmo_.path(L"出力") + L"\\" + std::wstring(100, L'f');
  ASSERT_TRUE(CreateDirectoryW(pelmo_.path(L"出力").c_str(), nullptr));
  const std::wstring stem(240, L'n');
  Start(L"", L"CheckRewrite=1\r\n", L"深い\\" + stem + L"%r", folder);
  auto target = [&](int n) {
    wchar_t num[8];
    swprintf(num, 8, L"%03d", n);
    return folder + L"\\深い\\" + stem + num + L".png";
  };
  ASSERT_GT(target(1).size(), 300u);
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);

  EXPECT_NE(Press(VK_F5, 0).find(L"done"), std::wstring::npos);
  EXPECT_EQ(ImageSize(L"\\\\?\\" + target(1)), std::make_pair(screenW, screenH));

  // Number 2 exists: the question comes, "yes" replaces it.
  ASSERT_TRUE(pelmo::test::WriteTextFile(L"\\\\?\\" + target(2), "old file"));
  PressAfterAPause(VK_F5);
  ASSERT_TRUE(AnswerQuestion(pelmo_.process().pid(), IDYES)) << "no overwrite question";
  monitor_.WaitFor(L"event 0 done", 2, 10000);
  EXPECT_EQ(ImageSize(L"\\\\?\\" + target(2)), std::make_pair(screenW, screenH));

  // Number 3 exists: "no" keeps it.
  ASSERT_TRUE(pelmo::test::WriteTextFile(L"\\\\?\\" + target(3), "old file"));
  PressAfterAPause(VK_F5);
  ASSERT_TRUE(AnswerQuestion(pelmo_.process().pid(), IDNO)) << "no overwrite question";
  const auto done = monitor_.WaitFor(L"event 0 done", 3, 10000);
  ASSERT_EQ(done.size(), 3u);
  EXPECT_NE(done[2].find(L"no sound"), std::wstring::npos) << done[2];
  EXPECT_EQ(pelmo::test::ReadFileBytes(L"\\\\?\\" + target(3)), "old file");

  // Nothing else beside them: no temporary file stayed, no balloon was shown.
  EXPECT_EQ(Names(folder + L"\\深い").size(), 3u);
  EXPECT_TRUE(monitor_.Lines(L"balloon").empty());
}

// Windows lifts MAX_PATH for a program only when its manifest says so; the writes above do not
// depend on it (extended paths), but the platform calls with plain paths do.
TEST(ProgramManifest, DeclaresLongPathAwareness) {
  HMODULE exe = LoadLibraryExW((pelmo::test::DistDir() + L"\\pelmo.exe").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(exe, nullptr);
  HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const char* text = static_cast<const char*>(LockResource(LoadResource(exe, found)));
  const std::string manifest(text, SizeofResource(exe, found));
  FreeLibrary(exe);
  EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>"),
            std::string::npos)
      << manifest;
}

}  // namespace
