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
// failed write never leaves a partial file nor destroys the file that was there. On Windows the
// path is used in its extended ("\\?\") form, so its length is not limited to MAX_PATH.
// Temporary files that an ended process left in that folder (our own name pattern only, not
// written to for kStaleTemporaryAge and not open) are removed first.
bool WriteFileReplacing(const NativePath& path, const std::vector<uint8_t>& data);

// Temporary files are "~imgctl-" + 16 hex digits + ".tmp": short, so a target whose name is near
// the file system's limit still has room beside it, and never a name a user would pick.
bool IsTemporaryName(const NativePath& fileName);
constexpr int kStaleTemporaryAgeSeconds = 300;

// Makes the sequence of temporary names start at `seed` (tests only).
void SetTemporaryNameSeedForTesting(uint64_t seed);
// The temporary name the writer tries `ahead` names from now (tests only).
NativePath TemporaryNameForTesting(unsigned ahead);

}  // namespace imgctl
