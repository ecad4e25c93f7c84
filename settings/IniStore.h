// Reading and writing INI keys by file, section and key, with the platform's private-profile
// semantics (missing key: the caller's default; integers: the leading number of the text;
// strings: cut to the caller's buffer) but without its faults: every character survives (files
// are written as UTF-16LE with a byte-order mark), a save never leaves a torn file, and a file
// that exists but cannot be read is never overwritten.
//
// Each call reads (and, for writes, saves) its file on its own. While an IniBatch lives on the
// thread, each file is read once and written once, when the batch commits: a whole profile
// costs one read and one write.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace pelmo {

class IniStore {
 public:
  // The integer of a key's text; def when the key is missing or empty.
  static int32_t ReadInt(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                         int32_t def);
  // At most bufferChars - 1 characters of the key's text; def (cut the same way) when missing.
  static std::wstring ReadString(const std::wstring& file, std::wstring_view section,
                                 std::wstring_view key, std::wstring_view def, size_t bufferChars);
  // False when the file could not be written; it is then left as it was.
  static bool WriteString(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                          std::wstring_view value);
  static bool WriteInt(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                       int32_t value);  // "%d"
  static bool WriteUInt(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                        int32_t value);  // "%u": -1 is written as 4294967295
  // False when the file exists but cannot be read (a folder, locked, no permission); writes
  // into such a file are refused rather than replacing it with the few keys written.
  static bool IsReadable(const std::wstring& file);
  // Whether the file exists, or will once the open batch commits.
  static bool FileExists(const std::wstring& file);
};

// The integer the platform reads from a value: optional blanks and sign, then "0x", "0o" or
// "0b" for another base, then digits up to the first other character, wrapping at 32 bits;
// 0 when there are no digits.
int32_t ParseProfileInt(std::wstring_view text);

class IniBatch {
 public:
  IniBatch();
  ~IniBatch();  // commits what is still pending
  IniBatch(const IniBatch&) = delete;
  IniBatch& operator=(const IniBatch&) = delete;

  // Writes every changed file once. False when any of them could not be written. A nested
  // batch only joins the outer one, which does the writing.
  bool Commit();

  struct State;

 private:
  bool outer_;
};

}  // namespace pelmo
