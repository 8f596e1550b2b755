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
    if constexpr (sizeof(T) == 1)
      return _mm512_movm_epi8(_mm512_cmpeq_epi8_mask(a, b));
    else if constexpr (sizeof(T) == 2)
      return _mm512_movm_epi16(_mm512_cmpeq_epi16_mask(a, b));
    else
      return _mm512_maskz_mov_epi32(_mm512_cmpeq_epi32_mask(a, b), _mm512_set1_epi32(-1));
  }
  // m ? a : b bit by bit.
  static R Select(R m, R a, R b) { return _mm512_ternarylogic_epi32(m, a, b, 0xCA); }
  static bool AllSet(R v, R m) { return _mm512_cmpeq_epi32_mask(_mm512_and_si512(v, m), m) == 0xFFFF; }
  static bool NoneSet(R v, R m) { return _mm512_test_epi64_mask(v, m) == 0; }
};

}  // namespace
}  // namespace t4::platform::raster::px

namespace t4::platform::raster::px::avx512 {

// table[s[i]]: the table sits in sixteen registers; two-register permutes pick by the index's
// low five bits within each pair, and its bits 5, 6 and 7 choose among the pairs.
int LookupRow(uint32_t* o, const uint8_t* s, int n, const uint32_t* table) {
  __m512i t[16];
  for (int k = 0; k < 16; ++k) t[k] = _mm512_loadu_si512(table + 16 * k);
  const __m512i bit5 = _mm512_set1_epi32(32), bit6 = _mm512_set1_epi32(64), bit7 = _mm512_set1_epi32(128);
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m512i idx = _mm512_maskz_cvtepu8_epi32(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
    __m512i q[8];
    for (int k = 0; k < 8; ++k) q[k] = _mm512_permutex2var_epi32(t[2 * k], idx, t[2 * k + 1]);
    const __mmask16 b5 = _mm512_test_epi32_mask(idx, bit5), b6 = _mm512_test_epi32_mask(idx, bit6);
    const __mmask16 b7 = _mm512_test_epi32_mask(idx, bit7);
    for (int k = 0; k < 4; ++k) q[k] = _mm512_mask_blend_epi32(b5, q[2 * k], q[2 * k + 1]);
    for (int k = 0; k < 2; ++k) q[k] = _mm512_mask_blend_epi32(b6, q[2 * k], q[2 * k + 1]);
    _mm512_storeu_si512(o + i, _mm512_mask_blend_epi32(b7, q[0], q[1]));
  }
  return i;
}

}  // namespace t4::platform::raster::px::avx512

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
