// The row loops written once for a vector unit and compiled for each width the machine may have
// (pixel_rows_sse2.cpp, pixel_rows_avx2.cpp, pixel_rows_avx512.cpp); pixel_rows.cpp picks one at
// run time and finishes the rows' tails itself. Each function returns how many leading pixels it did (whole vectors).
#pragma once

#include <cstdint>

namespace t4::platform::raster::px {

// Which 16-bit layout a kernel reads or writes.
enum : int { LANES_565 = 0, LANES_1555 = 1 };

// What HalfRow32 does where the source is drawn: mixes with the target (RENDER: opaque result), or
// over the key colour of a blit-mode target copies the source's colour instead (BLIT); and which
// source pixels it leaves out (KEYED: the key colour, or in RENDER mode a zero alpha).
enum : int { HALF_BLIT = 0, HALF_RENDER = 1, HALF_KEYED = 2 };

#define T4_LANE_ENTRIES(NS)                                                                                  \
  namespace NS {                                                                                             \
  int BlendRow(uint32_t* d, const uint32_t* c, int n);                                                       \
  int StoreOrBlendRow(uint32_t* d, const uint32_t* c, int n);                                                \
  int ModulateRow(uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]);                         \
  int ModulateBlendRow(uint32_t* d, const uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]); \
  int KeyedRow8(uint8_t* d, const uint8_t* s, int n, uint8_t key);                                           \
  int KeyedRow16(uint16_t* d, const uint16_t* s, int n, uint16_t key);                                       \
  int KeyedRow32(uint32_t* d, const uint32_t* s, int n, uint32_t key);                                       \
  int ConvertRow16(int from, int to, bool keyed, uint16_t* d, const uint16_t* s, int n);                     \
  int ModulateBlendRow16(int from, int to, uint16_t* d, const uint16_t* s, int n, const uint32_t mul[4],     \
                         const uint32_t add[4]);                                                             \
  int FillRow16(uint16_t* d, int n, uint16_t v);                                                             \
  int FillRow32(uint32_t* d, int n, uint32_t v);                                                             \
  int MaskRow32(uint32_t* d, const uint32_t* s, int n, uint32_t mask);                                       \
  int HalfRow32(uint32_t* d, const uint32_t* s, int n, int mode, uint32_t key);                              \
  int HalfRow565(uint16_t* d, const uint16_t* s, int n, bool keyed, uint16_t key);                           \
  }

T4_LANE_ENTRIES(sse2)
T4_LANE_ENTRIES(avx2)
T4_LANE_ENTRIES(avx512)
namespace avx512 {
// o = table[s] for 8-bit indices and a 256-entry table.
int LookupRow(uint32_t* o, const uint8_t* s, int n, const uint32_t* table);
}  // namespace avx512

// The vector operations whose intrinsics differ between the widths only in their prefix P
// (_mm256, _mm512) and the register's suffix SI (si256, si512); each width's vector type (with
// R its register type) adds the rest.
#define T4_LANE_COMMON_OPS(P, SI)                                              \
  static R Set16(uint32_t v) { return P##_set1_epi16(static_cast<short>(v)); } \
  static R Set32(uint32_t v) { return P##_set1_epi32(static_cast<int>(v)); }   \
  template <typename T>                                                        \
  static R Set(T v) {                                                          \
    if constexpr (sizeof(T) == 1)                                              \
      return P##_set1_epi8(static_cast<char>(v));                              \
    else if constexpr (sizeof(T) == 2)                                         \
      return Set16(v);                                                         \
    else                                                                       \
      return Set32(v);                                                         \
  }                                                                            \
  static R And(R a, R b) { return P##_and_##SI(a, b); }                        \
  static R Or(R a, R b) { return P##_or_##SI(a, b); }                          \
  static R Add16(R a, R b) { return P##_add_epi16(a, b); }                     \
  static R Sub16(R a, R b) { return P##_sub_epi16(a, b); }                     \
  static R MulLo16(R a, R b) { return P##_mullo_epi16(a, b); }                 \
  static R MulHiU16(R a, R b) { return P##_mulhi_epu16(a, b); }                \
  template <int N>                                                             \
  static R Srl16(R v) {                                                        \
    return P##_srli_epi16(v, N);                                               \
  }                                                                            \
  static R Add32(R a, R b) { return P##_add_epi32(a, b); }                     \
  template <int N>                                                             \
  static R Sll16(R v) {                                                        \
    return P##_slli_epi16(v, N);                                               \
  }                                                                            \
  template <int N>                                                             \
  static R Sra16(R v) {                                                        \
    return P##_srai_epi16(v, N);                                               \
  }                                                                            \
  static R Lo8(R v) { return P##_unpacklo_epi8(v, P##_setzero_##SI()); }       \
  static R Hi8(R v) { return P##_unpackhi_epi8(v, P##_setzero_##SI()); }       \
  static R Pack16(R lo, R hi) { return P##_packus_epi16(lo, hi); }             \
  static R Alpha16(R v) { return P##_shufflehi_epi16(P##_shufflelo_epi16(v, 0xFF), 0xFF); }

}  // namespace t4::platform::raster::px
