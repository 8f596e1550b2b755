// Blits, fills, clipping and the scene and render-target handling of the render mode.
#include <algorithm>

#include "core/report_log.h"
#include "gfx/dd_internal.h"
#include "platform/raster/blit.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

DDBatchAppendFn g_lpfnBatchAppend = nullptr;

namespace {

struct DDFILLENTRY {
  DDSURFACEDATA* lpTarget = nullptr;
  int32_t x = 0, y = 0, w = 0, h = 0;
  DWORD dwColor = 0;
};

int g_bFillBatch = 0;
std::vector<DDFILLENTRY> g_FillList;

bool IsRenderModeReady() { return lpDTCon && lpDevice; }

// Cuts [*p, *p + *n) to [0, limit); returns how much was cut at the front.
int64_t Cut(int64_t* p, int64_t* n, int64_t limit) {
  int64_t front = 0;
  if (*p < 0) {
    front = -*p;
    *n += *p;
    *p = 0;
  }
  if (*p + *n > limit) *n = limit - *p;
  return front;
}

// Cuts a source span that may run backwards (negative extent) to [0, limit).
void CutSigned(int64_t* s, int64_t* n, int64_t limit) {
  if (*n >= 0) {
    Cut(s, n, limit);
    return;
  }
  int64_t start = *s + *n, len = -*n;
  Cut(&start, &len, limit);
  *s = start + len;
  *n = -len;
}

// The key value a colour-keyed picture leaves on its target in an opaque copy, as a colour.
D3DCOLOR KeyClearColor(DDSURFACEDATA* lpDst) {
  if (lpDst == &BackBuffer)
    return g_nBpp == 16 ? ToArgb(PixelFormat::A1R5G5B5, lpDTCon->wKeyColor_16) : lpDTCon->dwKeyColor;
  return g_nBpp == 16 ? ToArgb(PixelFormat::A1R5G5B5, lpDTCon->wTransmit_16) : lpDTCon->dwTransmit_32;
}

void FillQuadVertices(RasterVB* vb, int x, int y, int w, int h, int sx, int sy, int sw, int sh, int tw, int th,
                      D3DCOLOR color) {
  if (!vb || vb->data.size() < 4) return;
  const float fw = tw > 0 ? static_cast<float>(tw) : 1.0f, fh = th > 0 ? static_cast<float>(th) : 1.0f;
  const float l = static_cast<float>(x) - 0.5f, t = static_cast<float>(y) - 0.5f;
  const float r = static_cast<float>(x + w) - 0.5f, b = static_cast<float>(y + h) - 0.5f;
  const float u0 = static_cast<float>(sx) / fw, v0 = static_cast<float>(sy) / fh;
  const float u1 = static_cast<float>(sx + sw) / fw, v1 = static_cast<float>(sy + sh) / fh;
  vb->data[0] = {l, t, 0, 1, color, u0, v0};
  vb->data[1] = {l, b, 0, 1, color, u0, v1};
  vb->data[2] = {r, t, 0, 1, color, u1, v0};
  vb->data[3] = {r, b, 0, 1, color, u1, v1};
}

int BltLocked(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw, int sh,
              int nFlags) {
  if (w <= 0 || h <= 0) return 0;
  cSurfaceLock dst, src;
  if (!dst.Lock(lpDst)) return 0;
  if (!src.Lock(lpSrc)) return 0;
  const bool toScreen16 = DDIsFullScreenBackBuffer(lpDst) && dst.m_nBytesPerPixel == 2;
  const int dw = std::min(lpDst->nWidth, dst.Width()), dh = std::min(lpDst->nHeight, dst.Height());
  const int sw0 = std::min(lpSrc->nWidth, src.Width()), sh0 = std::min(lpSrc->nHeight, src.Height());
  const int bytes = src.m_nBytesPerPixel;
  for (int row = 0; row < h; ++row) {
    const int64_t ty = int64_t{y} + row;
    if (ty < 0 || ty >= dh) continue;
    // A negative extent reads backwards from the pixel before its start.
    const int64_t vy = sh >= 0 ? sy + int64_t{row} * sh / h : sy - 1 - int64_t{row} * -int64_t{sh} / h;
    if (vy < 0 || vy >= sh0) continue;
    for (int col = 0; col < w; ++col) {
      const int64_t tx = int64_t{x} + col;
      if (tx < 0 || tx >= dw) continue;
      const int64_t ux = sw >= 0 ? sx + int64_t{col} * sw / w : sx - 1 - int64_t{col} * -int64_t{sw} / w;
      if (ux < 0 || ux >= sw0) continue;
      uint32_t p = src.Get(static_cast<int>(ux), static_cast<int>(vy));
      if (nFlags == BLT_TRANSPARENT && ((bytes == 2 && !(p & 0x8000)) || (bytes == 4 && (p >> 24) == 0))) continue;
      if (toScreen16) p = (p & 0x7C00) << 1 | ((p >> 5) & 31) << 6 | (p & 31);
      dst.Set(static_cast<int>(tx), static_cast<int>(ty), p);
    }
  }
  return 1;
}

}  // namespace

bool DDBeginScene() {
  if (!IsRenderModeReady()) return false;
  if (lpDTCon->bInScene) return true;
  if (HRESULT hr = lpDevice->BeginScene(); hr != D3D_OK) {
    WriteReportLog("BeginScene Err %x", static_cast<unsigned>(hr));
    return false;
  }
  lpDTCon->bInScene = 1;
  return true;
}

void DDEndScene() {
  if (!IsRenderModeReady() || !lpDTCon->bInScene) return;
  lpDevice->EndScene();
  lpDTCon->bInScene = 0;
}

bool DDSetRenderTarget(DDSURFACEDATA* lpSD) {
  if (!IsRenderModeReady() || !lpSD || !lpSD->lpDT || !lpSD->lpDT->bRenderTarget || !lpSD->lpDT->lpSurface)
    return false;
  if (HRESULT hr = lpDevice->SetRenderTarget(lpSD->lpDT->lpSurface); hr != D3D_OK) {
    WriteReportLog("SetRenderTarget Err %x (%s)", static_cast<unsigned>(hr), lpSD->szFile);
    return false;
  }
  return true;
}

void DDRestoreRenderTarget() {
  if (lpDTCon && lpDTCon->lpRestoreTarget) DDSetRenderTarget(lpDTCon->lpRestoreTarget);
}

void DDAdjustMirror(DDSURFACEDATA* lpSrc, int* sx, int* sy, int* sw, int* sh) {
  if (!lpDTCon || !lpSrc || !lpSrc->lpSrcSD) return;
  if (const int c = lpSrc->nMirrorW; c > 0) {
    if (*sw == c) {
      *sx += c;
      *sw = -c;
    } else if (*sw > 0 && *sw < c) {
      *sx = *sx + c - 2 * (*sx % c);
      *sw = -*sw;
    }
  }
  if (const int c = lpSrc->nMirrorH; c > 0) {
    if (*sh == c) {
      *sy += c;
      *sh = -c;
    } else if (*sh > 0 && *sh < c) {
      *sy = *sy + c - 2 * (*sy % c);
      *sh = -*sh;
    }
  }
}

int DDClipBlt(DDSURFACEDATA* lpDst, int* x, int* y, int* w, int* h, DDSURFACEDATA* lpSrc, int* sx, int* sy, int* sw,
              int* sh) {
  if (!lpDst || !lpSrc) return 0;
  if (*w <= 0 || *h <= 0 || *sw == 0 || *sh == 0) return 0;
  int64_t X = *x, Y = *y, W = *w, H = *h, SX = *sx, SY = *sy, SW = *sw, SH = *sh;
  const bool signW = SW > 0, signH = SH > 0;
  if (SW == W && SH == H) {
    // The source is cut without moving the destination; the destination cut moves the source.
    Cut(&SX, &SW, lpSrc->nWidth);
    Cut(&SY, &SH, lpSrc->nHeight);
    SX += Cut(&X, &SW, lpDst->nWidth);
    SY += Cut(&Y, &SH, lpDst->nHeight);
    W = SW;
    H = SH;
  } else {
    const int64_t W0 = W, H0 = H, SW0 = SW, SH0 = SH;
    CutSigned(&SX, &SW, lpSrc->nWidth);
    CutSigned(&SY, &SH, lpSrc->nHeight);
    W = SW0 != 0 ? SW * W0 / SW0 : 0;
    H = SH0 != 0 ? SH * H0 / SH0 : 0;
    if (!lpDTCon && W > 0 && H > 0 && SW > 0 && SH > 0) {
      // The destination cut moves the source start and extent in proportion.
      const int64_t W1 = W, H1 = H;
      const int64_t fx = Cut(&X, &W, lpDst->nWidth), fy = Cut(&Y, &H, lpDst->nHeight);
      if (W > 0 && H > 0) {
        const int64_t sx0 = SX + fx * SW / W1, sy0 = SY + fy * SH / H1;
        const int64_t sx1 = SX + (fx + W) * SW / W1, sy1 = SY + (fy + H) * SH / H1;
        SX = sx0;
        SY = sy0;
        SW = sx1 - sx0;
        SH = sy1 - sy0;
      }
    }
  }
  *x = static_cast<int>(X);
  *y = static_cast<int>(Y);
  *w = static_cast<int>(std::clamp<int64_t>(W, INT32_MIN, INT32_MAX));
  *h = static_cast<int>(std::clamp<int64_t>(H, INT32_MIN, INT32_MAX));
  *sx = static_cast<int>(SX);
  *sy = static_cast<int>(SY);
  *sw = static_cast<int>(SW);
  *sh = static_cast<int>(SH);
  return ((SW > 0) == signW && SW != 0 && (SH > 0) == signH && SH != 0 && W > 0 && H > 0) ? 1 : 0;
}

void DDClearForOpaqueQuad(DDSURFACEDATA* lpDst, int x, int y, int w, int h, const DDSURFACEDATA* lpSrc, int nFlags) {
  if (nFlags != BLT_OPAQUE || !lpSrc || !lpSrc->lpDT || !lpSrc->lpDT->bColorKey) return;
  const IntRect r{x, y, w, h};
  lpDevice->Clear(&r, KeyClearColor(lpDst));
}

void DDDrawQuadNow(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
                   int sh, int nFlags, D3DCOLOR dwColor, D3DTEXTUREOP nColorOp, D3DTEXTUREOP nAlphaOp,
                   bool bClearFirst) {
  if (!IsRenderModeReady() || !lpDst || !lpSrc || !lpSrc->lpDT) return;
  FillQuadVertices(lpSrc->lpDT->lpVB, x, y, w, h, sx, sy, sw, sh, lpSrc->nTexWidth, lpSrc->nTexHeight, dwColor);
  if (!DDBeginScene() || !DDSetRenderTarget(lpDst)) return;
  if (bClearFirst) DDClearForOpaqueQuad(lpDst, x, y, w, h, lpSrc, nFlags);
  lpDevice->DrawRect(x, y, w, h, lpSrc->lpDT->lpTexture, sx, sy, sw, sh, dwColor, StageFor(nColorOp, nAlphaOp));
  DDRestoreRenderTarget();
}

int DDBlt(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags) {
  if (lpDTCon) return DDBltStretch(lpDst, x, y, w, h, lpSrc, sx, sy, w, h, nFlags);
  if (!g_lpDD || !lpDst || !lpSrc || !lpDst->lpDDPart || !lpSrc->lpDDPart) return 0;
  int sw = w, sh = h;
  if (!DDClipBlt(lpDst, &x, &y, &w, &h, lpSrc, &sx, &sy, &sw, &sh)) return 0;
  const HRESULT hr = g_lpDD->BltFast(lpDst->lpDDPart->lpDDS, x, y, lpSrc->lpDDPart->lpDDS, IntRect{sx, sy, w, h},
                                     nFlags == BLT_TRANSPARENT);
  return hr == D3D_OK ? 1 : 0;
}

int DDBltStretch(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw, int sh,
                 int nFlags) {
  if (lpDTCon) DDAdjustMirror(lpSrc, &sx, &sy, &sw, &sh);
  if (!lpDTCon) {
    if (!g_lpDD || !lpDst || !lpSrc || !lpDst->lpDDPart || !lpSrc->lpDDPart) return 0;
    if (!DDClipBlt(lpDst, &x, &y, &w, &h, lpSrc, &sx, &sy, &sw, &sh)) return 0;
    const HRESULT hr = g_lpDD->Blt(lpDst->lpDDPart->lpDDS, IntRect{x, y, w, h}, lpSrc->lpDDPart->lpDDS,
                                   IntRect{sx, sy, sw, sh}, nFlags == BLT_TRANSPARENT);
    return hr == D3D_OK ? 1 : 0;
  }
  if (!lpDst || !lpSrc || !lpDevice) return 0;
  DDRedirectToSrcSD(&lpDst);
  DDRedirectToSrcSD(&lpSrc);
  if (lpDTCon->bInCopy) {
    lpDst = &BackBuffer;
    lpSrc = &VirBackBuffer;
  } else {
    DDRedirectToVirBackBuffer(&lpDst);
    DDRedirectToVirBackBuffer(&lpSrc);
  }
  if (!lpDst->lpDT || !lpSrc->lpDT) return 0;
  if (lpDst->lpDT->bRenderTarget && lpSrc->lpDT->nMemoryType != DTMEMORYTYPE_SYSTEM) {
    if (!DDClipBlt(lpDst, &x, &y, &w, &h, lpSrc, &sx, &sy, &sw, &sh)) return 1;
    if (g_lpfnBatchAppend && g_lpfnBatchAppend(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, nFlags)) return 1;
    DDDrawQuadNow(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, nFlags, lpDTCon->dwDrawColor, lpDTCon->nColorOp,
                  lpDTCon->nAlphaOp);
    return 1;
  }
  return BltLocked(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, nFlags);
}

int DDBltStretchState(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
                      int sh, int nFlags, const int* lpState) {
  if (!lpDTCon || !lpState) return DDBltStretch(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, nFlags);
  DDSetDrawColor(static_cast<D3DCOLOR>(lpState[0]));
  DDSetColorOp(lpState[1]);
  const int result = DDBltStretch(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, nFlags);
  DDResetDrawColor();
  DDResetColorOp();
  return result;
}

int DDBltState(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
               const int* lpState) {
  if (lpDTCon) return DDBltStretchState(lpDst, x, y, w, h, lpSrc, sx, sy, w, h, nFlags, lpState);
  return DDBlt(lpDst, x, y, w, h, lpSrc, sx, sy, nFlags);
}

int DDFillRectPal(DDSURFACEDATA* lpSD, int x, int y, int w, int h, DWORD dwPalNum) {
  if (lpDTCon) return DDFillRect(lpSD, x, y, w, h, PalNumToRGB(dwPalNum));
  return DDFillRect(lpSD, x, y, w, h, PalNumToRGB(dwPalNum));
}

int DDClearPal(DDSURFACEDATA* lpSD, DWORD dwPalNum) {
  if (!lpSD) return 0;
  return DDFillRectPal(lpSD, 0, 0, lpSD->nWidth, lpSD->nHeight, dwPalNum);
}

int DDClear(DDSURFACEDATA* lpSD, DWORD dwColor) {
  if (!lpSD) return 0;
  return DDFillRect(lpSD, 0, 0, lpSD->nWidth, lpSD->nHeight, dwColor);
}

int DDFillRect(DDSURFACEDATA* lpSD, int x, int y, int w, int h, DWORD dwColor) {
  if (!lpSD) return 0;
  int64_t X = x, Y = y, W = w, H = h;
  if (!lpDTCon) {
    if (!g_lpDD || !lpSD->lpDDPart || !lpSD->lpDDPart->lpDDS) return 0;
    // The rectangle is intersected with the record, whichever edges stick out.
    Cut(&X, &W, lpSD->nWidth);
    Cut(&Y, &H, lpSD->nHeight);
    if (W <= 0 || H <= 0) return 1;
    return g_lpDD->ColorFill(
               lpSD->lpDDPart->lpDDS,
               IntRect{static_cast<int>(X), static_cast<int>(Y), static_cast<int>(W), static_cast<int>(H)},
               dwColor) == D3D_OK
               ? 1
               : 0;
  }
  DDRedirectToSrcSD(&lpSD);
  DDRedirectToVirBackBuffer(&lpSD);
  DTSURFACEDATA* dt = lpSD->lpDT;
  if (!dt || !lpDevice) return 0;
  Cut(&X, &W, lpSD->nWidth);
  Cut(&Y, &H, lpSD->nHeight);
  if (W <= 0 || H <= 0) return 1;
  const IntRect r{static_cast<int>(X), static_cast<int>(Y), static_cast<int>(W), static_cast<int>(H)};
  if (dt->bRenderTarget) {
    const DWORD transparent = lpSD == &BackBuffer ? lpDTCon->dwKeyColor : lpDTCon->dwTransmit_32;
    if (dt->bColorKey && (g_nBpp == 16 || g_nBpp == 32) && dwColor == transparent) {
      if (DDBeginScene() && DDSetRenderTarget(lpSD)) lpDevice->Clear(&r, dwColor);
      DDRestoreRenderTarget();
      return 1;
    }
    if (g_bFillBatch) {
      g_FillList.push_back({lpSD, r.x, r.y, r.w, r.h, dwColor});
      return 1;
    }
    FillQuadVertices(dt->lpVB, r.x, r.y, r.w, r.h, 0, 0, 0, 0, 1, 1, dwColor);
    if (!DDBeginScene() || !DDSetRenderTarget(lpSD)) return 0;
    StageState st;
    st.colorOp = D3DTOP_SELECTARG2;
    st.colorArg2 = D3DTA_TFACTOR;
    st.alphaOp = D3DTOP_SELECTARG2;
    st.alphaArg2 = D3DTA_TFACTOR;
    st.textureFactor = dwColor;
    lpDevice->DrawRect(r.x, r.y, r.w, r.h, nullptr, 0, 0, 0, 0, dwColor, st);
    DDRestoreRenderTarget();
    return 1;
  }
  cSurfaceLock lock;
  if (!lock.Lock(lpSD)) return 0;
  uint32_t raw = dwColor;
  if (lock.m_nBytesPerPixel == 2) {
    const DDCOLORMASK& m = DDIsFullScreenBackBuffer(lpSD) ? g_BackMask : g_TexMask;
    const uint32_t a = dwColor >> 24, rr = dwColor >> 16 & 255, gg = dwColor >> 8 & 255, bb = dwColor & 255;
    raw = (rr * m.nRMask / 255) << m.nRShift | (gg * m.nGMask / 255) << m.nGShift | (bb * m.nBMask / 255) << m.nBShift;
    if (m.nAMask) raw |= (a * m.nAMask / 255) << m.nAShift;
  }
  t4::platform::raster::FillRect(*lock.Pixels(), r.x, r.y, r.w, r.h, raw);
  return 1;
}

void DDBeginFillBatch() {
  if (!lpDTCon) return;
  g_FillList.clear();
  g_bFillBatch = 1;
}

int DDEndFillBatch() {
  if (!lpDTCon) return 1;
  g_bFillBatch = 0;
  size_t i = 0;
  while (i < g_FillList.size()) {
    size_t end = i + 1;
    while (end < g_FillList.size() && g_FillList[end].lpTarget == g_FillList[i].lpTarget) ++end;
    RasterVB* vb = nullptr;
    if (lpDevice->CreateVertexBuffer(4 * (end - i), &vb) != D3D_OK) {
      WriteReportLog("CreateVertexBuffer Err");
    } else {
      if (DDBeginScene() && DDSetRenderTarget(g_FillList[i].lpTarget)) {
        StageState st;
        st.colorOp = D3DTOP_SELECTARG2;
        st.colorArg2 = D3DTA_DIFFUSE;
        st.alphaOp = D3DTOP_DISABLE;
        for (size_t k = i; k < end; ++k) {
          const DDFILLENTRY& e = g_FillList[k];
          lpDevice->DrawRect(e.x, e.y, e.w, e.h, WorkSD.lpDT ? WorkSD.lpDT->lpTexture : nullptr, 0, 0, 0, 0, e.dwColor,
                             st);
        }
        DDRestoreRenderTarget();
      }
      vb->Release();
    }
    i = end;
  }
  g_FillList.clear();
  return 1;
}
