// The file-name template: placeholder expansion and the folder and file parts of a save path.
// Portable: the clock reading, the window title and the profile values are handed in, so that the
// same code is tested natively; output/SavePath.h adds the Windows side (title, clock, folders).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmo {

// Longest text one expansion produces; longer results are cut.
inline constexpr size_t kMaxExpandedLength = 250;

// ExpandPlaceholders' flag: "%r" was replaced by the running number.
inline constexpr int kRunningNumberUsed = 1;

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;
  int hour = 0;  // 0..23
  int minute = 0;
  int second = 0;
};

// Everything the placeholders insert. windowName is already the %w text (see WindowNameText).
struct PlaceholderValues {
  LocalTime time;
  int32_t currentNumber = 0;
  int32_t digitCount = 1;  // 0 switches "%r" off
  std::wstring windowName;
  std::wstring eventKeyName;
  std::wstring profileName;
};

// Replaces %Y %M %D %H %I %S %y %m %d %h %i %s %r %w %v %p in one pass, so text inserted for one
// placeholder (a window title such as "50%volume") is never expanded again. Any other "%x" stays.
// Returns kRunningNumberUsed when "%r" was replaced, else 0. A text without "%" is left alone;
// otherwise the result is cut to kMaxExpandedLength characters.
int ExpandPlaceholders(std::wstring& text, const PlaceholderValues& values);

// CurrentNumber in decimal, zero-filled to digitCount digits; never cuts digits. A negative value
// (only a hand-edited profile has one) keeps its sign in front of the zeros.
std::wstring FormatRunningNumber(int32_t currentNumber, int32_t digitCount);

// The %w text of a window whose title is `title`: "_Unknown" for an empty title, cut to
// windowNameLength characters (negative counts as 0), then ReplaceForbiddenChars.
std::wstring WindowNameText(std::wstring title, int32_t windowNameLength);

// Replaces by a space every character that a Windows file name may not hold: the nine characters
// that profile names may not hold (\ : , / < > * $ "), and also ? | and the control characters.
void ReplaceForbiddenChars(std::wstring& text);

// Windows takes a path component named CON, PRN, AUX, NUL, COM1..COM9 or LPT1..LPT9 (in any case,
// also with an extension, as "con.jpg") for a device: a capture written there would vanish while
// reporting success. Such a component gets "_" after its base name ("CON" -> "CON_").
bool IsReservedDeviceName(std::wstring_view component);
void AvoidReservedDeviceName(std::wstring& component);

// Cuts text to at most maxLength UTF-16 units without splitting a surrogate pair.
void CutText(std::wstring& text, size_t maxLength);

// Removes white space at both ends.
void TrimSpaces(std::wstring& text);

// Extension for "ImageType" 0..3 ("bmp", "jpg", "gif", "png"); empty for any other value.
std::wstring_view ImageTypeExtension(int32_t imageType);

// saveFolder + "\" + every expanded directory segment of the template, each followed by "\".
// Returns kRunningNumberUsed when a segment used "%r", else 0. Does not look at the file system.
int ComposeSaveDirectory(std::wstring& directory, std::wstring_view saveFolder,
                         std::wstring_view fileNameTemplate, const PlaceholderValues& values);

// Appends the expanded file part of the template (after its last backslash) and its extension to
// path. Returns -1 when the template has no file part (message IDS_BAD_FILE_NAME), else
// kRunningNumberUsed or 0.
int ComposeFileNamePart(std::wstring& path, std::wstring_view fileNameTemplate, int32_t imageType,
                        const PlaceholderValues& values);

}  // namespace pelmo
