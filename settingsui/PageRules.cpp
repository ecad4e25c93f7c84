#include "PageRules.h"

#include <algorithm>
#include <cwctype>

namespace pelmo {

int32_t ClampToRange(int64_t value, NumberRange range) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, range.low, range.high));
}

int32_t NumberFromFieldText(const std::wstring& text, int32_t previous, NumberRange range, OutOfRange rule) {
  size_t i = 0, end = text.size();
  while (i < end && std::iswspace(text[i])) ++i;
  while (end > i && std::iswspace(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == L'-' || text[i] == L'+')) {
    negative = text[i] == L'-';
    ++i;
  }
  bool digits = false;
  int64_t value = 0;
  for (; i < end; ++i) {
    const wchar_t c = text[i];
    if (c == L',') continue;
    if (c < L'0' || c > L'9') return previous;
    digits = true;
    // Saturate: anything this long is out of every range anyway.
    if (value < (int64_t{1} << 40)) value = value * 10 + (c - L'0');
  }
  if (!digits) return previous;
  if (negative) value = -value;
  if (value >= range.low && value <= range.high) return static_cast<int32_t>(value);
  return rule == OutOfRange::kClamp ? ClampToRange(value, range) : previous;
}

int32_t NextNumberAfterIncrementChange(int32_t current, int32_t start, int32_t oldIncrement, int32_t newIncrement) {
  if (current == start) return current;
  const int64_t next = int64_t{current} + (int64_t{newIncrement} - int64_t{oldIncrement});
  return static_cast<int32_t>(std::clamp<int64_t>(next, 0, INT32_MAX));
}

int32_t NextNumberAfterReset(int32_t start) { return std::max<int32_t>(start, 0); }

int FindPrefixEntry(const std::vector<std::wstring>& entries, const std::wstring& text, int after) {
  const int n = static_cast<int>(entries.size());
  if (n == 0) return -1;
  auto begins = [&](const std::wstring& e) {
    if (e.size() < text.size()) return false;
    for (size_t k = 0; k < text.size(); ++k) {
      if (std::towlower(e[k]) != std::towlower(text[k])) return false;
    }
    return true;
  };
  const int first = (after < 0 || after >= n) ? 0 : after + 1;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    if (begins(entries[static_cast<size_t>(i)])) return i;
  }
  return -1;
}

std::wstring ColorComponentsText(int32_t r, int32_t g, int32_t b) {
  return L"R: " + std::to_wstring(r) + L"     G: " + std::to_wstring(g) + L"     B: " + std::to_wstring(b);
}

std::vector<int> ColumnWidths(int listWidth, int margin, const std::vector<double>& shares) {
  const double w = listWidth - margin;
  std::vector<int> out;
  for (double s : shares) out.push_back(static_cast<int>(w * s));
  return out;
}

}  // namespace pelmo
