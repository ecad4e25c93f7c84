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

std::wstring ComputeExecutablePath() {
#ifdef _WIN32
  // The buffer grows until the name fits: a program folder may pass MAX_PATH.
  std::wstring buffer(1024, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(buffer.size() * 2);
  }
#else
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? Utf8ToWide(std::string_view(buf, static_cast<size_t>(n))) : std::wstring();
#endif
}

std::wstring ComputeAppDirectory() {
  const std::wstring& path = GetExecutablePath();
  const size_t slash = path.find_last_of(L"\\/");
#ifdef _WIN32
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
#else
  return slash == std::wstring::npos ? std::wstring(L"./") : path.substr(0, slash + 1);
#endif
}

}  // namespace

const std::wstring& GetExecutablePath() {
  static const std::wstring path = ComputeExecutablePath();
  return path;
}

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
