#include "wine_test_support.h"

#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <fstream>
#include <sstream>

namespace pelmo::test {

std::wstring ToWinPath(const std::string& unixPath) {
  std::wstring out = L"Z:";
  for (char c : unixPath) out += (c == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}

std::wstring BinaryDir() { return ToWinPath(PELMO_BINARY_DIR); }
std::wstring TestBinDir() { return BinaryDir() + L"\\testbin"; }
std::wstring DistDir() { return BinaryDir() + L"\\dist"; }

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir) {
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!args.empty()) cmd += L" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.empty() ? nullptr : workDir.c_str(), &si, &info_)) {
    info_ = {};
    return;
  }
  CloseHandle(info_.hThread);
  info_.hThread = nullptr;
}

ChildProcess::~ChildProcess() {
  if (!info_.hProcess) return;
  if (running()) terminate();
  CloseHandle(info_.hProcess);
}

DWORD ChildProcess::wait(DWORD ms) {
  if (!info_.hProcess) return 0xFFFFFFFFu;
  if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return WAIT_TIMEOUT;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool ChildProcess::running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::terminate() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, 5000);
}

static void SendKey(WORD vk, DWORD flags) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = flags;
  SendInput(1, &in, sizeof(in));
}

void KeyDown(WORD vk) { SendKey(vk, 0); }
void KeyUp(WORD vk) { SendKey(vk, KEYEVENTF_KEYUP); }
void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

void PressKey(WORD vk, DWORD holdMs) {
  KeyDown(vk);
  PumpFor(holdMs);
  KeyUp(vk);
}

static void RemoveTree(const std::wstring& dir) {
  // SHFileOperation wants a double-NUL-terminated list.
  std::wstring from = dir;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

TempDir::TempDir() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    std::wstringstream s;
    s << base << L"pelmo-test-" << GetCurrentProcessId() << L"-" << GetTickCount() << L"-" << ++counter;
    if (CreateDirectoryW(s.str().c_str(), nullptr)) {
      path_ = s.str();
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

TempDir::~TempDir() {
  if (!path_.empty()) RemoveTree(path_);
}

bool CopyProgramFolder(const std::wstring& dest) {
  std::wstring from = DistDir() + L"\\*";
  from.push_back(L'\0');
  std::wstring to = dest;
  to.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = FOF_NO_UI;
  return SHFileOperationW(&op) == 0;
}

bool FileExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteTextFile(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

bool WriteUnicodeFile(const std::wstring& path, const std::wstring& text) {
  std::string bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return WriteTextFile(path, bytes);
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return out;
}

HWND WaitForWindow(const wchar_t* caption, DWORD ms, const wchar_t* className) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = FindWindowW(className, caption)) return h;
    if (GetTickCount() - start >= ms) return nullptr;
    Sleep(20);
  }
}

namespace {
struct FindArgs {
  DWORD pid;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindExact(HWND hwnd, LPARAM lp) {
  auto* args = reinterpret_cast<FindArgs*>(lp);
  wchar_t cls[32] = {}, caption[64] = {};
  GetClassNameW(hwnd, cls, 32);
  GetWindowTextW(hwnd, caption, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (wcscmp(cls, L"#32770") == 0 && wcscmp(caption, args->caption) == 0 && (!args->pid || pid == args->pid)) {
    args->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindExactDialog(const wchar_t* caption, DWORD pid) {
  FindArgs args{pid, caption, nullptr};
  EnumWindows(FindExact, reinterpret_cast<LPARAM>(&args));
  return args.found;
}
}  // namespace

HWND FindPelmoMainWindow(DWORD pid) { return FindExactDialog(L"Pelmo", pid); }
HWND FindPelmoSettingsWindow(DWORD pid) { return FindExactDialog(L"PELMO", pid); }

bool InstallProfile(const std::wstring& folder, const TestProfile& p) {
  CreateDirectoryW((folder + L"\\Profile").c_str(), nullptr);
  std::wstring keys;
  for (const auto& [stem, code] : p.keys) {
    // All three slots: a missing slot reads as its default (PRINT SCREEN for some events).
    keys += stem + L"1=" + std::to_wstring(code) + L"\r\n" + stem + L"2=0\r\n" + stem + L"3=0\r\n";
  }
  const std::wstring text = L"[OPTION]\r\nSaveFolder=" + p.saveFolder + L"\r\nImageType=" + std::to_wstring(p.imageType) +
                            L"\r\n[FILE_NAME]\r\nFileName=" + p.fileName + L"\r\nStartNumber=1\r\nDigitCount=" +
                            std::to_wstring(p.digitCount) + L"\r\nIncreasingNumber=1\r\nCurrentNumber=1\r\n[KEY]\r\n" +
                            keys + L"[OTHER]\r\n" + p.otherSection + p.extraSections;
  if (!WriteUnicodeFile(folder + L"\\Profile\\" + p.name + L".ini", text)) return false;
  if (!FileExists(folder + L"\\common.ini") &&
      !WriteUnicodeFile(folder + L"\\common.ini", L"[COMMON_OTHER]\r\nShow=0\r\nDisableInputMode=0\r\n")) {
    return false;
  }
  if (!FileExists(folder + L"\\setting.ini") &&
      !WriteUnicodeFile(folder + L"\\setting.ini", L"[SYSTEM]\r\nLastProfile=" + p.name + L"\r\n")) {
    return false;
  }
  return true;
}

PelmoProcess::PelmoProcess() { CopyProgramFolder(folder_.path()); }

bool PelmoProcess::Start() {
  process_ = std::make_unique<ChildProcess>(folder_ / L"pelmo.exe", L"", folder_.path());
  return process_->started();
}

HWND PelmoProcess::WaitForMainWindow(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if ((main_ = FindPelmoMainWindow(process_ ? process_->pid() : 0))) {
      // The window exists before its initialisation ends; wait until the program waits for input.
      WaitForInputIdle(process_->handle(), ms);
      return main_;
    }
    if (process_ && !process_->running()) return nullptr;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace pelmo::test

namespace pelmo::test {

DebugMonitor::DebugMonitor() {
  InitializeCriticalSection(&lock_);
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
  bufferReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  dataReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!mapping_ || !bufferReady_ || !dataReady_ || !stop_) return;
  view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 4096);
  if (!view_) return;
  thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
  ok_ = thread_ != nullptr;
}

DebugMonitor::~DebugMonitor() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  if (view_) UnmapViewOfFile(view_);
  for (HANDLE h : {mapping_, bufferReady_, dataReady_, stop_}) {
    if (h) CloseHandle(h);
  }
  DeleteCriticalSection(&lock_);
}

DWORD WINAPI DebugMonitor::ThreadMain(void* self) {
  static_cast<DebugMonitor*>(self)->Run();
  return 0;
}

void DebugMonitor::Run() {
  SetEvent(bufferReady_);
  HANDLE waits[2] = {dataReady_, stop_};
  for (;;) {
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return;
    const auto* base = static_cast<const char*>(view_);
    DWORD pid = 0;
    memcpy(&pid, base, sizeof(pid));
    const char* text = base + sizeof(DWORD);
    const size_t len = strnlen(text, 4096 - sizeof(DWORD));
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(len), nullptr, 0);
    std::wstring line(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(len), line.data(), n);
    EnterCriticalSection(&lock_);
    lines_.emplace_back(pid, std::move(line));
    LeaveCriticalSection(&lock_);
    SetEvent(bufferReady_);
  }
}

std::vector<std::wstring> DebugMonitor::Lines(const std::wstring& part, DWORD pid) const {
  std::vector<std::wstring> out;
  EnterCriticalSection(&lock_);
  for (const auto& [from, line] : lines_) {
    if ((!pid || from == pid) && line.find(part) != std::wstring::npos) out.push_back(line);
  }
  LeaveCriticalSection(&lock_);
  return out;
}

std::vector<std::wstring> DebugMonitor::WaitFor(const std::wstring& part, size_t count, DWORD ms, DWORD pid) const {
  const DWORD start = GetTickCount();
  for (;;) {
    auto lines = Lines(part, pid);
    if (lines.size() >= count || GetTickCount() - start >= ms) return lines;
    PumpFor(20);
  }
}

void DebugMonitor::Clear() {
  EnterCriticalSection(&lock_);
  lines_.clear();
  LeaveCriticalSection(&lock_);
}

}  // namespace pelmo::test
