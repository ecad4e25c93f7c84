// KEY: the key bindings of the 17 events. Those of the common events live in common.ini.
#pragma once

#include <cstdint>
#include <string>

#include "EventProfile.h"
#include "keyinput/KeyBindingTable.h"

namespace pelmo {

class CKeyProfile : public CEventProfile {
 public:
  static constexpr wchar_t kSection[] = L"KEY";

  CKeyProfile();

  void SetDefaults() override;
  bool IsEqual(const CEventProfile& other) override;
  void Write(const std::wstring& profilePath) override;
  void Read(const std::wstring& profilePath) override;
  void WriteCommon() override;
  void WriteRunningState(const std::wstring& profilePath) override;

  // The binding table as the matcher reads it.
  const KeyBindingTable& GetBindings() const { return bindings_; }
  // The event's three codes; all empty for an event outside 0..16.
  const KeyBinding& GetBinding(CaptureEventId event) const;
  // Ignored for an event outside 0..16 or a slot outside 0..2.
  void SetBindingCode(CaptureEventId event, int slot, int32_t code);
  // The binding's display text ("Ctrl(右) & →"); false, text untouched, for an invalid event.
  bool GetBindingText(CaptureEventId event, std::wstring& text) const;

  static const KeyBindingTable& DefaultBindings();

 private:
  // INI key of one slot: the event's key name and the digit 1, 2 or 3.
  static std::wstring SlotKey(CaptureEventId event, int slot);

  KeyBindingTable bindings_{};
};

}  // namespace pelmo
