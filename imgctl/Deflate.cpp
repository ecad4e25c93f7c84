#include "Deflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imgctl {

namespace {

constexpr int kMinMatch = 4;
constexpr int kMaxMatch = 258;
constexpr int kWindow = 32768;
constexpr int kMaxDistance = kWindow - 1;  // the slot of pos - 32768 is already reused by pos
constexpr int kHashBits = 15;
constexpr int kLitLenCodes = 286;
constexpr int kDistCodes = 30;
constexpr int kEndOfBlock = 256;

constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

struct Tables {
  uint8_t lengthCode[kMaxMatch + 1];  // match length -> code index 0..28
  uint8_t distCodeLow[512];           // distance - 1 < 256 -> code; else (distance - 1) >> 7 -> code
  Tables() {
    for (int c = 0; c < 29; ++c) {
      int end = c == 28 ? kMaxMatch + 1 : kLengthBase[c + 1];
      for (int l = kLengthBase[c]; l < end && l <= kMaxMatch; ++l) lengthCode[l] = static_cast<uint8_t>(c);
    }
    lengthCode[kMaxMatch] = 28;
    lengthCode[0] = lengthCode[1] = lengthCode[2] = 0;
    for (int c = 0; c < 30; ++c) {
      for (int d = kDistBase[c]; d < kDistBase[c] + (1 << kDistExtra[c]); ++d) {
        int i = d - 1;
        if (i < 256) distCodeLow[i] = static_cast<uint8_t>(c);
        else distCodeLow[256 + (i >> 7)] = static_cast<uint8_t>(c);
      }
    }
  }
  int DistCode(int distance) const {
    int i = distance - 1;
    return i < 256 ? distCodeLow[i] : distCodeLow[256 + (i >> 7)];
  }
};

const Tables& T() {
  static const Tables t;
  return t;
}

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

inline uint32_t Hash4(const uint8_t* p) { return (Load32(p) * 2654435761u) >> (32 - kHashBits); }

// Length of the common prefix of a and b, at most `limit`.
inline int CommonLength(const uint8_t* a, const uint8_t* b, int limit) {
  int len = 0;
  while (len + 8 <= limit) {
    uint64_t x = Load64(a + len) ^ Load64(b + len);
    if (x) {
#if defined(__GNUC__)
      // Byte order of the loads matters: little-endian puts the first byte in the low bits.
      if constexpr (std::endian::native == std::endian::little) return len + (__builtin_ctzll(x) >> 3);
#endif
      while (a[len] == b[len]) ++len;
      return len;
    }
    len += 8;
  }
  while (len < limit && a[len] == b[len]) ++len;
  return len;
}

}  // namespace

void HuffmanCodeLengths(const uint32_t* freq, int n, int limit, uint8_t* lens) {
  std::fill(lens, lens + n, uint8_t{0});
  std::array<std::pair<uint32_t, int>, kLitLenCodes> leaves;
  int m = 0;
  for (int s = 0; s < n; ++s)
    if (freq[s]) leaves[static_cast<size_t>(m++)] = {freq[s], s};
  if (m < 2) {
    int first = m == 1 ? leaves[0].second : 0;
    lens[first] = 1;
    lens[first == 0 ? 1 : 0] = 1;
    return;
  }
  std::sort(leaves.begin(), leaves.begin() + m);
  // Two queues: leaves in order, and internal nodes, which are made in order of weight.
  std::array<uint64_t, 2 * kLitLenCodes> weight{};
  std::array<int, 2 * kLitLenCodes> parent{};
  for (int i = 0; i < m; ++i) weight[static_cast<size_t>(i)] = leaves[static_cast<size_t>(i)].first;
  int li = 0, ii = m;
  for (int next = m; next < 2 * m - 1; ++next) {
    int pick[2];
    for (int& p : pick) {
      if (li < m && (ii >= next || weight[static_cast<size_t>(li)] <= weight[static_cast<size_t>(ii)])) p = li++;
      else p = ii++;
    }
    weight[static_cast<size_t>(next)] = weight[static_cast<size_t>(pick[0])] + weight[static_cast<size_t>(pick[1])];
    parent[static_cast<size_t>(pick[0])] = next;
    parent[static_cast<size_t>(pick[1])] = next;
  }
  std::array<int, 2 * kLitLenCodes> depth{};
  depth[static_cast<size_t>(2 * m - 2)] = 0;
  for (int k = 2 * m - 3; k >= 0; --k)
    depth[static_cast<size_t>(k)] = depth[static_cast<size_t>(parent[static_cast<size_t>(k)])] + 1;
  int count[16] = {};
  for (int i = 0; i < m; ++i) ++count[std::min(depth[static_cast<size_t>(i)], limit)];
  // Codes cut to `limit` over-subscribe the code. Kraft's sum in units of 2^-limit must come back
  // to exactly 2^limit (decoders reject incomplete codes too): each step moves a leaf from a
  // shorter length down one level, with a cut leaf beside it, which lowers the sum by one.
  int64_t kraft = 0;
  for (int bits = 1; bits <= limit; ++bits) kraft += int64_t{count[bits]} << (limit - bits);
  while (kraft > (int64_t{1} << limit)) {
    int bits = limit - 1;
    while (bits > 0 && count[bits] == 0) --bits;
    if (bits == 0 || count[limit] == 0) break;  // cannot happen for a tree that fits
    --count[bits];
    count[bits + 1] += 2;
    --count[limit];
    --kraft;
  }
  // The rarest symbols get the longest codes.
  int i = 0;
  for (int bits = limit; bits >= 1; --bits)
    for (int k = 0; k < count[bits]; ++k) lens[leaves[static_cast<size_t>(i++)].second] = static_cast<uint8_t>(bits);
}

namespace {

// Canonical codes, bit-reversed for LSB-first output.
void BuildCodes(const uint8_t* lens, int n, uint16_t* codes) {
  int count[16] = {}, next[16] = {};
  for (int s = 0; s < n; ++s) ++count[lens[s]];
  count[0] = 0;
  int code = 0;
  for (int bits = 1; bits < 16; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  for (int s = 0; s < n; ++s) {
    int len = lens[s];
    if (!len) continue;
    unsigned c = static_cast<unsigned>(next[len]++), r = 0;
    for (int b = 0; b < len; ++b, c >>= 1) r = (r << 1) | (c & 1);
    codes[s] = static_cast<uint16_t>(r);
  }
}

class BitSink {
 public:
  explicit BitSink(std::vector<uint8_t>& out) : out_(out) {}
  // Makes room for `bytes` more output bytes.
  void Reserve(size_t bytes) {
    size_t used = Used();
    if (out_.size() - used < bytes + 16) {
      out_.resize(std::max(out_.size() * 2, used + bytes + 16));
    }
    pos_ = used;
  }
  // At most 32 bits at a time.
  void Put(uint64_t bits, int n) {
    acc_ |= bits << count_;
    count_ += n;
    if (count_ >= 32) {
      uint8_t* p = out_.data() + pos_;
      p[0] = static_cast<uint8_t>(acc_);
      p[1] = static_cast<uint8_t>(acc_ >> 8);
      p[2] = static_cast<uint8_t>(acc_ >> 16);
      p[3] = static_cast<uint8_t>(acc_ >> 24);
      pos_ += 4;
      acc_ >>= 32;
      count_ -= 32;
    }
  }
  void AlignToByte() {
    while (count_ > 0) {
      out_[pos_++] = static_cast<uint8_t>(acc_);
      acc_ >>= 8;
      count_ = count_ > 8 ? count_ - 8 : 0;
    }
    acc_ = 0;
  }
  void Bytes(const uint8_t* p, size_t n) {
    std::memcpy(out_.data() + pos_, p, n);
    pos_ += n;
  }
  size_t Used() const { return pos_; }
  void Start(size_t at) { pos_ = at; }

 private:
  std::vector<uint8_t>& out_;
  size_t pos_ = 0;
  uint64_t acc_ = 0;
  int count_ = 0;
};

constexpr uint8_t kClOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct Symbol {
  uint16_t litLen;  // literal byte, or match length
  uint16_t dist;    // 0 for a literal
};

class Compressor {
 public:
  Compressor(const DeflateEffort& e, BitSink& sink)
      : e_(e), sink_(sink), head_(size_t{1} << kHashBits, -1), prev_(kWindow, -1) {
    syms_.reserve(static_cast<size_t>(e.blockSymbols));
  }

  // Codes data[begin, end); data[0, begin) is what came before (at most two windows), which
  // matches may refer to. Each piece ends with a block boundary.
  void Feed(const uint8_t* data, size_t begin, size_t end, bool final) {
    data_ = data;
    n_ = end;
    blockStart_ = begin;
    if (!primed_) Prime(data + begin, end - begin);
    Run(static_cast<int32_t>(begin));
    FlushBlock(final);
  }

  // The data moved `shift` bytes towards the start (a multiple of the window): positions follow,
  // and those that left drop out of the chains.
  void Rebase(int32_t shift) {
    auto move = [shift](int32_t& v) { v = v >= shift ? v - shift : -1; };
    for (int32_t& v : head_) move(v);
    for (int32_t& v : prev_) move(v);
  }

 private:
  // Until the first block has its own code, literal costs come from the byte histogram of the
  // start of the data; lengths and distances get a plain guess.
  void Prime(const uint8_t* data, size_t n) {
    primed_ = true;
    uint32_t hist[256] = {};
    size_t sample = std::min<size_t>(n, size_t{1} << 18);
    for (size_t i = 0; i < sample; ++i) ++hist[data[i]];
    for (int b = 0; b < 256; ++b) {
      int bits = 1;
      while (bits < 14 && (uint64_t{hist[b]} << bits) < sample) ++bits;
      litCost_[b] = static_cast<uint8_t>(bits);
    }
    for (int c = 0; c < 29; ++c) lenCost_[c] = static_cast<uint8_t>(7 + kLengthExtra[c]);
    for (int c = 0; c < kDistCodes; ++c) distCost_[c] = static_cast<uint8_t>(6 + kDistExtra[c]);
    uint64_t bits = 0;
    for (int b = 0; b < 256; ++b) bits += uint64_t{hist[b]} * litCost_[b];
    SetShortest(static_cast<double>(bits) / static_cast<double>(std::max<size_t>(sample, 1)), 7 + 6 + 6);
  }

  void Run(int32_t pos) {
    const int32_t n = static_cast<int32_t>(n_);
    const int32_t last = n - 4;  // last position the hash can load 4 bytes at
    if (e_.lazy > 0) {
      // One byte of look-ahead: a match is kept only if the next position has no longer one.
      int prevLen = 0, prevDist = 0;
      bool pending = false;  // data_[pos - 1] not yet emitted
      while (pos < n) {
        int curLen = 0, curDist = 0;
        if (pos <= last) {
          int32_t cand = Insert(pos);
          if (prevLen < e_.lazy) curLen = Search(pos, cand, std::max(prevLen, shortest_ - 1), curDist);
        }
        if (prevLen >= kMinMatch && curLen <= prevLen) {
          Match(prevLen, prevDist);
          int32_t end = pos - 1 + prevLen;
          IndexInside(pos + 1, end, prevLen);
          pos = end;
          pending = false;
          prevLen = 0;
          continue;
        }
        if (pending) Literal(data_[pos - 1]);
        pending = true;
        prevLen = curLen;
        prevDist = curDist;
        ++pos;
      }
      if (pending) Literal(data_[n - 1]);
    } else {
      while (pos < n) {
        int len = 0, dist = 0;
        if (pos <= last) {
          int32_t cand = Insert(pos);
          len = Search(pos, cand, shortest_ - 1, dist);
        }
        if (len >= shortest_) {
          Match(len, dist);
          IndexInside(pos + 1, pos + len, len);
          pos += len;
        } else {
          Literal(data_[pos]);
          ++pos;
        }
      }
    }
  }

  int32_t Insert(int32_t pos) {
    uint32_t h = Hash4(data_ + pos);
    int32_t cand = head_[h];
    prev_[static_cast<size_t>(pos) & (kWindow - 1)] = cand;
    head_[h] = pos;
    return cand;
  }

  // Indexes strings that start inside a match [from, end). Long matches (runs, repeated rows)
  // index only their last few strings: the next search finds them through those.
  void IndexInside(int32_t from, int32_t end, int len) {
    const int32_t last = static_cast<int32_t>(n_) - 4;
    if (len > e_.insertLimit) from = std::max(from, end - 4);
    end = std::min(end, last + 1);
    for (int32_t p = from; p < end; ++p) Insert(p);
  }

  int Search(int32_t pos, int32_t cand, int best, int& dist) {
    const int32_t limit = pos - kMaxDistance;
    const int maxLen = static_cast<int>(std::min<size_t>(kMaxMatch, n_ - static_cast<size_t>(pos)));
    if (best >= maxLen) return 0;
    const uint8_t* here = data_ + pos;
    int chain = e_.chain;
    int found = 0;
    // A good match already in hand needs fewer tries.
    if (best >= 32) chain >>= 2;
    const uint32_t first = Load32(here);
    // Takes the candidate if it is longer than the best so far; true once nothing can be longer.
    auto tryAt = [&](int32_t at) {
      const uint8_t* c = data_ + at;
      if (c[best] != here[best] || Load32(c) != first) return false;
      const int len = CommonLength(c, here, maxLen);
      if (len <= best) return false;
      best = len;
      found = len;
      dist = pos - at;
      return len >= e_.nice || len >= maxLen;
    };
    while (cand >= limit && cand >= 0 && chain-- > 0) {
      if (tryAt(cand)) break;
      cand = prev_[static_cast<size_t>(cand) & (kWindow - 1)];
    }
    // Screens repeat the row above more often than a short walk of the hash chain finds; tried
    // last, so an equally long nearer match (cheaper distance code) wins.
    const int32_t above = pos - e_.rowDistance;
    if (e_.rowDistance > 0 && best < maxLen && above >= 0 && above >= limit) tryAt(above);
    if (found && found < kCostChecked && !Worthwhile(pos, found, dist)) return 0;
    return found;
  }

  // A short match pays only if its codes cost fewer bits than the literals it replaces: in
  // grainy data a few matching residual bytes are cheaper as literals, in screen content not.
  static constexpr int kCostChecked = 12;
  // The search skips candidates shorter than a typical match's cost in typical literals.
  void SetShortest(double literalBits, double matchBits) {
    int n = static_cast<int>(matchBits / std::max(literalBits, 0.5) * 0.75);
    shortest_ = std::clamp(n, e_.minLength, kCostChecked);
  }
  bool Worthwhile(int32_t pos, int len, int dist) const {
    int literals = 0;
    for (int i = 0; i < len; ++i) literals += litCost_[data_[pos + i]];
    int match = lenCost_[T().lengthCode[len]] + distCost_[T().DistCode(dist)];
    return match < literals;
  }

  void Literal(uint8_t b) {
    syms_.push_back({b, 0});
    ++litFreq_[b];
    if (syms_.size() >= static_cast<size_t>(e_.blockSymbols)) FlushBlock(false);
  }
  void Match(int len, int dist) {
    syms_.push_back({static_cast<uint16_t>(len), static_cast<uint16_t>(dist)});
    ++litFreq_[257 + T().lengthCode[len]];
    ++distFreq_[T().DistCode(dist)];
    blockMatched_ += static_cast<size_t>(len);
    if (syms_.size() >= static_cast<size_t>(e_.blockSymbols)) FlushBlock(false);
  }

  // Bits of the block's symbols under the given code lengths.
  uint64_t DataBits(const uint8_t* litLens, const uint8_t* distLens) const {
    uint64_t bits = 0;
    for (int s = 0; s < kLitLenCodes; ++s) {
      uint64_t extra = s > 256 ? kLengthExtra[s - 257] : 0;
      bits += static_cast<uint64_t>(litFreq_[s]) * (litLens[s] + extra);
    }
    for (int d = 0; d < kDistCodes; ++d)
      bits += static_cast<uint64_t>(distFreq_[d]) * (distLens[d] + kDistExtra[d]);
    return bits;
  }

  void FlushBlock(bool final) {
    litFreq_[kEndOfBlock] = 1;
    const size_t blockEnd = blockStart_ + BlockInputBytes();
    uint8_t litLens[kLitLenCodes], distLens[kDistCodes];
    HuffmanCodeLengths(litFreq_.data(), kLitLenCodes, 15, litLens);
    HuffmanCodeLengths(distFreq_.data(), kDistCodes, 15, distLens);

    // The code lengths of both codes, run-length coded.
    int hlit = kLitLenCodes, hdist = kDistCodes;
    while (hlit > 257 && litLens[hlit - 1] == 0) --hlit;
    while (hdist > 1 && distLens[hdist - 1] == 0) --hdist;
    uint8_t all[kLitLenCodes + kDistCodes];
    std::memcpy(all, litLens, static_cast<size_t>(hlit));
    std::memcpy(all + hlit, distLens, static_cast<size_t>(hdist));
    const int total = hlit + hdist;
    struct Cl {
      uint8_t sym, extra;
    };
    Cl rle[kLitLenCodes + kDistCodes];
    int nr = 0;
    uint32_t clFreq[19] = {};
    for (int i = 0; i < total;) {
      int v = all[i], run = 1;
      while (i + run < total && all[i + run] == v) ++run;
      i += run;
      if (v == 0) {
        while (run >= 11) {
          int k = std::min(run, 138);
          rle[nr++] = {18, static_cast<uint8_t>(k - 11)};
          run -= k;
        }
        if (run >= 3) {
          rle[nr++] = {17, static_cast<uint8_t>(run - 3)};
          run = 0;
        }
      } else {
        rle[nr++] = {static_cast<uint8_t>(v), 0};
        --run;
        while (run >= 3) {
          int k = std::min(run, 6);
          rle[nr++] = {16, static_cast<uint8_t>(k - 3)};
          run -= k;
        }
      }
      while (run-- > 0) rle[nr++] = {static_cast<uint8_t>(v), 0};
    }
    for (int i = 0; i < nr; ++i) ++clFreq[rle[i].sym];
    uint8_t clLens[19];
    HuffmanCodeLengths(clFreq, 19, 7, clLens);
    int hclen = 19;
    while (hclen > 4 && clLens[kClOrder[hclen - 1]] == 0) --hclen;
    uint64_t headerBits = 5 + 5 + 4 + 3 * static_cast<uint64_t>(hclen);
    for (int i = 0; i < nr; ++i) {
      int s = rle[i].sym;
      headerBits += clLens[s] + (s == 16 ? 2 : s == 17 ? 3 : s == 18 ? 7 : 0);
    }
    const uint64_t dynamicBits = headerBits + DataBits(litLens, distLens);

    uint8_t fixedLit[288], fixedDist[kDistCodes];
    for (int s = 0; s < 288; ++s) fixedLit[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    std::fill(fixedDist, fixedDist + kDistCodes, uint8_t{5});
    const uint64_t fixedBits = DataBits(fixedLit, fixedDist);
    const size_t raw = blockEnd - blockStart_;
    const uint64_t storedBits = 8 * (static_cast<uint64_t>(raw) + 5 * ((raw + 65534) / 65535 + 1)) + 7;

    sink_.Reserve(raw + raw / 4 + 1024);
    if (storedBits < dynamicBits && storedBits < fixedBits) {
      size_t at = blockStart_;
      do {
        size_t k = std::min<size_t>(65535, blockEnd - at);
        bool lastPiece = at + k == blockEnd;
        sink_.Put((final && lastPiece) ? 1 : 0, 3);
        sink_.AlignToByte();
        uint8_t len[4] = {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8), static_cast<uint8_t>(~k),
                          static_cast<uint8_t>(~k >> 8)};
        sink_.Bytes(len, 4);
        sink_.Bytes(data_ + at, k);
        at += k;
      } while (at < blockEnd);
    } else {
      uint16_t litCodes[288] = {}, distCodes[kDistCodes] = {};
      const uint8_t* ll = litLens;
      const uint8_t* dl = distLens;
      if (fixedBits <= dynamicBits) {
        sink_.Put((final ? 1 : 0) | (1 << 1), 3);
        ll = fixedLit;
        dl = fixedDist;
        BuildCodes(fixedLit, 288, litCodes);
        BuildCodes(fixedDist, kDistCodes, distCodes);
      } else {
        sink_.Put((final ? 1 : 0) | (2 << 1), 3);
        BuildCodes(litLens, kLitLenCodes, litCodes);
        BuildCodes(distLens, kDistCodes, distCodes);
        uint16_t clCodes[19];
        BuildCodes(clLens, 19, clCodes);
        sink_.Put(static_cast<uint64_t>(hlit - 257), 5);
        sink_.Put(static_cast<uint64_t>(hdist - 1), 5);
        sink_.Put(static_cast<uint64_t>(hclen - 4), 4);
        for (int i = 0; i < hclen; ++i) sink_.Put(clLens[kClOrder[i]], 3);
        for (int i = 0; i < nr; ++i) {
          int s = rle[i].sym;
          sink_.Put(clCodes[s], clLens[s]);
          if (s == 16) sink_.Put(rle[i].extra, 2);
          else if (s == 17) sink_.Put(rle[i].extra, 3);
          else if (s == 18) sink_.Put(rle[i].extra, 7);
        }
      }
      const Tables& t = T();
      for (const Symbol& s : syms_) {
        if (s.dist == 0) {
          sink_.Put(litCodes[s.litLen], ll[s.litLen]);
        } else {
          int lc = t.lengthCode[s.litLen];
          sink_.Put(litCodes[257 + lc] | (static_cast<uint64_t>(s.litLen - kLengthBase[lc]) << ll[257 + lc]),
                    ll[257 + lc] + kLengthExtra[lc]);
          int dc = t.DistCode(s.dist);
          sink_.Put(distCodes[dc] | (static_cast<uint64_t>(s.dist - kDistBase[dc]) << dl[dc]), dl[dc] + kDistExtra[dc]);
        }
      }
      sink_.Put(litCodes[kEndOfBlock], ll[kEndOfBlock]);
    }
    // The next block's statistics will look like this one's.
    for (int b = 0; b < 256; ++b) litCost_[b] = litLens[b] ? litLens[b] : 13;
    for (int c = 0; c < 29; ++c) lenCost_[c] = static_cast<uint8_t>((litLens[257 + c] ? litLens[257 + c] : 13) + kLengthExtra[c]);
    for (int c = 0; c < kDistCodes; ++c) distCost_[c] = static_cast<uint8_t>((distLens[c] ? distLens[c] : 13) + kDistExtra[c]);
    {
      uint64_t litBits = 0, lits = 0, matchBits = 0, matches = 0;
      for (int b = 0; b < 256; ++b) litBits += uint64_t{litFreq_[b]} * litCost_[b], lits += litFreq_[b];
      for (int c = 0; c < kDistCodes; ++c) matchBits += uint64_t{distFreq_[c]} * distCost_[c], matches += distFreq_[c];
      double avgMatch = matches ? static_cast<double>(matchBits) / static_cast<double>(matches) + lenCost_[2] : 7 + 6 + 6;
      SetShortest(lits ? static_cast<double>(litBits) / static_cast<double>(lits) : 8.0, avgMatch);
    }
    blockStart_ = blockEnd;
    syms_.clear();
    blockMatched_ = 0;
    litFreq_.fill(0);
    distFreq_.fill(0);
  }

  size_t BlockInputBytes() const {
    size_t literals = 0;
    for (int s = 0; s < 256; ++s) literals += litFreq_[s];
    return literals + blockMatched_;
  }

  const uint8_t* data_ = nullptr;
  size_t n_ = 0;
  bool primed_ = false;
  DeflateEffort e_;
  BitSink& sink_;
  std::vector<int32_t> head_;
  std::vector<int32_t> prev_;
  std::vector<Symbol> syms_;
  std::array<uint32_t, kLitLenCodes> litFreq_{};
  std::array<uint32_t, kDistCodes> distFreq_{};
  size_t blockStart_ = 0;
  size_t blockMatched_ = 0;
  int shortest_ = kMinMatch;
  uint8_t litCost_[256] = {};
  uint8_t lenCost_[29] = {};
  uint8_t distCost_[kDistCodes] = {};
};

}  // namespace

uint32_t Adler32(uint32_t adler, const uint8_t* p, size_t n) {
  constexpr uint32_t kMod = 65521;
  uint32_t a = adler & 0xffff, b = adler >> 16;
  // 5552 bytes keep both sums below 2^32 between reductions.
  while (n > 0) {
    size_t k = std::min<size_t>(n, 5552);
    n -= k;
#if defined(__SSE2__)
    if (k >= 16) {
      // Per 16-byte step: b += 16 * a + weighted bytes, a += byte sum.
      const __m128i zero = _mm_setzero_si128();
      const __m128i weightsHi = _mm_set_epi16(1, 2, 3, 4, 5, 6, 7, 8);
      const __m128i weightsLo = _mm_set_epi16(9, 10, 11, 12, 13, 14, 15, 16);
      __m128i va = zero, vb = zero, vs = zero;  // vs: sum of a before each step
      size_t blocks = k / 16;
      for (size_t i = 0; i < blocks; ++i, p += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        vs = _mm_add_epi32(vs, va);
        va = _mm_add_epi32(va, _mm_sad_epu8(v, zero));
        __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
        vb = _mm_add_epi32(vb, _mm_madd_epi16(lo, weightsLo));
        vb = _mm_add_epi32(vb, _mm_madd_epi16(hi, weightsHi));
      }
      k -= blocks * 16;
      alignas(16) uint32_t sa[4], sb[4], ss[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(sa), va);
      _mm_store_si128(reinterpret_cast<__m128i*>(sb), vb);
      _mm_store_si128(reinterpret_cast<__m128i*>(ss), vs);
      // _mm_sad_epu8 leaves its sums in lanes 0 and 2; the weighted sum needs 64 bits.
      uint64_t sumS = uint64_t{ss[0]} + ss[2];
      uint64_t b64 = b + uint64_t{blocks} * 16 * a + 16 * sumS + sb[0] + sb[1] + sb[2] + sb[3];
      b = static_cast<uint32_t>(b64 % kMod);
      a += sa[0] + sa[2];
    }
#endif
    for (size_t i = 0; i < k; ++i) {
      a += *p++;
      b += a;
    }
    a %= kMod;
    b %= kMod;
  }
  return (b << 16) | a;
}

struct DeflateStream::Impl {
  Impl(const DeflateEffort& effort, std::vector<uint8_t>& out) : out(out), sink(buf), e(effort) {
    e.chain = std::max(1, e.chain);
    e.minLength = std::clamp(e.minLength, kMinMatch, 16);
    e.nice = std::clamp(e.nice, e.minLength, kMaxMatch);
    e.blockSymbols = std::clamp(e.blockSymbols, 1024, 1 << 20);
    if (e.rowDistance < 0 || e.rowDistance > kMaxDistance) e.rowDistance = 0;
    compressor.emplace(e, sink);
    buf.resize(4096);
    sink.Reserve(2);
    sink.Put(0x78, 8);
    sink.Put(0x01, 8);  // 0x7801: deflate, 32 KiB window, check bits; no level claimed
  }
  std::vector<uint8_t>& out;
  std::vector<uint8_t> buf;  // the compressed stream so far
  BitSink sink;
  DeflateEffort e;
  std::optional<Compressor> compressor;
  std::vector<uint8_t> input;  // carried window, then the piece being written
  size_t carried = 0;
  uint32_t adler = 1;
  bool finished = false;
};

DeflateStream::DeflateStream(const DeflateEffort& effort, std::vector<uint8_t>& out)
    : impl_(std::make_unique<Impl>(effort, out)) {}

DeflateStream::~DeflateStream() = default;

uint8_t* DeflateStream::Space(size_t n) {
  Impl& m = *impl_;
  if (m.input.size() < m.carried + n) m.input.resize(m.carried + n);
  return m.input.data() + m.carried;
}

void DeflateStream::Commit(size_t n, bool last) {
  Impl& m = *impl_;
  if (m.finished) return;
  const size_t end = m.carried + n;
  m.adler = Adler32(m.adler, m.input.data() + m.carried, n);
  m.compressor->Feed(m.input.data(), m.carried, end, last);
  if (last) {
    m.sink.Reserve(8);
    m.sink.AlignToByte();
    const uint8_t tail[4] = {static_cast<uint8_t>(m.adler >> 24), static_cast<uint8_t>(m.adler >> 16),
                             static_cast<uint8_t>(m.adler >> 8), static_cast<uint8_t>(m.adler)};
    m.sink.Bytes(tail, 4);
    m.out.insert(m.out.end(), m.buf.begin(), m.buf.begin() + static_cast<std::ptrdiff_t>(m.sink.Used()));
    m.finished = true;
    return;
  }
  // Keep between one and two windows of what was written, moved by whole windows so the chain
  // slots (position modulo the window) stay where they are.
  if (end > size_t{2} * kWindow) {
    const size_t shift = (end - kWindow) / kWindow * kWindow;
    std::memmove(m.input.data(), m.input.data() + shift, end - shift);
    m.compressor->Rebase(static_cast<int32_t>(shift));
    m.carried = end - shift;
  } else {
    m.carried = end;
  }
}

void ZlibCompress(const uint8_t* data, size_t n, const DeflateEffort& effort, std::vector<uint8_t>& out) {
  DeflateStream stream(effort, out);
  if (n) std::memcpy(stream.Space(n), data, n);
  stream.Commit(n, true);
}

}  // namespace imgctl
