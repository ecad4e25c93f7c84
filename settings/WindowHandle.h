// A window handle that portable headers can name without <windows.h> (it is HWND on Windows).
#pragma once

struct HWND__;

namespace pelmo {
using WindowHandle = HWND__*;
}
