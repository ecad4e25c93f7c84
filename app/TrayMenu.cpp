#include "TrayMenu.h"

#include "app/AppMessages.h"
#include "framework/App.h"
#include "resources/resource.h"

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
    sub.RemoveById(ID_IMAGETYPE_FIRST);
    g_imageTypePlaceholder = false;
  }
  for (UINT t = 0; t < 4; ++t) sub.Append(ID_IMAGETYPE_FIRST + t, fw::LoadResString(IDS_FORMAT_BMP + t));
}

void TrayMenu::BuildProfileMenu(const std::vector<std::wstring>& profiles) {
  fw::MenuRef sub = ProfileMenu();
  if (!sub) return;
  for (int n = sub.ItemCount(); n > 0; --n) sub.RemoveByPosition(0);
  for (size_t i = 0; i < profiles.size() && i < kMaxMenuProfiles; ++i) {
    sub.Append(ID_PROFILE_FIRST + static_cast<UINT>(i), profiles[i]);
  }
}

void TrayMenu::CheckSoundsOff(bool off) { Popup().Check(ID_SOUNDS_FIRST, off); }

void TrayMenu::CheckImageType(int imageType) {
  ImageTypeMenu().CheckRadio(ID_IMAGETYPE_FIRST, ID_IMAGETYPE_FIRST + 9, ID_IMAGETYPE_FIRST + imageType);
}

void TrayMenu::CheckProfile(int index) {
  if (index >= 0 && index < kMaxMenuProfiles) {
    ProfileMenu().CheckRadio(ID_PROFILE_FIRST, ID_PROFILE_LAST, ID_PROFILE_FIRST + index);
  }
}

void TrayMenu::Refresh(const TrayMenuState& state) {
  fw::MenuRef popup = Popup();
  CheckSoundsOff(state.allSoundOff);
  CheckImageType(state.imageType);
  BuildProfileMenu(state.profiles);
  CheckProfile(state.selectedProfile);
  popup.Check(ID_INPUT_DISABLED, state.inputDisabled);
  for (UINT id : {ID_COPY_TO_CLIPBOARD, ID_OPEN_LAST_FILE, ID_OPEN_LAST_FOLDER}) {
    popup.Enable(id, state.hasLastSaveFile);
  }
}

}  // namespace pelmo
