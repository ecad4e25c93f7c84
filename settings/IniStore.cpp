#include "IniStore.h"

#include "FileOps.h"
#include "IniDocument.h"
#include "core/TextCodec.h"

namespace pelmo {
namespace {

enum class Origin { kLoaded, kMissing, kUnreadable };

struct OpenFile {
  IniDocument doc;
  Origin origin = Origin::kMissing;
  bool dirty = false;
};

OpenFile Load(const std::wstring& path) {
  OpenFile f;
  std::string bytes;
  switch (ReadWholeFile(path, bytes)) {
    case FileReadResult::kOk:
      f.origin = Origin::kLoaded;
      f.doc = IniDocument::Parse(DecodeIniText(bytes));
      break;
    case FileReadResult::kMissing:
      f.origin = Origin::kMissing;
      break;
    case FileReadResult::kFailed:
      f.origin = Origin::kUnreadable;
      break;
  }
  return f;
}

bool Save(const std::wstring& path, const OpenFile& f) {
  // A file we could not read would be replaced by a partial one: refuse.
  if (f.origin == Origin::kUnreadable) return false;
  return ReplaceFileContents(path, EncodeIniText(f.doc.Serialize()));
}

std::wstring CutToBuffer(std::wstring_view text, size_t bufferChars) {
  if (bufferChars == 0) return {};
  return std::wstring(text.substr(0, bufferChars - 1));
}

// The platform removes one pair of matching quotes around a value.
std::wstring_view StripQuotes(std::wstring_view v) {
  if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace

struct IniBatch::State {
  int depth = 0;
  std::map<std::wstring, OpenFile> files;
};

namespace {
thread_local IniBatch::State* t_batch = nullptr;

// The file as the open batch sees it, loading it into the batch on first use; null outside one.
OpenFile* BatchFile(const std::wstring& path) {
  if (!t_batch) return nullptr;
  auto it = t_batch->files.find(path);
  if (it == t_batch->files.end()) it = t_batch->files.emplace(path, Load(path)).first;
  return &it->second;
}

std::wstring_view LookUp(const OpenFile& f, std::wstring_view section, std::wstring_view key,
                         bool& found) {
  const std::wstring* v = f.doc.Find(section, key);
  found = v != nullptr;
  return found ? StripQuotes(*v) : std::wstring_view{};
}

}  // namespace

int32_t ParseProfileInt(std::wstring_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] <= L' ') ++i;
  bool minus = false;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) minus = s[i++] == L'-';
  uint32_t base = 10;
  if (i + 1 < s.size() && s[i] == L'0') {
    if (s[i + 1] == L'x') base = 16;
    if (s[i + 1] == L'o') base = 8;
    if (s[i + 1] == L'b') base = 2;
    if (base != 10) i += 2;
  }
  uint32_t total = 0;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    uint32_t digit = (c >= L'0' && c <= L'9')   ? static_cast<uint32_t>(c - L'0')
                     : (c >= L'a' && c <= L'z') ? static_cast<uint32_t>(c - L'a' + 10)
                     : (c >= L'A' && c <= L'Z') ? static_cast<uint32_t>(c - L'A' + 10)
                                                : 99;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<int32_t>(minus ? 0u - total : total);
}

std::wstring IniStore::ReadString(const std::wstring& file, std::wstring_view section,
                                  std::wstring_view key, std::wstring_view def, size_t bufferChars) {
  bool found = false;
  std::wstring_view value;
  OpenFile local;
  const OpenFile* f = BatchFile(file);
  if (!f) {
    local = Load(file);
    f = &local;
  }
  value = LookUp(*f, section, key, found);
  return CutToBuffer(found ? value : def, bufferChars);
}

int32_t IniStore::ReadInt(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                          int32_t def) {
  // The platform reads the text into 30 characters first.
  std::wstring text = ReadString(file, section, key, L"", 30);
  if (text.empty()) return def;
  return ParseProfileInt(text);
}

bool IniStore::WriteString(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                           std::wstring_view value) {
  if (OpenFile* f = BatchFile(file)) {
    if (f->doc.Set(section, key, value)) f->dirty = true;
    return f->origin != Origin::kUnreadable;
  }
  OpenFile local = Load(file);
  if (!local.doc.Set(section, key, value) && local.origin == Origin::kLoaded) return true;
  return Save(file, local);
}

bool IniStore::WriteInt(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                        int32_t value) {
  return WriteString(file, section, key, std::to_wstring(value));
}

bool IniStore::WriteUInt(const std::wstring& file, std::wstring_view section, std::wstring_view key,
                         int32_t value) {
  return WriteString(file, section, key, std::to_wstring(static_cast<uint32_t>(value)));
}

bool IniStore::IsReadable(const std::wstring& file) {
  if (OpenFile* f = BatchFile(file)) return f->origin != Origin::kUnreadable;
  std::string bytes;
  return ReadWholeFile(file, bytes) != FileReadResult::kFailed;
}

bool IniStore::FileExists(const std::wstring& file) {
  if (t_batch) {
    auto it = t_batch->files.find(file);
    if (it != t_batch->files.end()) {
      return it->second.origin != Origin::kMissing || it->second.dirty;
    }
  }
  return IsRegularFile(file);
}

IniBatch::IniBatch() : outer_(t_batch == nullptr) {
  if (outer_) t_batch = new State();
  ++t_batch->depth;
}

IniBatch::~IniBatch() {
  if (outer_) {
    Commit();
    delete t_batch;
    t_batch = nullptr;
  } else {
    --t_batch->depth;
  }
}

bool IniBatch::Commit() {
  if (!outer_ || !t_batch) return true;
  bool ok = true;
  for (auto& [path, f] : t_batch->files) {
    if (!f.dirty) continue;
    if (!Save(path, f)) ok = false;
    f.dirty = false;
    // Later reads in this batch see the file as written, or as missing when that failed.
  }
  return ok;
}

}  // namespace pelmo
