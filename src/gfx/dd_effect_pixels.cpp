// Pixel access and one-quad draws shared by the picture effects.
#include "gfx/dd_effect_pixels.h"

using namespace t4::platform::raster;

namespace t4::gfx {

WalkRange ClipWalk(int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx, int64_t sy, int dstW, int dstH, int srcW,
                   int srcH) {
  WalkRange r;
  r.j0 = std::max({int64_t{0}, -x, -sx});
  r.j1 = std::min({w, dstW - x, srcW - sx});
  r.i0 = std::max({int64_t{0}, -y, -sy});
  r.i1 = std::min({h, dstH - y, srcH - sy});
  return r;
}

const cFieldScale& FieldScaleFor(const DDCOLORMASK& m) {
  thread_local DDCOLORMASK built{};
  thread_local cFieldScale scale;
  thread_local bool valid = false;
  if (!valid || built.nRMask != m.nRMask || built.nGMask != m.nGMask || built.nBMask != m.nBMask) {
    const int32_t masks[3] = {m.nRMask, m.nGMask, m.nBMask};
    for (int ch = 0; ch < 3; ++ch)
      for (int32_t v = 0; v < 256; ++v) {
        scale.to8[ch][v] = static_cast<uint8_t>(To8(std::min(v, masks[ch]), masks[ch]));
        scale.from8[ch][v] = static_cast<uint8_t>(From8(v, masks[ch]));
      }
    built = m;
    valid = true;
  }
  return scale;
}

void RedirectEffectPair(DDSURFACEDATA** lplpDst, DDSURFACEDATA** lplpSrc) {
  DDRedirectToSrcSD(lplpDst);
  DDRedirectToVirBackBuffer(lplpDst);
  DDRedirectToSrcSD(lplpSrc);
  DDRedirectToVirBackBuffer(lplpSrc);
}

bool cEffectSurfaces::Lock(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc) {
  if (!lpDst || !lpSrc) return false;
  if (lpDTCon) {
    RedirectEffectPair(&lpDst, &lpSrc);
  }
  if (!m_Dst.Lock(lpDst) || !m_Src.Lock(lpSrc)) return false;
  m_lpDst = lpDst;
  m_lpSrc = lpSrc;
  m_nDstW = std::min(lpDst->nWidth, m_Dst.Width());
  m_nDstH = std::min(lpDst->nHeight, m_Dst.Height());
  m_nSrcW = std::min(lpSrc->nWidth, m_Src.Width());
  m_nSrcH = std::min(lpSrc->nHeight, m_Src.Height());
  m_nDstPitch = m_Dst.Pixels()->Pitch();
  m_nSrcPitch = m_Src.Pixels()->Pitch();
  m_lpDstBits = m_Dst.Pixels()->Bits();
  m_lpSrcBits = m_Src.Pixels()->Bits();
  m_nSrcBytes = m_Src.m_nBytesPerPixel;
  m_nBytes = m_Dst.m_nBytesPerPixel;
  m_bSameLayout = m_Src.m_nBytesPerPixel == m_nBytes ? 1 : 0;
  m_bRender = lpDTCon ? 1 : 0;
  m_bToBack16 = (m_bRender && m_nBytes == 2 && DDIsFullScreenBackBuffer(lpDst)) ? 1 : 0;
  return true;
}

uint32_t cEffectSurfaces::ToBack16(uint32_t texel) const {
  const Rgb c = Split16(texel, g_TexMask);
  return static_cast<uint32_t>(c.r) << g_BackMask.nRShift | static_cast<uint32_t>(c.g * 2) << g_BackMask.nGShift |
         static_cast<uint32_t>(c.b) << g_BackMask.nBShift;
}

uint32_t cEffectSurfaces::PackRender(const Rgb& c) const {
  if (m_nBytes == 4) return 0xFF000000u | Join32(c);
  if (m_bToBack16) return ToDst(Join16(c, g_TexMask));
  return Join16(c, g_TexMask) | static_cast<uint32_t>(g_TexMask.nAMask) << g_TexMask.nAShift;
}

uint32_t cEffectSurfaces::PackBlit(const Rgb& c, uint32_t old) const {
  if (m_nBytes == 2) return Join16(c, g_TexMask);
  return (old & 0xFF000000u) | Join32(c);
}

Rgb AddDrawState(const Rgb& c, const int* lpDrawState, int32_t rMask, int32_t gMask, int32_t bMask) {
  if (!lpDrawState || lpDrawState[1] != D3DTOP_ADD) return c;
  const auto color = static_cast<uint32_t>(lpDrawState[0]);
  const auto add = [](int32_t v, uint32_t c8, int32_t mask) {
    return std::min(v + static_cast<int32_t>(c8) * mask / 255, mask);
  };
  return {add(c.r, color >> 16 & 255, rMask), add(c.g, color >> 8 & 255, gMask), add(c.b, color & 255, bMask)};
}

bool IsQuadPath(const DDSURFACEDATA* lpDst, const DDSURFACEDATA* lpSrc) {
  return lpDst && lpSrc && lpDst->lpDT && lpSrc->lpDT && lpDst->lpDT->bRenderTarget &&
         lpSrc->lpDT->nMemoryType != DTMEMORYTYPE_SYSTEM;
}

bool WriteVertices(DDSURFACEDATA* lpOwner, const Vertex v[4]) {
  if (!lpOwner || !lpOwner->lpDT || !lpOwner->lpDT->lpVB || lpOwner->lpDT->lpVB->data.size() < 4) return false;
  std::copy(v, v + 4, lpOwner->lpDT->lpVB->data.begin());
  return true;
}

void RectVertices(Vertex v[4], int x, int y, int w, int h, int sx, int sy, int sw, int sh, int tw, int th,
                  D3DCOLOR color) {
  const float fw = tw > 0 ? static_cast<float>(tw) : 1.0f, fh = th > 0 ? static_cast<float>(th) : 1.0f;
  const float l = static_cast<float>(x) - 0.5f, t = static_cast<float>(y) - 0.5f;
  const float r = static_cast<float>(int64_t{x} + w) - 0.5f, b = static_cast<float>(int64_t{y} + h) - 0.5f;
  const float u0 = static_cast<float>(sx) / fw, v0 = static_cast<float>(sy) / fh;
  const float u1 = static_cast<float>(int64_t{sx} + sw) / fw, v1 = static_cast<float>(int64_t{sy} + sh) / fh;
  v[0] = {l, t, 0, 1, color, u0, v0};
  v[1] = {l, b, 0, 1, color, u0, v1};
  v[2] = {r, t, 0, 1, color, u1, v0};
  v[3] = {r, b, 0, 1, color, u1, v1};
}

bool BeginQuad(DDSURFACEDATA* lpTarget) { return lpDevice && DDBeginScene() && DDSetRenderTarget(lpTarget); }

bool EndQuad() { return lpDTCon && lpDTCon->lpRestoreTarget && DDSetRenderTarget(lpDTCon->lpRestoreTarget); }

bool TryPictureQuad(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy,
                    D3DCOLOR diffuse, const StageState& st) {
  if (!lpDTCon || !lpDst || !lpSrc) return false;
  int sw = w, sh = h;
  DDAdjustMirror(lpSrc, &sx, &sy, &sw, &sh);
  RedirectEffectPair(&lpDst, &lpSrc);
  if (!IsQuadPath(lpDst, lpSrc)) return false;
  if (!DDClipBlt(lpDst, &x, &y, &w, &h, lpSrc, &sx, &sy, &sw, &sh)) return true;
  Vertex v[4];
  RectVertices(v, x, y, w, h, sx, sy, sw, sh, lpSrc->nTexWidth, lpSrc->nTexHeight, diffuse);
  if (!WriteVertices(lpSrc, v) || !BeginQuad(lpDst)) return true;
  lpDevice->DrawRect(x, y, w, h, lpSrc->lpDT->lpTexture, sx, sy, sw, sh, diffuse, st);
  EndQuad();
  return true;
}

StageState Stage(int colorOp, int colorArg1, int colorArg2, int alphaOp, int alphaArg1, int alphaArg2) {
  StageState st;
  st.colorOp = colorOp;
  st.colorArg1 = colorArg1;
  st.colorArg2 = colorArg2;
  st.alphaOp = alphaOp;
  st.alphaArg1 = alphaArg1;
  st.alphaArg2 = alphaArg2;
  return st;
}

}  // namespace t4::gfx
