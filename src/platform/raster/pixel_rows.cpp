#include <algorithm>
#include <atomic>

#include "platform/raster/pixel_lanes.h"
#include "platform/raster/pixel_traits.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace t4::platform::raster::px {

namespace {

inline uint32_t BlendOne(uint32_t c, uint32_t d) {
  const uint32_t a = c >> 24, na = 255 - a;
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) out |= MulDiv255((c >> s & 255) * a + (d >> s & 255) * na) << s;
  return out;
}

inline uint32_t ModulateOne(uint32_t c, const uint32_t mul[4], const uint32_t add[4]) {
  uint32_t out = 0;
  for (int k = 0; k < 4; ++k) out |= (MulDiv255((c >> (8 * k) & 255) * mul[k]) + add[k]) << (8 * k);
  return out;
}

Lanes DetectLanes() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) return Lanes::Avx512;
  if (__builtin_cpu_supports("avx2")) return Lanes::Avx2;
#endif
  return Lanes::Plain;
}

std::atomic<int>& ActiveLevel() {
  static std::atomic<int> level{static_cast<int>(MachineLanes())};
  return level;
}

// The leading pixels that the widest kernel in use does (SSE2 at the plain width of x86-64).
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define T4_WIDE(F, ...)                                                          \
  [&]() -> int {                                                                 \
    switch (static_cast<Lanes>(ActiveLevel().load(std::memory_order_relaxed))) { \
      case Lanes::Avx512: return avx512::F(__VA_ARGS__);                         \
      case Lanes::Avx2: return avx2::F(__VA_ARGS__);                             \
      default: return sse2::F(__VA_ARGS__);                                      \
    }                                                                            \
  }()
#else
#define T4_WIDE(F, ...) 0
#endif

}  // namespace

Lanes MachineLanes() {
  static const Lanes lanes = DetectLanes();
  return lanes;
}

Lanes ActiveLanes() { return static_cast<Lanes>(ActiveLevel().load(std::memory_order_relaxed)); }

Lanes UseLanes(Lanes lanes) {
  const int level = std::min(static_cast<int>(lanes), static_cast<int>(MachineLanes()));
  return static_cast<Lanes>(ActiveLevel().exchange(level));
}

void BlendRow(uint32_t* d, const uint32_t* c, int n) {
  int i = T4_WIDE(BlendRow, d, c, n);
  for (; i < n; ++i) d[i] = BlendOne(c[i], d[i]);
}

void ModulateRow(uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]) {
  int i = T4_WIDE(ModulateRow, c, n, mul, add);
  for (; i < n; ++i) c[i] = ModulateOne(c[i], mul, add);
}

void ModulateBlendRow(uint32_t* d, const uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]) {
  int i = T4_WIDE(ModulateBlendRow, d, c, n, mul, add);
  for (; i < n; ++i) d[i] = BlendOne(ModulateOne(c[i], mul, add), d[i]);
}

void ScaleRow(uint32_t* d, const uint32_t* s, int n, uint32_t f, const uint32_t add[3]) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i m = _mm_set1_epi16(static_cast<short>(f));
  const __m128i k =
      _mm_setr_epi16(static_cast<short>(add[0]), static_cast<short>(add[1]), static_cast<short>(add[2]), 0,
                     static_cast<short>(add[0]), static_cast<short>(add[1]), static_cast<short>(add[2]), 0);
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), m), k), 8);
    const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), m), k), 8);
    const __m128i colour = _mm_andnot_si128(top, _mm_packus_epi16(lo, hi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(colour, _mm_and_si128(dv, top)));
  }
#endif
  for (; i < n; ++i) {
    const uint32_t p = s[i];
    d[i] = (d[i] & 0xFF000000u) | ((p >> 16 & 255) * f + add[2]) >> 8 << 16 | ((p >> 8 & 255) * f + add[1]) >> 8 << 8 |
           ((p & 255) * f + add[0]) >> 8;
  }
}

void StoreOrBlendRow(uint32_t* d, const uint32_t* c, int n) {
  for (int i = T4_WIDE(StoreOrBlendRow, d, c, n); i < n; ++i) {
    const uint32_t a = c[i] >> 24;
    if (a == 255)
      d[i] = c[i];
    else if (a != 0)
      d[i] = BlendOne(c[i], d[i]);
  }
}

namespace {
template <typename T>
void KeyedTail(T* __restrict d, const T* __restrict s, int i, int n, T key) {
  for (; i < n; ++i) d[i] = s[i] == key ? d[i] : s[i];
}

int LanesLayout(Layout l) { return l == Layout::Rgb565 ? LANES_565 : LANES_1555; }

// The plain forms of the 16-bit rows, through 0xAARRGGBB.
template <typename S, typename D>
struct ConvertTail {
  static void Run(uint16_t* d, const uint16_t* s, int i, int n, bool keyed) {
    using C = Convert<S, D>;
    for (; i < n; ++i)
      if (!keyed || C::Opaque(s[i])) d[i] = C::Pixel(s[i]);
  }
};
template <typename S, typename D>
struct ModulateBlendTail {
  static void Run(uint16_t* d, const uint16_t* s, int i, int n, const uint32_t* mul, const uint32_t* add) {
    for (; i < n; ++i) d[i] = D::FromArgb(BlendOne(ModulateOne(S::ToArgb(s[i]), mul, add), D::ToArgb(d[i])));
  }
};
// The function for a pair of 16-bit layouts.
template <template <typename, typename> class F>
auto ForLayouts(Layout from, Layout to) {
  if (from == Layout::Rgb565) return to == Layout::Rgb565 ? &F<Rgb565, Rgb565>::Run : &F<Rgb565, Argb1555>::Run;
  return to == Layout::Rgb565 ? &F<Argb1555, Rgb565>::Run : &F<Argb1555, Argb1555>::Run;
}
}  // namespace

void LookupRow(uint32_t* o, const uint8_t* s, int n, const uint32_t table[256]) {
  int i = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // Only the widest unit has permutes across enough registers to beat the loads.
  if (ActiveLanes() == Lanes::Avx512) i = avx512::LookupRow(o, s, n, table);
#endif
  for (; i < n; ++i) o[i] = table[s[i]];
}

void KeyedRow(uint8_t* d, const uint8_t* s, int n, uint8_t key) {
  KeyedTail(d, s, T4_WIDE(KeyedRow8, d, s, n, key), n, key);
}
void KeyedRow(uint16_t* d, const uint16_t* s, int n, uint16_t key) {
  KeyedTail(d, s, T4_WIDE(KeyedRow16, d, s, n, key), n, key);
}
void KeyedRow(uint32_t* d, const uint32_t* s, int n, uint32_t key) {
  KeyedTail(d, s, T4_WIDE(KeyedRow32, d, s, n, key), n, key);
}

void FillRow(uint16_t* d, int n, uint16_t v) { std::fill(d + T4_WIDE(FillRow16, d, n, v), d + n, v); }
void FillRow(uint32_t* d, int n, uint32_t v) { std::fill(d + T4_WIDE(FillRow32, d, n, v), d + n, v); }

void MaskRow(uint32_t* d, const uint32_t* s, int n, uint32_t mask) {
  for (int i = T4_WIDE(MaskRow32, d, s, n, mask); i < n; ++i) d[i] = s[i] & mask;
}

void HalfRow(uint32_t* d, const uint32_t* s, int n, bool render, bool keyed, uint32_t key) {
  const int mode = (render ? HALF_RENDER : HALF_BLIT) | (keyed ? HALF_KEYED : 0);
  for (int i = T4_WIDE(HalfRow32, d, s, n, mode, key); i < n; ++i) {
    const uint32_t p = s[i], q = d[i];
    if (keyed && (render ? (p >> 24) == 0 : p == key)) continue;
    const uint32_t half = ((p & 0xFEFEFEu) >> 1) + ((q & 0xFEFEFEu) >> 1) + (p & q & 0x010101u);
    if (render)
      d[i] = 0xFF000000u | half;
    else
      d[i] = (q & 0xFF000000u) | (q == key ? p & 0xFFFFFFu : half);
  }
}

void HalfRow565(uint16_t* d, const uint16_t* s, int n, bool keyed, uint16_t key) {
  const auto field = [](uint32_t a, uint32_t b, uint32_t mask) {
    return ((a * 255 / mask + b * 255 / mask) >> 1) * mask / 255;
  };
  for (int i = T4_WIDE(HalfRow565, d, s, n, keyed, key); i < n; ++i) {
    const uint32_t p = s[i], q = d[i];
    if (keyed && p == key) continue;
    d[i] = static_cast<uint16_t>(q == key ? p
                                          : field(p >> 11, q >> 11, 31) << 11 |
                                                field(p >> 5 & 63, q >> 5 & 63, 63) << 5 | field(p & 31, q & 31, 31));
  }
}

void ConvertRow16(Layout from, Layout to, bool keyed, uint16_t* d, const uint16_t* s, int n) {
  const int i = T4_WIDE(ConvertRow16, LanesLayout(from), LanesLayout(to), keyed, d, s, n);
  ForLayouts<ConvertTail>(from, to)(d, s, i, n, keyed);
}

void ModulateBlendRow16(Layout from, Layout to, uint16_t* d, const uint16_t* s, int n, const uint32_t mul[4],
                        const uint32_t add[4]) {
  const int i = T4_WIDE(ModulateBlendRow16, LanesLayout(from), LanesLayout(to), d, s, n, mul, add);
  ForLayouts<ModulateBlendTail>(from, to)(d, s, i, n, mul, add);
}

#undef T4_WIDE

}  // namespace t4::platform::raster::px
