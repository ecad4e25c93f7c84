// The INI store's contract as one table of cases. The native test runs it against our store;
// under Wine it also runs against the platform's private-profile functions, the reference, and
// files written by each are read back by the other.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/IniStore.h"
#include "core/TextCodec.h"
#include "settings_fixture.h"

namespace pelmo::test {

class IniBackend {
 public:
  virtual ~IniBackend() = default;
  virtual const char* Name() const = 0;
  virtual int32_t ReadInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                          int32_t def) = 0;
  virtual std::wstring ReadString(const std::wstring& file, const std::wstring& section,
                                  const std::wstring& key, const std::wstring& def, size_t buffer) = 0;
  virtual bool WriteString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) = 0;
};

// Our store behind the contract's interface.
class OurStore : public IniBackend {
 public:
  const char* Name() const override { return "our store"; }
  int32_t ReadInt(const std::wstring& f, const std::wstring& s, const std::wstring& k, int32_t d) override {
    return IniStore::ReadInt(f, s, k, d);
  }
  std::wstring ReadString(const std::wstring& f, const std::wstring& s, const std::wstring& k,
                          const std::wstring& d, size_t b) override {
    return IniStore::ReadString(f, s, k, d, b);
  }
  bool WriteString(const std::wstring& f, const std::wstring& s, const std::wstring& k,
                   const std::wstring& v) override {
    return IniStore::WriteString(f, s, k, v);
  }
};

struct ReadCase {
  const char* name;
  std::optional<std::string> file;  // bytes; nullopt = no file
  const wchar_t* section;
  const wchar_t* key;
  std::optional<int32_t> intDefault;  // set: an integer read, else a string read
  const wchar_t* stringDefault;
  size_t buffer;
  int32_t expectInt;
  const wchar_t* expectString;
};

inline const std::string kSample =
    "; hand-written\r\n"
    "[OPTION]\r\n"
    "Number=42\r\n"
    "Spaced =  17  \r\n"
    "Text=abc\r\n"
    "Signed=-5\r\n"
    "Plus=+7\r\n"
    "Trailing=12abc\r\n"
    "Word=abc\r\n"
    "Empty=\r\n"
    "Max=4294967295\r\n"
    "Huge=99999999999\r\n"
    "Quoted=\"C:\\a b\"\r\n"
    "Single='x'\r\n"
    "Long=abcdefgh\r\n"
    "Equals=a=b\r\n"
    "Hex=0x1F\r\n"
    "Blank=  \r\n"
    "NoValue\r\n"
    "Dup=1\r\n"
    "Dup=2\r\n"
    "\r\n"
    "[Second]\r\n"
    "number=99\r\n";

inline std::vector<ReadCase> ReadCases() {
  const std::string unicode = EncodeIniText(L"[S]\r\nName=日本語のプロファイル\r\nN=3\r\n");
  return {
      {"missing file gives the int default", std::nullopt, L"OPTION", L"Number", 7, nullptr, 0, 7, nullptr},
      {"missing file gives the string default", std::nullopt, L"OPTION", L"Text", {}, L"def", 64, 0, L"def"},
      {"missing section", kSample, L"NOPE", L"Number", 7, nullptr, 0, 7, nullptr},
      {"missing key", kSample, L"OPTION", L"Nope", 7, nullptr, 0, 7, nullptr},
      {"integer", kSample, L"OPTION", L"Number", 7, nullptr, 0, 42, nullptr},
      {"blanks around key and value", kSample, L"OPTION", L"Spaced", 7, nullptr, 0, 17, nullptr},
      {"negative", kSample, L"OPTION", L"Signed", 7, nullptr, 0, -5, nullptr},
      {"plus sign", kSample, L"OPTION", L"Plus", 7, nullptr, 0, 7, nullptr},
      {"digits stop at the first other character", kSample, L"OPTION", L"Trailing", 7, nullptr, 0, 12, nullptr},
      {"text without digits reads 0, not the default", kSample, L"OPTION", L"Word", 7, nullptr, 0, 0, nullptr},
      {"empty value gives the int default", kSample, L"OPTION", L"Empty", 7, nullptr, 0, 7, nullptr},
      {"empty value is an empty string", kSample, L"OPTION", L"Empty", {}, L"def", 64, 0, L""},
      {"unsigned form of -1", kSample, L"OPTION", L"Max", 7, nullptr, 0, -1, nullptr},
      {"beyond 32 bits wraps", kSample, L"OPTION", L"Huge", 7, nullptr, 0, 1215752191, nullptr},
      {"section and key names ignore case", kSample, L"second", L"NUMBER", 7, nullptr, 0, 99, nullptr},
      {"string", kSample, L"OPTION", L"Text", {}, L"", 64, 0, L"abc"},
      {"one pair of double quotes is removed", kSample, L"OPTION", L"Quoted", {}, L"", 64, 0, L"C:\\a b"},
      {"one pair of single quotes is removed", kSample, L"OPTION", L"Single", {}, L"", 64, 0, L"x"},
      {"long value cut to buffer minus one", kSample, L"OPTION", L"Long", {}, L"", 4, 0, L"abc"},
      {"a 0x prefix reads hexadecimal", kSample, L"OPTION", L"Hex", 7, nullptr, 0, 31, nullptr},
      {"a blank value gives the int default", kSample, L"OPTION", L"Blank", 7, nullptr, 0, 7, nullptr},
      {"value keeps later equals signs", kSample, L"OPTION", L"Equals", {}, L"", 64, 0, L"a=b"},
      {"line without equals sign gives the default", kSample, L"OPTION", L"NoValue", {}, L"def", 64, 0, L"def"},
      {"first of two equal keys", kSample, L"OPTION", L"Dup", 7, nullptr, 0, 1, nullptr},
      {"comment line is no key", kSample, L"OPTION", L"; hand-written", {}, L"def", 64, 0, L"def"},
      {"UTF-16 file with a byte-order mark", unicode, L"S", L"Name", {}, L"", 64, 0, L"日本語のプロファイル"},
      {"UTF-16 file, integer", unicode, L"S", L"N", 7, nullptr, 0, 3, nullptr},
  };
}

// Runs every read case against a backend; files are written into folder.
inline void RunReadCases(IniBackend& backend, const std::wstring& folder) {
  int n = 0;
  for (const auto& c : ReadCases()) {
    SCOPED_TRACE(std::string(backend.Name()) + ": " + c.name);
    const std::wstring file = folder + L"read" + std::to_wstring(n++) + L".ini";
    if (c.file) WriteBytes(file, *c.file);
    if (c.intDefault) {
      EXPECT_EQ(backend.ReadInt(file, c.section, c.key, *c.intDefault), c.expectInt);
    } else {
      EXPECT_EQ(backend.ReadString(file, c.section, c.key, c.stringDefault, c.buffer), c.expectString);
    }
  }
}

struct Write {
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* value;
};

struct WriteCase {
  const char* name;
  std::optional<std::string> file;
  std::vector<Write> writes;
  std::vector<Write> expect;                 // section, key, value read back afterwards
  std::vector<const wchar_t*> linesInOrder;  // these lines appear in this order in the file
};

inline std::vector<WriteCase> WriteCases() {
  const std::string base = "[A]\r\nx=1\r\n; keep me\r\nunknown=u\r\n[B]\r\ny=2\r\n";
  return {
      {"a write creates the file", std::nullopt, {{L"A", L"k", L"v"}}, {{L"A", L"k", L"v"}}, {L"[A]", L"k=v"}},
      {"an existing key is replaced in place", base, {{L"A", L"x", L"9"}}, {{L"A", L"x", L"9"}, {L"B", L"y", L"2"}},
       {L"[A]", L"x=9", L"; keep me", L"unknown=u", L"[B]", L"y=2"}},
      {"a new key goes to the end of its section", base, {{L"A", L"z", L"3"}}, {{L"A", L"z", L"3"}},
       {L"[A]", L"x=1", L"unknown=u", L"z=3", L"[B]"}},
      {"a new section goes to the end of the file", base, {{L"C", L"w", L"4"}}, {{L"C", L"w", L"4"}},
       {L"[A]", L"[B]", L"y=2", L"[C]", L"w=4"}},
      {"key names match without regard to case", base, {{L"a", L"X", L"5"}}, {{L"A", L"x", L"5"}}, {L"[A]", L"x=5"}},
      {"an empty value", base, {{L"A", L"x", L""}}, {{L"A", L"x", L""}}, {L"[A]"}},
      {"a long path", std::nullopt, {{L"OPTION", L"SaveFolder", L"C:\\Users\\someone\\Pictures\\Screenshots\\2026"}},
       {{L"OPTION", L"SaveFolder", L"C:\\Users\\someone\\Pictures\\Screenshots\\2026"}}, {}},
  };
}

// Writes with one backend, reads back with another (the same one, or the reference).
inline void RunWriteCases(IniBackend& writer, IniBackend& reader, const std::wstring& folder) {
  int n = 0;
  for (const auto& c : WriteCases()) {
    SCOPED_TRACE(std::string(writer.Name()) + " writes, " + reader.Name() + " reads: " + c.name);
    const std::wstring file = folder + L"write" + std::to_wstring(n++) + L".ini";
    if (c.file) WriteBytes(file, *c.file);
    for (const auto& w : c.writes) EXPECT_TRUE(writer.WriteString(file, w.section, w.key, w.value));
    for (const auto& e : c.expect) EXPECT_EQ(reader.ReadString(file, e.section, e.key, L"<missing>", 1024), e.value);
    const std::wstring text = ReadText(file);
    size_t at = 0;
    for (const wchar_t* line : c.linesInOrder) {
      size_t found = text.find(line, at);
      EXPECT_NE(found, std::wstring::npos) << "line missing or out of order";
      if (found != std::wstring::npos) at = found + 1;
    }
  }
}

}  // namespace pelmo::test
