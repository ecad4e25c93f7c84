#include "Quantize.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace imgctl {

namespace {

uint32_t Key(const Bgra& c) {
  return uint32_t{c.b} | (uint32_t{c.g} << 8) | (uint32_t{c.r} << 16) | (uint32_t{c.a} << 24);
}

// Small open-addressing set of 32-bit keys, sized for up to 257 entries.
class ColourSet {
 public:
  // Index of `key`, inserting it; -1 when the set is full.
  int Find(uint32_t key) {
    uint32_t h = (key * 2654435761u) >> 22;  // 1024 slots
    for (;;) {
      Slot& s = slots_[h];
      if (!s.used) {
        if (count_ == cap_) return -1;
        s.used = true;
        s.key = key;
        s.index = count_++;
        return s.index;
      }
      if (s.key == key) return s.index;
      h = (h + 1) & 1023;
    }
  }
  void SetCap(int cap) { cap_ = cap; }

 private:
  struct Slot {
    uint32_t key = 0;
    int index = 0;
    bool used = false;
  };
  std::array<Slot, 1024> slots_{};
  int count_ = 0;
  int cap_ = 256;
};

Bgra FromKey(uint32_t k) {
  return Bgra{static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8), static_cast<uint8_t>(k >> 16),
              static_cast<uint8_t>(k >> 24)};
}

struct Box {
  int lo[3], hi[3];  // inclusive bounds on the 5-bit histogram axes (r, g, b)
  uint64_t count = 0;
};

constexpr int kBins = 32;
inline int Bin(int r, int g, int b) { return (r * kBins + g) * kBins + b; }

void Shrink(Box& box, const std::vector<uint32_t>& hist) {
  int lo[3] = {kBins, kBins, kBins}, hi[3] = {-1, -1, -1};
  uint64_t count = 0;
  for (int r = box.lo[0]; r <= box.hi[0]; ++r)
    for (int g = box.lo[1]; g <= box.hi[1]; ++g)
      for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
        uint32_t n = hist[Bin(r, g, b)];
        if (n == 0) continue;
        count += n;
        int v[3] = {r, g, b};
        for (int i = 0; i < 3; ++i) {
          lo[i] = std::min(lo[i], v[i]);
          hi[i] = std::max(hi[i], v[i]);
        }
      }
  box.count = count;
  if (count == 0) return;
  std::memcpy(box.lo, lo, sizeof lo);
  std::memcpy(box.hi, hi, sizeof hi);
}

// Nearest palette entry by weighted distance. Entries are sorted by green; the search walks out
// from the colour's green both ways and stops once green alone is farther than the best found.
class PaletteSearch {
 public:
  explicit PaletteSearch(const std::vector<Bgra>& palette) : pal_(palette), order_(palette.size()) {
    for (size_t i = 0; i < order_.size(); ++i) order_[i] = i;
    std::sort(order_.begin(), order_.end(), [&](size_t a, size_t b) { return pal_[a].g < pal_[b].g; });
    greens_.resize(order_.size());
    for (size_t i = 0; i < order_.size(); ++i) greens_[i] = pal_[order_[i]].g;
  }
  size_t Nearest(int r, int g, int b) const {
    const size_t k = order_.size();
    size_t up = static_cast<size_t>(std::lower_bound(greens_.begin(), greens_.end(), g) - greens_.begin());
    size_t down = up;
    size_t best = 0;
    long bestD = -1;
    auto consider = [&](size_t i) {
      const Bgra& c = pal_[order_[i]];
      long dr = c.r - r, dg = c.g - g, db = c.b - b;
      long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
      if (bestD < 0 || d < bestD || (d == bestD && order_[i] < best)) {
        bestD = d;
        best = order_[i];
      }
    };
    while (up < k || down > 0) {
      if (up < k) {
        long dg = greens_[up] - g;
        if (bestD >= 0 && dg * dg * 4 > bestD)
          up = k;
        else
          consider(up++);
      }
      if (down > 0) {
        long dg = g - greens_[down - 1];
        if (bestD >= 0 && dg * dg * 4 > bestD)
          down = 0;
        else
          consider(--down);
      }
    }
    return best;
  }

 private:
  const std::vector<Bgra>& pal_;
  std::vector<size_t> order_;
  std::vector<int> greens_;
};

// Lloyd's iterations over the colours present (one cell per 6 bits of each channel, with the
// mean of its pixels): each entry moves to the mean of the colours nearest to it. Median cut
// places entries by counts along box axes; this pulls them to where the colours really are.
void Refine(const Image& src, std::vector<Bgra>& palette, int iterations) {
  struct Cell {
    uint64_t r = 0, g = 0, b = 0;
    uint32_t n = 0;
  };
  std::vector<Cell> cells(size_t{1} << 18);
  for (int y = 0; y < src.height; ++y) {
    const uint8_t* row = src.Row(y);
    for (int x = 0; x < src.width; ++x) {
      Bgra c = PixelAt(src, row, x);
      Cell& cell = cells[(static_cast<size_t>(c.r >> 2) << 12) | (static_cast<size_t>(c.g >> 2) << 6) |
                         static_cast<size_t>(c.b >> 2)];
      cell.r += c.r;
      cell.g += c.g;
      cell.b += c.b;
      ++cell.n;
    }
  }
  struct Point {
    int r, g, b;
    uint32_t n;
  };
  std::vector<Point> points;
  for (const Cell& c : cells)
    if (c.n)
      points.push_back({static_cast<int>((c.r + c.n / 2) / c.n), static_cast<int>((c.g + c.n / 2) / c.n),
                        static_cast<int>((c.b + c.n / 2) / c.n), c.n});
  cells.clear();
  cells.shrink_to_fit();
  const size_t k = palette.size();
  for (int it = 0; it < iterations; ++it) {
    const PaletteSearch search(palette);
    std::vector<std::array<uint64_t, 4>> acc(k, {0, 0, 0, 0});
    for (const Point& p : points) {
      const size_t best = search.Nearest(p.r, p.g, p.b);
      auto& a = acc[best];
      a[0] += uint64_t{p.n} * static_cast<uint64_t>(p.r);
      a[1] += uint64_t{p.n} * static_cast<uint64_t>(p.g);
      a[2] += uint64_t{p.n} * static_cast<uint64_t>(p.b);
      a[3] += p.n;
    }
    for (size_t i = 0; i < k; ++i) {
      const auto& a = acc[i];
      if (a[3] == 0) continue;  // keeps its place; nothing chose it
      palette[i].r = static_cast<uint8_t>((a[0] + a[3] / 2) / a[3]);
      palette[i].g = static_cast<uint8_t>((a[1] + a[3] / 2) / a[3]);
      palette[i].b = static_cast<uint8_t>((a[2] + a[3] / 2) / a[3]);
    }
  }
}

std::vector<Bgra> MedianCut(const Image& src) {
  std::vector<uint32_t> hist(kBins * kBins * kBins);
  for (int y = 0; y < src.height; ++y) {
    const uint8_t* row = src.Row(y);
    for (int x = 0; x < src.width; ++x) {
      Bgra c = PixelAt(src, row, x);
      ++hist[Bin(c.r >> 3, c.g >> 3, c.b >> 3)];
    }
  }
  std::vector<Box> boxes(1);
  boxes[0] = Box{{0, 0, 0}, {kBins - 1, kBins - 1, kBins - 1}, 0};
  Shrink(boxes[0], hist);
  while (boxes.size() < 256) {
    // Split the box with the largest count times extent: big populous boxes first.
    int best = -1;
    uint64_t bestScore = 0;
    int axis = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const Box& b = boxes[i];
      int ext[3] = {(b.hi[0] - b.lo[0]) * 3, (b.hi[1] - b.lo[1]) * 4, (b.hi[2] - b.lo[2]) * 2};
      int a = ext[0] >= ext[1] ? (ext[0] >= ext[2] ? 0 : 2) : (ext[1] >= ext[2] ? 1 : 2);
      if (ext[a] == 0) continue;
      uint64_t score = b.count * static_cast<uint64_t>(ext[a]);
      if (score > bestScore) {
        bestScore = score;
        best = static_cast<int>(i);
        axis = a;
      }
    }
    if (best < 0) break;
    Box b = boxes[static_cast<size_t>(best)];
    // Median along the axis.
    std::vector<uint64_t> slice(kBins);
    for (int r = b.lo[0]; r <= b.hi[0]; ++r)
      for (int g = b.lo[1]; g <= b.hi[1]; ++g)
        for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl) {
          int v[3] = {r, g, bl};
          slice[static_cast<size_t>(v[axis])] += hist[Bin(r, g, bl)];
        }
    uint64_t half = b.count / 2, acc = 0;
    int cut = b.lo[axis];
    for (int v = b.lo[axis]; v < b.hi[axis]; ++v) {
      acc += slice[static_cast<size_t>(v)];
      cut = v;
      if (acc >= half) break;
    }
    Box a1 = b, a2 = b;
    a1.hi[axis] = cut;
    a2.lo[axis] = cut + 1;
    Shrink(a1, hist);
    Shrink(a2, hist);
    boxes[static_cast<size_t>(best)] = a1;
    if (a2.count) boxes.push_back(a2);
  }
  // Mean colour of each box, in full precision from the pixels.
  std::vector<int> boxOf(hist.size(), -1);
  for (size_t i = 0; i < boxes.size(); ++i) {
    const Box& b = boxes[i];
    for (int r = b.lo[0]; r <= b.hi[0]; ++r)
      for (int g = b.lo[1]; g <= b.hi[1]; ++g)
        for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl) boxOf[Bin(r, g, bl)] = static_cast<int>(i);
  }
  std::vector<std::array<uint64_t, 4>> sum(boxes.size(), {0, 0, 0, 0});
  for (int y = 0; y < src.height; ++y) {
    const uint8_t* row = src.Row(y);
    for (int x = 0; x < src.width; ++x) {
      Bgra c = PixelAt(src, row, x);
      int i = boxOf[Bin(c.r >> 3, c.g >> 3, c.b >> 3)];
      if (i < 0) continue;
      auto& s = sum[static_cast<size_t>(i)];
      s[0] += c.r;
      s[1] += c.g;
      s[2] += c.b;
      ++s[3];
    }
  }
  std::vector<Bgra> palette;
  for (auto& s : sum) {
    if (s[3] == 0) continue;
    palette.push_back(Bgra{static_cast<uint8_t>((s[2] + s[3] / 2) / s[3]),
                           static_cast<uint8_t>((s[1] + s[3] / 2) / s[3]),
                           static_cast<uint8_t>((s[0] + s[3] / 2) / s[3]), 255});
  }
  if (palette.empty()) palette.push_back(Bgra{});
  Refine(src, palette, 3);
  return palette;
}

// Nearest palette entry, cached per 6-bit-per-channel cell.
class NearestCache {
 public:
  explicit NearestCache(const std::vector<Bgra>& pal) : search_(pal), cache_(1u << 18, -1) {}
  uint8_t Find(int r, int g, int b) {
    size_t key = (static_cast<size_t>(r >> 2) << 12) | (static_cast<size_t>(g >> 2) << 6) |
                 static_cast<size_t>(b >> 2);
    int16_t& slot = cache_[key];
    if (slot < 0) slot = static_cast<int16_t>(search_.Nearest(r, g, b));
    return static_cast<uint8_t>(slot);
  }

 private:
  PaletteSearch search_;
  std::vector<int16_t> cache_;
};

}  // namespace

bool ExactColours(const Image& img, size_t limit, std::vector<Bgra>& colours) {
  if (limit > 256) limit = 256;
  ColourSet set;
  set.SetCap(static_cast<int>(limit));
  std::vector<Bgra> found;
  found.reserve(limit);
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* row = img.Row(y);
    uint32_t last = 0;
    bool haveLast = false;
    for (int x = 0; x < img.width; ++x) {
      uint32_t k = Key(PixelAt(img, row, x));
      if (haveLast && k == last) continue;  // runs of one colour are the common case
      last = k;
      haveLast = true;
      int i = set.Find(k);
      if (i < 0) return false;
      if (static_cast<size_t>(i) == found.size()) found.push_back(FromKey(k));
    }
  }
  colours.swap(found);
  return true;
}

bool IndexExact(const Image& img, std::vector<Bgra>& palette, std::vector<uint8_t>& indices) {
  ColourSet set;
  std::vector<Bgra> found;
  std::vector<uint8_t> idx(static_cast<size_t>(img.width) * static_cast<size_t>(img.height));
  uint8_t* d = idx.data();
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* row = img.Row(y);
    uint32_t last = 0;
    int lastIdx = -1;
    for (int x = 0; x < img.width; ++x) {
      uint32_t k = Key(PixelAt(img, row, x));
      if (lastIdx < 0 || k != last) {
        lastIdx = set.Find(k);
        if (lastIdx < 0) return false;
        if (static_cast<size_t>(lastIdx) == found.size()) found.push_back(FromKey(k));
        last = k;
      }
      *d++ = static_cast<uint8_t>(lastIdx);
    }
  }
  palette.swap(found);
  indices.swap(idx);
  return true;
}

bool QuantizeTo8(const Image& src, bool exactFirst, bool dither, Image& out) {
  try {
    Image dst;
    if (!Allocate(dst, src.width, src.height, 8)) return false;
    std::vector<Bgra> exact;
    if (src.bpp == 8) {
      dst.pixels = src.pixels;
      dst.palette = src.palette;
      out = std::move(dst);
      return true;
    }
    std::vector<uint8_t> indices;
    if (exactFirst && IndexExact(src, exact, indices)) {
      // Every pixel keeps its colour.
      for (int y = 0; y < src.height; ++y)
        std::memcpy(dst.Row(y), &indices[static_cast<size_t>(y) * static_cast<size_t>(src.width)],
                    static_cast<size_t>(src.width));
      dst.palette = std::move(exact);
      out = std::move(dst);
      return true;
    }
    std::vector<Bgra> pal = MedianCut(src);
    NearestCache nearest(pal);
    // Error rows for diffusion, with one pixel of margin on each side.
    size_t w = static_cast<size_t>(src.width);
    std::vector<int> cur((w + 2) * 3), next((w + 2) * 3);
    for (int y = 0; y < src.height; ++y) {
      const uint8_t* s = src.Row(y);
      uint8_t* d = dst.Row(y);
      std::fill(next.begin(), next.end(), 0);
      bool ltr = (y & 1) == 0;  // serpentine scan avoids directional artefacts
      for (int i = 0; i < src.width; ++i) {
        int x = ltr ? i : src.width - 1 - i;
        Bgra c = PixelAt(src, s, x);
        int v[3] = {c.r, c.g, c.b};
        size_t e = (static_cast<size_t>(x) + 1) * 3;
        if (dither)
          for (int k = 0; k < 3; ++k) v[k] = std::clamp(v[k] + cur[e + k] / 16, 0, 255);
        uint8_t idx = nearest.Find(v[0], v[1], v[2]);
        d[x] = idx;
        if (!dither) continue;
        const Bgra& p = pal[idx];
        int err[3] = {v[0] - p.r, v[1] - p.g, v[2] - p.b};
        int dir = ltr ? 3 : -3;
        for (int k = 0; k < 3; ++k) {
          cur[e + dir + k] += err[k] * 7;
          next[e - dir + k] += err[k] * 3;
          next[e + k] += err[k] * 5;
          next[e + dir + k] += err[k];
        }
      }
      cur.swap(next);
    }
    dst.palette = std::move(pal);
    out = std::move(dst);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imgctl
