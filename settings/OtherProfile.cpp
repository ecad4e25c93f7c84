#include "OtherProfile.h"

#include "FileOps.h"
#include "IniStore.h"

namespace pelmo {
namespace {
constexpr const wchar_t* kPriorityNames[] = {L"低", L"通常以下", L"通常", L"通常以上", L"高"};
}

COtherProfile::COtherProfile() { COtherProfile::SetDefaults(); }

void COtherProfile::SetDefaults() {
  shortcutPresent_ = 0;
  show_ = 1;
  disableInputMode_ = 0;
  checkProfileRewrite_ = 1;
  checkRewrite_ = 1;
  cutClient_ = 0;
  captureCursor_ = 0;
  priority_ = 2;
  globalKeyHook_ = 0;
}

bool COtherProfile::IsEqual(const CEventProfile& other) {
  WriteCommon();
  const auto* o = dynamic_cast<const COtherProfile*>(&other);
  return o && checkRewrite_ == o->checkRewrite_ && cutClient_ == o->cutClient_ &&
         captureCursor_ == o->captureCursor_ && globalKeyHook_ == o->globalKeyHook_ &&
         priority_ == o->priority_;
}

void COtherProfile::Write(const std::wstring& path) {
  IniStore::WriteInt(path, kSection, L"CheckRewrite", checkRewrite_);
  IniStore::WriteInt(path, kSection, L"CutClient", cutClient_);
  IniStore::WriteInt(path, kSection, L"CaptureCursor", captureCursor_);
  IniStore::WriteInt(path, kSection, L"GlobalKeyHook", globalKeyHook_);
  IniStore::WriteInt(path, kSection, L"Priority", priority_);
}

void COtherProfile::Read(const std::wstring& path) {
#ifdef _WIN32
  std::wstring shortcut;
  shortcutPresent_ = (GetStartupShortcutPath(&shortcut, nullptr) && IsRegularFile(shortcut)) ? 1 : 0;
#else
  shortcutPresent_ = 0;
#endif
  const std::wstring common = CommonSection(kSection);
  show_ = IniStore::ReadInt(GetCommonFilePath(), common, L"Show", 1);
  checkProfileRewrite_ = IniStore::ReadInt(GetCommonFilePath(), common, L"CheckProfileRewrite", 1);
  disableInputMode_ = IniStore::ReadInt(GetCommonFilePath(), common, L"DisableInputMode", 0);
  checkRewrite_ = IniStore::ReadInt(path, kSection, L"CheckRewrite", 1);
  cutClient_ = IniStore::ReadInt(path, kSection, L"CutClient", 0);
  captureCursor_ = IniStore::ReadInt(path, kSection, L"CaptureCursor", 0);
  globalKeyHook_ = IniStore::ReadInt(path, kSection, L"GlobalKeyHook", 0);
  priority_ = IniStore::ReadInt(path, kSection, L"Priority", 2);
}

void COtherProfile::WriteCommon() {
  const std::wstring common = CommonSection(kSection);
  IniStore::WriteInt(GetCommonFilePath(), common, L"Show", show_);
  IniStore::WriteInt(GetCommonFilePath(), common, L"CheckProfileRewrite", checkProfileRewrite_);
  IniStore::WriteInt(GetCommonFilePath(), common, L"DisableInputMode", disableInputMode_);
}

void COtherProfile::WriteRunningState(const std::wstring&) { WriteCommon(); }

void COtherProfile::GetPriorityName(std::wstring& text) const {
  if (priority_ >= 0 && priority_ <= 4) text = kPriorityNames[priority_];
}

}  // namespace pelmo
