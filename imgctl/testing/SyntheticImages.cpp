#include "SyntheticImages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace imgctl::testing {

namespace {

struct Rng {
  uint32_t s;
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }
};

void Put(Image& img, int x, int y, Bgra c) {
  if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
  uint8_t* p = img.Row(y) + static_cast<size_t>(x) * 4;
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
  p[3] = 0;  // undefined alpha byte of a screen copy
}

void Fill(Image& img, int x0, int y0, int w, int h, Bgra c) {
  for (int y = std::max(0, y0); y < std::min(img.height, y0 + h); ++y)
    for (int x = std::max(0, x0); x < std::min(img.width, x0 + w); ++x) Put(img, x, y, c);
}

Bgra Rgb(int r, int g, int b) {
  return Bgra{static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r), 255};
}

// Lines of glyph-like marks in the text colour and three blends towards the background.
void Text(Image& img, Rng& rng, int x0, int y0, int w, int h, Bgra fg, Bgra bg) {
  Bgra shade[4];
  for (int i = 0; i < 4; ++i) {
    auto mix = [&](uint8_t a, uint8_t b) { return static_cast<uint8_t>((a * (4 - i) + b * i) / 4); };
    shade[i] = Bgra{mix(fg.b, bg.b), mix(fg.g, bg.g), mix(fg.r, bg.r), 255};
  }
  for (int ly = y0 + 4; ly + 14 < y0 + h; ly += 18) {
    int x = x0 + 6, end = x0 + 6 + rng.Range(w / 3, std::max(w / 3, w - 12));
    while (x + 8 < end) {
      int gw = rng.Range(4, 8);
      uint32_t bits = rng.Next();
      for (int gy = 0; gy < 11; ++gy)
        for (int gx = 0; gx < gw; ++gx) {
          uint32_t b = (bits >> ((gx + gy * 3) % 29)) & 7;
          if (b < 4) Put(img, x + gx, ly + gy, shade[b]);
        }
      x += gw + 1;
      if (rng.Range(0, 6) == 0) x += 5;  // word gap
    }
  }
}

}  // namespace

Image Screenshot(int width, int height) {
  Image img;
  Allocate(img, width, height, 32);
  Rng rng{12345u};
  Fill(img, 0, 0, width, height, Rgb(0, 99, 177));
  Fill(img, 0, height - 40, width, 40, Rgb(32, 32, 32));  // task bar
  for (int i = 0; i < 12; ++i) Fill(img, 8 + i * 48, height - 34, 28, 28, Rgb(60 + i * 12, 120, 200 - i * 10));
  const Bgra titles[3] = {Rgb(255, 255, 255), Rgb(243, 243, 243), Rgb(30, 30, 30)};
  int windows = std::max(2, width / 500);
  for (int wdx = 0; wdx < windows; ++wdx) {
    int ww = rng.Range(width / 3, width * 2 / 3), wh = rng.Range(height / 3, height * 2 / 3);
    int wx = rng.Range(0, width - ww), wy = rng.Range(0, height - 40 - wh);
    Bgra title = titles[wdx % 3];
    Bgra body = wdx % 3 == 2 ? Rgb(37, 37, 38) : Rgb(255, 255, 255);
    Bgra ink = wdx % 3 == 2 ? Rgb(212, 212, 212) : Rgb(0, 0, 0);
    Fill(img, wx - 1, wy - 1, ww + 2, wh + 2, Rgb(120, 120, 120));
    Fill(img, wx, wy, ww, 32, title);
    Text(img, rng, wx + 8, wy + 6, std::min(ww / 2, 300), 22, ink, title);
    Fill(img, wx, wy + 32, ww, 36, wdx % 3 == 2 ? Rgb(51, 51, 55) : Rgb(245, 246, 247));
    for (int b = 0; b < ww / 40 - 1; ++b) Fill(img, wx + 8 + b * 40, wy + 38, 24, 24, Rgb(0, 120 + b % 4 * 20, 215));
    Fill(img, wx, wy + 68, ww, wh - 68, body);
    Text(img, rng, wx + 10, wy + 76, ww - 20, wh - 84, ink, body);
  }
  return img;
}

Image RichScreenshot(int width, int height) {
  Image img = Screenshot(width, height);
  // A gradient desktop strip and a photo inset.
  for (int y = 0; y < height / 4; ++y)
    for (int x = 0; x < width; ++x)
      Put(img, x, y, Rgb(x * 255 / width, y * 255 / std::max(1, height / 4), 160));
  Image photo = Photo(width / 3, height / 3);
  for (int y = 0; y < photo.height; ++y)
    for (int x = 0; x < photo.width; ++x) {
      const uint8_t* p = photo.Row(y) + static_cast<size_t>(x) * 3;
      Put(img, width / 2 + x, height / 2 + y - photo.height / 2, Bgra{p[0], p[1], p[2], 255});
    }
  return img;
}

Image Photo(int width, int height) {
  Image img;
  Allocate(img, width, height, 24);
  Rng rng{987654321u};
  for (int y = 0; y < height; ++y) {
    uint8_t* row = img.Row(y);
    for (int x = 0; x < width; ++x) {
      double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
      double r = 120 + 80 * std::sin(6.1 * u + 1.3 * v) + 30 * std::sin(17 * u * v + 2);
      double g = 110 + 70 * std::sin(4.3 * v + 2.1 * u + 1) + 25 * std::cos(13 * u);
      double b = 100 + 90 * std::cos(3.7 * u - 2.9 * v) + 20 * std::sin(21 * v);
      int n = static_cast<int>(rng.Next() % 13) - 6;
      row[3 * x] = static_cast<uint8_t>(std::clamp(static_cast<int>(b) + n, 0, 255));
      row[3 * x + 1] = static_cast<uint8_t>(std::clamp(static_cast<int>(g) + n, 0, 255));
      row[3 * x + 2] = static_cast<uint8_t>(std::clamp(static_cast<int>(r) + n, 0, 255));
    }
  }
  return img;
}

Image Pattern(int width, int height, int bpp, bool alpha) {
  Image img;
  Allocate(img, width, height, bpp);
  img.hasAlpha = bpp == 32 && alpha;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = img.Row(y);
    for (int x = 0; x < width; ++x) {
      uint8_t b = static_cast<uint8_t>(x * 7 + y), g = static_cast<uint8_t>(y * 5 + x / 3),
              r = static_cast<uint8_t>((x ^ y) * 3), a = static_cast<uint8_t>(alpha ? (x * 11 + y * 3) : 255);
      switch (bpp) {
        case 32:
          row[4 * x] = b, row[4 * x + 1] = g, row[4 * x + 2] = r, row[4 * x + 3] = a;
          break;
        case 24:
          row[3 * x] = b, row[3 * x + 1] = g, row[3 * x + 2] = r;
          break;
        case 16: {
          uint16_t v = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
          row[2 * x] = static_cast<uint8_t>(v), row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
          break;
        }
        default:
          row[x] = static_cast<uint8_t>((x / 3 + y / 5) % 200);
      }
    }
  }
  if (bpp == 8)
    for (int i = 0; i < 200; ++i)
      img.palette.push_back(Bgra{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                 static_cast<uint8_t>(i * 7), 255});
  return img;
}

}  // namespace imgctl::testing
