// The row loops written once for a vector unit and compiled for each width the machine may have
// (pixel_rows_avx2.cpp, pixel_rows_avx512.cpp); pixel_rows.cpp picks one at run time and finishes
// the rows' tails itself. Each function returns how many leading pixels it did (whole vectors).
#pragma once

#include <cstdint>

namespace t4::platform::raster::px {

// Which 16-bit layout a kernel reads or writes.
enum : int { LANES_565 = 0, LANES_1555 = 1 };

#define T4_LANE_ENTRIES(NS)                                                                                       \
  namespace NS {                                                                                                  \
  int BlendRow(uint32_t* d, const uint32_t* c, int n);                                                            \
  int StoreOrBlendRow(uint32_t* d, const uint32_t* c, int n);                                                     \
  int ModulateRow(uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]);                              \
  int ModulateBlendRow(uint32_t* d, const uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]);      \
  int KeyedRow8(uint8_t* d, const uint8_t* s, int n, uint8_t key);                                                \
  int KeyedRow16(uint16_t* d, const uint16_t* s, int n, uint16_t key);                                            \
  int KeyedRow32(uint32_t* d, const uint32_t* s, int n, uint32_t key);                                            \
  int ConvertRow16(int from, int to, bool keyed, uint16_t* d, const uint16_t* s, int n);                          \
  int ModulateBlendRow16(int from, int to, uint16_t* d, const uint16_t* s, int n, const uint32_t mul[4],          \
                         const uint32_t add[4]);                                                                  \
  }

T4_LANE_ENTRIES(avx2)
T4_LANE_ENTRIES(avx512)

}  // namespace t4::platform::raster::px
