// The shell side of OPTION: the documents folder and opening files and folders.
#include "GenProfile.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>
#else
#include <cstdlib>

#include "core/TextCodec.h"
#endif

namespace pelmo {

#ifdef _WIN32

namespace {

std::wstring LocateDocumentsFolder() {
  PIDLIST_ABSOLUTE list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list)) || !list) return {};
  wchar_t path[MAX_PATH] = L"";
  BOOL ok = SHGetPathFromIDListW(list, path);
  CoTaskMemFree(list);
  return ok ? std::wstring(path) : std::wstring();
}

}  // namespace

std::wstring CGenProfile::GetDefaultSaveFolder() {
  // Every profile read asks for it as the default; the shell is slow to answer.
  static const std::wstring folder = LocateDocumentsFolder();
  return folder;
}

bool CGenProfile::OpenFolder(const std::wstring& path) {
  if (path.empty()) return false;
  auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", L"", L"", path.c_str(), SW_SHOW));
  return r > 32;
}

bool CGenProfile::OpenFile(const std::wstring& path) {
  auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), L"", L"", SW_SHOW));
  return r > 32;
}

#else

std::wstring CGenProfile::GetDefaultSaveFolder() {
  const char* home = std::getenv("HOME");
  return home ? Utf8ToWide(home) : std::wstring();
}

#endif

}  // namespace pelmo
