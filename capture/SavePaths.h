// Path tests and the clipboard copy used by the save pipeline and the file events.
#pragma once

#include <windows.h>

#include <string>

namespace pelmo {

// True when the path (one trailing backslash ignored) names an existing file or folder.
bool PathExists(const std::wstring& path);
// True when a file or folder exists at the path; paths of any length work.
bool FileExists(const std::wstring& path);
// The drive and directory part, ending in a backslash; empty when the path has none.
std::wstring DirectoryOf(const std::wstring& path);
// Puts the file on the clipboard as the shell's "copy" does: a file list (Unicode, so any path
// can be pasted) and the "Preferred DropEffect" value. False when the clipboard could not be
// opened (another program holds it) or refused the file list.
bool CopyFileToClipboard(HWND owner, const std::wstring& path, DWORD effect);

}  // namespace pelmo
