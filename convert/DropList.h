// Reading the file names of a drop block (the shell's DROPFILES layout: a 20-byte header whose
// first field is the offset of the names and whose fifth is non-zero for UTF-16 names, then the
// names, each ending in a zero, the list ending in an empty name). One pass over the block: the
// platform's per-index query walks the list from its start each time, which makes a drop of
// tens of thousands of files take minutes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmo {

// The names of a UTF-16 drop block of `size` bytes; nothing when the block is too short for its
// header or holds narrow names. A name cut by the block's end is dropped.
std::optional<std::vector<std::wstring>> ParseWideDropList(const uint8_t* data, size_t size);

}  // namespace pelmo
