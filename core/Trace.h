// One-line diagnostics through OutputDebugString ("pelmo: ..."), UTF-8: what the tray shows and
// which events ran, for a debugger or a debug-output monitor (and the tests, which read it).
#pragma once

#include <string>

namespace pelmo {

void Trace(const std::wstring& line);

}  // namespace pelmo
