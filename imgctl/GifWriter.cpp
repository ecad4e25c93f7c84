#include "GifWriter.h"

#include <algorithm>
#include <new>

#include "Depth.h"
#include "Quantize.h"

namespace imgctl {

namespace {

void Put16(std::vector<uint8_t>& o, unsigned v) {
  o.push_back(static_cast<uint8_t>(v));
  o.push_back(static_cast<uint8_t>(v >> 8));
}

// Packs variable-width codes LSB first into 255-byte sub-blocks.
class CodeSink {
 public:
  explicit CodeSink(std::vector<uint8_t>& out) : out_(out) {}
  void Put(unsigned code, int bits) {
    acc_ |= static_cast<uint32_t>(code) << nbits_;
    nbits_ += bits;
    while (nbits_ >= 8) {
      Byte(static_cast<uint8_t>(acc_));
      acc_ >>= 8;
      nbits_ -= 8;
    }
  }
  void Finish() {
    if (nbits_ > 0) Byte(static_cast<uint8_t>(acc_));
    if (n_) Flush();
    out_.push_back(0);  // block terminator
  }

 private:
  void Byte(uint8_t b) {
    block_[n_++] = b;
    if (n_ == 255) Flush();
  }
  void Flush() {
    out_.push_back(static_cast<uint8_t>(n_));
    out_.insert(out_.end(), block_, block_ + n_);
    n_ = 0;
  }
  std::vector<uint8_t>& out_;
  uint32_t acc_ = 0;
  int nbits_ = 0;
  uint8_t block_[255];
  int n_ = 0;
};

// LZW with a hashed dictionary of (prefix code, byte) -> code.
class LzwEncoder {
 public:
  LzwEncoder(int minCodeSize, CodeSink& sink)
      : min_(minCodeSize), clear_(1u << minCodeSize), sink_(sink), keys_(kTable), codes_(kTable) {
    Reset();
    sink_.Put(clear_, width_);
  }
  void Add(uint8_t c) {
    if (prefix_ < 0) {
      prefix_ = c;
      return;
    }
    uint32_t key = (static_cast<uint32_t>(prefix_) << 8) | c;
    size_t h = (key * 2654435761u) >> (32 - kBits);
    while (keys_[h] != kEmpty) {
      if (keys_[h] == key) {
        prefix_ = codes_[h];
        return;
      }
      h = (h + 1) & (kTable - 1);
    }
    sink_.Put(static_cast<unsigned>(prefix_), width_);
    if (next_ < 4096) {
      keys_[h] = key;
      codes_[h] = static_cast<uint16_t>(next_);
      // The decoder widens its codes one entry later than the encoder adds them.
      if (next_ == (1u << width_) && width_ < 12) ++width_;
      ++next_;
    } else {
      sink_.Put(clear_, width_);
      Reset();
    }
    prefix_ = c;
  }
  void Finish() {
    if (prefix_ >= 0) sink_.Put(static_cast<unsigned>(prefix_), width_);
    // The decoder adds an entry for that last code too and may widen before the end code.
    if (next_ == (1u << width_) && width_ < 12) ++width_;
    sink_.Put(clear_ + 1, width_);
    sink_.Finish();
  }

 private:
  static constexpr int kBits = 13;
  static constexpr size_t kTable = size_t{1} << kBits;
  static constexpr uint32_t kEmpty = 0xffffffffu;
  void Reset() {
    std::fill(keys_.begin(), keys_.end(), kEmpty);
    width_ = min_ + 1;
    next_ = clear_ + 2;
  }
  int min_;
  unsigned clear_;
  CodeSink& sink_;
  std::vector<uint32_t> keys_;
  std::vector<uint16_t> codes_;
  int width_ = 0;
  unsigned next_ = 0;
  int prefix_ = -1;
};

}  // namespace

bool EncodeGif(const Image& src, const GifRecord& record, std::vector<uint8_t>& out) {
  if (src.width <= 0 || src.height <= 0 || src.width > 65535 || src.height > 65535) return false;
  try {
    Image reduced;
    const Image* img = &src;
    if (src.bpp != 8) {
      if (!(record.flags & kGifReduceColours)) return false;
      if (!QuantizeTo8(src, true, true, reduced)) return false;
      img = &reduced;
    }
    if (img->palette.empty() || img->palette.size() > 256) return false;

    int bits = 1;
    while ((1u << bits) < img->palette.size()) ++bits;
    if (record.colourBits > static_cast<uint32_t>(bits) && record.colourBits <= 8)
      bits = static_cast<int>(record.colourBits);
    int tableSize = 1 << bits;

    int transparent = -1;
    if (record.flags & kGifTransparent) {
      for (size_t i = 0; i < img->palette.size(); ++i)
        if (PackRgb(img->palette[i]) == (record.transparentColour & 0xffffff)) {
          transparent = static_cast<int>(i);
          break;
        }
    }

    const char* sig = "GIF89a";
    out.insert(out.end(), sig, sig + 6);
    Put16(out, static_cast<unsigned>(img->width));
    Put16(out, static_cast<unsigned>(img->height));
    out.push_back(static_cast<uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0);  // background index
    out.push_back(0);  // aspect ratio
    for (int i = 0; i < tableSize; ++i) {
      Bgra c = static_cast<size_t>(i) < img->palette.size() ? img->palette[static_cast<size_t>(i)] : Bgra{};
      out.push_back(c.r);
      out.push_back(c.g);
      out.push_back(c.b);
    }
    if (transparent >= 0) {
      const uint8_t gce[] = {0x21, 0xF9, 4, 1, 0, 0, static_cast<uint8_t>(transparent), 0};
      out.insert(out.end(), gce, gce + sizeof gce);
    }
    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(img->width));
    Put16(out, static_cast<unsigned>(img->height));
    bool interlace = (record.flags & kGifInterlace) != 0;
    out.push_back(interlace ? 0x40 : 0);

    int minCode = std::max(2, bits);
    out.push_back(static_cast<uint8_t>(minCode));
    CodeSink sink(out);
    LzwEncoder lzw(minCode, sink);
    auto emitRow = [&](int y) {
      const uint8_t* r = img->Row(y);
      for (int x = 0; x < img->width; ++x) lzw.Add(r[x]);
    };
    if (interlace) {
      static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
      for (int p = 0; p < 4; ++p)
        for (int y = kStart[p]; y < img->height; y += kStep[p]) emitRow(y);
    } else {
      for (int y = 0; y < img->height; ++y) emitRow(y);
    }
    lzw.Finish();
    out.push_back(0x3B);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imgctl
