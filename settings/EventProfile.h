// The base of every profile section, and the rules all sections share.
#pragma once

#include <string>
#include <string_view>

#include "core/CaptureEvents.h"

namespace pelmo {

// Characters a profile name may not contain; window titles get them replaced by spaces.
inline constexpr wchar_t ForbiddenNameChars[] = L"\\:,/<>*$\"";

inline constexpr wchar_t kCommonFileName[] = L"common.ini";
// Shared values live in common.ini under this prefix plus the owning section's name.
inline constexpr wchar_t kCommonSectionPrefix[] = L"COMMON_";

class CEventProfile {
 public:
  CEventProfile();
  CEventProfile(const CEventProfile&) = default;
  CEventProfile& operator=(const CEventProfile&) = default;

  // Every field to its default; each section's constructor calls its own.
  virtual void SetDefaults() {}
  // Whether the per-profile values equal those of another instance of the same section.
  virtual bool IsEqual(const CEventProfile& other) { return true; }
  // Per-profile values into the profile file (shared values and running state excepted).
  virtual void Write(const std::wstring& profilePath) {}
  // Every value: per-profile ones from the profile file, shared ones from common.ini.
  virtual void Read(const std::wstring& profilePath) {}
  // The shared values into common.ini.
  virtual void WriteCommon() {}
  // What changes during use without counting as an edit.
  virtual void WriteRunningState(const std::wstring& profilePath) {}

  // Events 15 and 16, whose bindings and sounds all profiles share.
  static bool IsCommonEvent(CaptureEventId event);

  const std::wstring& GetCommonFilePath() const { return commonFile_; }
  // "COMMON_" + section.
  static std::wstring CommonSection(std::wstring_view section);

 protected:
  // Sections are destroyed as members of their set, never through this base.
  ~CEventProfile() = default;

 private:
  std::wstring commonFile_;
};

}  // namespace pelmo
