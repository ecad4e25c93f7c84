// A profile section declared as data: one row per INI key with its field, default, how the number
// is written and where the value lives. TableSection turns the table into the section's defaults,
// reading, writing and comparison, so each key and default is written down once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "EventProfile.h"
#include "IniStore.h"

namespace pelmo {

struct RgbColor {
  int32_t r = 255, g = 255, b = 255;
  bool operator==(const RgbColor&) const = default;
  // Red in the low byte, then green, then blue; components taken modulo 256.
  uint32_t Packed() const {
    return (static_cast<uint32_t>(r) & 0xFF) | ((static_cast<uint32_t>(g) & 0xFF) << 8) |
           ((static_cast<uint32_t>(b) & 0xFF) << 16);
  }
};

enum class IniNumber { kSigned, kUnsigned };  // written as "%d" or as "%u" (-1 as 4294967295)

enum class FieldHome {
  kProfile,       // the profile file; saved with it and part of the comparison
  kCommon,        // common.ini, section "COMMON_" + the section; shared by every profile
  kRunning,       // the profile file, changed by use: written only as running state, into an
                  // existing file, and never compared
  kRunningSaved,  // as kRunning, and also written (into an existing file) when the profile is saved
};

template <class S>
struct SectionField {
  enum Kind { kNumber, kText, kColor };
  Kind kind;
  const wchar_t* key;
  FieldHome home = FieldHome::kProfile;
  // kNumber
  int32_t S::*number = nullptr;
  int32_t numberDefault = 0;
  IniNumber format = IniNumber::kSigned;
  int32_t S::*readDefaultFrom = nullptr;  // when reading, a missing key takes this field's value
  // kText: at most buffer - 1 characters are read
  std::wstring S::*text = nullptr;
  const wchar_t* textDefault = L"";
  std::wstring (*textDefaultOf)() = nullptr;  // a default known only at run time
  size_t buffer = 0;
  // kColor: keys key_R, key_G, key_B, each 255 when missing
  RgbColor S::*color = nullptr;

  static SectionField Int(const wchar_t* key, int32_t S::*m, int32_t def, FieldHome home = FieldHome::kProfile) {
    SectionField f{kNumber, key, home};
    f.number = m;
    f.numberDefault = def;
    return f;
  }
  static SectionField UInt(const wchar_t* key, int32_t S::*m, int32_t def) {
    SectionField f = Int(key, m, def);
    f.format = IniNumber::kUnsigned;
    return f;
  }
  static SectionField Text(const wchar_t* key, std::wstring S::*m, const wchar_t* def, size_t buffer,
                           FieldHome home = FieldHome::kProfile) {
    SectionField f{kText, key, home};
    f.text = m;
    f.textDefault = def;
    f.buffer = buffer;
    return f;
  }
  static SectionField Color(const wchar_t* key, RgbColor S::*m) {
    SectionField f{kColor, key};
    f.color = m;
    return f;
  }
};

template <class S>
class FieldTable {
 public:
  using Field = SectionField<S>;

  FieldTable(const wchar_t* section, std::initializer_list<Field> fields) : section_(section), fields_(fields) {}

  const wchar_t* section() const { return section_; }
  const std::vector<Field>& fields() const { return fields_; }

  void SetDefaults(S& s) const {
    for (const Field& f : fields_) {
      switch (f.kind) {
        case Field::kNumber: s.*f.number = f.numberDefault; break;
        case Field::kText: s.*f.text = TextDefault(f); break;
        case Field::kColor: s.*f.color = RgbColor{}; break;
      }
    }
  }

  void Read(S& s, const std::wstring& profilePath, const std::wstring& commonPath) const {
    const std::wstring common = CEventProfile::CommonSection(section_);
    for (const Field& f : fields_) {
      const bool shared = f.home == FieldHome::kCommon;
      const std::wstring& file = shared ? commonPath : profilePath;
      const std::wstring_view section = shared ? std::wstring_view(common) : std::wstring_view(section_);
      switch (f.kind) {
        case Field::kNumber:
          s.*f.number = IniStore::ReadInt(file, section, f.key, f.readDefaultFrom ? s.*f.readDefaultFrom : f.numberDefault);
          break;
        case Field::kText:
          s.*f.text = IniStore::ReadString(file, section, f.key, TextDefault(f), f.buffer);
          break;
        case Field::kColor: {
          const std::wstring base = f.key;
          s.*f.color = {IniStore::ReadInt(file, section, base + L"_R", 255),
                        IniStore::ReadInt(file, section, base + L"_G", 255),
                        IniStore::ReadInt(file, section, base + L"_B", 255)};
          break;
        }
      }
    }
  }

  // The saved values, in table order (the order of the keys in a new file).
  void Write(const S& s, const std::wstring& profilePath) const {
    for (const Field& f : fields_) {
      if (f.home == FieldHome::kProfile ||
          (f.home == FieldHome::kRunningSaved && IniStore::FileExists(profilePath))) {
        WriteField(s, f, profilePath, section_);
      }
    }
  }

  void WriteCommon(const S& s, const std::wstring& commonPath) const {
    const std::wstring common = CEventProfile::CommonSection(section_);
    for (const Field& f : fields_) {
      if (f.home == FieldHome::kCommon) WriteField(s, f, commonPath, common);
    }
  }

  // Into an existing profile only: a file deleted behind the program's back must not come back
  // as a stub holding these few keys, and then load as a profile of defaults.
  void WriteRunning(const S& s, const std::wstring& profilePath) const {
    bool checked = false, exists = false;
    for (const Field& f : fields_) {
      if (f.home != FieldHome::kRunning && f.home != FieldHome::kRunningSaved) continue;
      if (!checked) {
        exists = IniStore::FileExists(profilePath);
        checked = true;
      }
      if (exists) WriteField(s, f, profilePath, section_);
    }
  }

  // The per-profile values only: shared values and running state are not edits of a profile.
  bool Equal(const S& a, const S& b) const {
    for (const Field& f : fields_) {
      if (f.home != FieldHome::kProfile) continue;
      switch (f.kind) {
        case Field::kNumber: if (a.*f.number != b.*f.number) return false; break;
        case Field::kText: if (a.*f.text != b.*f.text) return false; break;
        case Field::kColor: if (!(a.*f.color == b.*f.color)) return false; break;
      }
    }
    return true;
  }

 private:
  static std::wstring TextDefault(const Field& f) { return f.textDefaultOf ? f.textDefaultOf() : f.textDefault; }

  static void WriteField(const S& s, const Field& f, const std::wstring& file, std::wstring_view section) {
    switch (f.kind) {
      case Field::kNumber:
        if (f.format == IniNumber::kUnsigned) {
          IniStore::WriteUInt(file, section, f.key, s.*f.number);
        } else {
          IniStore::WriteInt(file, section, f.key, s.*f.number);
        }
        break;
      case Field::kText:
        IniStore::WriteString(file, section, f.key, s.*f.text);
        break;
      case Field::kColor: {
        const std::wstring base = f.key;
        const RgbColor& c = s.*f.color;
        IniStore::WriteInt(file, section, base + L"_R", c.r);
        IniStore::WriteInt(file, section, base + L"_G", c.g);
        IniStore::WriteInt(file, section, base + L"_B", c.b);
        break;
      }
    }
  }

  const wchar_t* section_;
  std::vector<Field> fields_;
};

// The section operations from S::Fields(). A section with rules of its own overrides them and
// calls these.
template <class S>
class TableSection : public CEventProfile {
 public:
  void SetDefaults() override { S::Fields().SetDefaults(Self()); }
  bool IsEqual(const CEventProfile& other) override {
    const auto* o = dynamic_cast<const S*>(&other);
    return o && S::Fields().Equal(Self(), *o);
  }
  void Write(const std::wstring& profilePath) override { S::Fields().Write(Self(), profilePath); }
  void Read(const std::wstring& profilePath) override {
    S::Fields().Read(Self(), profilePath, GetCommonFilePath());
  }
  void WriteCommon() override { S::Fields().WriteCommon(Self(), GetCommonFilePath()); }
  void WriteRunningState(const std::wstring& profilePath) override {
    WriteCommon();
    S::Fields().WriteRunning(Self(), profilePath);
  }

 protected:
  TableSection() = default;
  TableSection(const TableSection&) = default;
  TableSection& operator=(const TableSection&) = default;
  ~TableSection() = default;

 private:
  S& Self() { return static_cast<S&>(*this); }
};

}  // namespace pelmo
