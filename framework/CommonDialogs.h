// The colour, file and folder choosers. Each returns nothing when the user cancels.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fw {

std::optional<COLORREF> ChooseColour(HWND owner, COLORREF initial);

// filter: pairs of "description\0pattern\0" ending with an extra "\0", as the system wants it.
std::optional<std::wstring> ChooseOpenFile(HWND owner, const wchar_t* filter, const std::wstring& initialPath);

std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder);

}  // namespace fw
