#include "IniDocument.h"

namespace pelmo {
namespace {

bool IsIniSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x1A;
}

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && IsIniSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsIniSpace(s.back())) s.remove_suffix(1);
  return s;
}

wchar_t FoldAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

}  // namespace

bool IniNameEquals(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

IniDocument IniDocument::Parse(std::wstring_view text) {
  IniDocument doc;
  doc.sections_.emplace_back();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of(L"\r\n", pos);
    if (end == std::wstring_view::npos) end = text.size();
    std::wstring_view raw = text.substr(pos, end - pos);
    // One line end: CR LF, LF or a lone CR.
    pos = end;
    if (pos < text.size() && text[pos] == L'\r') ++pos;
    if (pos < text.size() && text[pos] == L'\n') ++pos;

    std::wstring_view body = Trim(raw);
    if (!body.empty() && body.front() == L'[') {
      size_t close = body.rfind(L']');
      if (close != std::wstring_view::npos) {
        Section s;
        s.header.assign(raw);
        s.name.assign(body.substr(1, close - 1));
        s.hasHeader = true;
        doc.sections_.push_back(std::move(s));
        continue;
      }
    }
    Line line;
    line.raw.assign(raw);
    size_t eq = body.find(L'=');
    if (eq == std::wstring_view::npos) {
      line.key.assign(body);
    } else {
      line.key.assign(Trim(body.substr(0, eq)));
      line.value.assign(Trim(body.substr(eq + 1)));
      line.hasValue = true;
    }
    doc.sections_.back().lines.push_back(std::move(line));
  }
  return doc;
}

std::wstring IniDocument::Serialize() const {
  std::wstring out;
  for (const auto& s : sections_) {
    if (s.hasHeader) {
      out += s.header;
      out += L"\r\n";
    }
    for (const auto& line : s.lines) {
      out += line.raw;
      out += L"\r\n";
    }
  }
  return out;
}

const IniDocument::Section* IniDocument::FindSection(std::wstring_view name) const {
  for (const auto& s : sections_) {
    if (s.hasHeader && IniNameEquals(s.name, name)) return &s;
  }
  return nullptr;
}

IniDocument::Section* IniDocument::FindSection(std::wstring_view name) {
  return const_cast<Section*>(static_cast<const IniDocument*>(this)->FindSection(name));
}

const std::wstring* IniDocument::Find(std::wstring_view section, std::wstring_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  for (const auto& line : s->lines) {
    if (IniNameEquals(line.key, key)) return line.hasValue ? &line.value : nullptr;
  }
  return nullptr;
}

bool IniDocument::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  std::wstring clean(value);
  for (auto& c : clean) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  std::wstring cleanKey(Trim(key));
  if (sections_.empty()) sections_.emplace_back();
  Section* s = FindSection(section);
  if (!s) {
    Section fresh;
    fresh.header = L"[" + std::wstring(section) + L"]";
    fresh.name.assign(section);
    fresh.hasHeader = true;
    sections_.push_back(std::move(fresh));
    s = &sections_.back();
  }
  for (auto& line : s->lines) {
    if (!IniNameEquals(line.key, cleanKey)) continue;
    std::wstring trimmed(Trim(clean));
    if (line.hasValue && line.value == clean) return false;
    line.raw = line.key + L"=" + clean;
    line.value = std::move(trimmed);
    line.hasValue = true;
    return true;
  }
  // A new key goes after the section's last non-blank line, before any blank lines that
  // separate it from the next section.
  size_t at = s->lines.size();
  while (at > 0 && Trim(s->lines[at - 1].raw).empty()) --at;
  Line line;
  line.key = cleanKey;
  line.raw = cleanKey + L"=" + clean;
  line.value.assign(Trim(clean));
  line.hasValue = true;
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  return true;
}

}  // namespace pelmo
