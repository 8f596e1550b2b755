// Translucent and tinted blits: one quad in the render mode where the device can draw it, pixel
// by pixel on locked surfaces otherwise.
#include "gfx/dd_effect_pixels.h"
#include "gfx/dd_effects.h"
#include "platform/raster/pixel_traits.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

namespace {

// Per-byte (a + b) >> 1 of the three colour bytes.
inline uint32_t Half32(uint32_t a, uint32_t b) {
  return ((a & 0xFEFEFEu) >> 1) + ((b & 0xFEFEFEu) >> 1) + (a & b & 0x010101u);
}

// The row loops read ahead of their stores: a source row that overlaps its target a few pixels
// apart takes the pixel by pixel walk, which sees each store.
bool RowsApart(const void* s, const void* d, int64_t bytes) {
  const auto sa = reinterpret_cast<uintptr_t>(s), da = reinterpret_cast<uintptr_t>(d);
  const auto n = static_cast<uintptr_t>(bytes);
  return sa == da || sa + n <= da || da + n <= sa;
}

// The half-and-half mix of the software paths, in every layout but 24 bits.
void TransPixels(cEffectSurfaces& fx, int x, int y, int sx, int sy, const WalkRange& r, int nFlags,
                 const BYTE* lpTable) {
  const bool keyed = nFlags == BLT_TRANSPARENT;
  const DDCOLORMASK& m = g_TexMask;
  if (fx.m_nBytes == 4) {
    // The key and the mode are copied: a store through d could otherwise be the key's own.
    const uint32_t key = g_dwColorKey;
    const bool render = fx.m_bRender;
    for (int64_t i = r.i0; i < r.i1; ++i) {
      const uint32_t* s = fx.SrcRow32(sy + i) + sx;
      uint32_t* d = fx.DstRow32(y + i) + x;
      const int64_t n = r.j1 - r.j0;
      if (RowsApart(s + r.j0, d + r.j0, n * 4)) {
        px::HalfRow(d + r.j0, s + r.j0, static_cast<int>(n), render, keyed, key);
        continue;
      }
      for (int64_t j = r.j0; j < r.j1; ++j) {
        const uint32_t p = s[j], q = d[j];
        if (keyed && (render ? (p >> 24) == 0 : p == key)) continue;
        if (render)
          d[j] = 0xFF000000u | Half32(p, q);
        else if (q == key)
          d[j] = (q & 0xFF000000u) | (p & 0xFFFFFFu);  // nothing under it to mix with
        else
          d[j] = (q & 0xFF000000u) | Half32(p, q);
      }
    }
    return;
  }
  if (fx.m_nBytes == 1) {
    for (int64_t i = r.i0; i < r.i1; ++i) {
      const uint8_t* s = fx.SrcRow<uint8_t>(sy + i) + sx;
      uint8_t* d = fx.DstRow<uint8_t>(y + i) + x;
      for (int64_t j = r.j0; j < r.j1; ++j) {
        const uint32_t p = s[j], q = d[j];
        if (keyed && p == 0) continue;
        d[j] = static_cast<uint8_t>(q ? lpTable[p + q * 256] : p);
      }
    }
    return;
  }
  // 16 bits: the layouts and the key are copied, so that the stores cannot make them reload.
  const DDCOLORMASK tm = m, bm = g_BackMask;
  const uint32_t key = g_dwColorKey, alphaBits = static_cast<uint32_t>(tm.nAMask) << tm.nAShift;
  const bool render = fx.m_bRender, toBack = fx.m_bToBack16;
  const cFieldScale& fs = FieldScaleFor(tm);
  // The blit mode's R5G6B5 has a row loop of its own.
  const bool rows565 = !render && !toBack && key <= 0xFFFF && tm.nRMask == 31 && tm.nGMask == 63 && tm.nBMask == 31 &&
                       tm.nRShift == 11 && tm.nGShift == 5 && tm.nBShift == 0;
  for (int64_t i = r.i0; i < r.i1; ++i) {
    const uint16_t* s = fx.SrcRow<uint16_t>(sy + i) + sx;
    uint16_t* d = fx.DstRow<uint16_t>(y + i) + x;
    if (rows565 && RowsApart(s + r.j0, d + r.j0, (r.j1 - r.j0) * 2)) {
      px::HalfRow565(d + r.j0, s + r.j0, static_cast<int>(r.j1 - r.j0), keyed, static_cast<uint16_t>(key));
      continue;
    }
    for (int64_t j = r.j0; j < r.j1; ++j) {
      const uint32_t p = s[j], q = d[j];
      if (keyed && (render ? (p & alphaBits) == 0 : p == key)) continue;
      uint32_t out = 0;
      if (toBack) {
        const Rgb a = Split16(p, tm), b = Split16(q, bm);
        // The back buffer's green has one bit more than the texture's.
        out = static_cast<uint32_t>((a.r + b.r) >> 1) << bm.nRShift |
              static_cast<uint32_t>((b.g + 2 * a.g) >> 1) << bm.nGShift |
              static_cast<uint32_t>((a.b + b.b) >> 1) << bm.nBShift;
      } else if (render) {
        const Rgb a = Split16(p, tm), b = Split16(q, tm);
        out = Join16({(a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1}, tm) | alphaBits;
      } else if (q == key) {
        out = p;
      } else {
        const Rgb a = Split16(p, tm), b = Split16(q, tm);
        const auto mix = [&fs](int ch, int32_t u, int32_t v) {
          return static_cast<int32_t>(fs.from8[ch][(fs.to8[ch][u & 255] + fs.to8[ch][v & 255]) >> 1]);
        };
        out = Join16({mix(0, a.r, b.r), mix(1, a.g, b.g), mix(2, a.b, b.b)}, tm);
      }
      d[j] = static_cast<uint16_t>(out);
    }
  }
}

// Strength steps of c = (c + t) >> 1 reach their end (t, or t - 1 from below) within nine steps
// for 8-bit values, so more steps than that change nothing.
int32_t HalfSteps(int32_t c, int32_t t, int nSteps) {
  for (int k = 0; k < std::min(nSteps, 16); ++k) c = (c + t) >> 1;
  return c;
}

// The 8-bit tint: index i becomes table[i x 256 + nIndex], nSteps times, for all 256 indexes at
// once (by squaring, so a large strength costs no more than a small one).
void TintIndexMap(const BYTE* lpTable, int nIndex, int nSteps, BYTE map[256]) {
  BYTE step[256], next[256];
  for (int i = 0; i < 256; ++i) {
    map[i] = static_cast<BYTE>(i);
    step[i] = lpTable[i * 256 + nIndex];
  }
  for (int64_t n = std::max(nSteps, 0); n > 0; n >>= 1) {
    if (n & 1)
      for (int i = 0; i < 256; ++i) map[i] = step[map[i]];
    for (int i = 0; i < 256; ++i) next[i] = step[step[i]];
    std::copy_n(next, 256, step);
  }
}

void TintPixels(cEffectSurfaces& fx, int x, int y, int sx, int sy, const WalkRange& r, int nFlags,
                const PALETTEENTRY& tint, const BYTE* lpTable, int nIndex, int nStrength, const int* lpDrawState) {
  const bool keyed = nFlags == BLT_TRANSPARENT;
  const DDCOLORMASK& m = g_TexMask;
  BYTE indexMap[256];
  if (fx.m_nBytes == 1) TintIndexMap(lpTable, nIndex, nStrength, indexMap);
  // Render mode: weight of the picture for strengths 2 to 4; none at all beyond.
  const int k = nStrength >= 1 && nStrength <= 4 ? (256 >> nStrength) : 0;
  const double p = k / 255.0;
  Rgb t{tint.peRed, tint.peGreen, tint.peBlue};
  if (fx.m_bRender && fx.m_nBytes == 2)
    t = {From8(tint.peRed, m.nRMask), From8(tint.peGreen, m.nGMask), From8(tint.peBlue, m.nBMask)};
  else if (!fx.m_bRender && fx.m_nBytes == 2)
    t = {To8(tint.peRed, m.nRMask), To8(tint.peGreen, m.nGMask), To8(tint.peBlue, m.nBMask)};
  const auto mixRender = [&](int32_t c, int32_t tc) {
    return nStrength == 1 ? (c + tc) >> 1 : static_cast<int32_t>(c * p + tc * (1 - p));
  };
  if (fx.m_nBytes == 1) {
    for (int64_t i = r.i0; i < r.i1; ++i) {
      const uint8_t* s = fx.SrcRow<uint8_t>(sy + i) + sx;
      uint8_t* d = fx.DstRow<uint8_t>(y + i) + x;
      for (int64_t j = r.j0; j < r.j1; ++j)
        if (!(keyed && fx.IsClear(s[j]))) d[j] = indexMap[s[j]];
    }
    return;
  }
  // Every channel's result depends on that channel alone: a table per channel, each entry the
  // pixel formula for that value.
  const bool b16 = fx.m_nBytes == 2;
  const int32_t masks[3] = {b16 ? m.nRMask : 255, b16 ? m.nGMask : 255, b16 ? m.nBMask : 255};
  const int32_t tints[3] = {t.r, t.g, t.b};
  int32_t map[3][256] = {};
  for (int ch = 0; ch < 3; ++ch)
    for (int32_t v = 0; v <= std::min(masks[ch], int32_t{255}); ++v) {
      if (fx.m_bRender) {
        const Rgb added = AddDrawState({v, v, v}, lpDrawState, masks[0], masks[1], masks[2]);
        map[ch][v] = mixRender(ch == 0 ? added.r : ch == 1 ? added.g : added.b, tints[ch]);
      } else if (b16) {
        map[ch][v] = From8(HalfSteps(To8(v, masks[ch]), tints[ch], nStrength), masks[ch]);
      } else {
        map[ch][v] = HalfSteps(v, tints[ch], nStrength);
      }
    }
  const auto mapped = [&map](const Rgb& c) { return Rgb{map[0][c.r & 255], map[1][c.g & 255], map[2][c.b & 255]}; };
  const DDCOLORMASK tm = m;
  if (b16) {
    for (int64_t i = r.i0; i < r.i1; ++i) {
      const uint16_t* s = fx.SrcRow<uint16_t>(sy + i) + sx;
      uint16_t* d = fx.DstRow<uint16_t>(y + i) + x;
      for (int64_t j = r.j0; j < r.j1; ++j) {
        if (keyed && fx.IsClear(s[j])) continue;
        const Rgb c = mapped(Split16(s[j], tm));
        d[j] = static_cast<uint16_t>(fx.m_bRender ? fx.PackRender(c) : Join16(c, tm));
      }
    }
    return;
  }
  for (int64_t i = r.i0; i < r.i1; ++i) {
    const uint32_t* s = fx.SrcRow<uint32_t>(sy + i) + sx;
    uint32_t* d = fx.DstRow<uint32_t>(y + i) + x;
    for (int64_t j = r.j0; j < r.j1; ++j) {
      if (keyed && fx.IsClear(s[j])) continue;
      const Rgb c = mapped(Split32(s[j]));
      d[j] = fx.m_bRender ? 0xFF000000u | Join32(c) : (d[j] & 0xFF000000u) | Join32(c);
    }
  }
}

}  // namespace

bool DDBltTrans(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
                BYTE* lpTable, int nAlpha) {
  // The texture's alpha hides transparent pixels of the quad; the flag is not needed there.
  const D3DCOLOR diffuse = static_cast<D3DCOLOR>(static_cast<BYTE>(~nAlpha)) << 24 | 0xFFFFFFu;
  if (TryPictureQuad(
          lpDst, x, y, w, h, lpSrc, sx, sy, diffuse,
          Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE)))
    return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || fx.m_nBytes == 3 || (fx.m_nBytes == 1 && !lpTable)) return true;
  const WalkRange r = ClipWalk(x, y, w, h, sx, sy, fx.m_nDstW, fx.m_nDstH, fx.m_nSrcW, fx.m_nSrcH);
  if (!r.Empty()) TransPixels(fx, x, y, sx, sy, r, nFlags, lpTable);
  return true;
}

bool DDBltHalfTrans(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
                    BYTE* lpTable) {
  return DDBltTrans(lpDst, x, y, w, h, lpSrc, sx, sy, nFlags, lpTable, 128);
}

bool DDBltTint(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
               const PALETTEENTRY* lpPalette, const BYTE* lpTable, int nIndex, int nStrength, const int* lpDrawState) {
  if (nStrength == 0 || (lpDTCon && nStrength < 0)) return true;
  // The index comes from effect data: there is no colour beyond the palette to tint toward.
  if (nIndex < 0 || nIndex > 255 || !lpPalette) return true;
  const PALETTEENTRY& tint = lpPalette[nIndex];
  StageState st =
      Stage(D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
  static const uint32_t kFactorAlpha[4] = {128, 80, 48, 16};
  const uint32_t a = nStrength >= 1 && nStrength <= 4 ? kFactorAlpha[nStrength - 1] : 0;
  st.textureFactor =
      a << 24 | static_cast<uint32_t>(tint.peRed) << 16 | static_cast<uint32_t>(tint.peGreen) << 8 | tint.peBlue;
  if (TryPictureQuad(lpDst, x, y, w, h, lpSrc, sx, sy, 0xFFFFFFFF, st)) return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || fx.m_nBytes == 3 || (fx.m_nBytes == 1 && !lpTable)) return true;
  const WalkRange r = ClipWalk(x, y, w, h, sx, sy, fx.m_nDstW, fx.m_nDstH, fx.m_nSrcW, fx.m_nSrcH);
  if (!r.Empty()) TintPixels(fx, x, y, sx, sy, r, nFlags, tint, lpTable, nIndex, nStrength, lpDrawState);
  return true;
}
