#include "Profile.h"

#include "core/AppDirectory.h"
#include "FileOps.h"
#include "IniStore.h"

namespace pelmo {
namespace {

constexpr wchar_t kProfileFolder[] = L"Profile";
constexpr wchar_t kProfileExtension[] = L".ini";

std::wstring TrimWhiteSpace(const std::wstring& s) {
  const wchar_t* ws = L" \t\r\n\v\f\x3000";
  size_t b = s.find_first_not_of(ws);
  if (b == std::wstring::npos) return {};
  return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

// Device names that Windows resolves in every folder, with or without an extension: a profile
// so named could never be written.
bool IsReservedDeviceName(const std::wstring& name) {
  static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"COM1", L"COM2", L"COM3",
                                          L"COM4", L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1",
                                          L"LPT2", L"LPT3", L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8",
                                          L"LPT9"};
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (const wchar_t* reserved : kNames) {
    if (SameFileNameIgnoringCase(stem, reserved)) return true;
  }
  return false;
}

}  // namespace

CProfile::CProfile(WindowHandle settingsWindow, WindowHandle mainWindow)
    : settingsWindow_(settingsWindow), mainWindow_(mainWindow), profileDirectory_(GetAppDirectory() + kProfileFolder) {
  // The snapshot set is constructed after the pointer arrays: fill them once both sets exist.
  currentPtrs_ = current_.Pointers();
  snapshotPtrs_ = snapshot_.Pointers();
}

void CProfile::SetDefaults() { currentName_.clear(); }

std::wstring CProfile::PathOf(const std::wstring& name) const {
  return profileDirectory_ + kPathSeparator + name + kProfileExtension;
}

bool CProfile::GetProfilePath(std::wstring& path, const std::wstring* name) {
  if (!IsDirectory(profileDirectory_)) CreateOneDirectory(profileDirectory_);
  const std::wstring& n = name ? *name : currentName_;
  path = profileDirectory_;
  if (n.empty()) return false;
  path = PathOf(n);
  return true;
}

bool CProfile::LoadCurrent() {
  if (ValidateProfileName(currentName_) != kNameOk) return false;
  const std::wstring path = PathOf(currentName_);
  if (!IsRegularFile(path)) return false;
  {
    IniBatch batch;
    if (!IniStore::IsReadable(path)) return false;
    for (CEventProfile* section : currentPtrs_) section->Read(path);
  }
  TakeSnapshot();
  return true;
}

bool CProfile::SaveCurrent() { return WriteSections(currentName_, currentPtrs_); }

bool CProfile::WriteSections(const std::wstring& name, const SectionPointers& sections) {
  std::wstring path;
  if (!GetProfilePath(path, &name)) return false;
  IniBatch batch;
  for (CEventProfile* section : sections) section->Write(path);
  return batch.Commit();
}

int CProfile::ValidateProfileName(const std::wstring& name) {
  if (name.empty()) return kNameForbidden;
  if (name.find_first_of(ForbiddenNameChars) != std::wstring::npos) return kNameForbidden;
  // Characters no Windows file name may hold: the profile could never be written.
  for (wchar_t c : name) {
    if (c < 0x20 || c == L'?' || c == L'|') return kNameForbidden;
  }
  if (IsReservedDeviceName(name)) return kNameForbidden;
  if (name.size() > kMaxNameLength) return kNameTooLong;
  return kNameOk;
}

int CProfile::CreateProfile(const std::wstring& name, bool copyCurrent) {
  const std::wstring trimmed = TrimWhiteSpace(name);
  int valid = ValidateProfileName(trimmed);
  if (valid != kNameOk) return valid;
  // The file takes the name as given, and LoadCurrent checks that name: a name that is valid
  // only without its padding (33 characters or more with it, a tab) would make a profile that
  // never loads.
  valid = ValidateProfileName(name);
  if (valid != kNameOk) return valid;
  // A name differing only in case names the same file: refuse it, as for an equal name.
  if (ProfileExists(trimmed) || ProfileFileExists(trimmed) || ProfileFileExists(name)) return kNameInUse;
  ProfileSectionSet fresh = copyCurrent ? current_ : ProfileSectionSet{};
  return WriteSections(name, fresh.Pointers()) ? kNameOk : kNameWriteFailed;
}

int CProfile::RenameProfile(const std::wstring& newName) {
  int valid = ValidateProfileName(newName);
  if (valid != kNameOk) return valid;
  if (ProfileExists(newName)) return kNameInUse;
  if (ProfileFileExists(newName) && !SameFileNameIgnoringCase(newName, currentName_)) return kNameInUse;
  if (currentName_.empty()) return kNameWriteFailed;
  std::wstring from, to;
  GetProfilePath(from);
  GetProfilePath(to, &newName);
  if (!RenameFile(from, to)) return kNameWriteFailed;
  SetCurrentName(newName);
  return kNameOk;
}

void CProfile::DeleteCurrentProfile() {
  snapshotValid_ = false;
  if (!currentName_.empty()) RemoveFile(PathOf(currentName_));
  currentName_.clear();
}

bool CProfile::FindFirstProfile(ProfileSearch& search, std::wstring& name) {
  search.names = ListFilesWithExtension(profileDirectory_, kProfileExtension);
  for (auto& n : search.names) n.resize(n.size() - 4);
  search.next = 0;
  return FindNextProfile(search, name);
}

bool CProfile::FindNextProfile(ProfileSearch& search, std::wstring& name) {
  if (search.next >= search.names.size()) {
    search.names.clear();
    search.next = 0;
    return false;
  }
  name = search.names[search.next++];
  return true;
}

bool CProfile::ProfileExists(const std::wstring& name) {
  ProfileSearch search;
  std::wstring found;
  for (bool ok = FindFirstProfile(search, found); ok; ok = FindNextProfile(search, found)) {
    if (found == name) return true;
  }
  return false;
}

bool CProfile::ProfileFileExists(const std::wstring& name) {
  ProfileSearch search;
  std::wstring found;
  for (bool ok = FindFirstProfile(search, found); ok; ok = FindNextProfile(search, found)) {
    if (SameFileNameIgnoringCase(found, name)) return true;
  }
  return false;
}

bool CProfile::MatchesSnapshot() {
  std::wstring path;
  if (!GetProfilePath(path)) return true;
  IniBatch batch;
  for (CEventProfile* section : currentPtrs_) section->WriteRunningState(path);
  if (!snapshotValid_) {
    snapshotValid_ = true;
    return true;
  }
  for (size_t i = 0; i < kSectionCount; ++i) {
    if (!currentPtrs_[i]->IsEqual(*snapshotPtrs_[i])) return false;
  }
  return true;
}

void CProfile::TakeSnapshot() {
  snapshot_ = current_;
  snapshotValid_ = true;
}

void CProfile::WriteAllCommon() {
  IniBatch batch;
  for (CEventProfile* section : currentPtrs_) section->WriteCommon();
}

}  // namespace pelmo
