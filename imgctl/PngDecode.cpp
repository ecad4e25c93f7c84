#include "PngDecode.h"

#include "BlockCache.h"
#include "Inflate.h"

#include <cstring>
#include <new>
#include <memory>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imgctl {
namespace {

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

struct Span {
  const uint8_t* data;
  uint32_t size;
};

struct Header {
  int width = 0, height = 0, bytesPerPixel = 0;
  std::vector<Span> idat;
};

// The chunk list of a file this decoder takes, or false.
bool ReadChunks(const uint8_t* d, size_t n, Header& h) {
  if (n < 8 + 12 + 13 || Be32(d + 8) != 13 || std::memcmp(d + 12, "IHDR", 4) != 0) return false;
  const uint8_t* ihdr = d + 16;
  const uint32_t width = Be32(ihdr), height = Be32(ihdr + 4);
  const int depth = ihdr[8], colourType = ihdr[9];
  if (depth != 8 || (colourType != 2 && colourType != 6) || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0) {
    return false;
  }
  if (width == 0 || height == 0 || !SizeAllowed(width, height)) return false;
  h.width = static_cast<int>(width);
  h.height = static_cast<int>(height);
  h.bytesPerPixel = colourType == 6 ? 4 : 3;
  for (size_t at = 8 + 12 + 13; at + 12 <= n;) {
    const uint32_t len = Be32(d + at);
    if (len > n - at - 12) return false;
    const uint8_t* type = d + at + 4;
    if (std::memcmp(type, "IEND", 4) == 0) return !h.idat.empty();
    if (std::memcmp(type, "IDAT", 4) == 0) {
      if (len > 0) h.idat.push_back({d + at + 8, len});
    } else if ((type[0] & 0x20) == 0 || std::memcmp(type, "tRNS", 4) == 0) {
      return false;  // PLTE, another critical chunk or a transparent colour: the general decoder's
    }
    at += 12 + size_t{len};
  }
  return false;  // no IEND
}

// Unfilters one row in place. `cur` and `prev` point at pixel 0 of their rows, with at least 4
// readable bytes after each row's end; the first of them may be overwritten.
template <int Bpp>
bool Unfilter(int filter, uint8_t* cur, const uint8_t* prev, size_t rowBytes) {
  switch (filter) {
    case 0:
      return true;
    case 2:
      for (size_t i = 0; i < rowBytes; ++i) cur[i] = static_cast<uint8_t>(cur[i] + prev[i]);
      return true;
    case 1:
    case 3:
    case 4:
      break;
    default:
      return false;
  }
#if defined(__SSE2__)
  // A pixel per step in the low lanes of a vector; the step depends on the pixel before it.
  auto load = [](const uint8_t* p) {
    int v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
  };
  // Four bytes are stored per pixel, so each pixel's filtered bytes are loaded before the pixel
  // ahead of it is stored (which also keeps loads from waiting on the overlapping store).
  auto store = [](uint8_t* p, __m128i value) {
    const int v = _mm_cvtsi128_si32(value);
    std::memcpy(p, &v, 4);
  };
  const __m128i zero = _mm_setzero_si128();
  __m128i left = zero;
  __m128i raw = load(cur);
  if (filter == 1) {
    for (size_t i = 0; i < rowBytes; i += Bpp) {
      const __m128i next = load(cur + i + Bpp);
      left = _mm_add_epi8(raw, left);
      store(cur + i, left);
      raw = next;
    }
  } else if (filter == 3) {
    const __m128i one = _mm_set1_epi8(1);
    for (size_t i = 0; i < rowBytes; i += Bpp) {
      const __m128i next = load(cur + i + Bpp);
      const __m128i up = load(prev + i);
      // The mean rounded down: the rounded-up mean less the odd bit.
      const __m128i mean = _mm_sub_epi8(_mm_avg_epu8(left, up), _mm_and_si128(_mm_xor_si128(left, up), one));
      left = _mm_add_epi8(raw, mean);
      store(cur + i, left);
      raw = next;
    }
  } else {
    __m128i upLeft = zero;  // c
    __m128i left16 = zero;  // a
    for (size_t i = 0; i < rowBytes; i += Bpp) {
      const __m128i next = load(cur + i + Bpp);
      const __m128i up16 = _mm_unpacklo_epi8(load(prev + i), zero);  // b
      // p = a + b - c; pa = |p - a| = |b - c|, pb = |p - b| = |a - c|, pc = |p - c|.
      const __m128i bc = _mm_sub_epi16(up16, upLeft);
      const __m128i ac = _mm_sub_epi16(left16, upLeft);
      const __m128i abc = _mm_add_epi16(bc, ac);
      const __m128i pa = _mm_max_epi16(bc, _mm_sub_epi16(zero, bc));
      const __m128i pb = _mm_max_epi16(ac, _mm_sub_epi16(zero, ac));
      const __m128i pc = _mm_max_epi16(abc, _mm_sub_epi16(zero, abc));
      // a when pa <= pb and pa <= pc, else b when pb <= pc, else c.
      const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
      const __m128i notB = _mm_cmpgt_epi16(pb, pc);
      const __m128i bOrC = _mm_or_si128(_mm_andnot_si128(notB, up16), _mm_and_si128(notB, upLeft));
      const __m128i predictor = _mm_or_si128(_mm_andnot_si128(notA, left16), _mm_and_si128(notA, bOrC));
      const __m128i value = _mm_add_epi8(raw, _mm_packus_epi16(predictor, predictor));
      store(cur + i, value);
      left16 = _mm_unpacklo_epi8(value, zero);
      upLeft = up16;
      raw = next;
    }
  }
#else
  for (size_t i = 0; i < rowBytes; ++i) {
    const int a = i < Bpp ? 0 : cur[i - Bpp], b = prev[i], c = i < Bpp ? 0 : prev[i - Bpp];
    int predictor;
    if (filter == 1) {
      predictor = a;
    } else if (filter == 3) {
      predictor = (a + b) >> 1;
    } else {
      const int p = a + b - c, pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
      predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    cur[i] = static_cast<uint8_t>(cur[i] + predictor);
  }
#endif
  return true;
}

// One row of R,G,B(,A) to B,G,R,A; returns the AND of the row's alpha values. `src` has at least
// one readable byte behind its last pixel.
template <int Bpp>
uint8_t ToBgra(const uint8_t* src, int width, uint8_t* dst) {
  uint32_t alpha = 0xFFFFFFFFu;
  for (int x = 0; x < width; ++x, src += Bpp, dst += 4) {
    // Four bytes are read for three-byte pixels too (the row has slack behind it).
    uint32_t v;
    std::memcpy(&v, src, 4);
    if constexpr (Bpp == 3) v |= 0xFF000000u;
    alpha &= v;
    v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
    std::memcpy(dst, &v, 4);
  }
  return static_cast<uint8_t>(alpha >> 24);
}

struct BlockDeleter {
  void operator()(uint8_t* p) const { BlockFree(p); }
};
using Block = std::unique_ptr<uint8_t[], BlockDeleter>;

template <int Bpp>
bool DecodeRows(const Header& h, Image& img) {
  const size_t rowBytes = static_cast<size_t>(h.width) * Bpp;
  const size_t rawSize = (rowBytes + 1) * static_cast<size_t>(h.height);
  // The whole zlib stream in one piece, and the filtered rows, each behind its filter byte, with
  // slack for four-byte loads past the last row.
  std::vector<uint8_t> joined;
  const uint8_t* stream = h.idat[0].data;
  size_t streamSize = h.idat[0].size;
  if (h.idat.size() > 1) {
    for (const Span& s : h.idat) joined.insert(joined.end(), s.data, s.data + s.size);
    stream = joined.data();
    streamSize = joined.size();
  }
  Block raw(static_cast<uint8_t*>(BlockAllocate(rawSize + 8, false)));
  if (!raw) return false;
  if (!InflateExactly(stream, streamSize, raw.get(), rawSize)) return false;
  std::memset(raw.get() + rawSize, 0, 8);
  std::vector<uint8_t> zeroRow(rowBytes + 4, 0);
  const uint8_t* prev = zeroRow.data();
  uint8_t* row = raw.get();
  int filter = row[0];
  uint8_t alpha = 255;
  for (int y = 0; y < h.height; ++y, row += rowBytes + 1) {
    // Unfiltering may overwrite the byte after the row, the next row's filter byte: read it first.
    const int nextFilter = row[rowBytes + 1];
    uint8_t* cur = row + 1;
    if (!Unfilter<Bpp>(filter, cur, prev, rowBytes)) return false;
    alpha &= ToBgra<Bpp>(cur, h.width, img.Row(y));
    prev = cur;
    filter = nextFilter;
  }
  img.hasAlpha = alpha != 255;
  return true;
}

}  // namespace

bool DecodePngRows(const uint8_t* data, size_t size, Image& out) {
  try {
    Header h;
    if (data == nullptr || !ReadChunks(data, size, h)) return false;
    Image img;
    if (!Allocate(img, h.width, h.height, 32)) return false;
    if (!(h.bytesPerPixel == 4 ? DecodeRows<4>(h, img) : DecodeRows<3>(h, img))) return false;
    out = std::move(img);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imgctl
