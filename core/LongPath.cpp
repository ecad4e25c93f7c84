#include "LongPath.h"

#include <vector>

namespace pelmo {
namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && std::wstring_view(text).substr(0, prefix.size()) == prefix;
}

// Length of the part of an extended path that names its volume: "\\?\C:\" or
// "\\?\UNC\server\share\". Folders are only ever created below it.
size_t RootLength(const std::wstring& path) {
  if (StartsWith(path, kExtendedUncPrefix)) {
    const size_t server = path.find(L'\\', kExtendedUncPrefix.size());
    if (server == std::wstring::npos) return path.size();
    const size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share + 1;
  }
  if (StartsWith(path, kExtendedPrefix)) {
    const size_t slash = path.find(L'\\', kExtendedPrefix.size());
    return slash == std::wstring::npos ? path.size() : slash + 1;
  }
  return 0;
}

// The path without trailing backslashes, except the one that ends its root.
std::wstring WithoutTrailingSlash(std::wstring path) {
  const size_t root = RootLength(path);
  while (path.size() > root && path.back() == L'\\') path.pop_back();
  return path;
}

bool IsDirectoryAttr(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ToExtendedPath(const std::wstring& path) {
  if (path.empty()) return {};
  if (StartsWith(path, kExtendedPrefix)) return path;
  std::wstring full(path.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return {};
    if (n < full.size()) {
      full.resize(n);
      break;
    }
    full.resize(n);  // too small: n is the size needed, terminator included
  }
  if (StartsWith(full, L"\\\\.\\")) return full;  // a device path has no long form
  if (StartsWith(full, L"\\\\")) return std::wstring(kExtendedUncPrefix) + full.substr(2);
  if (full.size() >= 2 && full[1] == L':') return std::wstring(kExtendedPrefix) + full;
  return full;
}

DWORD LongPathAttributes(const std::wstring& path) {
  const std::wstring extended = ToExtendedPath(path);
  if (extended.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(WithoutTrailingSlash(extended).c_str());
}

bool LongPathExists(const std::wstring& path) {
  return LongPathAttributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool LongPathIsDirectory(const std::wstring& path) { return IsDirectoryAttr(LongPathAttributes(path)); }

bool CreateDirectoryTree(const std::wstring& directory) {
  std::wstring path = ToExtendedPath(directory);
  if (path.empty()) return false;
  path = WithoutTrailingSlash(path);
  const size_t root = RootLength(path);

  // Walk up to the deepest folder that exists, then create the missing ones top down.
  std::vector<size_t> missing;  // lengths of the prefixes to create, deepest first
  for (size_t length = path.size(); length > root;) {
    const DWORD attributes = GetFileAttributesW(path.substr(0, length).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;  // a file stands in the way
      break;
    }
    missing.push_back(length);
    const size_t slash = path.rfind(L'\\', length - 1);
    if (slash == std::wstring::npos || slash < root) break;
    length = slash;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    const std::wstring folder = path.substr(0, *it);
    if (CreateDirectoryW(folder.c_str(), nullptr)) continue;
    // Someone else may have made it in the meantime; anything else is a failure.
    if (GetLastError() != ERROR_ALREADY_EXISTS || !IsDirectoryAttr(GetFileAttributesW(folder.c_str())))
      return false;
  }
  return IsDirectoryAttr(GetFileAttributesW(path.c_str()));
}

}  // namespace pelmo
