// Display names of virtual-key codes and the display text of a key binding.
#pragma once

#include <string>

#include "keyinput/KeyBindingTable.h"

namespace pelmo {

// Number of named codes: 0..254. Code 255 and codes a hand-edited profile may hold outside
// 0..255 have no entry of their own and show as "?".
inline constexpr int kKeyNameCount = 255;

// The name of a key code; "" for code 0, "?" for unnamed codes. Never null; the text is static.
const wchar_t* KeyName(int code);

// Names of a binding's non-empty slots in slot order, joined by " & ": {163, 0, 39} gives
// "Ctrl(右) & →". A binding without codes gives "".
std::wstring FormatBindingText(const KeyBinding& binding);

}  // namespace pelmo
