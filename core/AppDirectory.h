// The folder of the executable: every settings file lives beside it.
#pragma once

#include <string>

namespace pelmo {

// The executable's full path, however long, computed on first use and kept.
const std::wstring& GetExecutablePath();

// The executable's folder with a trailing separator, computed on first use and kept.
const std::wstring& GetAppDirectory();

// Tests point the settings at a temporary program folder (a trailing separator is added).
void SetAppDirectoryForTesting(const std::wstring& folder);

}  // namespace pelmo
