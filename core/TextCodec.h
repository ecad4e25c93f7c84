// Byte encodings of INI files. Files we write are UTF-16LE with a byte-order mark, which the
// platform's own private-profile functions read as Unicode, so no character is lost; files in
// the ANSI code page (as the platform creates them) and UTF-8 or UTF-16 files are read as well.
#pragma once

#include <string>
#include <string_view>

namespace pelmo {

// Text of an INI file: a UTF-16LE/BE or UTF-8 byte-order mark selects that encoding; without
// one, well-formed UTF-8 with bytes above 0x7F is UTF-8 (as Notepad saves), anything else is in
// the ANSI code page (off Windows: Latin-1).
std::wstring DecodeIniText(std::string_view bytes);

// UTF-16LE with a byte-order mark.
std::string EncodeIniText(std::wstring_view text);

// UTF-8 of wide text (UTF-16 on Windows, UTF-32 elsewhere); unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
// Wide text of UTF-8; false in *valid (when given) if the bytes are not well-formed UTF-8.
std::wstring Utf8ToWide(std::string_view bytes, bool* valid = nullptr);

}  // namespace pelmo
