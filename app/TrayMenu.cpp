#include "TrayMenu.h"

#include "core/AppMessages.h"
#include "framework/App.h"
#include "core/Strings.h"
#include "core/resource.h"

namespace pelmo {
namespace {
// The resource's placeholder item is removed only once per process.
bool g_imageTypePlaceholder = true;
constexpr int kMaxMenuProfiles = 100;
}  // namespace

bool TrayMenu::Load() { return menu_.Load(IDR_TRAYMENU); }

void TrayMenu::BuildImageTypeMenu() {
  fw::MenuRef sub = ImageTypeMenu();
  if (!sub) return;
  if (g_imageTypePlaceholder) {
    sub.RemoveById(IDM_IMAGETYPE_FIRST);
    g_imageTypePlaceholder = false;
  }
  for (UINT t = 0; t < 4; ++t) sub.Append(IDM_IMAGETYPE_FIRST + t, LoadResString(static_cast<int>(IDS_FORMAT_BMP + t)));
}

void TrayMenu::BuildProfileMenu(const std::vector<std::wstring>& profiles) {
  fw::MenuRef sub = ProfileMenu();
  if (!sub) return;
  for (int n = sub.ItemCount(); n > 0; --n) sub.RemoveByPosition(0);
  for (size_t i = 0; i < profiles.size() && i < kMaxMenuProfiles; ++i) {
    sub.Append(IDM_PROFILE_FIRST + static_cast<UINT>(i), profiles[i]);
  }
}

void TrayMenu::CheckSoundsOff(bool off) { Popup().Check(IDM_SOUNDS_FIRST, off); }

void TrayMenu::CheckImageType(int imageType) {
  ImageTypeMenu().CheckRadio(IDM_IMAGETYPE_FIRST, IDM_IMAGETYPE_LAST, IDM_IMAGETYPE_FIRST + imageType);
}

void TrayMenu::CheckProfile(int index) {
  if (index >= 0 && index < kMaxMenuProfiles) {
    ProfileMenu().CheckRadio(IDM_PROFILE_FIRST, IDM_PROFILE_LAST, IDM_PROFILE_FIRST + index);
  }
}

void TrayMenu::Refresh(const TrayMenuState& state) {
  fw::MenuRef popup = Popup();
  CheckSoundsOff(state.allSoundOff);
  CheckImageType(state.imageType);
  BuildProfileMenu(state.profiles);
  CheckProfile(state.selectedProfile);
  popup.Check(IDM_INPUT_DISABLED, state.inputDisabled);
  for (UINT id : {IDM_COPY_TO_CLIPBOARD, IDM_OPEN_LAST_FILE, IDM_OPEN_LAST_FOLDER}) {
    popup.Enable(id, state.hasLastSaveFile);
  }
}

}  // namespace pelmo
