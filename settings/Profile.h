// The profile manager: the current profile's sections, its name, a snapshot to tell whether it
// was modified, and the operations on profile files (list, create, rename, delete, load, save).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EventProfile.h"
#include "ProfileSectionSet.h"
#include "WindowHandle.h"

namespace pelmo {

// A profile enumeration in progress (FindFirstProfile / FindNextProfile).
struct ProfileSearch {
  std::vector<std::wstring> names;
  size_t next = 0;
};

class CProfile : public CEventProfile {
 public:
  // Result codes of ValidateProfileName, CreateProfile and RenameProfile.
  enum NameResult : int {
    kNameOk = 1,
    kNameWriteFailed = 0,  // the profile file could not be written or renamed
    kNameTooLong = -1,     // message 100
    kNameForbidden = -2,   // message 102
    kNameInUse = -4,       // message 104
  };
  static constexpr size_t kMaxNameLength = 32;

  CProfile(WindowHandle settingsWindow = nullptr, WindowHandle mainWindow = nullptr);
  CProfile(const CProfile&) = delete;
  CProfile& operator=(const CProfile&) = delete;

  void SetDefaults() override;  // empties the current name
  void WriteCommon() override { WriteAllCommon(); }

  // The profile directory (created, one level, when missing), plus "\name.ini" for a name;
  // false, with the bare directory, when the name (or the current name) is empty.
  bool GetProfilePath(std::wstring& path, const std::wstring* name = nullptr);
  // Reads the current profile (one file read); false when its name is invalid or its file is
  // missing or cannot be read (nothing is changed then, so defaults never replace a profile).
  bool LoadCurrent();
  // Writes the current profile; false when the file could not be written.
  bool SaveCurrent();
  // Writes the sections as profile name (one file write); false when nothing could be written.
  bool WriteSections(const std::wstring& name, const SectionPointers& sections);
  int CreateProfile(const std::wstring& name, bool copyCurrent);
  int RenameProfile(const std::wstring& newName);
  void DeleteCurrentProfile();
  static int ValidateProfileName(const std::wstring& name);
  // Exact comparison, as the profile list shows names.
  bool ProfileExists(const std::wstring& name);
  // A profile whose file name equals this one without regard to case (the same file on Windows).
  bool ProfileFileExists(const std::wstring& name);
  bool FindFirstProfile(ProfileSearch& search, std::wstring& name);
  bool FindNextProfile(ProfileSearch& search, std::wstring& name);
  // Stores the running state and shared values, then compares with the snapshot.
  bool MatchesSnapshot();
  void TakeSnapshot();
  void SetCurrentName(const std::wstring& name) { currentName_ = name; }
  const std::wstring& GetCurrentName() const { return currentName_; }
  void WriteAllCommon();

  ProfileSectionSet& Current() { return current_; }
  const ProfileSectionSet& Current() const { return current_; }
  const SectionPointers& CurrentSections() const { return currentPtrs_; }
  bool IsSnapshotValid() const { return snapshotValid_; }
  const std::wstring& GetProfileDirectory() const { return profileDirectory_; }
  WindowHandle GetSettingsWindow() const { return settingsWindow_; }
  WindowHandle GetMainWindow() const { return mainWindow_; }

 private:
  std::wstring PathOf(const std::wstring& name) const;

  ProfileSectionSet current_;
  SectionPointers currentPtrs_;
  SectionPointers snapshotPtrs_;
  WindowHandle settingsWindow_;
  WindowHandle mainWindow_;
  std::wstring currentName_;
  ProfileSectionSet snapshot_;
  std::wstring profileDirectory_;
  bool snapshotValid_ = false;
};

}  // namespace pelmo
