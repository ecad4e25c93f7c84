#include "ScreenCopy.h"

#include <cstring>

#include "Library.h"

namespace imgctl {

Image* CopyFromDC(HDC dc, int x, int y, int width, int height) {
  if (dc == nullptr || width <= 0 || height <= 0 || x < 0 || y < 0) return nullptr;
  Image img;
  if (!Allocate(img, width, height, 32)) return nullptr;

  // Blit into a top-down DIB of our own: the orientation of the caller's bitmap cannot be told
  // reliably (GetObject reports top-down DIB sections with a positive height).
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down, as the image rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) return nullptr;
  HDC mem = CreateCompatibleDC(dc);
  bool ok = false;
  if (mem != nullptr) {
    HGDIOBJ old = SelectObject(mem, dib);
    ok = BitBlt(mem, 0, 0, width, height, dc, x, y, SRCCOPY) != 0;
    GdiFlush();
    if (ok)
      for (int r = 0; r < height; ++r)
        std::memcpy(img.Row(r), static_cast<const uint8_t*>(bits) + static_cast<size_t>(r) * width * 4,
                    static_cast<size_t>(width) * 4);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  DeleteObject(dib);
  return ok ? Adopt(std::move(img)) : nullptr;
}

}  // namespace imgctl
