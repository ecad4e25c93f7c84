// The conversion tool's per-file rules that need no file system: which dropped files it takes,
// how a destination is named, and the stamp of a log line.
#pragma once

#include <optional>
#include <string>

#include "core/PathText.h"

namespace pelmo {

// The extension written for an image type (0 bmp, 1 jpg, 2 gif, 3 png); null for any other value,
// which only a hand-edited profile can hold.
const wchar_t* ExtensionForImageType(int imageType);

// True when the text after the path's last "." is bmp, jpg, gif or png, in any letter case.
bool AcceptsDroppedFile(const std::wstring& path);


// The file name a source is written to: its name without its last extension, then "." and the
// type's extension. Nothing when the source has no name part or the type has no extension.
std::optional<std::wstring> DestinationFileName(const std::wstring& source, int imageType);

// "year-month-day (hour:minute:second) ", without zero padding.
std::wstring LogStamp(int year, int month, int day, int hour, int minute, int second);

}  // namespace pelmo
