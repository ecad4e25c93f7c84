// Fonts and colours the settings window's pages share.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

namespace pelmo {

// A font of the given pixel height at 96 DPI, scaled to the window's DPI: default face,
// SHIFTJIS_CHARSET, DRAFT_QUALITY, as the pages' headings and texts use.
fw::UniqueFont MakePageFont(HWND window, int pixelHeight96, bool bold);
// A point-size font of the default face (tenths of a point), as for the description text.
fw::UniqueFont MakePointFont(HWND window, int tenthsOfPoint);
int WindowDpi(HWND window);
// Pixels at 96 DPI scaled to the window's DPI.
int ScaleForWindow(HWND window, int pixels96);
// Answers WM_CTLCOLOR* for a static with a transparent background on a white brush.
LRESULT TransparentStatic(WPARAM dc, COLORREF text, HBRUSH brush);

}  // namespace pelmo
