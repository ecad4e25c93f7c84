#include "PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Deflate.h"
#include "Quantize.h"

namespace imgctl {

namespace {

void Put32(std::vector<uint8_t>& o, uint32_t v) {
  o.push_back(static_cast<uint8_t>(v >> 24));
  o.push_back(static_cast<uint8_t>(v >> 16));
  o.push_back(static_cast<uint8_t>(v >> 8));
  o.push_back(static_cast<uint8_t>(v));
}

void Chunk(std::vector<uint8_t>& o, const char* type, const uint8_t* data, size_t n) {
  Put32(o, static_cast<uint32_t>(n));
  size_t at = o.size();
  o.insert(o.end(), type, type + 4);
  if (n) o.insert(o.end(), data, data + n);
  uLong crc = crc32(0, o.data() + at, static_cast<uInt>(n + 4));
  Put32(o, static_cast<uint32_t>(crc));
}

struct Pass {
  int x0, y0, dx, dy;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass kWhole = {0, 0, 1, 1};

int PassSize(int full, int start, int step) { return full > start ? (full - start + step - 1) / step : 0; }

constexpr size_t kIdatBytes = size_t{1} << 18;

// Sum of the residuals of a filtered row read as signed bytes: the usual estimate of how well
// the row will compress.
uint64_t Cost(const uint8_t* p, size_t n) {
  uint64_t s = 0;
  for (size_t i = 0; i < n; ++i) {
    int v = static_cast<int8_t>(p[i]);
    s += static_cast<uint64_t>(v < 0 ? -v : v);
  }
  return s;
}

size_t CountZeros(const uint8_t* p, size_t n) {
  size_t z = 0;
  for (size_t i = 0; i < n; ++i) z += p[i] == 0;
  return z;
}

// The five filters of one byte position, the way PNG defines them.
inline void FilterByte(const uint8_t* raw, const uint8_t* up, size_t i, size_t bpp, uint8_t* const f[5]) {
  // Left neighbours of the first pixel lie in the rows' zeroed margin.
  const uint8_t* left = raw + i;
  const uint8_t* upLeft = up + i;
  int x = raw[i], av = *(left - bpp), bv = up[i], cv = *(upLeft - bpp);
  f[0][i] = static_cast<uint8_t>(x);
  f[1][i] = static_cast<uint8_t>(x - av);
  f[2][i] = static_cast<uint8_t>(x - bv);
  f[3][i] = static_cast<uint8_t>(x - ((av + bv) >> 1));
  int pa = bv - cv, pb = av - cv, pc = pa + pb;
  pa = pa < 0 ? -pa : pa;
  pb = pb < 0 ? -pb : pb;
  pc = pc < 0 ? -pc : pc;
  int pred = (pa <= pb && pa <= pc) ? av : (pb <= pc ? bv : cv);
  f[4][i] = static_cast<uint8_t>(x - pred);
}

#if defined(__SSE2__)
inline __m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

// Paeth's predictor for eight pixels' bytes in 16-bit lanes.
inline __m128i Paeth16(__m128i a, __m128i b, __m128i c) {
  __m128i pa = _mm_sub_epi16(b, c), pb = _mm_sub_epi16(a, c);
  __m128i pc = Abs16(_mm_add_epi16(pa, pb));
  pa = Abs16(pa);
  pb = Abs16(pb);
  __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
  __m128i notB = _mm_cmpgt_epi16(pb, pc);
  __m128i bc = _mm_or_si128(_mm_and_si128(notB, c), _mm_andnot_si128(notB, b));
  return _mm_or_si128(_mm_and_si128(notA, bc), _mm_andnot_si128(notA, a));
}

// |residual| as a signed byte, summed: min(v, 256 - v) per byte, then byte sums.
inline __m128i CostSum(__m128i acc, __m128i f) {
  __m128i m = _mm_min_epu8(f, _mm_sub_epi8(_mm_setzero_si128(), f));
  return _mm_add_epi64(acc, _mm_sad_epu8(m, _mm_setzero_si128()));
}
#endif

// Chooses for each row the filter with the smallest cost, computing all five filters and their
// costs in one pass. Rows live after a zeroed margin so the first pixel needs no special case.
class RowFilter {
 public:
  static constexpr size_t kMargin = 16;
  RowFilter(size_t rowBytes, int bpp)
      : n_(rowBytes), bpp_(static_cast<size_t>(bpp)), cur_(rowBytes + kMargin), prev_(rowBytes + kMargin), out_(5) {
    for (auto& o : out_) o.resize(rowBytes + 1);
  }
  // Where the caller puts the next raw row.
  uint8_t* Row() { return cur_.data() + kMargin; }
  // Filters Row() against the previous row; returns the filtered row (filter byte first).
  const std::vector<uint8_t>& Filter() {
    const uint8_t* raw = cur_.data() + kMargin;
    const uint8_t* up = prev_.data() + kMargin;
    const size_t n = n_, bpp = bpp_;
    uint8_t* f[5];
    for (int k = 0; k < 5; ++k) {
      f[k] = out_[static_cast<size_t>(k)].data() + 1;
      out_[static_cast<size_t>(k)][0] = static_cast<uint8_t>(k);
    }
    uint64_t cost[5] = {};
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1);
    __m128i acc[5] = {zero, zero, zero, zero, zero};
    for (; i + 16 <= n; i += 16) {
      __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + i));
      __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + i - bpp));
      __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + i));
      __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + i - bpp));
      __m128i avg = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
      __m128i pred = _mm_packus_epi16(
          Paeth16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero)),
          Paeth16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero)));
      const __m128i r[5] = {x, _mm_sub_epi8(x, a), _mm_sub_epi8(x, b), _mm_sub_epi8(x, avg), _mm_sub_epi8(x, pred)};
      for (int k = 0; k < 5; ++k) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(f[k] + i), r[k]);
        acc[k] = CostSum(acc[k], r[k]);
      }
    }
    for (int k = 0; k < 5; ++k) {
      alignas(16) uint64_t lanes[2];
      _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc[k]);
      cost[k] = lanes[0] + lanes[1];
    }
#endif
    const size_t tail = i;
    for (; i < n; ++i) FilterByte(raw, up, i, bpp, f);
    for (int k = 0; k < 5; ++k) cost[k] += Cost(f[k] + tail, n - tail);
    int choice = 0;
    for (int k = 1; k < 5; ++k)
      if (cost[k] < cost[choice]) choice = k;
    cur_.swap(prev_);
    return out_[static_cast<size_t>(choice)];
  }

 private:
  size_t n_;
  size_t bpp_;
  std::vector<uint8_t> cur_, prev_;
  std::vector<std::vector<uint8_t>> out_;
};

// Pixels x0, x0 + dx, ... of row y as R, G, B (and A).
void RgbRow(const Image& img, int y, int x0, int dx, int n, bool alpha, uint8_t* r) {
  const uint8_t* s = img.Row(y);
  if ((img.bpp == 32 || img.bpp == 24) && dx == 1 && x0 == 0) {
    const size_t sb = static_cast<size_t>(img.bpp / 8);
    if (alpha) {
      for (int i = 0; i < n; ++i, s += 4, r += 4) r[0] = s[2], r[1] = s[1], r[2] = s[0], r[3] = s[3];
    } else {
      int i = 0;
      if (sb == 4) {
#if defined(__SSE2__)
        // Four pixels at a time: R and B swapped in each 32-bit lane, then each 64-bit lane's two
        // pixels closed up to six bytes. The second store writes two bytes past the group, so
        // the loop stops while a pixel is left to overwrite them.
        const __m128i byte0 = _mm_set1_epi32(0xff), byte1 = _mm_set1_epi32(0xff00);
        const __m128i low3 = _mm_set_epi32(0, 0xffffff, 0, 0xffffff);
        for (; i + 4 < n; i += 4, s += 16, r += 12) {
          const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
          const __m128i rgb = _mm_or_si128(_mm_or_si128(_mm_and_si128(v, byte1), _mm_slli_epi32(_mm_and_si128(v, byte0), 16)),
                                           _mm_and_si128(_mm_srli_epi32(v, 16), byte0));
          const __m128i packed = _mm_or_si128(_mm_and_si128(rgb, low3), _mm_slli_epi64(_mm_srli_epi64(rgb, 32), 24));
          _mm_storel_epi64(reinterpret_cast<__m128i*>(r), packed);
          _mm_storel_epi64(reinterpret_cast<__m128i*>(r + 6), _mm_unpackhi_epi64(packed, packed));
        }
#else
        // Four pixels at a time: byte-swapped B,G,R,X words shifted down are R,G,B in memory order.
        for (; i + 4 <= n; i += 4, s += 16, r += 12) {
          uint32_t p[4];
          std::memcpy(p, s, 16);
          for (uint32_t& v : p) v = ((v & 0xff) << 16) | (v & 0xff00) | ((v >> 16) & 0xff);  // 0x00BBGGRR
          const uint32_t w[3] = {p[0] | p[1] << 24, p[1] >> 8 | p[2] << 16, p[2] >> 16 | p[3] << 8};
          for (int k = 0; k < 3; ++k) {
            r[4 * k] = static_cast<uint8_t>(w[k]);
            r[4 * k + 1] = static_cast<uint8_t>(w[k] >> 8);
            r[4 * k + 2] = static_cast<uint8_t>(w[k] >> 16);
            r[4 * k + 3] = static_cast<uint8_t>(w[k] >> 24);
          }
        }
#endif
      }
      for (; i < n; ++i, s += sb, r += 3) r[0] = s[2], r[1] = s[1], r[2] = s[0];
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    Bgra c = PixelAt(img, s, x0 + i * dx);
    *r++ = c.r;
    *r++ = c.g;
    *r++ = c.b;
    if (alpha) *r++ = c.a;
  }
}

}  // namespace

bool EncodePng(const Image& img, bool interlace, std::vector<uint8_t>& out) {
  if (img.width <= 0 || img.height <= 0) return false;
  try {
    // Choose the form: palette indices, RGB or RGBA.
    std::vector<Bgra> palette;
    std::vector<uint8_t> indices;  // width bytes per row when paletted
    bool paletted = false;
    if (img.bpp == 8) {
      if (img.palette.empty()) return false;
      palette = img.palette;
      indices.resize(static_cast<size_t>(img.width) * static_cast<size_t>(img.height));
      for (int y = 0; y < img.height; ++y)
        std::memcpy(&indices[static_cast<size_t>(y) * static_cast<size_t>(img.width)], img.Row(y),
                    static_cast<size_t>(img.width));
      paletted = true;
    } else {
      paletted = IndexExact(img, palette, indices);
    }
    bool alpha = false;
    if (!paletted && img.bpp == 32 && img.hasAlpha) {
      for (int y = 0; y < img.height && !alpha; ++y) {
        const uint8_t* r = img.Row(y);
        for (int x = 0; x < img.width; ++x)
          if (r[4 * x + 3] != 255) {
            alpha = true;
            break;
          }
      }
    }
    int bitDepth = 8;
    if (paletted) {
      size_t n = palette.size();
      bitDepth = n <= 2 ? 1 : n <= 4 ? 2 : n <= 16 ? 4 : 8;
    }
    int channels = paletted ? 1 : alpha ? 4 : 3;
    int colourType = paletted ? 3 : alpha ? 6 : 2;

    static const uint8_t kSig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    out.insert(out.end(), kSig, kSig + 8);
    std::vector<uint8_t> ihdr;
    Put32(ihdr, static_cast<uint32_t>(img.width));
    Put32(ihdr, static_cast<uint32_t>(img.height));
    ihdr.push_back(static_cast<uint8_t>(bitDepth));
    ihdr.push_back(static_cast<uint8_t>(colourType));
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(interlace ? 1 : 0);
    Chunk(out, "IHDR", ihdr.data(), ihdr.size());
    if (paletted) {
      std::vector<uint8_t> plte, trns;
      size_t lastOpaque = 0;
      for (size_t i = 0; i < palette.size(); ++i) {
        plte.push_back(palette[i].r);
        plte.push_back(palette[i].g);
        plte.push_back(palette[i].b);
        trns.push_back(palette[i].a);
        if (palette[i].a != 255) lastOpaque = i + 1;
      }
      Chunk(out, "PLTE", plte.data(), plte.size());
      if (lastOpaque) Chunk(out, "tRNS", trns.data(), lastOpaque);
    }

    size_t fullRow = (static_cast<size_t>(img.width) * static_cast<size_t>(channels * bitDepth) + 7) / 8;

    // Match effort by content, from the share of zero residuals in a sample of filtered rows.
    // Screen content (flat areas, text, gradients) is mostly zeros and long repeats, which a
    // deeper search with lazy matching finds cheaply; photographic residuals rarely repeat, and a
    // short greedy search keeps nearly all of the gain for a fraction of the time. Whether a
    // short match pays is decided by the deflate coder from its own statistics.
    DeflateEffort effort;
    if (paletted) {
      // Screens (few colours, long runs and repeated rows) repay a deep search; dithered
      // photographs rarely repeat and only pay for its time.
      uint64_t same = 0, sampled = 0;
      for (int y = 0; y < img.height; y += 16) {
        const uint8_t* row = &indices[static_cast<size_t>(y) * static_cast<size_t>(img.width)];
        for (int x = 1; x < img.width; ++x) same += row[x] == row[x - 1];
        sampled += static_cast<uint64_t>(img.width);
      }
      const bool runs = same * 2 >= sampled;
      effort.chain = runs ? 64 : 16;
      effort.lazy = runs ? 64 : 16;
      effort.nice = 258;
    } else {
      double zeroShare = 0.7;  // interlaced passes: take the middle way
      if (!interlace) {
        RowFilter probe(fullRow, channels);
        uint64_t zeros = 0, sampled = 0;
        for (int y = 0; y < img.height; y += 16) {
          if (y > 0) {
            RgbRow(img, y - 1, 0, 1, img.width, alpha, probe.Row());
            probe.Filter();
          }
          RgbRow(img, y, 0, 1, img.width, alpha, probe.Row());
          zeros += CountZeros(probe.Filter().data() + 1, fullRow);
          sampled += fullRow;
        }
        zeroShare = static_cast<double>(zeros) / static_cast<double>(std::max<uint64_t>(sampled, 1));
      }
      if (zeroShare >= 0.75) {
        effort.chain = 12;
        effort.lazy = 16;
      } else if (zeroShare >= 0.65) {
        effort.chain = 8;
        effort.lazy = 16;
      } else {
        effort.chain = 4;
        effort.lazy = 0;
      }
    }

    // Palette rows are not filtered, so a repeated row is a match at exactly one row's distance;
    // filtered RGB rows turn it into zeros instead.
    if (!interlace && paletted) effort.rowDistance = static_cast<int>(std::min<size_t>(fullRow + 1, 1u << 16));
    // Filtered rows go to the deflate coder about 1 MiB at a time, so memory stays small beside
    // the image whatever its size.
    const Pass* passes = interlace ? kAdam7 : &kWhole;
    int passCount = interlace ? 7 : 1;
    int lastPass = -1;
    for (int p = 0; p < passCount; ++p)
      if (PassSize(img.width, passes[p].x0, passes[p].dx) && PassSize(img.height, passes[p].y0, passes[p].dy))
        lastPass = p;
    if (lastPass < 0) return false;
    std::vector<uint8_t> z;
    DeflateStream stream(effort, z);
    for (int p = 0; p <= lastPass; ++p) {
      const Pass& ps = passes[p];
      int pw = PassSize(img.width, ps.x0, ps.dx), ph = PassSize(img.height, ps.y0, ps.dy);
      if (pw == 0 || ph == 0) continue;
      size_t rowBytes = (static_cast<size_t>(pw) * static_cast<size_t>(channels * bitDepth) + 7) / 8;
      RowFilter passFilter(rowBytes, std::max(1, channels * bitDepth / 8));
      const int sliceRows = static_cast<int>(std::max<size_t>(1, (size_t{1} << 20) / (rowBytes + 1)));
      for (int j0 = 0; j0 < ph; j0 += sliceRows) {
        const int rows = std::min(sliceRows, ph - j0);
        uint8_t* at = stream.Space(static_cast<size_t>(rows) * (rowBytes + 1));
        for (int j = j0; j < j0 + rows; ++j, at += rowBytes + 1) {
          int y = ps.y0 + j * ps.dy;
          if (paletted) {
            // No filter: palette indices are not quantities that predict each other.
            at[0] = 0;
            uint8_t* r = at + 1;
            const uint8_t* src = &indices[static_cast<size_t>(y) * static_cast<size_t>(img.width)];
            if (bitDepth == 8) {
              for (int i = 0; i < pw; ++i) r[i] = src[ps.x0 + i * ps.dx];
            } else {
              std::memset(r, 0, rowBytes);
              int perByte = 8 / bitDepth;
              for (int i = 0; i < pw; ++i) {
                int shift = 8 - bitDepth * (i % perByte + 1);
                r[i / perByte] |= static_cast<uint8_t>(src[ps.x0 + i * ps.dx] << shift);
              }
            }
          } else {
            RgbRow(img, y, ps.x0, ps.dx, pw, alpha, passFilter.Row());
            const std::vector<uint8_t>& f = passFilter.Filter();
            std::memcpy(at, f.data(), rowBytes + 1);
          }
        }
        stream.Commit(static_cast<size_t>(rows) * (rowBytes + 1), p == lastPass && j0 + rows >= ph);
      }
    }
    for (size_t i = 0; i < z.size(); i += kIdatBytes)
      Chunk(out, "IDAT", z.data() + i, std::min(kIdatBytes, z.size() - i));
    Chunk(out, "IEND", nullptr, 0);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imgctl
