// Screen fades in both drawing modes and the render mode's full-screen colour change.
#include <cmath>
#include <numbers>

#include "core/report_log.h"
#include "gfx/dd_effect_pixels.h"
#include "gfx/dd_effects.h"
#include "platform/raster/pixel_traits.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

double g_dD3DFadeOutAngle = 90;
double g_dD3DFadeInAngle = 0;
double g_dDDFadeOutAngle = 90;
double g_dDDFadeInAngle = 0;

namespace {

double SinDeg(double dAngle) { return std::sin(dAngle * std::numbers::pi / 180); }

// The whole render target under a black quad of the given opacity. False (the step is repeated
// next frame) when the scene or a target cannot be selected.
bool DrawFadeQuad(int nOpacity) {
  DDSURFACEDATA* target = &BackBuffer;
  DDRedirectToVirBackBuffer(&target);
  const int w = target->nWidth, h = target->nHeight;
  const D3DCOLOR color = static_cast<D3DCOLOR>(nOpacity & 255) << 24;
  Vertex v[4];
  RectVertices(v, 0, 0, w, h, 0, 0, w, h, target->nTexWidth, target->nTexHeight, color);
  if (!WriteVertices(target, v)) return true;
  if (!BeginQuad(target)) return false;
  lpDevice->DrawRect(
      0, 0, w, h, nullptr, 0, 0, w, h, color,
      Stage(D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE));
  return EndQuad();
}

// One step of either fade. The fade out runs its angle from 90 down to 0, the fade in from 0 up
// to 90; the step drawn at the end angle completes the fade and puts the angle back.
bool FadeStep(bool bIn, PALETTEENTRY* lpWork, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
              PALETTEENTRY* lpMaster, bool bSkip) {
  const double dStart = bIn ? 0 : 90, dEnd = bIn ? 90 : 0;
  double& angle =
      lpDTCon ? (bIn ? g_dD3DFadeInAngle : g_dD3DFadeOutAngle) : (bIn ? g_dDDFadeInAngle : g_dDDFadeOutAngle);
  if (lpDTCon) {
    const double dBefore = angle;
    if (bSkip) angle = dEnd;
    if (!DrawFadeQuad(255 - static_cast<int>(SinDeg(angle) * 255))) {
      angle = dBefore;
      return false;
    }
  } else {
    // The hi-colour fades rebuild every step from the frame of the first one.
    if (angle == dStart && g_nBpp != 8)
      DDBlt(&g_ScreenCopySD, 0, 0, g_ScreenCopySD.nWidth, g_ScreenCopySD.nHeight, &BackBuffer, 0, 0, BLT_OPAQUE);
    if (bSkip) angle = dEnd;
    const int f = static_cast<int>(SinDeg(angle) * 256);
    if (g_nBpp == 8) {
      DDBlendPalette(lpWork, nFirst, nLast, f, nRed, nGreen, nBlue, lpMaster);
      const int first = std::clamp(nFirst, 0, 255), last = std::clamp(nLast, 0, 255);
      if (lpWork && first <= last) DDSetPaletteEntries(first, last - first + 1, lpWork + first);
    } else if (g_nBpp == 16 || g_nBpp == 24 || g_nBpp == 32) {
      DDFade_UnPal(&BackBuffer, f, nRed, nGreen, nBlue, &g_ScreenCopySD);
    }
  }
  if (!bIn) {
    if (angle > 0) {
      angle = std::max(angle - dStep, 0.0);
      return false;
    }
  } else if (angle < 90) {
    angle = std::min(angle + dStep, 90.0);
    return false;
  }
  angle = dStart;
  return true;
}

}  // namespace

bool DDFadeOut(PALETTEENTRY* lpWork, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
               PALETTEENTRY* lpMaster, bool bSkip) {
  return FadeStep(false, lpWork, nFirst, nLast, nRed, nGreen, nBlue, dStep, lpMaster, bSkip);
}

bool DDFadeIn(PALETTEENTRY* lpWork, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
              PALETTEENTRY* lpMaster, bool bSkip) {
  return FadeStep(true, lpWork, nFirst, nLast, nRed, nGreen, nBlue, dStep, lpMaster, bSkip);
}

int DDFade_UnPal(DDSURFACEDATA* lpDstSD, int nFactor, int nRed, int nGreen, int nBlue, DDSURFACEDATA* lpSrcSD) {
  if (lpDTCon) {
    DebugLogf("D3DではDDFade_UnPalは未対応");
    return 1;
  }
  cSurfaceLock dst, src;
  if (!dst.Lock(lpDstSD) || !src.Lock(lpSrcSD)) return 0;
  const int bytes = dst.m_nBytesPerPixel;
  if (src.m_nBytesPerPixel != bytes) return 1;
  // The common part of both pictures: a smaller copy never reads past its end.
  const int w = std::min({lpDstSD->nWidth, dst.Width(), lpSrcSD->nWidth, src.Width()});
  const int h = std::min({lpDstSD->nHeight, dst.Height(), lpSrcSD->nHeight, src.Height()});
  const uint32_t f = static_cast<uint32_t>(std::clamp(nFactor, 0, 256)), k = 256 - f;
  const uint32_t r = static_cast<uint32_t>(nRed) & 255, g = static_cast<uint32_t>(nGreen) & 255,
                 b = static_cast<uint32_t>(nBlue) & 255;
  if (bytes == 4) {
    const uint32_t add[3] = {b * k, g * k, r * k};
    for (int y = 0; y < h; ++y)
      t4::platform::raster::px::ScaleRow(reinterpret_cast<uint32_t*>(dst.Pixels()->Row(y)),
                                         reinterpret_cast<const uint32_t*>(src.Pixels()->Row(y)), w, f, add);
  } else if (bytes == 2) {
    const auto mix = [&](int32_t field, int32_t mask, uint32_t c) {
      const uint32_t c8 = static_cast<uint32_t>(To8(field, mask));
      return From8(static_cast<int32_t>((c8 * f + c * k) >> 8), mask);
    };
    // Each field's result depends on that field alone: one small table per channel.
    const cFieldMaps maps(g_TexMask, [&](int ch, int32_t field, int32_t mask) {
      return mix(field, mask, ch == 0 ? r : ch == 1 ? g : b);
    });
    for (int y = 0; y < h; ++y)
      maps.Apply(reinterpret_cast<uint16_t*>(dst.Pixels()->Row(y)),
                 reinterpret_cast<const uint16_t*>(src.Pixels()->Row(y)), w);
  }
  return 1;
}

int DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha, BYTE bRed, BYTE bGreen,
                  BYTE bBlue) {
  return DDChangeColorEx(lpDstSD, x, y, nWidth, nHeight, lpDstSD, nAlpha, bRed, bGreen, bBlue);
}

int DDChangeColorEx(DDSURFACEDATA* lpDstSD, int /*x*/, int /*y*/, int /*nWidth*/, int /*nHeight*/,
                    DDSURFACEDATA* lpTexSD, int nAlpha, BYTE bRed, BYTE bGreen, BYTE bBlue) {
  if (!lpDTCon) {
    DebugLogf(
        "DDrawでは DDChangeColor(DDSURFACEDATA *lpDstSD,int x,int y,int nWidth,int nHeight,int nAlpha,BYTE "
        "bRed,BYTE bGreen,BYTE bBlue) は未対応");
    return 1;
  }
  if (!lpDstSD || !lpTexSD || !lpDevice) return 1;
  DDRedirectToSrcSD(&lpDstSD);
  DDRedirectToVirBackBuffer(&lpDstSD);
  DDRedirectToSrcSD(&lpTexSD);
  DDRedirectToVirBackBuffer(&lpTexSD);
  if (!lpTexSD->lpDT) return 1;
  // The quad covers the whole destination: the rectangle arguments never narrowed it.
  const int w = lpDstSD->nWidth, h = lpDstSD->nHeight;
  const D3DCOLOR color = static_cast<D3DCOLOR>(static_cast<BYTE>(~nAlpha)) << 24 | static_cast<D3DCOLOR>(bRed) << 16 |
                         static_cast<D3DCOLOR>(bGreen) << 8 | bBlue;
  Vertex v[4];
  RectVertices(v, 0, 0, w, h, 0, 0, w, h, lpTexSD->nTexWidth, lpTexSD->nTexHeight, color);
  if (!WriteVertices(lpTexSD, v) || !BeginQuad(lpDstSD)) return 1;
  // Without a texture the stage reads white, so the quad is the plain colour at that strength.
  lpDevice->DrawRect(
      0, 0, w, h, lpTexSD->lpDT->lpTexture, 0, 0, w, h, color,
      Stage(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE));
  EndQuad();
  return 1;
}
