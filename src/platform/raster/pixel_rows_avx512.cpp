// The row kernels compiled for 512-bit vectors; called only where the machine has AVX-512 with
// byte and word operations.
#include <cstdint>

#include "platform/raster/pixel_lanes.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

// Everything below is compiled for AVX-512; the headers above were read before the switch.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw")
#endif

namespace t4::platform::raster::px {
namespace {

struct Avx512Vec {
  using R = __m512i;
  static constexpr int kBytes = 64;
  static R Load(const void* p) { return _mm512_loadu_si512(p); }
  static void Store(void* p, R v) { _mm512_storeu_si512(p, v); }
  static R Set16(uint32_t v) { return _mm512_set1_epi16(static_cast<short>(v)); }
  static R Set32(uint32_t v) { return _mm512_set1_epi32(static_cast<int>(v)); }
  static R Set64(uint64_t v) { return _mm512_set1_epi64(static_cast<long long>(v)); }
  template <typename T>
  static R Set(T v) {
    if constexpr (sizeof(T) == 1) return _mm512_set1_epi8(static_cast<char>(v));
    else if constexpr (sizeof(T) == 2) return Set16(v);
    else return Set32(v);
  }
  // Lanes all ones where equal.
  template <typename T>
  static R Eq(R a, R b) {
    if constexpr (sizeof(T) == 1) return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(a, b));
    else if constexpr (sizeof(T) == 2) return _mm512_movm_epi16(_mm512_cmpeq_epi16_mask(a, b));
    else return _mm512_maskz_mov_epi32(_mm512_cmpeq_epi32_mask(a, b), _mm512_set1_epi32(-1));
  }
  static R And(R a, R b) { return _mm512_and_si512(a, b); }
  static R Or(R a, R b) { return _mm512_or_si512(a, b); }
  static R Add16(R a, R b) { return _mm512_add_epi16(a, b); }
  static R Sub16(R a, R b) { return _mm512_sub_epi16(a, b); }
  static R MulLo16(R a, R b) { return _mm512_mullo_epi16(a, b); }
  static R MulHiU16(R a, R b) { return _mm512_mulhi_epu16(a, b); }
  template <int N>
  static R Srl16(R v) { return _mm512_srli_epi16(v, N); }
  template <int N>
  static R Sll16(R v) { return _mm512_slli_epi16(v, N); }
  template <int N>
  static R Sra16(R v) { return _mm512_srai_epi16(v, N); }
  // m ? a : b bit by bit.
  static R Select(R m, R a, R b) { return _mm512_ternarylogic_epi32(m, a, b, 0xCA); }
  static R Lo8(R v) { return _mm512_unpacklo_epi8(v, _mm512_setzero_si512()); }
  static R Hi8(R v) { return _mm512_unpackhi_epi8(v, _mm512_setzero_si512()); }
  static R Pack16(R lo, R hi) { return _mm512_packus_epi16(lo, hi); }
  static R Alpha16(R v) { return _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(v, 0xFF), 0xFF); }
  static bool AllSet(R v, R m) { return _mm512_cmpeq_epi32_mask(_mm512_and_si512(v, m), m) == 0xFFFF; }
  static bool NoneSet(R v, R m) { return _mm512_test_epi64_mask(v, m) == 0; }
};

}  // namespace
}  // namespace t4::platform::raster::px

#define T4_LANES_NS avx512
#define T4_LANES_VEC Avx512Vec
#include "platform/raster/pixel_lanes.inl"
#undef T4_LANES_NS
#undef T4_LANES_VEC

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif  // x86-64
