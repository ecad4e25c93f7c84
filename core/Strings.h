// The program's texts: entries of the executable's string table, by the IDS_* ids of
// core/resource.h. Portable code shows some of them too, so those have built-in copies that answer
// where no string table is at hand (the native build, a test program without the resources).
#pragma once

#include <string>

namespace pelmo {

// The text of a string-table entry; the built-in copy when the module has none; empty when
// neither exists.
std::wstring LoadResString(int id);

}  // namespace pelmo
