#include "KeyProfile.h"

#include "IniStore.h"
#include "keyinput/KeyNames.h"

namespace pelmo {
namespace {

KeyBindingTable MakeDefaults() {
  KeyBindingTable t{};
  t[kEventDesktop] = {0x2C, 0, 0};        // PRINT SCREEN
  t[kEventWindow] = {0xA5, 0x2C, 0};      // right Alt + PRINT SCREEN
  t[kEventClient] = {0xA3, 0x2C, 0};      // right Ctrl + PRINT SCREEN
  t[kEventNextProfile] = {0xA3, 0x27, 0}; // right Ctrl + right arrow
  t[kEventBackProfile] = {0xA3, 0x25, 0}; // right Ctrl + left arrow
  return t;
}

}  // namespace

CKeyProfile::CKeyProfile() { CKeyProfile::SetDefaults(); }

const KeyBindingTable& CKeyProfile::DefaultBindings() {
  static const KeyBindingTable defaults = MakeDefaults();
  return defaults;
}

void CKeyProfile::SetDefaults() { bindings_ = DefaultBindings(); }

bool CKeyProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CKeyProfile*>(&other);
  if (!o) return false;
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (!IsCommonEvent(e) && bindings_[e] != o->bindings_[e]) return false;
  }
  return true;
}

std::wstring CKeyProfile::SlotKey(CaptureEventId event, int slot) {
  return std::wstring(EventKeyNameW(event)) + static_cast<wchar_t>(L'1' + slot);
}

void CKeyProfile::Write(const std::wstring& path) {
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (IsCommonEvent(e)) continue;
    for (int s = 0; s < kBindingSlots; ++s) IniStore::WriteInt(path, kSection, SlotKey(e, s), bindings_[e][s]);
  }
}

void CKeyProfile::Read(const std::wstring& path) {
  SetDefaults();
  const std::wstring common = CommonSection(kSection);
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    const bool shared = IsCommonEvent(e);
    for (int s = 0; s < kBindingSlots; ++s) {
      bindings_[e][s] = shared ? IniStore::ReadInt(GetCommonFilePath(), common, SlotKey(e, s), bindings_[e][s])
                               : IniStore::ReadInt(path, kSection, SlotKey(e, s), bindings_[e][s]);
    }
  }
}

void CKeyProfile::WriteCommon() {
  const std::wstring common = CommonSection(kSection);
  for (CaptureEventId e = 0; e < kEventCount; ++e) {
    if (!IsCommonEvent(e)) continue;
    for (int s = 0; s < kBindingSlots; ++s) {
      IniStore::WriteInt(GetCommonFilePath(), common, SlotKey(e, s), bindings_[e][s]);
    }
  }
}

void CKeyProfile::WriteRunningState(const std::wstring&) { WriteCommon(); }

const KeyBinding& CKeyProfile::GetBinding(CaptureEventId event) const {
  static const KeyBinding kEmpty{};
  return IsValidEvent(event) ? bindings_[event] : kEmpty;
}

void CKeyProfile::SetBindingCode(CaptureEventId event, int slot, int32_t code) {
  if (IsValidEvent(event) && slot >= 0 && slot < kBindingSlots) bindings_[event][slot] = code;
}

bool CKeyProfile::GetBindingText(CaptureEventId event, std::wstring& text) const {
  if (!IsValidEvent(event)) return false;
  text = FormatBindingText(bindings_[event]);
  return true;
}

}  // namespace pelmo
