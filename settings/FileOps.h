// The few file-system operations the settings need, on wide paths. Paths use backslashes as on
// Windows; the POSIX build (native tests) maps them to slashes and encodes names as UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmo {

enum class FileReadResult { kOk, kMissing, kFailed };

// Reads a whole regular file. kMissing when neither it nor its folder exists; kFailed when it
// exists but cannot be read (a folder, no permission, locked, unreasonably large).
FileReadResult ReadWholeFile(const std::wstring& path, std::string& bytes);

// Replaces the file's contents so that a crash leaves either the old or the new file, never a
// torn one: writes a temporary file in the same folder, flushes it, then renames it over the old
// file. Fails, leaving the old file as it was, when the file is read-only or the folder missing.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes);

bool IsRegularFile(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
// Creates one folder level; true when it exists afterwards.
bool CreateOneDirectory(const std::wstring& path);
bool RemoveFile(const std::wstring& path);
// Renames a file; never replaces an existing target (a case-only rename of one file is allowed).
bool RenameFile(const std::wstring& from, const std::wstring& to);

// Names of the regular files in a folder whose names end in the extension (compared without
// regard to case, e.g. L".ini"), in the file system's order.
std::vector<std::wstring> ListFilesWithExtension(const std::wstring& folder, const std::wstring& ext);

// Whether two file names name the same file on a case-insensitive file system.
bool SameFileNameIgnoringCase(const std::wstring& a, const std::wstring& b);

// The separator the settings use between folder and file names.
inline constexpr wchar_t kPathSeparator = L'\\';

}  // namespace pelmo
