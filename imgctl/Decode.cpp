#include "Decode.h"

#include <cstring>
#include <new>

#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_PSD
#define STBI_NO_TGA
#define STBI_NO_PIC
#define STBI_NO_PNM
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 65535
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace imgctl {

Format Sniff(const uint8_t* d, size_t n) {
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return Format::Bmp;
  if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return Format::Jpeg;
  if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0))
    return Format::Gif;
  if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return Format::Png;
  return Format::Unknown;
}

namespace {

struct StbPixels {
  stbi_uc* p = nullptr;
  ~StbPixels() { stbi_image_free(p); }
};

}  // namespace

bool Decode(const uint8_t* data, size_t size, Image& out, Format expect) {
  if (data == nullptr || size == 0 || size > 0x7fffffff) return false;
  Format f = Sniff(data, size);
  if (f == Format::Unknown || (expect != Format::Unknown && f != expect)) return false;
  int len = static_cast<int>(size);
  int w = 0, h = 0, comp = 0;
  // The header first, so an absurd size is refused before anything is allocated.
  if (!stbi_info_from_memory(data, len, &w, &h, &comp)) return false;
  if (!SizeAllowed(w, h)) return false;

  StbPixels px;
  try {
    px.p = stbi_load_from_memory(data, len, &w, &h, &comp, 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (px.p == nullptr || !SizeAllowed(w, h)) return false;

  Image img;
  if (!Allocate(img, w, h, 32)) return false;
  bool alpha = false;
  for (int y = 0; y < h; ++y) {
    const stbi_uc* s = px.p + static_cast<size_t>(y) * static_cast<size_t>(w) * 4;
    uint8_t* d = img.Row(y);
    for (int x = 0; x < w; ++x, s += 4, d += 4) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      d[3] = s[3];
      alpha |= s[3] != 255;
    }
  }
  img.hasAlpha = alpha;
  out = std::move(img);
  return true;
}

}  // namespace imgctl
