// Menus: an owning wrapper for loaded menus and a non-owning view for their pop-ups.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"

namespace fw {

class MenuRef {
 public:
  MenuRef() = default;
  explicit MenuRef(HMENU h) : h_(h) {}
  HMENU get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

  MenuRef SubMenu(int pos) const { return MenuRef(h_ ? GetSubMenu(h_, pos) : nullptr); }
  int ItemCount() const { return h_ ? GetMenuItemCount(h_) : -1; }
  bool Append(UINT id, const std::wstring& text) const;
  bool RemoveById(UINT id) const { return h_ && RemoveMenu(h_, id, MF_BYCOMMAND); }
  bool RemoveByPosition(int pos) const { return h_ && RemoveMenu(h_, pos, MF_BYPOSITION); }
  void Check(UINT id, bool checked) const;
  void CheckRadio(UINT first, UINT last, UINT id) const;
  void Enable(UINT id, bool enabled) const;
  UINT State(UINT id) const { return h_ ? GetMenuState(h_, id, MF_BYCOMMAND) : 0xFFFFFFFFu; }
  std::wstring Text(UINT id) const;
  // Shows the menu as a pop-up at screen point (x, y); commands go to owner.
  BOOL Track(UINT flags, int x, int y, HWND owner) const;

 protected:
  HMENU h_ = nullptr;
};

class Menu : public MenuRef {
 public:
  Menu() = default;
  bool Load(UINT resourceId);
  void Destroy();
  ~Menu() { Destroy(); }
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
};

}  // namespace fw
