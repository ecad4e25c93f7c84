#include "output/FileNameTemplate.h"

#include <algorithm>

namespace pelmo {
namespace {

constexpr bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

constexpr bool IsSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring Decimal(int64_t value) {
  const bool negative = value < 0;
  uint64_t magnitude = negative ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
  std::wstring digits;
  do {
    digits.push_back(static_cast<wchar_t>(L'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits.push_back(L'-');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

std::wstring TwoDigits(int value) {
  std::wstring text = Decimal(value);
  if (text.size() < 2) text.insert(0, 2 - text.size(), L'0');
  return text;
}

// Windows silently drops trailing dots and spaces of the last component of a path, but not of a
// component in the middle: a folder "Loading..." would be created as "Loading" and the later write
// into "Loading...\x.png" would fail. Folder names therefore lose them here.
void TrimFolderName(std::wstring& segment) {
  TrimSpaces(segment);
  while (!segment.empty() && (segment.back() == L'.' || IsSpace(segment.back()))) segment.pop_back();
  AvoidReservedDeviceName(segment);
}

constexpr wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

// The part of a component Windows compares with the device names: up to the first dot, without
// the spaces before it.
size_t BaseNameLength(std::wstring_view component) {
  size_t end = std::min(component.find(L'.'), component.size());
  while (end > 0 && component[end - 1] == L' ') --end;
  return end;
}

}  // namespace

int ExpandPlaceholders(std::wstring& text, const PlaceholderValues& values) {
  if (text.find(L'%') == std::wstring::npos) return 0;

  const LocalTime& t = values.time;
  int flags = 0;
  std::wstring out;
  out.reserve(text.size() + 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'%' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const wchar_t key = text[i + 1];
    bool replaced = true;
    switch (key) {
      case L'Y': {
        const std::wstring year = TwoDigits(t.year);
        out += year.substr(year.size() - 2);
        break;
      }
      case L'M': out += TwoDigits(t.month); break;
      case L'D': out += TwoDigits(t.day); break;
      case L'H': out += TwoDigits(t.hour); break;
      case L'I': out += TwoDigits(t.minute); break;
      case L'S': out += TwoDigits(t.second); break;
      case L'y': out += Decimal(t.year); break;
      case L'm': out += Decimal(t.month); break;
      case L'd': out += Decimal(t.day); break;
      case L'h': out += Decimal(t.hour); break;
      case L'i': out += Decimal(t.minute); break;
      case L's': out += Decimal(t.second); break;
      case L'r':
        if (values.digitCount != 0) {
          out += FormatRunningNumber(values.currentNumber, values.digitCount);
          flags |= kRunningNumberUsed;
        } else {
          out += L"%r";  // numbering is off: the placeholder stays as typed
        }
        break;
      case L'w': out += values.windowName; break;
      case L'v': out += values.eventKeyName; break;
      case L'p': out += values.profileName; break;
      default: replaced = false; break;
    }
    if (replaced) {
      ++i;
    } else {
      out.push_back(L'%');  // the next character is looked at on its own
    }
  }
  CutText(out, kMaxExpandedLength);
  text = std::move(out);
  return flags;
}

std::wstring FormatRunningNumber(int32_t currentNumber, int32_t digitCount) {
  std::wstring text = Decimal(currentNumber);
  // The page allows 0..10 digits; a hand-edited count larger than a name can hold pads no further.
  const size_t width = static_cast<size_t>(std::clamp<int64_t>(digitCount, 0, kMaxExpandedLength));
  if (width > text.size()) text.insert(currentNumber < 0 ? 1 : 0, width - text.size(), L'0');
  return text;
}

std::wstring WindowNameText(std::wstring title, int32_t windowNameLength) {
  if (title.empty()) title = L"_Unknown";
  CutText(title, windowNameLength > 0 ? static_cast<size_t>(windowNameLength) : 0);
  ReplaceForbiddenChars(title);
  return title;
}

void ReplaceForbiddenChars(std::wstring& text) {
  static constexpr std::wstring_view kRefused = L"\\:,/<>*$\"?|";
  for (wchar_t& c : text) {
    if (c < 0x20 || kRefused.find(c) != std::wstring_view::npos) c = L' ';
  }
}

bool IsReservedDeviceName(std::wstring_view component) {
  const std::wstring_view base = component.substr(0, BaseNameLength(component));
  std::wstring upper;
  for (wchar_t c : base) upper.push_back(Upper(c));
  if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL") return true;
  return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
         upper[3] >= L'1' && upper[3] <= L'9';
}

void AvoidReservedDeviceName(std::wstring& component) {
  if (IsReservedDeviceName(component)) component.insert(BaseNameLength(component), 1, L'_');
}

void CutText(std::wstring& text, size_t maxLength) {
  if (text.size() <= maxLength) return;
  size_t cut = maxLength;
  if (cut > 0 && IsHighSurrogate(text[cut - 1]) && IsLowSurrogate(text[cut])) --cut;
  text.resize(cut);
}

void TrimSpaces(std::wstring& text) {
  size_t end = text.size();
  while (end > 0 && IsSpace(text[end - 1])) --end;
  size_t begin = 0;
  while (begin < end && IsSpace(text[begin])) ++begin;
  text = text.substr(begin, end - begin);
}

std::wstring_view ImageTypeExtension(int32_t imageType) {
  static constexpr std::wstring_view kExtensions[] = {L"bmp", L"jpg", L"gif", L"png"};
  if (imageType < 0 || imageType > 3) return {};
  return kExtensions[imageType];
}

int ComposeSaveDirectory(std::wstring& directory, std::wstring_view saveFolder,
                         std::wstring_view fileNameTemplate, const PlaceholderValues& values) {
  int flags = 0;
  std::wstring folders;
  size_t pos = 0;
  for (size_t slash; (slash = fileNameTemplate.find(L'\\', pos)) != std::wstring_view::npos;
       pos = slash + 1) {
    std::wstring segment(fileNameTemplate.substr(pos, slash - pos));
    flags |= ExpandPlaceholders(segment, values);
    TrimFolderName(segment);
    folders += segment;
    folders += L'\\';
  }
  directory.assign(saveFolder);
  if (directory.empty() || directory.back() != L'\\') directory += L'\\';
  directory += folders;
  return flags & kRunningNumberUsed;
}

int ComposeFileNamePart(std::wstring& path, std::wstring_view fileNameTemplate, int32_t imageType,
                        const PlaceholderValues& values) {
  const size_t slash = fileNameTemplate.rfind(L'\\');
  std::wstring file(slash == std::wstring_view::npos ? fileNameTemplate
                                                     : fileNameTemplate.substr(slash + 1));
  if (file.empty()) return -1;
  const int flags = ExpandPlaceholders(file, values);
  TrimSpaces(file);
  AvoidReservedDeviceName(file);
  const std::wstring_view extension = ImageTypeExtension(imageType);
  if (!extension.empty()) {
    file += L'.';
    file += extension;
  }
  if (path.empty() || path.back() != L'\\') path += L'\\';
  path += file;
  return flags & kRunningNumberUsed;
}

}  // namespace pelmo
