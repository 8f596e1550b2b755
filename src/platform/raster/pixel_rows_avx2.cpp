// The row kernels compiled for 256-bit vectors; called only where the machine has AVX2.
#include <cstdint>

#include "platform/raster/pixel_lanes.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

// Everything below is compiled for AVX2; the headers above were read before the switch.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace t4::platform::raster::px {
namespace {

struct Avx2Vec {
  using R = __m256i;
  static constexpr int kBytes = 32;
  static R Load(const void* p) { return _mm256_loadu_si256(static_cast<const R*>(p)); }
  static void Store(void* p, R v) { _mm256_storeu_si256(static_cast<R*>(p), v); }
  static R Set16(uint32_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
  static R Set32(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
  static R Set64(uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
  template <typename T>
  static R Set(T v) {
    if constexpr (sizeof(T) == 1) return _mm256_set1_epi8(static_cast<char>(v));
    else if constexpr (sizeof(T) == 2) return Set16(v);
    else return Set32(v);
  }
  template <typename T>
  static R Eq(R a, R b) {
    if constexpr (sizeof(T) == 1) return _mm256_cmpeq_epi8(a, b);
    else if constexpr (sizeof(T) == 2) return _mm256_cmpeq_epi16(a, b);
    else return _mm256_cmpeq_epi32(a, b);
  }
  static R And(R a, R b) { return _mm256_and_si256(a, b); }
  static R Or(R a, R b) { return _mm256_or_si256(a, b); }
  static R Add16(R a, R b) { return _mm256_add_epi16(a, b); }
  static R Sub16(R a, R b) { return _mm256_sub_epi16(a, b); }
  static R MulLo16(R a, R b) { return _mm256_mullo_epi16(a, b); }
  static R MulHiU16(R a, R b) { return _mm256_mulhi_epu16(a, b); }
  template <int N>
  static R Srl16(R v) { return _mm256_srli_epi16(v, N); }
  template <int N>
  static R Sll16(R v) { return _mm256_slli_epi16(v, N); }
  template <int N>
  static R Sra16(R v) { return _mm256_srai_epi16(v, N); }
  // m ? a : b, m all ones or all zeros in each lane.
  static R Select(R m, R a, R b) { return _mm256_blendv_epi8(b, a, m); }
  static R Lo8(R v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
  static R Hi8(R v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
  static R Pack16(R lo, R hi) { return _mm256_packus_epi16(lo, hi); }
  static R Alpha16(R v) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF); }
  static bool AllSet(R v, R m) { return _mm256_testc_si256(v, m) != 0; }
  static bool NoneSet(R v, R m) { return _mm256_testz_si256(v, m) != 0; }
};

}  // namespace
}  // namespace t4::platform::raster::px

#define T4_LANES_NS avx2
#define T4_LANES_VEC Avx2Vec
#include "platform/raster/pixel_lanes.inl"
#undef T4_LANES_NS
#undef T4_LANES_VEC

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif  // x86-64
