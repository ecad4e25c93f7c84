#include "ScreenCopy.h"

#include <cstring>

#include "Library.h"

namespace imgctl {

namespace {

// Copies rows from a 32-bit DIB's bits (bottom-up when height > 0).
void CopyRows(const DIBSECTION& ds, int x, int y, Image& img) {
  const BITMAP& bm = ds.dsBm;
  for (int r = 0; r < img.height; ++r) {
    int srcRow = ds.dsBmih.biHeight > 0 ? bm.bmHeight - 1 - (y + r) : y + r;
    const uint8_t* s = static_cast<const uint8_t*>(bm.bmBits) +
                       static_cast<size_t>(srcRow) * static_cast<size_t>(bm.bmWidthBytes) +
                       static_cast<size_t>(x) * 4;
    std::memcpy(img.Row(r), s, static_cast<size_t>(img.width) * 4);
  }
}

}  // namespace

Image* CopyFromDC(HDC dc, int x, int y, int width, int height) {
  if (dc == nullptr || width <= 0 || height <= 0 || x < 0 || y < 0) return nullptr;
  Image img;
  if (!Allocate(img, width, height, 32)) return nullptr;

  // The usual caller selects a 32-bit DIB section: read its bits directly.
  HGDIOBJ bmp = GetCurrentObject(dc, OBJ_BITMAP);
  DIBSECTION ds{};
  if (bmp && GetObjectW(bmp, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits &&
      ds.dsBm.bmBitsPixel == 32 && ds.dsBmih.biCompression == BI_RGB &&
      int64_t{x} + width <= ds.dsBm.bmWidth && int64_t{y} + height <= ds.dsBm.bmHeight) {
    GdiFlush();
    CopyRows(ds, x, y, img);
    return Adopt(std::move(img));
  }

  // Otherwise blit into a DIB section of our own.
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
