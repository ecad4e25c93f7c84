// What the conversion tool's Wine tests and benchmark do to the running program from outside:
// drops built inside its process (as the shell's drop arrives), the list's rows read from the
// control, its windows found by caption, and Unix tools (ImageMagick, djpeg, giftext) run from
// the Windows side on the files it wrote.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "wine_test_support.h"

namespace pelmo::test::convert {

inline std::wstring Utf8ToWide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

inline std::string WideToUtf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// The Unix path of a Windows path (Wine's kernel32 export), for the Unix tools.
inline std::string UnixPath(const std::wstring& path) {
  using Fn = char*(CDECL*)(const wchar_t*);
  static auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!fn) return {};
  char* p = fn(path.c_str());
  if (!p) return {};
  std::string s = p;
  HeapFree(GetProcessHeap(), 0, p);
  return s;
}

// Runs a Unix shell command line (Wine starts ELF programs too, but gives them neither our
// standard handles nor a handle that waits for them): its output goes to a file that is renamed
// into place when the command is done, and that file is what we wait for and read.
inline std::string RunUnix(const std::string& command, DWORD waitMs = 60000) {
  static int counter = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"pelmo-unix-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                           std::to_wstring(++counter) + L".txt";
  DeleteFileW(out.c_str());
  const std::string target = UnixPath(out);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"Z:\\bin\\sh -c \"" +
                     Utf8ToWide("(" + command + ") > '" + target + ".part' 2>&1; mv '" + target + ".part' '" + target + "'") +
                     L"\"";
  if (!CreateProcessW(L"Z:\\bin\\sh", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  const DWORD start = GetTickCount();
  while (!::pelmo::test::FileExists(out) && GetTickCount() - start < waitMs) Sleep(20);
  std::string result = ::pelmo::test::ReadFileBytes(out);
  DeleteFileW(out.c_str());
  return result;
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

inline std::string Identify(const std::wstring& file, const std::string& format) {
  return RunUnix("/usr/bin/identify -format " + Quote(format) + " " + Quote(UnixPath(file)));
}

inline bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

// Memory inside the program's process, for messages that carry pointers.
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, size_t size) : process_(process) {
    p_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (p_ && !keep_) VirtualFreeEx(process_, p_, 0, MEM_RELEASE);
  }
  void* get() const { return p_; }
  bool Write(const void* data, size_t size, size_t offset = 0) {
    return WriteProcessMemory(process_, static_cast<char*>(p_) + offset, data, size, nullptr) != 0;
  }
  bool Read(void* data, size_t size, size_t offset = 0) {
    return ReadProcessMemory(process_, static_cast<char*>(p_) + offset, data, size, nullptr) != 0;
  }
  void Keep() { keep_ = true; }  // the receiver owns it now

 private:
  HANDLE process_;
  void* p_ = nullptr;
  bool keep_ = false;
};

struct FindToolPageSearch {
  HWND settings;
  HWND page = nullptr;
};

inline BOOL CALLBACK FindToolPageStep(HWND child, LPARAM p) {
  auto* f = reinterpret_cast<FindToolPageSearch*>(p);
  if (GetParent(child) == f->settings && GetDlgItem(child, 1096)) {
    f->page = child;
    return FALSE;
  }
  return TRUE;
}

inline HWND FindToolPage(HWND settings) {
  FindToolPageSearch f{settings};
  EnumChildWindows(settings, FindToolPageStep, reinterpret_cast<LPARAM>(&f));
  return f.page;
}

// Posts WM_DROPFILES with a drop block written into the program's memory. The program owns the
// block from then on.
inline bool PostDrop(HANDLE process, HWND settings, const std::vector<std::wstring>& paths) {
  std::vector<wchar_t> names;
  for (const std::wstring& p : paths) {
    names.insert(names.end(), p.begin(), p.end());
    names.push_back(L'\0');
  }
  names.push_back(L'\0');
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  RemoteBlock block(process, sizeof header + names.size() * sizeof(wchar_t));
  if (!block.get() || !block.Write(&header, sizeof header) ||
      !block.Write(names.data(), names.size() * sizeof(wchar_t), sizeof header)) {
    return false;
  }
  block.Keep();
  return PostMessageW(settings, WM_DROPFILES, reinterpret_cast<WPARAM>(block.get()), 0) != 0;
}

// The image index (the mark) of one row of the program's list.
inline int ListRowImage(HANDLE process, HWND list, int row) {
  RemoteBlock block(process, sizeof(LVITEMW));
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  block.Write(&item, sizeof item);
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.get()));
  block.Read(&item, sizeof item);
  return item.iImage;
}

// A visible top-level window of process pid with exactly this caption.
struct ProgramWindowSearch {
  DWORD pid;
  const wchar_t* caption;
  HWND found = nullptr;
};

inline BOOL CALLBACK ProgramWindowStep(HWND w, LPARAM p) {
  auto* f = reinterpret_cast<ProgramWindowSearch*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  wchar_t text[256] = {};
  GetWindowTextW(w, text, 256);
  if (owner == f->pid && IsWindowVisible(w) && wcscmp(text, f->caption) == 0) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

inline HWND ProgramWindow(DWORD pid, const wchar_t* caption) {
  ProgramWindowSearch f{pid, caption};
  EnumWindows(ProgramWindowStep, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

}  // namespace pelmo::test::convert
