#include "PageFonts.h"

namespace pelmo {

int WindowDpi(HWND window) {
  const UINT dpi = window ? GetDpiForWindow(window) : 0;
  if (dpi) return static_cast<int>(dpi);
  fw::WindowDc dc(nullptr);
  return dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
}

int ScaleForWindow(HWND window, int pixels96) { return MulDiv(pixels96, WindowDpi(window), 96); }

fw::UniqueFont MakePageFont(HWND window, int pixelHeight96, bool bold) {
  return fw::UniqueFont(CreateFontW(-ScaleForWindow(window, pixelHeight96), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                    FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DRAFT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L""));
}

fw::UniqueFont MakePointFont(HWND window, int tenthsOfPoint) {
  // The Japanese character set, so the font mapper picks a face with the glyphs.
  return fw::UniqueFont(CreateFontW(-MulDiv(tenthsOfPoint, WindowDpi(window), 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                    FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, L""));
}

LRESULT TransparentStatic(WPARAM dc, COLORREF text, HBRUSH brush) {
  HDC hdc = reinterpret_cast<HDC>(dc);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, text);
  return reinterpret_cast<LRESULT>(brush);
}

}  // namespace pelmo
