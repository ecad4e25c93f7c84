// The vector forward DCT and quantiser, written once over a set of vector operations on 16-bit
// lanes in 128-bit groups, one block per group: SSE2 codes one block per call, AVX2 two (one in
// each half). Every operation the kernel uses stays within its group.
//
// `Ops` must have internal linkage (an unnamed namespace in the one file that compiles it for its
// instruction set), so instances compiled for different instruction sets never merge.
#pragma once

#include <cstdint>

namespace imgctl::jpeg::dct {

constexpr int kConstBits = 13;  // fraction bits of the multipliers
constexpr int kPass1Bits = 2;   // extra fraction bits the row pass keeps for the column pass

constexpr int Fix(double x) { return static_cast<int>(x * (1 << kConstBits) + 0.5); }

// The factors of the Loeffler-Ligtenberg-Moschytz flow graph, scaled by sqrt(2); ck = cos(k*pi/16):
// even part sqrt2*c6 and sqrt2*(c2 -+ c6); odd part sqrt2*c3, sqrt2*(-c1+c3+c5-c7),
// sqrt2*(c1+c3-c5+c7), sqrt2*(c1+c3+c5-c7), sqrt2*(c1+c3-c5-c7), sqrt2*(c7-c3), sqrt2*(-c1-c3),
// sqrt2*(c5-c3) and sqrt2*(-c3-c5).
constexpr int kC0541 = Fix(0.541196100);
constexpr int kC0765 = Fix(0.765366865);
constexpr int kC1847 = Fix(1.847759065);
constexpr int kC1175 = Fix(1.175875602);
constexpr int kC0298 = Fix(0.298631336);
constexpr int kC2053 = Fix(2.053119869);
constexpr int kC3072 = Fix(3.072711026);
constexpr int kC1501 = Fix(1.501321110);
constexpr int kC0899 = Fix(0.899976223);
constexpr int kC2562 = Fix(2.562915447);
constexpr int kC1961 = Fix(1.961570560);
constexpr int kC0390 = Fix(0.390180644);

template <class Ops>
struct Kernel {
  using V = typename Ops::V;

  // Eight 16-bit lanes of a * ca + b * cb, exact in 32 bits, as the low and high four lanes.
  struct Wide {
    V lo, hi;
  };

  static V Pair(int ca, int cb) {
    return Ops::Set1_32(static_cast<int>((static_cast<uint32_t>(cb) << 16) | (static_cast<uint32_t>(ca) & 0xFFFF)));
  }

  struct Interleaved {
    V lo, hi;
    Interleaved(V a, V b) : lo(Ops::UnpackLo16(a, b)), hi(Ops::UnpackHi16(a, b)) {}
    Wide Times(V pair) const { return {Ops::Madd16(lo, pair), Ops::Madd16(hi, pair)}; }
  };

  template <int Bits>
  static Wide PlusHalf(Wide a) {
    const V half = Ops::Set1_32(1 << (Bits - 1));
    return {Ops::Add32(a.lo, half), Ops::Add32(a.hi, half)};
  }

  // (a + b) >> Bits as eight 16-bit lanes; the rounding half is already in b.
  template <int Bits>
  static V Shift(Wide a, Wide b) {
    return Ops::Packs32(Ops::template Srai32<Bits>(Ops::Add32(a.lo, b.lo)),
                        Ops::template Srai32<Bits>(Ops::Add32(a.hi, b.hi)));
  }

  template <int Bits>
  static V Round(Wide a) {
    const Wide r = PlusHalf<Bits>(a);
    return Ops::Packs32(Ops::template Srai32<Bits>(r.lo), Ops::template Srai32<Bits>(r.hi));
  }

  // The 8-point transform on eight lanes at once, d[k] holding input/output k of every lane, on
  // samples not yet centred on zero: centring only moves the DC, and lane 0 of the column pass's
  // d[0] is the DC. Every other sum fits in 16 bits for 8-bit samples (the row pass's outputs stay
  // within 0..8160 for its DC and +-4096 otherwise); the DC's sum of eight wraps, but it is taken
  // modulo 2^16 and its centred value, 32768 lower, fits. Products and their sums are formed in
  // 32 bits.
  template <bool Row>
  static void Transform8(V (&d)[8]) {
    const V tmp0 = Ops::Add16(d[0], d[7]), tmp7 = Ops::Sub16(d[0], d[7]);
    const V tmp1 = Ops::Add16(d[1], d[6]), tmp6 = Ops::Sub16(d[1], d[6]);
    const V tmp2 = Ops::Add16(d[2], d[5]), tmp5 = Ops::Sub16(d[2], d[5]);
    const V tmp3 = Ops::Add16(d[3], d[4]), tmp4 = Ops::Sub16(d[3], d[4]);

    const V tmp10 = Ops::Add16(tmp0, tmp3), tmp13 = Ops::Sub16(tmp0, tmp3);
    const V tmp11 = Ops::Add16(tmp1, tmp2), tmp12 = Ops::Sub16(tmp1, tmp2);
    constexpr int kShift = Row ? kConstBits - kPass1Bits : kConstBits + kPass1Bits;
    if constexpr (Row) {
      d[0] = Ops::template Slli16<kPass1Bits>(Ops::Add16(tmp10, tmp11));
      d[4] = Ops::template Slli16<kPass1Bits>(Ops::Sub16(tmp10, tmp11));
    } else {
      const V half = Ops::Set1_16(1 << (kPass1Bits - 1));
      // The centring the samples skipped: the sum of eight row DCs, each 4 * 8 * 128 too high.
      const V centre = Ops::FirstLaneOfEachGroup(-32768);
      d[0] = Ops::template Srai16<kPass1Bits>(
          Ops::Add16(Ops::Add16(Ops::Add16(tmp10, half), tmp11), centre));
      d[4] = Ops::template Srai16<kPass1Bits>(Ops::Add16(Ops::Sub16(tmp10, tmp11), half));
    }
    const Interleaved even(tmp13, tmp12);
    d[2] = Round<kShift>(even.Times(Pair(kC0541 + kC0765, kC0541)));
    d[6] = Round<kShift>(even.Times(Pair(kC0541, kC0541 - kC1847)));

    // The odd part regrouped into rotations of pairs; every product below is one of the sums of
    // the portable transform with its multipliers collected.
    const Interleaved z34(Ops::Add16(tmp4, tmp6), Ops::Add16(tmp5, tmp7));
    const Wide z3 = PlusHalf<kShift>(z34.Times(Pair(kC1175 - kC1961, kC1175)));
    const Wide z4 = PlusHalf<kShift>(z34.Times(Pair(kC1175, kC1175 - kC0390)));
    const Interleaved t47(tmp4, tmp7);
    const Interleaved t56(tmp5, tmp6);
    d[7] = Shift<kShift>(t47.Times(Pair(kC0298 - kC0899, -kC0899)), z3);
    d[1] = Shift<kShift>(t47.Times(Pair(-kC0899, kC1501 - kC0899)), z4);
    d[5] = Shift<kShift>(t56.Times(Pair(kC2053 - kC2562, -kC2562)), z4);
    d[3] = Shift<kShift>(t56.Times(Pair(-kC2562, kC3072 - kC2562)), z3);
  }

  // Rows of a block, row r's eight bytes in the low half of each group of rows[r], turned: c[i]
  // holds columns 2i and 2i + 1.
  static void Turn(const V (&rows)[8], V (&c)[4]) {
    const V a0 = Ops::UnpackLo8(rows[0], rows[1]), a1 = Ops::UnpackLo8(rows[2], rows[3]);
    const V a2 = Ops::UnpackLo8(rows[4], rows[5]), a3 = Ops::UnpackLo8(rows[6], rows[7]);
    const V b0 = Ops::UnpackLo16(a0, a1), b1 = Ops::UnpackHi16(a0, a1);  // columns 0-3 / 4-7, rows 0-3
    const V b2 = Ops::UnpackLo16(a2, a3), b3 = Ops::UnpackHi16(a2, a3);  // rows 4-7
    c[0] = Ops::UnpackLo32(b0, b2);
    c[1] = Ops::UnpackHi32(b0, b2);
    c[2] = Ops::UnpackLo32(b1, b3);
    c[3] = Ops::UnpackHi32(b1, b3);
  }

  // Bit g set when all 64 samples of group g are equal: the other registers equal c[0], and each
  // byte of c[0] its neighbour.
  static unsigned FlatGroups(const V (&c)[4]) {
    const V others = Ops::Or(Ops::Or(Ops::Xor(c[0], c[1]), Ops::Xor(c[0], c[2])), Ops::Xor(c[0], c[3]));
    const V neighbours = Ops::Xor(c[0], Ops::template ShiftBytesDown<1>(c[0]));
    const V lowFifteen = Ops::template ShiftBytesDown<1>(Ops::Set1_8(-1));
    return Ops::ZeroGroups(Ops::Or(others, Ops::And(neighbours, lowFifteen)));
  }

  static void Transpose(V (&r)[8]) {
    const V a0 = Ops::UnpackLo16(r[0], r[1]), a1 = Ops::UnpackHi16(r[0], r[1]);
    const V a2 = Ops::UnpackLo16(r[2], r[3]), a3 = Ops::UnpackHi16(r[2], r[3]);
    const V a4 = Ops::UnpackLo16(r[4], r[5]), a5 = Ops::UnpackHi16(r[4], r[5]);
    const V a6 = Ops::UnpackLo16(r[6], r[7]), a7 = Ops::UnpackHi16(r[6], r[7]);
    const V b0 = Ops::UnpackLo32(a0, a2), b1 = Ops::UnpackHi32(a0, a2);
    const V b2 = Ops::UnpackLo32(a1, a3), b3 = Ops::UnpackHi32(a1, a3);
    const V b4 = Ops::UnpackLo32(a4, a6), b5 = Ops::UnpackHi32(a4, a6);
    const V b6 = Ops::UnpackLo32(a5, a7), b7 = Ops::UnpackHi32(a5, a7);
    r[0] = Ops::UnpackLo64(b0, b4);
    r[1] = Ops::UnpackHi64(b0, b4);
    r[2] = Ops::UnpackLo64(b1, b5);
    r[3] = Ops::UnpackHi64(b1, b5);
    r[4] = Ops::UnpackLo64(b2, b6);
    r[5] = Ops::UnpackHi64(b2, b6);
    r[6] = Ops::UnpackLo64(b3, b7);
    r[7] = Ops::UnpackHi64(b3, b7);
  }

  // Transform and quantisation of turned samples: out[v] is row v of the quantised coefficients,
  // natural order. The divisor tables are rows of eight, as QuantDivisors holds them.
  static void TransformTurned(const V (&c)[4], const uint16_t* rounding, const uint16_t* reciprocal,
                              const uint16_t* scale, V (&out)[8]) {
    const V zero = Ops::Zero();
    for (int i = 0; i < 4; ++i) {  // out[x]: column x of every row
      out[2 * i] = Ops::UnpackLo8(c[i], zero);
      out[2 * i + 1] = Ops::UnpackHi8(c[i], zero);
    }
    Transform8<true>(out);
    Transpose(out);  // out[y]: row y of the row pass's output
    Transform8<false>(out);
    for (int v = 0; v < 8; ++v) {
      // Divide the magnitude, then give the sign back.
      const V sign = Ops::template Srai16<15>(out[v]);
      V n = Ops::Sub16(Ops::Xor(out[v], sign), sign);
      n = Ops::Add16(n, Ops::LoadRow(rounding + v * 8));
      n = Ops::MulhiU16(n, Ops::LoadRow(reciprocal + v * 8));
      n = Ops::MulhiU16(n, Ops::LoadRow(scale + v * 8));
      out[v] = Ops::Sub16(Ops::Xor(n, sign), sign);
    }
  }
};

}  // namespace imgctl::jpeg::dct
