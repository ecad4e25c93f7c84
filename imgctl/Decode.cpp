#include "Decode.h"

#include "BlockCache.h"
#include "BmpDecode.h"
#include "Inflate.h"
#include "PngDecode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_BMP  // BmpDecode.cpp reads BMP files
#define STBI_NO_PSD
#define STBI_NO_TGA
#define STBI_NO_PIC
#define STBI_NO_PNM
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 65535
// Zeroed allocations: the decoder reads tables a broken file never defined, which must not be
// left-over heap contents.
#define STBI_MALLOC(sz) imgctl::BlockAllocate((sz), true)
#define STBI_REALLOC(p, newsz) imgctl::BlockReallocate((p), (newsz))
#define STBI_FREE(p) imgctl::BlockFree(p)
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

// Huffman tables of a JPEG file each define at most 256 codes. The decoder stores a table's code
// lengths in a fixed array of 257 bytes without checking, so a file declaring more is refused
// before it reaches it.
// Every scan must also use only Huffman tables the file defined before it.
bool JpegTablesSane(const uint8_t* d, size_t n) {
  bool progressive = false;
  unsigned defined[2] = {0, 0};  // bit t: DC (0) or AC (1) table t defined
  size_t i = 2;  // after SOI
  while (i + 1 < n) {
    if (d[i] != 0xFF) {
      ++i;  // entropy-coded data or padding
      continue;
    }
    uint8_t m = d[i + 1];
    if (m == 0xFF) {
      ++i;  // fill byte
      continue;
    }
    if (m == 0x00 || (m >= 0xD0 && m <= 0xD7) || m == 0x01) {
      i += 2;  // stuffed byte, restart marker, TEM: no length
      continue;
    }
    if (m == 0xD9) return true;  // EOI
    if (i + 4 > n) return true;
    size_t len = (size_t{d[i + 2]} << 8) | d[i + 3];
    size_t end = std::min(n, i + 2 + len);
    if (m == 0xC4) {
      // The decoder reads a table's 16 counts even past the segment's end, and as 0 past the
      // file's end: count the same bytes.
      size_t t = i + 4;
      while (t < end) {
        unsigned count = 0;
        for (size_t k = t + 1; k < std::min(n, t + 17); ++k) count += d[k];
        if (count > 256) return false;
        defined[(d[t] >> 4) & 1] |= 1u << (d[t] & 3);
        t += 17 + count;
      }
    }
    if (m == 0xC2 || m == 0xC6 || m == 0xCA) progressive = true;
    if (m == 0xDA && i + 5 <= n) {
      size_t count = d[i + 4], at = i + 5;
      size_t specEnd = at + 2 * count;  // then Ss, Se, Ah/Al
      if (specEnd + 3 <= n) {
        int ss = d[specEnd], ah = d[specEnd + 2] >> 4;
        bool needDc = !progressive || (ss == 0 && ah == 0);
        bool needAc = !progressive || ss != 0;
        for (size_t c = 0; c < count; ++c) {
          uint8_t tables = d[at + 2 * c + 1];
          if (needDc && !(defined[0] & (1u << ((tables >> 4) & 3)))) return false;
          if (needAc && !(defined[1] & (1u << (tables & 3)))) return false;
        }
      }
    }
    i += 2 + std::max<size_t>(len, 2);
  }
  return true;
}

// Two shapes of PNG the decoder handles badly: it copies an empty IDAT chunk (legal) to a null
// buffer, and it reserves the declared length of an IDAT chunk before finding the file too short
// for it, so a tiny file could ask for gigabytes. False for the second (such a file could never
// decode); for the first, `cleaned` receives a copy without the empty chunks.
bool PngPrecheck(const uint8_t* d, size_t n, std::vector<uint8_t>& cleaned) {
  auto be32 = [d](size_t at) {
    return (uint32_t{d[at]} << 24) | (uint32_t{d[at + 1]} << 16) | (uint32_t{d[at + 2]} << 8) | d[at + 3];
  };
  auto isIdat = [d](size_t at) { return std::memcmp(d + at + 4, "IDAT", 4) == 0; };
  bool empty = false;
  for (size_t at = 8; at + 8 <= n;) {
    uint32_t len = be32(at);
    if (isIdat(at) && len > n - at - 8) return false;
    if (len == 0 && isIdat(at)) empty = true;
    if (len > n - at - 8 || n - at - 8 - len < 4) break;
    at += 12 + size_t{len};
  }
  if (!empty) return true;
  cleaned.assign(d, d + 8);
  size_t at = 8;
  while (at + 12 <= n) {
    uint32_t len = be32(at);
    size_t next = len > n - at - 12 ? n : at + 12 + len;
    if (!(len == 0 && isIdat(at))) cleaned.insert(cleaned.end(), d + at, d + next);
    at = next;
  }
  cleaned.insert(cleaned.end(), d + at, d + n);
  return true;
}

struct StbPixels {
  stbi_uc* p = nullptr;
  ~StbPixels() { stbi_image_free(p); }
};

}  // namespace

bool InflateExactly(const uint8_t* in, size_t inSize, uint8_t* out, size_t size) {
  constexpr size_t kMax = 0x7fffffff;
  if (inSize > kMax || size > kMax) return false;
  const int n = stbi_zlib_decode_buffer(reinterpret_cast<char*>(out), static_cast<int>(size),
                                        reinterpret_cast<const char*>(in), static_cast<int>(inSize));
  return n >= 0 && static_cast<size_t>(n) == size;
}

bool Decode(const uint8_t* data, size_t size, Image& out, Format expect) {
  if (data == nullptr || size == 0 || size > 0x7fffffff) return false;
  Format f = Sniff(data, size);
  if (f == Format::Unknown || (expect != Format::Unknown && f != expect)) return false;
  if (f == Format::Bmp) {
    try {
      return DecodeBmp(data, size, out);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  if (f == Format::Jpeg && !JpegTablesSane(data, size)) return false;
  std::vector<uint8_t> cleaned;
  if (f == Format::Png) {
    try {
      if (!PngPrecheck(data, size, cleaned)) return false;
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (!cleaned.empty()) {
      data = cleaned.data();
      size = cleaned.size();
    }
  }
  // Screenshots (8-bit RGB or RGBA) take the row decoder; every other file, and any file it finds
  // fault with, the general one.
  if (f == Format::Png && DecodePngRows(data, size, out)) return true;
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
