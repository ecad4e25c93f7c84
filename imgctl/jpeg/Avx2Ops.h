// The AVX2 lane-wise operations the vector kernels are written over: two 128-bit groups, one in
// each half. Only files compiled for AVX2 include this. Unnamed namespace on purpose: each file
// that compiles a kernel gets its own copy.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace imgctl::jpeg {
namespace {

struct Avx2Ops {
  using V = __m256i;
  static V Zero() { return _mm256_setzero_si256(); }
  static V Set1_8(int x) { return _mm256_set1_epi8(static_cast<char>(x)); }
  static V Set1_16(int x) { return _mm256_set1_epi16(static_cast<int16_t>(x)); }
  static V Set1_32(int x) { return _mm256_set1_epi32(x); }
  static V FirstLaneOfEachGroup(int x) {
    const __m128i group = _mm_cvtsi32_si128(x & 0xFFFF);
    return _mm256_broadcastsi128_si256(group);
  }
  static V LoadRow(const uint16_t* p) {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
  template <int N> static V Slli16(V a) { return _mm256_slli_epi16(a, N); }
  template <int N> static V Srai16(V a) { return _mm256_srai_epi16(a, N); }
  template <int N> static V Srai32(V a) { return _mm256_srai_epi32(a, N); }
  template <int N> static V ShiftBytesDown(V a) { return _mm256_srli_si256(a, N); }  // within each half
  static V Packs32(V a, V b) { return _mm256_packs_epi32(a, b); }
  static V Madd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V MulhiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V UnpackLo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V UnpackHi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V UnpackLo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V UnpackHi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
  static V UnpackLo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
  static V UnpackHi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
  static V UnpackLo64(V a, V b) { return _mm256_unpacklo_epi64(a, b); }
  static V UnpackHi64(V a, V b) { return _mm256_unpackhi_epi64(a, b); }
  static V Sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
  template <int N> static V Slli32(V a) { return _mm256_slli_epi32(a, N); }
  template <int N> static V Srli32(V a) { return _mm256_srli_epi32(a, N); }
  static V PackUs16(V a, V b) { return _mm256_packus_epi16(a, b); }
  static V Set4_32(int e3, int e2, int e1, int e0) { return _mm256_set_epi32(e3, e2, e1, e0, e3, e2, e1, e0); }
  // Four B,G,R,X pixels per group: the four at p, then the four eight pixels on.
  static V LoadPixels(const uint8_t* p) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1);
  }
  // Bytes 0-7 of each group, one group after another.
  static void StoreLow8PerGroup(uint8_t* p, V a) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(_mm256_permute4x64_epi64(a, 0x08)));
  }
  // Bytes 0-3 of each group, one group after another.
  static void StoreLow4PerGroup(uint8_t* p, V a) {
    const __m128i both = _mm_unpacklo_epi32(_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), both);
  }
  // Fetches the source 1 KiB ahead into the cache: a hint only, which never faults, even past the
  // end of the image. Formed as an integer: no pointer may point there.
  static void PrefetchAhead(const uint8_t* at) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(at) + 1024), _MM_HINT_T0);
  }
  static unsigned ZeroGroups(V a) {
    const auto zeros = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, _mm256_setzero_si256())));
    return static_cast<unsigned>((zeros & 0xFFFF) == 0xFFFF) | (static_cast<unsigned>((zeros >> 16) == 0xFFFF) << 1);
  }
};

}  // namespace
}  // namespace imgctl::jpeg
