#include "OtherProfile.h"

#include "FileOps.h"
#include "IniStore.h"

namespace pelmo {
namespace {
constexpr const wchar_t* kPriorityNames[] = {L"低", L"通常以下", L"通常", L"通常以上", L"高"};
}

COtherProfile::COtherProfile() { SetDefaults(); }

const FieldTable<COtherProfile>& COtherProfile::Fields() {
  using F = SectionField<COtherProfile>;
  static const FieldTable<COtherProfile> table(kSection, {
      F::Int(L"Show", &COtherProfile::show_, 1, FieldHome::kCommon),
      F::Int(L"CheckProfileRewrite", &COtherProfile::checkProfileRewrite_, 1, FieldHome::kCommon),
      F::Int(L"DisableInputMode", &COtherProfile::disableInputMode_, 0, FieldHome::kCommon),
      F::Int(L"CheckRewrite", &COtherProfile::checkRewrite_, 1),
      F::Int(L"CutClient", &COtherProfile::cutClient_, 0),
      F::Int(L"CaptureCursor", &COtherProfile::captureCursor_, 0),
      F::Int(L"GlobalKeyHook", &COtherProfile::globalKeyHook_, 0),
      F::Int(L"Priority", &COtherProfile::priority_, 2),
  });
  return table;
}

void COtherProfile::SetDefaults() {
  TableSection::SetDefaults();
  shortcutPresent_ = 0;
}

bool COtherProfile::IsEqual(const CEventProfile& other) {
  // The shared values are kept current whenever the profile is compared.
  WriteCommon();
  return TableSection::IsEqual(other);
}

void COtherProfile::Read(const std::wstring& path) {
#ifdef _WIN32
  std::wstring shortcut;
  shortcutPresent_ = (GetStartupShortcutPath(&shortcut, nullptr) && IsRegularFile(shortcut)) ? 1 : 0;
#else
  shortcutPresent_ = 0;
#endif
  TableSection::Read(path);
}

void COtherProfile::GetPriorityName(std::wstring& text) const {
  if (priority_ >= 0 && priority_ <= 4) text = kPriorityNames[priority_];
}

}  // namespace pelmo
