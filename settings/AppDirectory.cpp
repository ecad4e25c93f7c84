#include "AppDirectory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "TextCodec.h"
#endif

namespace pelmo {
namespace {

std::wstring& Cached() {
  static std::wstring dir;
  return dir;
}

std::wstring ComputeAppDirectory() {
#ifdef _WIN32
  wchar_t buf[2048];
  DWORD n = GetModuleFileNameW(nullptr, buf, 2048);
  std::wstring path(buf, n < 2048 ? n : 2047);
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
#else
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::wstring path = n > 0 ? Utf8ToWide(std::string_view(buf, static_cast<size_t>(n))) : std::wstring();
  size_t slash = path.find_last_of(L'/');
  return slash == std::wstring::npos ? std::wstring(L"./") : path.substr(0, slash + 1);
#endif
}

}  // namespace

const std::wstring& GetAppDirectory() {
  std::wstring& dir = Cached();
  if (dir.empty()) dir = ComputeAppDirectory();
  return dir;
}

void SetAppDirectoryForTesting(const std::wstring& folder) {
  std::wstring dir = folder;
  if (dir.empty() || (dir.back() != L'\\' && dir.back() != L'/')) dir += L'\\';
  Cached() = dir;
}

}  // namespace pelmo
