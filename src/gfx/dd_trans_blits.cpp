// Translucent and tinted blits: one quad in the render mode where the device can draw it, pixel
// by pixel on locked surfaces otherwise.
#include "gfx/dd_effect_pixels.h"
#include "gfx/dd_effects.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

namespace {

// Per-byte (a + b) >> 1 of the three colour bytes.
inline uint32_t Half32(uint32_t a, uint32_t b) {
  return ((a & 0xFEFEFEu) >> 1) + ((b & 0xFEFEFEu) >> 1) + (a & b & 0x010101u);
}

// The half-and-half mix of the software paths, in every layout but 24 bits.
void TransPixels(cEffectSurfaces& fx, int x, int y, int sx, int sy, const WalkRange& r, int nFlags,
                 const BYTE* lpTable) {
  const bool keyed = nFlags == BLT_TRANSPARENT;
  const DDCOLORMASK& m = g_TexMask;
  if (fx.m_nBytes == 4) {
    for (int64_t i = r.i0; i < r.i1; ++i) {
      const uint32_t* s = fx.SrcRow32(sy + i) + sx;
      uint32_t* d = fx.DstRow32(y + i) + x;
      for (int64_t j = r.j0; j < r.j1; ++j) {
        const uint32_t p = s[j];
        if (keyed && fx.IsClear(p)) continue;
        if (fx.m_bRender)
          d[j] = 0xFF000000u | Half32(p, d[j]);
        else if (d[j] == g_dwColorKey)
          d[j] = (d[j] & 0xFF000000u) | (p & 0xFFFFFFu);  // nothing under it to mix with
        else
          d[j] = (d[j] & 0xFF000000u) | Half32(p, d[j]);
      }
    }
    return;
  }
  for (int64_t i = r.i0; i < r.i1; ++i)
    for (int64_t j = r.j0; j < r.j1; ++j) {
      const uint32_t p = fx.Src(sx + j, sy + i), q = fx.Dst(x + j, y + i);
      uint32_t out = 0;
      if (fx.m_nBytes == 1) {
        if (keyed && p == 0) continue;
        out = q ? lpTable[p + q * 256] : p;
      } else if (keyed && fx.IsClear(p)) {
        continue;
      } else if (fx.m_bToBack16) {
        const Rgb s = Split16(p, m), b = Split16(q, g_BackMask);
        // The back buffer's green has one bit more than the texture's.
        out = static_cast<uint32_t>((s.r + b.r) >> 1) << g_BackMask.nRShift |
              static_cast<uint32_t>((b.g + 2 * s.g) >> 1) << g_BackMask.nGShift |
              static_cast<uint32_t>((s.b + b.b) >> 1) << g_BackMask.nBShift;
      } else if (fx.m_bRender) {
        const Rgb s = Split16(p, m), b = Split16(q, m);
        out = fx.PackRender({(s.r + b.r) >> 1, (s.g + b.g) >> 1, (s.b + b.b) >> 1});
      } else if (q == g_dwColorKey) {
        out = p;
      } else {
        const Rgb s = Split16(p, m), b = Split16(q, m);
        const auto mix = [](int32_t u, int32_t v, int32_t mask) {
          return From8((To8(u, mask) + To8(v, mask)) >> 1, mask);
        };
        out = fx.PackBlit({mix(s.r, b.r, m.nRMask), mix(s.g, b.g, m.nGMask), mix(s.b, b.b, m.nBMask)}, q);
      }
      fx.Put(x + j, y + i, out);
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
  for (int64_t i = r.i0; i < r.i1; ++i)
    for (int64_t j = r.j0; j < r.j1; ++j) {
      const uint32_t px = fx.Src(sx + j, sy + i);
      if (keyed && fx.IsClear(px)) continue;
      uint32_t out = 0;
      if (fx.m_nBytes == 1) {
        out = indexMap[px & 255];
      } else if (fx.m_bRender) {
        Rgb c = fx.m_nBytes == 2 ? Split16(px, m) : Split32(px);
        const int32_t rm = fx.m_nBytes == 2 ? m.nRMask : 255, gm = fx.m_nBytes == 2 ? m.nGMask : 255,
                      bm = fx.m_nBytes == 2 ? m.nBMask : 255;
        c = AddDrawState(c, lpDrawState, rm, gm, bm);
        out = fx.PackRender({mixRender(c.r, t.r), mixRender(c.g, t.g), mixRender(c.b, t.b)});
      } else if (fx.m_nBytes == 2) {
        const Rgb c = Split16(px, m);
        out = fx.PackBlit({From8(HalfSteps(To8(c.r, m.nRMask), t.r, nStrength), m.nRMask),
                           From8(HalfSteps(To8(c.g, m.nGMask), t.g, nStrength), m.nGMask),
                           From8(HalfSteps(To8(c.b, m.nBMask), t.b, nStrength), m.nBMask)},
                          0);
      } else {
        const Rgb c = Split32(px);
        out = fx.PackBlit({HalfSteps(c.r, t.r, nStrength), HalfSteps(c.g, t.g, nStrength),
                           HalfSteps(c.b, t.b, nStrength)},
                          fx.Dst(x + j, y + i));
      }
      fx.Put(x + j, y + i, out);
    }
}

}  // namespace

bool DDBltTrans(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
                BYTE* lpTable, int nAlpha) {
  // The texture's alpha hides transparent pixels of the quad; the flag is not needed there.
  const D3DCOLOR diffuse = static_cast<D3DCOLOR>(static_cast<BYTE>(~nAlpha)) << 24 | 0xFFFFFFu;
  if (TryPictureQuad(lpDst, x, y, w, h, lpSrc, sx, sy, diffuse,
                     Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
                           D3DTA_DIFFUSE)))
    return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || fx.m_nBytes == 3 || (fx.m_nBytes == 1 && !lpTable)) return true;
  const WalkRange r = ClipWalk(x, y, w, h, sx, sy, fx.m_nDstW, fx.m_nDstH, fx.m_nSrcW, fx.m_nSrcH);
  if (!r.Empty()) TransPixels(fx, x, y, sx, sy, r, nFlags, lpTable);
  return true;
}

bool DDBltHalfTrans(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy,
                    int nFlags, BYTE* lpTable) {
  return DDBltTrans(lpDst, x, y, w, h, lpSrc, sx, sy, nFlags, lpTable, 128);
}

bool DDBltTint(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
               const PALETTEENTRY* lpPalette, const BYTE* lpTable, int nIndex, int nStrength,
               const int* lpDrawState) {
  if (nStrength == 0 || (lpDTCon && nStrength < 0)) return true;
  // The index comes from effect data: there is no colour beyond the palette to tint toward.
  if (nIndex < 0 || nIndex > 255 || !lpPalette) return true;
  const PALETTEENTRY& tint = lpPalette[nIndex];
  StageState st = Stage(D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DTA_TEXTURE,
                        D3DTA_DIFFUSE);
  static const uint32_t kFactorAlpha[4] = {128, 80, 48, 16};
  const uint32_t a = nStrength >= 1 && nStrength <= 4 ? kFactorAlpha[nStrength - 1] : 0;
  st.textureFactor = a << 24 | static_cast<uint32_t>(tint.peRed) << 16 | static_cast<uint32_t>(tint.peGreen) << 8 |
                     tint.peBlue;
  if (TryPictureQuad(lpDst, x, y, w, h, lpSrc, sx, sy, 0xFFFFFFFF, st)) return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || fx.m_nBytes == 3 || (fx.m_nBytes == 1 && !lpTable)) return true;
  const WalkRange r = ClipWalk(x, y, w, h, sx, sy, fx.m_nDstW, fx.m_nDstH, fx.m_nSrcW, fx.m_nSrcH);
  if (!r.Empty()) TintPixels(fx, x, y, sx, sy, r, nFlags, tint, lpTable, nIndex, nStrength, lpDrawState);
  return true;
}
