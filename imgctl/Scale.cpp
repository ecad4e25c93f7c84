#include "Scale.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace imgctl {

namespace {

// Source taps of each output position along one axis.
struct Taps {
  std::vector<int> start;      // first source index of each output
  std::vector<int> count;      // number of taps of each output
  std::vector<float> weights;  // count[i] weights per output, summing to 1
  std::vector<size_t> offset;  // where output i's weights begin
};

Taps MakeTaps(int src, int dst) {
  Taps t;
  t.start.resize(static_cast<size_t>(dst));
  t.count.resize(static_cast<size_t>(dst));
  t.offset.resize(static_cast<size_t>(dst));
  double scale = static_cast<double>(src) / dst;
  for (int i = 0; i < dst; ++i) {
    t.offset[static_cast<size_t>(i)] = t.weights.size();
    if (scale >= 1.0) {
      // Box covering [i*scale, (i+1)*scale): weight = overlap with each source pixel.
      double a = i * scale, b = std::min<double>(src, (i + 1) * scale);
      int first = static_cast<int>(std::floor(a));
      int last = std::min(src - 1, static_cast<int>(std::ceil(b)) - 1);
      t.start[static_cast<size_t>(i)] = first;
      t.count[static_cast<size_t>(i)] = last - first + 1;
      for (int s = first; s <= last; ++s) {
        double w = std::min<double>(b, s + 1) - std::max<double>(a, s);
        t.weights.push_back(static_cast<float>(std::max(0.0, w) / (b - a)));
      }
    } else {
      double c = (i + 0.5) * scale - 0.5;
      int s0 = static_cast<int>(std::floor(c));
      double f = c - s0;
      int a = std::clamp(s0, 0, src - 1), b = std::clamp(s0 + 1, 0, src - 1);
      t.start[static_cast<size_t>(i)] = a;
      if (a == b) {
        t.count[static_cast<size_t>(i)] = 1;
        t.weights.push_back(1.0f);
      } else {
        t.count[static_cast<size_t>(i)] = 2;
        t.weights.push_back(static_cast<float>(1.0 - f));
        t.weights.push_back(static_cast<float>(f));
      }
    }
  }
  return t;
}

inline uint8_t ToByte(float v) {
  return static_cast<uint8_t>(std::clamp(static_cast<int>(v + 0.5f), 0, 255));
}

}  // namespace

bool ScaleImage(Image& img, int width, int height) {
  if (width < 0 || height < 0) return false;
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (!SizeAllowed(width, height)) return false;
  if (width == img.width && height == img.height) return true;
  try {
    const bool alpha = img.bpp == 32 && img.hasAlpha;
    const int outBpp = img.bpp == 32 ? 32 : 24;
    // Intermediate of the horizontal pass: source height x output width, 4 floats a pixel.
    if (!SizeAllowed(width, img.height)) return false;
    Taps tx = MakeTaps(img.width, width), ty = MakeTaps(img.height, height);
    std::vector<float> mid(static_cast<size_t>(width) * static_cast<size_t>(img.height) * 4);
    std::vector<float> line(static_cast<size_t>(img.width) * 4);
    for (int y = 0; y < img.height; ++y) {
      const uint8_t* s = img.Row(y);
      for (int x = 0; x < img.width; ++x) {
        Bgra c = PixelAt(img, s, x);
        // Colours are weighted by opacity, so transparent pixels do not bleed their colour.
        float a = alpha ? c.a / 255.0f : 1.0f;
        float* l = &line[static_cast<size_t>(x) * 4];
        l[0] = c.b * a;
        l[1] = c.g * a;
        l[2] = c.r * a;
        l[3] = c.a;
      }
      float* m = &mid[static_cast<size_t>(y) * static_cast<size_t>(width) * 4];
      for (int x = 0; x < width; ++x) {
        size_t xi = static_cast<size_t>(x);
        const float* w = &tx.weights[tx.offset[xi]];
        const float* l = &line[static_cast<size_t>(tx.start[xi]) * 4];
        float acc[4] = {0, 0, 0, 0};
        for (int k = 0; k < tx.count[xi]; ++k, l += 4)
          for (int ch = 0; ch < 4; ++ch) acc[ch] += l[ch] * w[k];
        for (int ch = 0; ch < 4; ++ch) m[xi * 4 + static_cast<size_t>(ch)] = acc[ch];
      }
    }
    Image dst;
    if (!Allocate(dst, width, height, outBpp)) return false;
    dst.hasAlpha = alpha;
    std::vector<float> acc(static_cast<size_t>(width) * 4);
    size_t rowFloats = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
      size_t yi = static_cast<size_t>(y);
      std::fill(acc.begin(), acc.end(), 0.0f);
      const float* w = &ty.weights[ty.offset[yi]];
      for (int k = 0; k < ty.count[yi]; ++k) {
        const float* m = &mid[static_cast<size_t>(ty.start[yi] + k) * rowFloats];
        float wk = w[k];
        for (size_t i = 0; i < rowFloats; ++i) acc[i] += m[i] * wk;
      }
      uint8_t* d = dst.Row(y);
      for (int x = 0; x < width; ++x) {
        const float* p = &acc[static_cast<size_t>(x) * 4];
        float a = p[3];
        float unmul = alpha ? (a > 0.0f ? 255.0f / a : 0.0f) : 1.0f;
        if (outBpp == 32) {
          d[4 * x] = ToByte(p[0] * unmul);
          d[4 * x + 1] = ToByte(p[1] * unmul);
          d[4 * x + 2] = ToByte(p[2] * unmul);
          d[4 * x + 3] = alpha ? ToByte(a) : 255;
        } else {
          d[3 * x] = ToByte(p[0]);
          d[3 * x + 1] = ToByte(p[1]);
          d[3 * x + 2] = ToByte(p[2]);
        }
      }
    }
    img = std::move(dst);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imgctl
