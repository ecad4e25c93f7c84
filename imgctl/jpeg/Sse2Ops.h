// The SSE2 lane-wise operations the vector kernels are written over: one 128-bit group.
// Unnamed namespace on purpose: each file that compiles a kernel gets its own copy.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace imgctl::jpeg {
namespace {

struct Sse2Ops {
  using V = __m128i;
  static V Zero() { return _mm_setzero_si128(); }
  static V Set1_8(int x) { return _mm_set1_epi8(static_cast<char>(x)); }
  static V Set1_16(int x) { return _mm_set1_epi16(static_cast<int16_t>(x)); }
  static V Set1_32(int x) { return _mm_set1_epi32(x); }
  static V FirstLaneOfEachGroup(int x) { return _mm_cvtsi32_si128(x & 0xFFFF); }
  static V LoadRow(const uint16_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }
  static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
  static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
  template <int N> static V Slli16(V a) { return _mm_slli_epi16(a, N); }
  template <int N> static V Srai16(V a) { return _mm_srai_epi16(a, N); }
  template <int N> static V Srai32(V a) { return _mm_srai_epi32(a, N); }
  template <int N> static V ShiftBytesDown(V a) { return _mm_srli_si128(a, N); }
  static V Packs32(V a, V b) { return _mm_packs_epi32(a, b); }
  static V Madd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V MulhiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
  static V Or(V a, V b) { return _mm_or_si128(a, b); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V UnpackLo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
  static V UnpackHi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
  static V UnpackLo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
  static V UnpackHi16(V a, V b) { return _mm_unpackhi_epi16(a, b); }
  static V UnpackLo32(V a, V b) { return _mm_unpacklo_epi32(a, b); }
  static V UnpackHi32(V a, V b) { return _mm_unpackhi_epi32(a, b); }
  static V UnpackLo64(V a, V b) { return _mm_unpacklo_epi64(a, b); }
  static V UnpackHi64(V a, V b) { return _mm_unpackhi_epi64(a, b); }
  static V Sub32(V a, V b) { return _mm_sub_epi32(a, b); }
  template <int N> static V Slli32(V a) { return _mm_slli_epi32(a, N); }
  template <int N> static V Srli32(V a) { return _mm_srli_epi32(a, N); }
  static V PackUs16(V a, V b) { return _mm_packus_epi16(a, b); }
  static V Set4_32(int e3, int e2, int e1, int e0) { return _mm_set_epi32(e3, e2, e1, e0); }
  // Four B,G,R,X pixels per group: here the four at p.
  static V LoadPixels(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  // Bytes 0-7 of each group, one group after another.
  static void StoreLow8PerGroup(uint8_t* p, V a) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), a); }
  // Bytes 0-3 of each group, one group after another.
  static void StoreLow4PerGroup(uint8_t* p, V a) {
    const int v = _mm_cvtsi128_si32(a);
    std::memcpy(p, &v, 4);
  }
  // Fetches the source 1 KiB ahead into the cache: a hint only, which never faults, even past the
  // end of the image. Formed as an integer: no pointer may point there.
  static void PrefetchAhead(const uint8_t* at) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(at) + 1024), _MM_HINT_T0);
  }
  static unsigned ZeroGroups(V a) { return _mm_movemask_epi8(_mm_cmpeq_epi8(a, _mm_setzero_si128())) == 0xFFFF; }
};

}  // namespace
}  // namespace imgctl::jpeg
