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
  T4_LANE_COMMON_OPS(_mm256, si256)
  static R Load(const void* p) { return _mm256_loadu_si256(static_cast<const R*>(p)); }
  static void Store(void* p, R v) { _mm256_storeu_si256(static_cast<R*>(p), v); }
  static R Set64(uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
  template <typename T>
  static R Eq(R a, R b) {
    if constexpr (sizeof(T) == 1)
      return _mm256_cmpeq_epi8(a, b);
    else if constexpr (sizeof(T) == 2)
      return _mm256_cmpeq_epi16(a, b);
    else
      return _mm256_cmpeq_epi32(a, b);
  }
  // m ? a : b, m all ones or all zeros in each lane.
  static R Select(R m, R a, R b) { return _mm256_blendv_epi8(b, a, m); }
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
