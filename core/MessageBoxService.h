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

// The two messages that carry addresses of string objects in this process. The handler may read
// an address only while this thread is sending it (IsAddressBeingSent); a message from another
// process or a posted one names memory of its sender's choosing and is refused.
int SendMessageBox(HWND window, const std::wstring& text, UINT type);
void SendErrorBalloon(HWND window, const std::wstring& title, const std::wstring& text);
bool IsAddressBeingSent(const void* address);

}  // namespace pelmo
#endif
