// OTHER: overwrite warning, client cutting, cursor capture, key source and process priority,
// plus three options all profiles share (in common.ini) and the start-up shortcut.
#pragma once

#include <cstdint>
#include <string>

#include "SectionFields.h"
#include "WindowHandle.h"

namespace pelmo {

class COtherProfile : public TableSection<COtherProfile> {
 public:
  static constexpr wchar_t kSection[] = L"OTHER";
  // CheckOverwrite answers.
  enum OverwriteAnswer { kOverwriteGoAhead = 0, kOverwriteNoFile = 1, kOverwriteDeclined = 2 };

  COtherProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<COtherProfile>& Fields();

  void SetDefaults() override;
  // Stores the shared options first (so comparing also saves them), then compares.
  bool IsEqual(const CEventProfile& other) override;
  void Read(const std::wstring& profilePath) override;

  int32_t GetStartupShortcutPresent() const { return shortcutPresent_; }
  void SetStartupShortcutPresent(int32_t v) { shortcutPresent_ = v; }
  int32_t GetShow() const { return show_; }
  void SetShow(int32_t v) { show_ = v; }
  int32_t GetDisableInputMode() const { return disableInputMode_; }
  void SetDisableInputMode(int32_t v) { disableInputMode_ = v; }
  int32_t GetCheckProfileRewrite() const { return checkProfileRewrite_; }
  void SetCheckProfileRewrite(int32_t v) { checkProfileRewrite_ = v; }
  int32_t GetCheckRewrite() const { return checkRewrite_; }
  void SetCheckRewrite(int32_t v) { checkRewrite_ = v; }
  int32_t GetCutClient() const { return cutClient_; }
  void SetCutClient(int32_t v) { cutClient_ = v; }
  int32_t GetCaptureCursor() const { return captureCursor_; }
  void SetCaptureCursor(int32_t v) { captureCursor_ = v; }
  int32_t GetPriority() const { return priority_; }
  void SetPriority(int32_t v) { priority_ = v; }
  int32_t GetGlobalKeyHook() const { return globalKeyHook_; }
  void SetGlobalKeyHook(int32_t v) { globalKeyHook_ = v; }

  // The name of Priority 0..4 ("低" .. "高"); for other values text is left unchanged.
  void GetPriorityName(std::wstring& text) const;

#ifdef _WIN32
  // Sets the process priority class, unless Priority equals the value applied last.
  void ApplyPriority();
  // Either output may be null. False when the Startup folder cannot be located.
  static bool GetStartupShortcutPath(std::wstring* shortcut, std::wstring* executable);
  // A link to the running executable in the user's Startup folder; true when it exists after.
  static bool CreateStartupShortcut();
  // False when an existing shortcut could not be deleted.
  static bool RemoveStartupShortcut();
  // Asks (through the main window) before a capture overwrites an existing file.
  OverwriteAnswer CheckOverwrite(WindowHandle mainWindow, const std::wstring& path) const;
#endif

 private:
  int32_t shortcutPresent_ = 0;
  int32_t show_ = 1;
  int32_t disableInputMode_ = 0;
  int32_t checkProfileRewrite_ = 1;
  int32_t checkRewrite_ = 1;
  int32_t cutClient_ = 0;
  int32_t captureCursor_ = 0;
  int32_t priority_ = 2;
  int32_t globalKeyHook_ = 0;
};

}  // namespace pelmo
