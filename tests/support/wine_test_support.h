// Helpers for Windows tests that run under Wine: build-tree paths, child processes, synthesized
// input and temporary program folders. Every helper owns what it creates and releases it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace pelmo::test {

// A Unix path of the build machine as Wine sees it (drive Z: is the Unix root).
std::wstring ToWinPath(const std::string& unixPath);

std::wstring BinaryDir();   // the build tree
std::wstring TestBinDir();  // helper programs of the tests
std::wstring DistDir();     // the assembled program folder

// A started process; ended on destruction if it still runs.
class ChildProcess {
 public:
  ChildProcess(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir = L"");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD pid() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }
  // Exit code, or WAIT_TIMEOUT's value 258 with the process still running.
  DWORD wait(DWORD ms);
  bool running() const;
  void terminate();

 private:
  PROCESS_INFORMATION info_{};
};

// Key presses through the input system (SendInput), as a user's keyboard would make them.
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void PressKey(WORD vk, DWORD holdMs = 50);

// A fresh folder under the system temporary folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Copies the assembled program folder into dest (which must exist).
bool CopyProgramFolder(const std::wstring& dest);

bool FileExists(const std::wstring& path);
// Writes text as UTF-16 with a byte-order mark, the way the program writes its INI files.
bool WriteUnicodeFile(const std::wstring& path, const std::wstring& text);
bool WriteTextFile(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);

// Dispatches this thread's messages for the given time (Wine delivers input through queues).
void PumpFor(DWORD ms);

// Waits until a top-level window with that caption (hidden ones included) exists.
HWND WaitForWindow(const wchar_t* caption, DWORD ms, const wchar_t* className = nullptr);

// The hidden main window of a running PELMO (class #32770, caption exactly "Pelmo"; the settings
// window's caption "PELMO" differs only in case, which FindWindow ignores). pid 0 = any process.
HWND FindPelmoMainWindow(DWORD pid = 0);
// The settings window (caption exactly "PELMO").
HWND FindPelmoSettingsWindow(DWORD pid = 0);

// A profile file for a test: OPTION, FILE_NAME, KEY and OTHER sections from these values.
struct TestProfile {
  std::wstring name;
  std::wstring saveFolder;
  int imageType = 1;
  std::wstring fileName = L"screenshot\\%p\\capture%r";
  int digitCount = 3;
  std::vector<std::pair<std::wstring, int>> keys;  // event key name, one key code (slots 2, 3 empty)
  std::wstring otherSection = L"CheckRewrite=0\r\n";
  std::wstring extraSections;  // further sections, verbatim
};

// Writes Profile\<name>.ini into the program folder, and common.ini (Show=0) and setting.ini
// (this profile as the last one) unless they exist.
bool InstallProfile(const std::wstring& programFolder, const TestProfile& profile);

// PELMO started from a fresh copy of the program folder; ended on destruction if still running.
class PelmoProcess {
 public:
  // Copies the program folder into the temporary folder; `setup` may add files before the start.
  PelmoProcess();
  const TempDir& folder() const { return folder_; }
  std::wstring path(const std::wstring& name) const { return folder_ / name; }
  bool Start();
  // Waits for the hidden main window; null on time-out.
  HWND WaitForMainWindow(DWORD ms = 15000);
  ChildProcess& process() { return *process_; }
  HWND mainWindow() const { return main_; }

 private:
  TempDir folder_;
  std::unique_ptr<ChildProcess> process_;
  HWND main_ = nullptr;
};

}  // namespace pelmo::test

namespace pelmo::test {

// Collects what other processes write with OutputDebugString (the system's debug-output buffer),
// as a debug-output viewer does. One monitor per machine at a time.
class DebugMonitor {
 public:
  DebugMonitor();
  ~DebugMonitor();
  DebugMonitor(const DebugMonitor&) = delete;
  DebugMonitor& operator=(const DebugMonitor&) = delete;
  bool ok() const { return ok_; }
  // Lines (UTF-8 decoded) that contain `part`, from process pid (0 = any), in arrival order.
  std::vector<std::wstring> Lines(const std::wstring& part, DWORD pid = 0) const;
  // Waits until at least `count` such lines arrived; returns them.
  std::vector<std::wstring> WaitFor(const std::wstring& part, size_t count, DWORD ms, DWORD pid = 0) const;
  void Clear();

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
  bool ok_ = false;
  HANDLE mapping_ = nullptr, bufferReady_ = nullptr, dataReady_ = nullptr, stop_ = nullptr, thread_ = nullptr;
  void* view_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  std::vector<std::pair<DWORD, std::wstring>> lines_;
};

}  // namespace pelmo::test
