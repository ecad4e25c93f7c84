// The tray menu (resource 131): the image-type and profile sub-menus, check marks and greying.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Menu.h"

namespace pelmo {

struct TrayMenuState {
  bool allSoundOff = false;
  int imageType = 0;
  bool inputDisabled = false;
  bool hasLastSaveFile = false;
  std::vector<std::wstring> profiles;  // the settings window's profile list, in order
  int selectedProfile = -1;
};

class TrayMenu {
 public:
  bool Load();
  void Destroy() { menu_.Destroy(); }
  bool loaded() const { return static_cast<bool>(menu_); }

  fw::MenuRef Popup() const { return menu_.SubMenu(0); }
  fw::MenuRef ProfileMenu() const { return Popup().SubMenu(2); }
  fw::MenuRef ImageTypeMenu() const { return Popup().SubMenu(4); }

  void BuildImageTypeMenu();
  void BuildProfileMenu(const std::vector<std::wstring>& profiles);
  // Check marks, radio marks, profile list and greying from the state (the icon is the caller's).
  void Refresh(const TrayMenuState& state);
  void CheckImageType(int imageType);
  void CheckProfile(int index);
  void CheckSoundsOff(bool off);

 private:
  fw::Menu menu_;
};

}  // namespace pelmo
