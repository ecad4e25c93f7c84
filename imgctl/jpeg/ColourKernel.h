// Vector colour conversion of B,G,R,X pixels to Y, Cb and Cr (and 4:2:0 chroma), written once over
// a set of lane-wise operations (Sse2Ops.h, Avx2Ops.h): each 128-bit group converts eight pixels
// per step, so SSE2 does eight and AVX2 sixteen. The results equal the portable conversion's.
//
// `Ops` must have internal linkage, as for the transform kernel.
#pragma once

#include <cstdint>

namespace imgctl::jpeg::colour {

// BT.601 full-range YCbCr as JFIF defines it, with 16-bit fixed-point factors; luma rounds half
// up, chroma half down. 4:2:0 chroma is the 2x2 mean of the converted samples, rounded up and
// down on alternate columns so the halves do not pile up. These are the samples other encoders
// take from the same pixels, so coefficients and files match theirs.
constexpr int kYR = 19595, kYG = 38470, kYB = 7471;        // 0.299, 0.587, 0.114
constexpr int kCbR = -11059, kCbG = -21709, kCbB = 32768;  // -0.16874, -0.33126, 0.5
constexpr int kCrR = 32768, kCrG = -27439, kCrB = -5329;   // 0.5, -0.41869, -0.08131
constexpr int kLumaRound = 1 << 15;
constexpr int kChromaOffset = (128 << 16) + (1 << 15) - 1;
static_assert(kYR + kYG + kYB == 1 << 16 && kCbR + kCbG + kCbB == 0 && kCrR + kCrG + kCrB == 0);

template <class Ops>
struct Kernel {
  using V = typename Ops::V;
  static constexpr int kStep = 8 * static_cast<int>(sizeof(V) / 16);  // pixels per step

  static V Pair(int low, int high) {
    return Ops::Set1_32(static_cast<int>((static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xFFFF)));
  }

  // Y, Cb and Cr of four B,G,R,X pixels per group, each still scaled by 2^16 in a 32-bit lane.
  // Each row of factors sums to 1 (luma) or 0 (chroma), so with dB = B - G and dR = R - G
  //   Y  = 2^16 * G + kYB * dB + kYR * dR,  Cb = kCbB * dB + kCbR * dR,  Cr = kCrB * dB + kCrR * dR
  // exactly; dB and dR sit in alternate 16-bit lanes, so one multiply-add gives each. 0.5 does not
  // fit a signed 16-bit factor, so the chroma sums are formed negated.
  struct Ycc4 {
    V y, cb, cr;
  };
  static Ycc4 Convert4(const uint8_t* p) {
    const V v = Ops::LoadPixels(p);
    const V br = Ops::And(v, Ops::Set1_32(0x00FF00FF));
    const V g8 = Ops::And(v, Ops::Set1_32(0x0000FF00));
    const V g16 = Ops::template Slli32<8>(g8);  // G << 16
    const V d = Ops::Sub16(br, Ops::Or(Ops::template Srli32<8>(g8), g16));  // dB, dR
    const V y = Ops::Add32(Ops::Madd16(d, Pair(kYB, kYR)), Ops::Add32(g16, Ops::Set1_32(kLumaRound)));
    const V chromaOffset = Ops::Set1_32(kChromaOffset);
    const V cb = Ops::Sub32(chromaOffset, Ops::Madd16(d, Pair(-kCbB, -kCbR)));
    const V cr = Ops::Sub32(chromaOffset, Ops::Madd16(d, Pair(-kCrB, -kCrR)));
    return {y, cb, cr};
  }

  // Eight values per group scaled by 2^16 (two sets of four lanes, all within 0..255 after the
  // shift) as eight 16-bit lanes.
  static V Descale8(V a, V b) { return Ops::Packs32(Ops::template Srli32<16>(a), Ops::template Srli32<16>(b)); }

  // Two rows of B,G,R,X pixels to two luma rows and one row of 4:2:0 chroma, kStep pixels per
  // step; returns how many pixels it did. Each step is finished and stored before the next, which
  // keeps the working set within the registers.
  static int RowPair420(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* y0, uint8_t* y1, uint8_t* cb,
                        uint8_t* cr) {
    int x = 0;
    for (; x + kStep <= width; x += kStep) {
      Ops::PrefetchAhead(top + 4 * x);
      Ops::PrefetchAhead(bottom + 4 * x);
      const Ycc4 t0 = Convert4(top + 4 * x), t1 = Convert4(top + 4 * x + 16);
      const V yTop = Descale8(t0.y, t1.y);
      Ops::StoreLow8PerGroup(y0 + x, Ops::PackUs16(yTop, yTop));
      const V cbTop = Descale8(t0.cb, t1.cb), crTop = Descale8(t0.cr, t1.cr);
      const Ycc4 b0 = Convert4(bottom + 4 * x), b1 = Convert4(bottom + 4 * x + 16);
      const V yBottom = Descale8(b0.y, b1.y);
      Ops::StoreLow8PerGroup(y1 + x, Ops::PackUs16(yBottom, yBottom));
      // Column sums of the two rows, sums of horizontal pairs, then the biased mean of each 2x2.
      const V ones = Ops::Set1_16(1);
      const V bias = Ops::Set4_32(2, 1, 2, 1);  // every group starts at an even output column
      auto mean = [&](V upper, V lower) {
        const V sums = Ops::Madd16(Ops::Add16(upper, lower), ones);
        const V words = Ops::Packs32(Ops::template Srli32<2>(Ops::Add32(sums, bias)), sums);
        return Ops::PackUs16(words, words);  // the first four bytes of each group
      };
      Ops::StoreLow4PerGroup(cb + x / 2, mean(cbTop, Descale8(b0.cb, b1.cb)));
      Ops::StoreLow4PerGroup(cr + x / 2, mean(crTop, Descale8(b0.cr, b1.cr)));
    }
    return x;
  }

  // One row of B,G,R,X pixels to full-resolution Y, Cb and Cr, kStep pixels per step; returns how
  // many pixels it did.
  static int Row444(const uint8_t* src, int width, uint8_t* y, uint8_t* cb, uint8_t* cr) {
    int x = 0;
    for (; x + kStep <= width; x += kStep) {
      const Ycc4 a = Convert4(src + 4 * x), b = Convert4(src + 4 * x + 16);
      const V yy = Descale8(a.y, b.y), uu = Descale8(a.cb, b.cb), vv = Descale8(a.cr, b.cr);
      Ops::StoreLow8PerGroup(y + x, Ops::PackUs16(yy, yy));
      Ops::StoreLow8PerGroup(cb + x, Ops::PackUs16(uu, uu));
      Ops::StoreLow8PerGroup(cr + x, Ops::PackUs16(vv, vv));
    }
    return x;
  }
};

}  // namespace imgctl::jpeg::colour
