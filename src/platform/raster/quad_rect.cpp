// The axis-aligned textured quad: everything that is the same for the whole quad (clipping, texel
// columns and rows, the stage's effect on each channel, the formats) is settled once, and the
// pixels go through a loop specialised on the texture and target formats.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/raster/blit.h"
#include "platform/raster/pixel_traits.h"
#include "platform/raster/quad.h"
#include "platform/raster/quad_pixels.h"

namespace t4::platform::raster {

namespace {

using px::MulDiv255;

inline int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Texel index along one axis for destination offsets [first, first + n): i samples
// start + floor((2i + 1) x sw / 2w) wrapped into [0, size). One division for the whole span.
void SampleSpan(int32_t* out, int64_t first, int64_t n, int64_t start, int64_t sw, int64_t w, int size) {
  const int64_t den = 2 * w;
  int64_t num = (2 * first + 1) * sw;
  int64_t q = FloorDiv(num, den), r = num - q * den;  // 0 <= r < den
  const int64_t step = 2 * sw;
  const int64_t qStep = FloorDiv(step, den), rStep = step - qStep * den;
  int t = Wrap(start + q, size);
  const int tStep = Wrap(qStep, size);
  // Whole texels a step (one to one, or a whole-number shrink) that do not wrap: a plain ramp.
  if (rStep == 0 && n > 0 && t + int64_t{tStep} * (n - 1) < size) {
    for (int64_t i = 0; i < n; ++i) out[i] = static_cast<int32_t>(t + tStep * i);
    return;
  }
  for (int64_t i = 0; i < n; ++i) {
    out[i] = t;
    r += rStep;
    t += tStep;
    if (r >= den) {
      r -= den;
      ++t;
    }
    if (t >= size) t -= size;
  }
}

// What the stage does to each channel of a texel, as one of: nothing (the texel passes), a
// rounded product and an addition per channel, or a 256-entry table per channel. Channels are
// indexed by shift / 8 (blue 0 .. alpha 3).
enum Kind : int { PLAIN = 0, ARITH = 1, TABLE = 2 };
struct Combiner {
  int kind = PLAIN;
  std::array<uint32_t, 4> mul{255, 255, 255, 255};
  std::array<uint32_t, 4> add{};
  std::array<std::array<uint8_t, 256>, 4> table{};

  template <int K>
  uint32_t Apply(uint32_t t) const {
    if constexpr (K == PLAIN) {
      return t;
    } else if constexpr (K == ARITH) {
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c) out |= (MulDiv255((t >> (8 * c) & 255) * mul[c]) + add[c]) << (8 * c);
      return out;
    } else {
      return static_cast<uint32_t>(table[0][t & 255]) | static_cast<uint32_t>(table[1][t >> 8 & 255]) << 8 |
             static_cast<uint32_t>(table[2][t >> 16 & 255]) << 16 | static_cast<uint32_t>(table[3][t >> 24]) << 24;
    }
  }
};

// Each output channel of the stage depends on the same channel of the texel only (the other
// arguments are the same for the whole quad), so the stage is fully described by what it makes
// of a texel whose four channels all hold t, for every t. The tables are then checked for the
// simpler forms, over all 256 inputs, so the faster form is exact whenever it is chosen.
void BuildCombiner(Combiner& cb, const StageState& st, uint32_t diffuse) {
  for (uint32_t t = 0; t < 256; ++t) {
    const uint32_t out = CombineStage(st, t * 0x01010101u, diffuse);
    for (int c = 0; c < 4; ++c) cb.table[c][t] = static_cast<uint8_t>(out >> (8 * c));
  }
  bool arith = true, plain = true;
  for (int c = 0; c < 4; ++c) {
    const uint32_t add = cb.table[c][0], top = cb.table[c][255];
    const uint32_t mul = top >= add ? top - add : 0;
    for (uint32_t t = 0; t < 256 && arith; ++t) arith = cb.table[c][t] == MulDiv255(t * mul) + add;
    cb.mul[c] = mul;
    cb.add[c] = add;
    plain = plain && mul == 255 && add == 0;
  }
  cb.kind = !arith ? TABLE : plain ? PLAIN : ARITH;
}

// The stage of the last quad drawn on this thread: consecutive sprites share it.
struct CombinerCache {
  bool valid = false;
  StageState st;
  uint32_t diffuse = 0;
  Combiner cb;
};

const Combiner& CombinerFor(const StageState& st, uint32_t diffuse) {
  thread_local CombinerCache cache;
  const StageState& c = cache.st;
  if (!cache.valid || cache.diffuse != diffuse || c.colorOp != st.colorOp || c.colorArg1 != st.colorArg1 ||
      c.colorArg2 != st.colorArg2 || c.alphaOp != st.alphaOp || c.alphaArg1 != st.alphaArg1 ||
      c.alphaArg2 != st.alphaArg2 || c.textureFactor != st.textureFactor) {
    BuildCombiner(cache.cb, st, diffuse);
    cache.st = st;
    cache.diffuse = diffuse;
    cache.valid = true;
  }
  return cache.cb;
}

// What the alphas of a run of colours allow: all 255 (a plain store), only 0 and 255 (a store
// where opaque), or anything (the blend).
enum Alphas : int { ALL_OPAQUE = 0, CLEAR_OR_OPAQUE = 1, PARTIAL = 2 };
Alphas AlphasOf(const uint32_t* c, int n) {
  uint32_t all = 0xFF, partial = 0;
  for (int i = 0; i < n; ++i) {
    const uint32_t a = c[i] >> 24;
    all &= a;
    partial |= (a + 1) & 0xFE;  // 0 for a = 0 and a = 255 only
  }
  return partial ? PARTIAL : all == 0xFF ? ALL_OPAQUE : CLEAR_OR_OPAQUE;
}

// How the quad's colours reach the target: written as they are, or alpha-blended.
enum Write : int { STORE = 0, BLEND = 1 };

// Pixels go through in chunks: the stage's colours first, then the write, each a simple loop.
constexpr int CHUNK = 256;

template <typename S, int K, bool CONTIG>
void Colours(uint32_t* __restrict out, const typename S::T* __restrict s, const int32_t* __restrict cols, int n,
             const Combiner& cb) {
  for (int i = 0; i < n; ++i) out[i] = S::ToArgb(CONTIG ? s[i] : s[cols[i]]);
  if constexpr (K == ARITH) {
    px::ModulateRow(out, n, cb.mul.data(), cb.add.data());
  } else if constexpr (K == TABLE) {
    for (int i = 0; i < n; ++i) out[i] = cb.Apply<TABLE>(out[i]);
  }
}

// Texels that pass the stage unchanged, straight from a texture of 16-bit or no alpha: written
// where opaque (the blend of alpha 0 keeps the target, of alpha 255 gives the texel).
template <typename S, typename D, int WR, bool CONTIG>
void DirectRow(typename D::T* __restrict d, const typename S::T* __restrict s, const int32_t* __restrict cols, int n) {
  using C = px::Convert<S, D>;
  for (int i = 0; i < n; ++i) {
    const typename S::T p = CONTIG ? s[i] : s[cols[i]];
    if constexpr (WR == STORE)
      d[i] = C::Pixel(p);
    else
      d[i] = C::Opaque(p) ? C::Pixel(p) : d[i];
  }
}

template <typename F>
constexpr bool IS16 = std::is_same_v<F, px::Rgb565> || std::is_same_v<F, px::Argb1555>;
template <typename F>
constexpr px::Layout LAYOUT = std::is_same_v<F, px::Rgb565> ? px::Layout::Rgb565 : px::Layout::Argb1555;

// The texels of a run in a row of their own (sampled columns gathered), chunk by chunk.
template <typename S, bool CONTIG, typename F>
void ByChunk(const typename S::T* __restrict s, const int32_t* __restrict cols, int n, F run) {
  if constexpr (CONTIG) {
    run(s, 0, n);
  } else {
    alignas(64) typename S::T texels[CHUNK];
    for (int at = 0; at < n; at += CHUNK) {
      const int m = std::min(CHUNK, n - at);
      for (int i = 0; i < m; ++i) texels[i] = s[cols[at + i]];
      run(texels, at, m);
    }
  }
}

template <typename S, typename D, int K, int WR, bool CONTIG>
void Row(typename D::T* __restrict d, const typename S::T* __restrict s, const int32_t* __restrict cols, int n,
         const Combiner& cb) {
  if constexpr (IS16<S> && IS16<D> && (K == PLAIN || (K == ARITH && WR == BLEND))) {
    // 16-bit texels onto a 16-bit target stay in 16-bit lanes.
    ByChunk<S, CONTIG>(s, cols, n, [&](const uint16_t* t, int at, int m) {
      if constexpr (K == PLAIN)
        px::ConvertRow16(LAYOUT<S>, LAYOUT<D>, WR == BLEND, d + at, t, m);
      else
        px::ModulateBlendRow16(LAYOUT<S>, LAYOUT<D>, d + at, t, m, cb.mul.data(), cb.add.data());
    });
    return;
  } else if constexpr (K == PLAIN && (WR == STORE || !std::is_same_v<S, px::Argb32>)) {
    DirectRow<S, D, WR, CONTIG>(d, s, cols, n);
    return;
  } else if constexpr (K == PLAIN && std::is_same_v<S, px::Argb32> && std::is_same_v<D, px::Argb32>) {
    // Sprites: mostly opaque or clear texels, stored or skipped a vector at a time.
    ByChunk<S, CONTIG>(s, cols, n, [&](const uint32_t* t, int at, int m) { px::StoreOrBlendRow(d + at, t, m); });
    return;
  }
  alignas(16) uint32_t buf[CHUNK];
  alignas(16) uint32_t under[CHUNK];
  if constexpr (K == ARITH && WR == BLEND) {
    // A stage that changes the alpha (translucent sprites): the product and the blend in one pass.
    if (cb.mul[3] != 255 || cb.add[3] != 0) {
      if constexpr (std::is_same_v<S, px::Argb32> && std::is_same_v<D, px::Argb32>) {
        ByChunk<S, CONTIG>(s, cols, n, [&](const uint32_t* t, int at, int m) {
          px::ModulateBlendRow(d + at, t, m, cb.mul.data(), cb.add.data());
        });
        return;
      }
      for (int at = 0; at < n; at += CHUNK) {
        const int m = std::min(CHUNK, n - at);
        typename D::T* dd = d + at;
        Colours<S, PLAIN, CONTIG>(buf, CONTIG ? s + at : s, CONTIG ? nullptr : cols + at, m, cb);
        if constexpr (std::is_same_v<D, px::Argb32>) {
          px::ModulateBlendRow(dd, buf, m, cb.mul.data(), cb.add.data());
        } else {
          for (int i = 0; i < m; ++i) under[i] = D::ToArgb(dd[i]);
          px::ModulateBlendRow(under, buf, m, cb.mul.data(), cb.add.data());
          for (int i = 0; i < m; ++i) dd[i] = D::FromArgb(under[i]);
        }
      }
      return;
    }
  }
  for (int at = 0; at < n; at += CHUNK) {
    const int m = std::min(CHUNK, n - at);
    typename D::T* dd = d + at;
    // A plain 32-bit texel row is its own colour row.
    const uint32_t* c = buf;
    if constexpr (K == PLAIN && CONTIG && std::is_same_v<S, px::Argb32>)
      c = s + at;
    else
      Colours<S, K, CONTIG>(buf, CONTIG ? s + at : s, CONTIG ? nullptr : cols + at, m, cb);
    if constexpr (WR == BLEND && std::is_same_v<D, px::Argb32>) {
      px::StoreOrBlendRow(dd, c, m);
      continue;
    }
    const Alphas alphas = WR == STORE ? ALL_OPAQUE : AlphasOf(c, m);
    if (alphas == ALL_OPAQUE) {
      if constexpr (std::is_same_v<D, px::Argb32>)
        std::memcpy(dd, c, sizeof(uint32_t) * static_cast<size_t>(m));
      else
        for (int i = 0; i < m; ++i) dd[i] = D::FromArgb(c[i]);
    } else if (alphas == CLEAR_OR_OPAQUE) {
      for (int i = 0; i < m; ++i) dd[i] = (c[i] >> 24) ? D::FromArgb(c[i]) : dd[i];
    } else {
      for (int i = 0; i < m; ++i) under[i] = D::ToArgb(dd[i]);
      px::BlendRow(under, c, m);
      for (int i = 0; i < m; ++i) dd[i] = D::FromArgb(under[i]);
    }
  }
}

// Rows [y0, y1) x columns [x0, x1) of the target, texel rows and columns already sampled.
struct Span {
  int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  const int32_t* cols = nullptr;  // texel column of each target column
  const int32_t* rows = nullptr;  // texel row of each target row
  bool oneToOne = false;          // columns step by one from cols[0] without wrapping
};

template <typename S, typename D, int K, int WR>
void DrawRows(Surface& target, const Surface& tex, const Span& sp, const Combiner& cb) {
  const int n = sp.x1 - sp.x0;
  for (int y = sp.y0; y < sp.y1; ++y) {
    typename D::T* d = px::RowOf<D>(target, y) + sp.x0;
    const typename S::T* s = px::RowOf<S>(tex, sp.rows[y - sp.y0]);
    if (sp.oneToOne)
      Row<S, D, K, WR, true>(d, s + sp.cols[0], nullptr, n, cb);
    else
      Row<S, D, K, WR, false>(d, s, sp.cols, n, cb);
  }
}

template <typename S, typename D>
void DrawFormats(Surface& target, const Surface& tex, const Span& sp, const Combiner& cb, bool alphaBlend) {
  if (!alphaBlend && cb.kind == PLAIN && std::is_same_v<S, D> && sp.oneToOne) {
    for (int y = sp.y0; y < sp.y1; ++y)
      std::memcpy(px::RowOf<D>(target, y) + sp.x0, px::RowOf<S>(tex, sp.rows[y - sp.y0]) + sp.cols[0],
                  sizeof(typename D::T) * static_cast<size_t>(sp.x1 - sp.x0));
    return;
  }
#define T4_QUAD_KIND(K)                            \
  if (alphaBlend)                                  \
    DrawRows<S, D, K, BLEND>(target, tex, sp, cb); \
  else                                             \
    DrawRows<S, D, K, STORE>(target, tex, sp, cb);
  switch (cb.kind) {
    case PLAIN: T4_QUAD_KIND(PLAIN) break;
    case ARITH: T4_QUAD_KIND(ARITH) break;
    default: T4_QUAD_KIND(TABLE) break;
  }
#undef T4_QUAD_KIND
}

template <typename S>
bool DrawFromTexture(Surface& target, const Surface& tex, const Span& sp, const Combiner& cb, bool alphaBlend) {
  switch (px::LayoutFor(target.Format())) {
    case px::Layout::Argb32: DrawFormats<S, px::Argb32>(target, tex, sp, cb, alphaBlend); return true;
    case px::Layout::Rgb565: DrawFormats<S, px::Rgb565>(target, tex, sp, cb, alphaBlend); return true;
    case px::Layout::Argb1555: DrawFormats<S, px::Argb1555>(target, tex, sp, cb, alphaBlend); return true;
    default: return false;
  }
}

bool DrawTextured(Surface& target, const Surface& tex, const Span& sp, const Combiner& cb, bool alphaBlend) {
  switch (px::LayoutFor(tex.Format())) {
    case px::Layout::Argb32: return DrawFromTexture<px::Argb32>(target, tex, sp, cb, alphaBlend);
    case px::Layout::Rgb565: return DrawFromTexture<px::Rgb565>(target, tex, sp, cb, alphaBlend);
    case px::Layout::Argb1555: return DrawFromTexture<px::Argb1555>(target, tex, sp, cb, alphaBlend);
    default: return false;
  }
}

// One colour over the whole quad (no texture: the stage reads opaque white).
template <typename D>
void BlendConstant(Surface& target, const Span& sp, uint32_t color) {
  alignas(16) uint32_t colour[CHUNK];
  alignas(16) uint32_t under[CHUNK];
  std::fill_n(colour, CHUNK, color);
  for (int y = sp.y0; y < sp.y1; ++y) {
    typename D::T* d = px::RowOf<D>(target, y);
    for (int at = sp.x0; at < sp.x1; at += CHUNK) {
      const int m = std::min(CHUNK, sp.x1 - at);
      if constexpr (std::is_same_v<D, px::Argb32>) {
        px::BlendRow(d + at, colour, m);
      } else {
        for (int i = 0; i < m; ++i) under[i] = D::ToArgb(d[at + i]);
        px::BlendRow(under, colour, m);
        for (int i = 0; i < m; ++i) d[at + i] = D::FromArgb(under[i]);
      }
    }
  }
}

// Any pair of formats, pixel by pixel through the generic conversions.
void DrawAnyFormat(Surface& target, const Surface* tex, const Span& sp, const StageState& st, uint32_t diffuse) {
  for (int y = sp.y0; y < sp.y1; ++y)
    for (int x = sp.x0; x < sp.x1; ++x) {
      const uint32_t texel = tex ? ReadTexel(*tex, sp.cols[x - sp.x0], sp.rows[y - sp.y0]) : 0xFFFFFFFF;
      WriteQuadPixel(target, x, y, CombineStage(st, texel, diffuse), st);
    }
}

}  // namespace

void DrawRectQuad(Surface& target, int x, int y, int w, int h, const Surface* texture, int sx, int sy, int sw, int sh,
                  uint32_t diffuse, const StageState& st, const IntRect* clip) {
  if (w <= 0 || h <= 0) return;
  int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>(int64_t{x} + w, target.Width());
  int64_t y1 = std::min<int64_t>(int64_t{y} + h, target.Height());
  if (clip) {
    x0 = std::max<int64_t>(x0, clip->x);
    y0 = std::max<int64_t>(y0, clip->y);
    x1 = std::min<int64_t>(x1, int64_t{clip->x} + clip->w);
    y1 = std::min<int64_t>(y1, int64_t{clip->y} + clip->h);
  }
  if (x0 >= x1 || y0 >= y1) return;
  Span sp{static_cast<int>(x0), static_cast<int>(x1), static_cast<int>(y0), static_cast<int>(y1)};
  const bool hasTex = texture && texture->Width() > 0 && texture->Height() > 0;
  if (!hasTex) {
    const uint32_t color = CombineStage(st, 0xFFFFFFFF, diffuse);
    const uint32_t a = color >> 24;
    if (!st.alphaBlend || a == 255) {
      FillRect(target, sp.x0, sp.y0, sp.x1 - sp.x0, sp.y1 - sp.y0, FromArgb(target.Format(), color));
      return;
    }
    if (a == 0) return;
    switch (px::LayoutFor(target.Format())) {
      case px::Layout::Argb32: BlendConstant<px::Argb32>(target, sp, color); return;
      case px::Layout::Rgb565: BlendConstant<px::Rgb565>(target, sp, color); return;
      case px::Layout::Argb1555: BlendConstant<px::Argb1555>(target, sp, color); return;
      default: DrawAnyFormat(target, nullptr, sp, st, diffuse); return;
    }
  }
  // Texel columns and rows of the visible part, in buffers kept by the thread (no allocation once
  // they have grown to the screen's size).
  thread_local std::vector<int32_t> cols, rows;
  cols.resize(static_cast<size_t>(x1 - x0));
  rows.resize(static_cast<size_t>(y1 - y0));
  SampleSpan(cols.data(), x0 - x, x1 - x0, sx, sw, w, texture->Width());
  SampleSpan(rows.data(), y0 - y, y1 - y0, sy, sh, h, texture->Height());
  sp.cols = cols.data();
  sp.rows = rows.data();
  sp.oneToOne = sw == w && int64_t{cols[0]} + (x1 - x0) <= texture->Width();
  // A texture drawn onto itself is read as it is written: only the pixel-by-pixel order keeps that.
  if (texture != &target && DrawTextured(target, *texture, sp, CombinerFor(st, diffuse), st.alphaBlend)) return;
  DrawAnyFormat(target, texture, sp, st, diffuse);
}

}  // namespace t4::platform::raster
