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
  T4_LANE_COMMON_OPS(_mm512, si512)
  static R Load(const void* p) { return _mm512_loadu_si512(p); }
  static void Store(void* p, R v) { _mm512_storeu_si512(p, v); }
  static R Set64(uint64_t v) { return _mm512_set1_epi64(static_cast<long long>(v)); }
  // Lanes all ones where equal.
  template <typename T>
  static R Eq(R a, R b) {
    if constexpr (sizeof(T) == 1) return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(a, b));
    else if constexpr (sizeof(T) == 2) return _mm512_movm_epi16(_mm512_cmpeq_epi16_mask(a, b));
    else return _mm512_maskz_mov_epi32(_mm512_cmpeq_epi32_mask(a, b), _mm512_set1_epi32(-1));
  }
  // m ? a : b bit by bit.
  static R Select(R m, R a, R b) { return _mm512_ternarylogic_epi32(m, a, b, 0xCA); }
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
