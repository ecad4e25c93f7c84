#include "Menu.h"

#include "App.h"

namespace fw {

bool MenuRef::Append(UINT id, const std::wstring& text) const {
  return h_ && AppendMenuW(h_, MF_STRING, id, text.c_str());
}

void MenuRef::Check(UINT id, bool checked) const {
  if (h_) CheckMenuItem(h_, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MenuRef::CheckRadio(UINT first, UINT last, UINT id) const {
  if (h_) CheckMenuRadioItem(h_, first, last, id, MF_BYCOMMAND);
}

void MenuRef::Enable(UINT id, bool enabled) const {
  if (h_) EnableMenuItem(h_, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

std::wstring MenuRef::Text(UINT id) const {
  if (!h_) return {};
  wchar_t buf[256];
  const int n = GetMenuStringW(h_, id, buf, static_cast<int>(std::size(buf)), MF_BYCOMMAND);
  return n > 0 ? std::wstring(buf, static_cast<size_t>(n)) : std::wstring();
}

BOOL MenuRef::Track(UINT flags, int x, int y, HWND owner) const {
  return h_ ? TrackPopupMenu(h_, flags, x, y, 0, owner, nullptr) : FALSE;
}

bool Menu::Load(UINT resourceId) {
  Destroy();
  h_ = LoadMenuW(App::ResourceInstance(), MAKEINTRESOURCEW(resourceId));
  return h_ != nullptr;
}

void Menu::Destroy() {
  if (h_) DestroyMenu(h_);
  h_ = nullptr;
}

}  // namespace fw
