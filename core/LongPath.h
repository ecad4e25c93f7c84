// File-system helpers that work for paths of any length and any Unicode characters: captures are
// named from window titles and templates, so a path can pass MAX_PATH or leave the ANSI code page.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <string>

namespace pelmo {

// The absolute form of path with the "\\?\" (or "\\?\UNC\") prefix that lifts the MAX_PATH limit
// of the wide file functions. "." and ".." and doubled backslashes are resolved first. Empty when
// path is empty or cannot be made absolute.
std::wstring ToExtendedPath(const std::wstring& path);

// Attributes of the entry at path (a file or a folder), INVALID_FILE_ATTRIBUTES when none.
DWORD LongPathAttributes(const std::wstring& path);

// True when a file or folder exists at path, whatever its length.
bool LongPathExists(const std::wstring& path);

// True when path names an existing folder.
bool LongPathIsDirectory(const std::wstring& path);

// Creates every missing folder of directory (a trailing backslash is allowed). True when the
// whole path exists as folders afterwards; false when a part of it is a file or cannot be made.
bool CreateDirectoryTree(const std::wstring& directory);

}  // namespace pelmo
#endif
