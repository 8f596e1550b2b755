// The row kernels on 128-bit vectors: SSE2 is part of every x86-64, so these need no check.
#include <cstdint>

#include "platform/raster/pixel_lanes.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace t4::platform::raster::px {
namespace {

struct Sse2Vec {
  using R = __m128i;
  static constexpr int kBytes = 16;
  T4_LANE_COMMON_OPS(_mm, si128)
  static R Load(const void* p) { return _mm_loadu_si128(static_cast<const R*>(p)); }
  static void Store(void* p, R v) { _mm_storeu_si128(static_cast<R*>(p), v); }
  static R Set64(uint64_t v) { return _mm_set1_epi64x(static_cast<long long>(v)); }
  template <typename T>
  static R Eq(R a, R b) {
    if constexpr (sizeof(T) == 1)
      return _mm_cmpeq_epi8(a, b);
    else if constexpr (sizeof(T) == 2)
      return _mm_cmpeq_epi16(a, b);
    else
      return _mm_cmpeq_epi32(a, b);
  }
  // m ? a : b bit by bit.
  static R Select(R m, R a, R b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
  static bool AllSet(R v, R m) { return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, m), m)) == 0xFFFF; }
  static bool NoneSet(R v, R m) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, m), _mm_setzero_si128())) == 0xFFFF;
  }
};

}  // namespace
}  // namespace t4::platform::raster::px

#define T4_LANES_NS sse2
#define T4_LANES_VEC Sse2Vec
#include "platform/raster/pixel_lanes.inl"
#undef T4_LANES_NS
#undef T4_LANES_VEC

#endif  // SSE2
