#include <windows.h>

#include "convert/ConvertFiles.h"
#include "framework/Handles.h"
#include "core/LongPath.h"

namespace pelmo {
namespace {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

bool ConvertEntryExists(const std::wstring& path) { return !path.empty() && LongPathExists(path); }

bool ConvertMakeFolder(const std::wstring& path) {
  const std::wstring full = ToExtendedPath(path);
  return !full.empty() && CreateDirectoryW(full.c_str(), nullptr) != 0;
}

bool AppendLogLine(const std::wstring& path, const std::wstring& line, bool startAfresh) {
  const std::wstring full = ToExtendedPath(path);
  if (full.empty()) return false;
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end, never over the
  // lines already there, even when another program appends too.
  fw::UniqueFile file(CreateFileW(full.c_str(), startAfresh ? GENERIC_WRITE : FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  startAfresh ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  std::string bytes;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) bytes = "\xEF\xBB\xBF";
  bytes += ToUtf8(line);
  bytes += "\r\n";
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace pelmo
