// Whole-file reading and safe writing. Paths are UTF-16 on Windows and UTF-8 elsewhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imgctl {

#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// Largest file the loader reads.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;

bool ReadWholeFile(const NativePath& path, std::vector<uint8_t>& out);

// Writes `data` to a new temporary file beside `path` and only then replaces `path` with it, so a
// failed write never leaves a partial file nor destroys the file that was there.
bool WriteFileReplacing(const NativePath& path, const std::vector<uint8_t>& data);

}  // namespace imgctl
