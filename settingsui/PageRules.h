// The rules the settings pages apply to what the user typed or the profile holds. Portable, so
// they are tested natively; the pages only move text between these and their controls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/PathText.h"

namespace pelmo {

// Up-down controls of the pages: every number field has a range, and what it shows is what is
// stored.
struct NumberRange {
  int32_t low;
  int32_t high;
};

inline constexpr NumberRange kSizeRange{1, 2147483647};       // resize and screen-cut edits
inline constexpr NumberRange kIntervalRange{1, 36000};        // automatic capture, tenths of a second
inline constexpr NumberRange kWindowNameRange{0, 250};        // characters of %w
inline constexpr NumberRange kStartNumberRange{0, 2147483647};
inline constexpr NumberRange kDigitCountRange{0, 10};
inline constexpr NumberRange kIncrementRange{1, 32767};

// A stored value as the field can show it: clamped into the range.
int32_t ClampToRange(int64_t value, NumberRange range);

// How a field treats a typed number outside its range.
enum class OutOfRange {
  kKeepPrevious,  // size fields: 0 or 99999999999 keeps what was there
  kClamp,         // interval and file-name numbers: taken to the nearest bound
};

// The value a number field takes when it loses the focus. Text that is no integer (letters,
// empty, a sign alone) keeps the previous value; surrounding blanks and a thousands comma are
// tolerated as the system's up-down control tolerates them.
int32_t NumberFromFieldText(const std::wstring& text, int32_t previous, NumberRange range, OutOfRange rule);

// The next running number after the increment changed on the file-name page: once numbering has
// started (current differs from start) it moves by the difference, never below 0.
int32_t NextNumberAfterIncrementChange(int32_t current, int32_t start, int32_t oldIncrement, int32_t newIncrement);
// The reset button: the start number, never below 0.
int32_t NextNumberAfterReset(int32_t start);

// The PNG page shows a stored depth by searching its entries for the first one that begins with
// the depth's decimal text, starting after entry `after` and wrapping round (the combo box's
// prefix search, letter case ignored). -1 when no entry begins with it.
int FindPrefixEntry(const std::vector<std::wstring>& entries, const std::wstring& text, int after);

// "R: 12     G: 34     B: 56", as the GIF page shows a colour.
std::wstring ColorComponentsText(int32_t r, int32_t g, int32_t b);


// Widths of list columns that share the list's width minus a scroll-bar margin, each cut to whole
// pixels: ColumnWidths(400, 25, {0.6, 0.4}) is {225, 150}.
std::vector<int> ColumnWidths(int listWidth, int margin, const std::vector<double>& shares);

}  // namespace pelmo
