// One INI file's text held in memory: lookups and edits that behave like the platform's
// private-profile functions, and that keep every line they do not change (comments, unknown
// keys, blank lines) exactly as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmo {

class IniDocument {
 public:
  IniDocument() = default;
  static IniDocument Parse(std::wstring_view text);
  // The text with CR LF line ends.
  std::wstring Serialize() const;

  // The value of the first such key in the first section of that name (names compared without
  // regard to ASCII case), trimmed; null when the key is missing or its line has no "=".
  const std::wstring* Find(std::wstring_view section, std::wstring_view key) const;

  // Replaces an existing key's value in place, or appends the key at the end of its section,
  // or appends the section at the end of the text. Line breaks in the value become spaces, so
  // a value can never add lines. Returns whether the text changed.
  bool Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

  bool empty() const { return sections_.size() <= 1 && (sections_.empty() || sections_[0].lines.empty()); }

 private:
  struct Line {
    std::wstring raw;    // the line as read or last written
    std::wstring key;    // trimmed name before "="; the whole trimmed line when there is none
    std::wstring value;  // trimmed text after "="
    bool hasValue = false;
  };
  struct Section {
    std::wstring header;  // the header line; empty for the lines before the first header
    std::wstring name;
    bool hasHeader = false;
    std::vector<Line> lines;
  };

  Section* FindSection(std::wstring_view name);
  const Section* FindSection(std::wstring_view name) const;

  std::vector<Section> sections_;  // sections_[0] holds the lines before the first header
};

// Whether a, b are equal without regard to ASCII letter case (section and key names).
bool IniNameEquals(std::wstring_view a, std::wstring_view b);

}  // namespace pelmo
