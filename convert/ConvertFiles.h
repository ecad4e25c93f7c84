// The file-system steps of the conversion tool, on wide paths with backslashes (the POSIX build,
// used by the native tests and benchmarks, maps them to slashes and UTF-8 names).
#pragma once

#include <string>

namespace pelmo {

// True when a file or folder exists at the path, whatever its length.
bool ConvertEntryExists(const std::wstring& path);

// Creates one folder level; true when it was made.
bool ConvertMakeFolder(const std::wstring& path);

// Adds one line to the text file at path, in UTF-8 with a byte-order mark so that every
// character survives and Notepad shows it. With startAfresh the file is emptied first; otherwise
// the line is appended after what is there (a mark is written only into an empty file). The
// file stays shared for reading and writing while it is open. True when written.
bool AppendLogLine(const std::wstring& path, const std::wstring& line, bool startAfresh);

}  // namespace pelmo
