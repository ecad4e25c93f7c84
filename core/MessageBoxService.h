// Every modal question of the program goes through the main window (WM_APP_MESSAGEBOX), which
// closes its gates while the box is up so no key event or timer tick runs under it.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <string>

namespace pelmo {

// The window that answers WM_APP_MESSAGEBOX; the main window registers itself at creation.
void SetMessageBoxWindow(HWND window);
HWND GetMessageBoxWindow();

// Shows text with the MessageBox type flags through the main window and returns the button
// pressed; 0 when no main window is registered.
int AskUser(const std::wstring& text, UINT type);

}  // namespace pelmo
#endif
