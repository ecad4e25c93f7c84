#include "SndProfile.h"

#include "IniStore.h"

namespace pelmo {
namespace {
std::wstring OnKey(CaptureEventId e) { return std::wstring(EventKeyNameW(e)) + L"_Sound"; }
std::wstring FileKey(CaptureEventId e) { return std::wstring(EventKeyNameW(e)) + L"_Sound_File"; }
}  // namespace

CSndProfile::CSndProfile() { CSndProfile::SetDefaults(); }

const wchar_t* CSndProfile::DefaultSoundFile(CaptureEventId event) {
  return (event >= 0 && event <= kEventAutoCapture) ? kDefaultSoundFile : L"";
}

void CSndProfile::SetDefaults() {
  allSoundOff_ = 0;
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    soundOn_[e] = 1;
    soundFiles_[e] = DefaultSoundFile(e);
  }
}

bool CSndProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CSndProfile*>(&other);
  if (!o || allSoundOff_ != o->allSoundOff_) return false;
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (IsCommonEvent(e)) continue;
    if (soundOn_[e] != o->soundOn_[e] || soundFiles_[e] != o->soundFiles_[e]) return false;
  }
  return true;
}

void CSndProfile::WriteEvent(const std::wstring& file, const std::wstring& section, CaptureEventId e) const {
  IniStore::WriteInt(file, section, OnKey(e), soundOn_[e]);
  IniStore::WriteString(file, section, FileKey(e), soundFiles_[e]);
}

void CSndProfile::ReadEvent(const std::wstring& file, const std::wstring& section, CaptureEventId e) {
  soundOn_[e] = IniStore::ReadInt(file, section, OnKey(e), 1);
  soundFiles_[e] = IniStore::ReadString(file, section, FileKey(e), DefaultSoundFile(e), kPathBuffer);
}

void CSndProfile::Write(const std::wstring& path) {
  IniStore::WriteInt(path, kSection, L"AllSoundOff", allSoundOff_);
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (!IsCommonEvent(e)) WriteEvent(path, kSection, e);
  }
}

void CSndProfile::Read(const std::wstring& path) {
  allSoundOff_ = IniStore::ReadInt(path, kSection, L"AllSoundOff", 0);
  const std::wstring common = CommonSection(kSection);
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (IsCommonEvent(e)) {
      ReadEvent(GetCommonFilePath(), common, e);
    } else {
      ReadEvent(path, kSection, e);
    }
  }
}

void CSndProfile::WriteCommon() {
  const std::wstring common = CommonSection(kSection);
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (IsCommonEvent(e)) WriteEvent(GetCommonFilePath(), common, e);
  }
}

void CSndProfile::WriteRunningState(const std::wstring&) { WriteCommon(); }

int32_t CSndProfile::GetSoundOn(CaptureEventId event) const { return IsValidEvent(event) ? soundOn_[event] : 0; }

void CSndProfile::SetSoundOn(CaptureEventId event, int32_t on) {
  if (IsValidEvent(event)) soundOn_[event] = on;
}

std::wstring CSndProfile::GetSoundFile(CaptureEventId event) const {
  return IsValidEvent(event) ? soundFiles_[event] : std::wstring();
}

void CSndProfile::SetSoundFile(CaptureEventId event, const std::wstring& file) {
  if (IsValidEvent(event)) soundFiles_[event] = file;
}

}  // namespace pelmo
