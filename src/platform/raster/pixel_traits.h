// Compile-time forms of the pixel layouts for the tight loops: the same conversions as ToArgb and
// FromArgb, inline and without a switch, so that a loop specialised on its formats vectorises.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/raster/surface.h"

namespace t4::platform::raster::px {

inline uint32_t Widen5(uint32_t c) { return (c << 3) | (c >> 2); }
inline uint32_t Widen6(uint32_t c) { return (c << 2) | (c >> 4); }

// (v + 127) / 255 for 0 <= v <= 255 x 255: the rounded product of two 8-bit values scaled back.
inline uint32_t MulDiv255(uint32_t v) { return ((v + 127) * 0x8081u) >> 23; }

// A8R8G8B8 and X8R8G8B8: the value is its own 0xAARRGGBB.
struct Argb32 {
  using T = uint32_t;
  static uint32_t ToArgb(T p) { return p; }
  static T FromArgb(uint32_t c) { return c; }
};

// R5G6B5: no alpha (reads as 255).
struct Rgb565 {
  using T = uint16_t;
  static uint32_t ToArgb(T p) {
    return 0xFF000000u | Widen5(p >> 11 & 31u) << 16 | Widen6(p >> 5 & 63u) << 8 | Widen5(p & 31u);
  }
  static T FromArgb(uint32_t c) {
    return static_cast<T>((c >> 19 & 31u) << 11 | (c >> 10 & 63u) << 5 | (c >> 3 & 31u));
  }
};

// A1R5G5B5 and X1R5G5B5: the top bit is the alpha bit.
struct Argb1555 {
  using T = uint16_t;
  static uint32_t ToArgb(T p) {
    return ((p & 0x8000u) ? 0xFF000000u : 0u) | Widen5(p >> 10 & 31u) << 16 | Widen5(p >> 5 & 31u) << 8 |
           Widen5(p & 31u);
  }
  static T FromArgb(uint32_t c) {
    return static_cast<T>((c >> 31) << 15 | (c >> 19 & 31u) << 10 | (c >> 11 & 31u) << 5 | (c >> 3 & 31u));
  }
};

// A pixel of layout S as layout D stores it: FromArgb(ToArgb(p)), kept in 16 bits between the
// 16-bit layouts. `Opaque` is whether the pixel's alpha (as 0xAARRGGBB) is not 0.
template <typename S, typename D>
struct Convert {
  static typename D::T Pixel(typename S::T p) { return D::FromArgb(S::ToArgb(p)); }
  static bool Opaque(typename S::T p) { return (S::ToArgb(p) >> 24) != 0; }
};
template <typename F>
requires(!std::is_same_v<F, Argb32>) struct Convert<F, F> {
  static typename F::T Pixel(typename F::T p) { return p; }
  static bool Opaque(typename F::T p) { return std::is_same_v<F, Rgb565> || (p & 0x8000u) != 0; }
};
template <>
struct Convert<Argb1555, Rgb565> {
  static uint16_t Pixel(uint16_t p) {
    return static_cast<uint16_t>((p & 0x7C00u) << 1 | (p & 0x03E0u) << 1 | (p >> 4 & 0x20u) | (p & 0x1Fu));
  }
  static bool Opaque(uint16_t p) { return (p & 0x8000u) != 0; }
};
template <>
struct Convert<Rgb565, Argb1555> {
  static uint16_t Pixel(uint16_t p) {
    return static_cast<uint16_t>(0x8000u | (p >> 1 & 0x7C00u) | (p >> 1 & 0x03E0u) | (p & 0x1Fu));
  }
  static bool Opaque(uint16_t) { return true; }
};

// Which of the layouts above a format has (0: none of them).
enum class Layout : int { Other = 0, Argb32, Rgb565, Argb1555 };
inline Layout LayoutFor(PixelFormat f) {
  switch (f) {
    case PixelFormat::A8R8G8B8:
    case PixelFormat::X8R8G8B8: return Layout::Argb32;
    case PixelFormat::R5G6B5: return Layout::Rgb565;
    case PixelFormat::A1R5G5B5:
    case PixelFormat::X1R5G5B5: return Layout::Argb1555;
    default: return Layout::Other;
  }
}

template <typename F>
typename F::T* RowOf(Surface& s, int y) {
  return reinterpret_cast<typename F::T*>(s.Row(y));
}
template <typename F>
const typename F::T* RowOf(const Surface& s, int y) {
  return reinterpret_cast<const typename F::T*>(s.Row(y));
}

}  // namespace t4::platform::raster::px

namespace t4::platform::raster::px {

// The row operations that the textured quads, blits and effects share. Exact integer results,
// the same at every vector width: the machine's widest (AVX-512 or AVX2, chosen at run time),
// else SSE2 (part of every x86-64), else plain loops.

// Plain: no unit beyond the baseline (SSE2 on x86-64).
enum class Lanes : int { Plain = 0, Avx2 = 1, Avx512 = 2 };
// The widest the machine has, and the one in use.
Lanes MachineLanes();
Lanes ActiveLanes();
// Sets the width in use, at most the machine's (for comparing the widths); returns the previous.
Lanes UseLanes(Lanes lanes);

// Source-alpha blend in place: d = (c x a + d x (255 - a) + 127) / 255 per channel, a = c's alpha.
void BlendRow(uint32_t* d, const uint32_t* c, int n);
// Per channel (index = shift / 8): c = (c x mul + 127) / 255 + add, mul <= 255, result <= 255.
void ModulateRow(uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]);
// BlendRow(d, c') with c' = ModulateRow(c) in one pass (c is left as it was).
void ModulateBlendRow(uint32_t* d, const uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]);
// Colour bytes of d = (s x f + add) >> 8 per channel (blue, green, red), d's top byte kept; for
// f <= 256 and s x f + add <= 65535.
void ScaleRow(uint32_t* d, const uint32_t* s, int n, uint32_t f, const uint32_t add[3]);
// BlendRow for colours that are mostly opaque or clear: stored or left a vector at a time.
void StoreOrBlendRow(uint32_t* d, const uint32_t* c, int n);
// o = table[s] for a row of 8-bit indices.
void LookupRow(uint32_t* o, const uint8_t* s, int n, const uint32_t table[256]);
// d = s where s is not the key.
void KeyedRow(uint8_t* d, const uint8_t* s, int n, uint8_t key);
void KeyedRow(uint16_t* d, const uint16_t* s, int n, uint16_t key);
void KeyedRow(uint32_t* d, const uint32_t* s, int n, uint32_t key);
// d = v.
void FillRow(uint16_t* d, int n, uint16_t v);
void FillRow(uint32_t* d, int n, uint32_t v);
// d = s & mask.
void MaskRow(uint32_t* d, const uint32_t* s, int n, uint32_t mask);
// The translucent blit's half-and-half mix of 32-bit pixels, d = (s + d) >> 1 per colour byte:
// in the render mode with an opaque result, leaving d where s's alpha is zero when `keyed`; in
// the blit mode keeping d's top byte, copying s's colour where d is `key` and leaving d where s
// is `key` when `keyed`. d and s must not overlap unless they are the same row.
void HalfRow(uint32_t* d, const uint32_t* s, int n, bool render, bool keyed, uint32_t key);
// The blit mode's half-and-half mix of R5G6B5 pixels: each field taken to 8 bits (f x 255 / mask),
// the two averaged ((a + b) >> 1) and taken back (m x mask / 255); s's colour where d is `key`, d
// left where s is `key` when `keyed`. The same overlap rule as HalfRow.
void HalfRow565(uint16_t* d, const uint16_t* s, int n, bool keyed, uint16_t key);

// 16-bit texels of layout `from` (Rgb565 or Argb1555) onto a target of layout `to`: converted and
// stored (where opaque when `keyed`); or modulated per channel as ModulateRow and blended as
// BlendRow, as if both were 0xAARRGGBB.
void ConvertRow16(Layout from, Layout to, bool keyed, uint16_t* d, const uint16_t* s, int n);
void ModulateBlendRow16(Layout from, Layout to, uint16_t* d, const uint16_t* s, int n, const uint32_t mul[4],
                        const uint32_t add[4]);

}  // namespace t4::platform::raster::px
