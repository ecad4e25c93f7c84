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

// Chooses for each row the filter with the smallest sum of absolute (signed) residuals.
class RowFilter {
 public:
  RowFilter(size_t rowBytes, int bpp) : n_(rowBytes), bpp_(bpp), prev_(rowBytes), out_(5) {
    for (auto& o : out_) o.resize(rowBytes + 1);
  }
  void Reset() { std::fill(prev_.begin(), prev_.end(), 0); first_ = true; }
  // Returns the filtered row (filter byte first); `raw` becomes the previous row.
  const std::vector<uint8_t>& Filter(const uint8_t* raw) {
    const uint8_t* up = prev_.data();
    size_t n = n_, b = static_cast<size_t>(bpp_);
    uint8_t* f[5];
    for (int i = 0; i < 5; ++i) {
      f[i] = out_[static_cast<size_t>(i)].data() + 1;
      out_[static_cast<size_t>(i)][0] = static_cast<uint8_t>(i);
    }
    std::memcpy(f[0], raw, n);
    for (size_t i = 0; i < n; ++i) {
      int a = i >= b ? raw[i - b] : 0, u = up[i], c = i >= b ? up[i - b] : 0;
      f[1][i] = static_cast<uint8_t>(raw[i] - a);
      f[2][i] = static_cast<uint8_t>(raw[i] - u);
      f[3][i] = static_cast<uint8_t>(raw[i] - ((a + u) >> 1));
      f[4][i] = static_cast<uint8_t>(raw[i] - Paeth(a, u, c));
    }
    uint64_t best = ~uint64_t{0};
    int choice = 0;
    for (int k = 0; k < 5; ++k) {
      if (first_ && (k == 2)) continue;  // Up on the first row equals None
      uint64_t s = 0;
      const int8_t* p = reinterpret_cast<const int8_t*>(f[k]);
      for (size_t i = 0; i < n; ++i) s += static_cast<uint64_t>(std::abs(static_cast<int>(p[i])));
      if (s < best) {
        best = s;
        choice = k;
      }
    }
    std::memcpy(prev_.data(), raw, n);
    first_ = false;
    return out_[static_cast<size_t>(choice)];
  }

 private:
  size_t n_;
  int bpp_;
  std::vector<uint8_t> prev_;
  std::vector<std::vector<uint8_t>> out_;
  bool first_ = true;
};

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

    // Palette data is mostly long runs that the filters do not help; truecolour data is
    // filtered per row and compressed with a fast level: most of the gain of a slow level
    // comes from the filters, not from longer match searches.
    int level = paletted ? 6 : 3;
    int strategy = paletted ? Z_DEFAULT_STRATEGY : Z_FILTERED;
    IdatWriter idat(out, level, strategy);
    if (!idat.ok()) return false;

    size_t fullRow = (static_cast<size_t>(img.width) * static_cast<size_t>(channels * bitDepth) + 7) / 8;
    std::vector<uint8_t> raw(fullRow + 1);  // the widest row, pass rows are narrower
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
          const uint8_t* s = img.Row(y);
          for (int i = 0; i < pw; ++i) {
            Bgra c = PixelAt(img, s, ps.x0 + i * ps.dx);
            uint8_t* d = r + static_cast<size_t>(i) * static_cast<size_t>(channels);
            d[0] = c.r;
            d[1] = c.g;
            d[2] = c.b;
            if (alpha) d[3] = c.a;
          }
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
        if (paletted && bitDepth < 8) {
          raw[0] = 0;  // no filter: packed indices gain nothing from prediction
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
