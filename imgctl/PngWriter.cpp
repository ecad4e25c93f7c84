#include "PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

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

// Streams filtered rows through deflate into IDAT chunks of at most 256 KiB.
class IdatWriter {
 public:
  IdatWriter(std::vector<uint8_t>& out, int level, int strategy) : out_(out), buf_(1 << 18) {
    ok_ = deflateInit2(&z_, level, Z_DEFLATED, 15, 9, strategy) == Z_OK;
  }
  ~IdatWriter() {
    if (ok_) deflateEnd(&z_);
  }
  bool ok() const { return ok_; }
  bool Write(const uint8_t* data, size_t n, bool last) {
    z_.next_in = const_cast<Bytef*>(data);
    z_.avail_in = static_cast<uInt>(n);
    int flush = last ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
      if (z_.avail_out == 0) {
        z_.next_out = buf_.data();
        z_.avail_out = static_cast<uInt>(buf_.size());
      }
      int r = deflate(&z_, flush);
      if (r == Z_STREAM_ERROR) return false;
      if (z_.avail_out == 0) Emit(buf_.size());
      if (last ? r == Z_STREAM_END : (z_.avail_in == 0 && z_.avail_out != 0)) break;
    }
    if (last) Emit(buf_.size() - z_.avail_out);
    return true;
  }

 private:
  void Emit(size_t n) {
    if (n) Chunk(out_, "IDAT", buf_.data(), n);
    z_.next_out = buf_.data();
    z_.avail_out = static_cast<uInt>(buf_.size());
  }
  std::vector<uint8_t>& out_;
  std::vector<uint8_t> buf_;
  z_stream z_{};
  bool ok_ = false;
};

inline uint8_t Paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

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

// Chooses for each row the filter with the smallest cost. Each filter is its own simple loop so
// that the compiler can vectorise it.
class RowFilter {
 public:
  RowFilter(size_t rowBytes, int bpp) : n_(rowBytes), bpp_(static_cast<size_t>(bpp)), prev_(rowBytes), out_(5) {
    for (auto& o : out_) o.resize(rowBytes + 1);
  }
  // Returns the filtered row (filter byte first); `raw` becomes the previous row.
  const std::vector<uint8_t>& Filter(const uint8_t* raw) {
    const uint8_t* up = prev_.data();
    const size_t n = n_, b = std::min(bpp_, n);
    uint8_t* f[5];
    for (int i = 0; i < 5; ++i) {
      f[i] = out_[static_cast<size_t>(i)].data() + 1;
      out_[static_cast<size_t>(i)][0] = static_cast<uint8_t>(i);
    }
    std::memcpy(f[0], raw, n);
    for (size_t i = 0; i < b; ++i) {
      f[1][i] = raw[i];
      f[2][i] = static_cast<uint8_t>(raw[i] - up[i]);
      f[3][i] = static_cast<uint8_t>(raw[i] - (up[i] >> 1));
      f[4][i] = static_cast<uint8_t>(raw[i] - up[i]);  // Paeth with a = c = 0 predicts b
    }
    const uint8_t* a = raw;
    const uint8_t* c = up;
    uint8_t* sub = f[1];
    uint8_t* upf = f[2];
    uint8_t* avg = f[3];
    uint8_t* pae = f[4];
    for (size_t i = b; i < n; ++i) sub[i] = static_cast<uint8_t>(raw[i] - a[i - b]);
    for (size_t i = b; i < n; ++i) upf[i] = static_cast<uint8_t>(raw[i] - up[i]);
    for (size_t i = b; i < n; ++i) avg[i] = static_cast<uint8_t>(raw[i] - ((a[i - b] + up[i]) >> 1));
    for (size_t i = b; i < n; ++i) {
      int av = a[i - b], bv = up[i], cv = c[i - b];
      int pa = bv - cv, pb = av - cv;
      int pc = pa + pb;
      pa = pa < 0 ? -pa : pa;
      pb = pb < 0 ? -pb : pb;
      pc = pc < 0 ? -pc : pc;
      int pred = (pa <= pb && pa <= pc) ? av : (pb <= pc ? bv : cv);
      pae[i] = static_cast<uint8_t>(raw[i] - pred);
    }
    uint64_t best = ~uint64_t{0};
    int choice = 0;
    for (int k = 0; k < 5; ++k) {
      uint64_t s = Cost(f[k], n);
      if (s < best) {
        best = s;
        choice = k;
      }
    }
    std::memcpy(prev_.data(), raw, n);
    return out_[static_cast<size_t>(choice)];
  }

 private:
  size_t n_;
  size_t bpp_;
  std::vector<uint8_t> prev_;
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
      for (int i = 0; i < n; ++i, s += sb, r += 3) r[0] = s[2], r[1] = s[1], r[2] = s[0];
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
    std::vector<uint8_t> raw(fullRow + 1);  // the widest row, pass rows are narrower

    // zlib's level by content. Palette indices compress well at a fast level without filters.
    // Filtered screen content (flat areas, gradients, text) is mostly zero residuals and gains
    // from lazy matching (level 4); grainy, photographic content has few zeros, and there zlib's
    // fast matcher (level 3) is both quicker and better.
    int level = 4;
    if (!paletted) {
      RowFilter probe(fullRow, channels);
      uint64_t zeros = 0, bytes = 0;
      int step = std::max(1, img.height / 64);
      for (int y = 0; y < img.height; y += step) {
        RgbRow(img, y, 0, 1, img.width, alpha, raw.data() + 1);
        const std::vector<uint8_t>& f = probe.Filter(raw.data() + 1);
        for (size_t i = 1; i <= fullRow; ++i) zeros += f[i] == 0;
        bytes += fullRow;
      }
      if (zeros * 4 < bytes) level = 3;
    }
    IdatWriter idat(out, level, Z_DEFAULT_STRATEGY);
    if (!idat.ok()) return false;

    const Pass* passes = interlace ? kAdam7 : &kWhole;
    int passCount = interlace ? 7 : 1;
    // Collect the rows to write, then stream them; the last one finishes the stream.
    bool wroteAny = false;
    for (int p = 0; p < passCount; ++p) {
      const Pass& ps = passes[p];
      int pw = PassSize(img.width, ps.x0, ps.dx), ph = PassSize(img.height, ps.y0, ps.dy);
      if (pw == 0 || ph == 0) continue;
      size_t rowBytes = (static_cast<size_t>(pw) * static_cast<size_t>(channels * bitDepth) + 7) / 8;
      RowFilter passFilter(rowBytes, std::max(1, channels * bitDepth / 8));
      for (int j = 0; j < ph; ++j) {
        int y = ps.y0 + j * ps.dy;
        uint8_t* r = raw.data() + 1;
        if (paletted) {
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
          RgbRow(img, y, ps.x0, ps.dx, pw, alpha, r);
        }
        bool last = false;
        if (j == ph - 1) {
          last = true;
          for (int q = p + 1; q < passCount; ++q)
            if (PassSize(img.width, passes[q].x0, passes[q].dx) &&
                PassSize(img.height, passes[q].y0, passes[q].dy))
              last = false;
        }
        bool ok;
        if (paletted) {
          raw[0] = 0;  // no filter: palette indices are not quantities that predict each other
          ok = idat.Write(raw.data(), rowBytes + 1, last);
        } else {
          const std::vector<uint8_t>& f = passFilter.Filter(r);
          ok = idat.Write(f.data(), rowBytes + 1, last);
        }
        if (!ok) return false;
        wroteAny = true;
      }
    }
    if (!wroteAny) return false;
    Chunk(out, "IEND", nullptr, 0);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imgctl
