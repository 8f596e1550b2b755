// Rotated blit (one turned quad in the render mode, fixed-point nearest pixels otherwise) and the
// magnifying lens (always pixel by pixel).
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "gfx/dd_effect_pixels.h"
#include "gfx/dd_effects.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

namespace {

constexpr double ROTATE_PI = 3.14159265358979;

// The render mode's turned quad; false when the device cannot draw it (software path instead).
bool RotateQuad(DDSURFACEDATA* lpDst, int cx, int cy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* lpSrc,
                int sx, int sy) {
  int sw = w, sh = h;
  DDAdjustMirror(lpSrc, &sx, &sy, &sw, &sh);
  RedirectEffectPair(&lpDst, &lpSrc);
  if (!IsQuadPath(lpDst, lpSrc)) return false;
  const double theta = nAngle * ROTATE_PI / 180;
  const float sn = static_cast<float>(std::sin(theta)), cs = static_cast<float>(std::cos(theta));
  const float tw = lpSrc->nTexWidth > 0 ? static_cast<float>(lpSrc->nTexWidth) : 1.0f;
  const float th = lpSrc->nTexHeight > 0 ? static_cast<float>(lpSrc->nTexHeight) : 1.0f;
  const float u0 = static_cast<float>(sx) / tw, u1 = static_cast<float>(int64_t{sx} + sw) / tw;
  const float v0 = static_cast<float>(sy) / th, v1 = static_cast<float>(int64_t{sy} + sh) / th;
  const float ox = static_cast<float>(cx) - 0.5f + static_cast<float>(int64_t{px} - (w >> 1));
  const float oy = static_cast<float>(cy) - 0.5f + static_cast<float>(int64_t{py} - (h >> 1));
  const float left = static_cast<float>(-px), right = static_cast<float>(int64_t{w} - px);
  const float top = static_cast<float>(-py), bottom = static_cast<float>(int64_t{h} - py);
  const D3DCOLOR color = lpDTCon->dwDrawColor;
  const auto corner = [&](float dx, float dy, float u, float v) {
    return Vertex{ox + dx * cs - dy * sn, oy + dx * sn + dy * cs, 0, 1, color, u, v};
  };
  const Vertex v[4] = {corner(left, top, u0, v0), corner(left, bottom, u0, v1), corner(right, top, u1, v0),
                       corner(right, bottom, u1, v1)};
  if (!WriteVertices(lpSrc, v) || !BeginQuad(lpDst)) return true;
  lpDevice->DrawStrip(
      v, lpSrc->lpDT->lpTexture,
      Stage(lpDTCon->nColorOp, D3DTA_TEXTURE, D3DTA_DIFFUSE, lpDTCon->nAlphaOp, D3DTA_TEXTURE, D3DTA_DIFFUSE));
  EndQuad();
  return true;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// Narrows [k0, k1] to the steps k with lo <= f0 + k x step < hi; false when none is left.
bool StepsInside(int64_t f0, int64_t step, int64_t lo, int64_t hi, int64_t& k0, int64_t& k1) {
  if (step == 0) return f0 >= lo && f0 < hi && k0 <= k1;
  if (step > 0) {
    k0 = std::max(k0, -FloorDiv(f0 - lo, step));  // the least k with f0 + k x step >= lo
    k1 = std::min(k1, FloorDiv(hi - 1 - f0, step));
  } else {
    k0 = std::max(k0, -FloorDiv(hi - 1 - f0, -step));
    k1 = std::min(k1, FloorDiv(f0 - lo, -step));
  }
  return k0 <= k1;
}

}  // namespace

bool DDBltRotate(DDSURFACEDATA* lpDst, int cx, int cy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* lpSrc,
                 int sx, int sy, int nFlags) {
  if (lpDTCon && (!lpDst || !lpSrc)) return true;
  if (lpDTCon && RotateQuad(lpDst, cx, cy, w, h, px, py, nAngle, lpSrc, sx, sy)) return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || fx.m_nBytes == 3) return true;
  // Fixed point with 10 fraction bits; the shifts of negative values round toward minus infinity.
  const double theta = nAngle * ROTATE_PI / 180;
  const int64_t s = static_cast<int64_t>(std::sin(theta) * 1024), c = static_cast<int64_t>(std::cos(theta) * 1024);
  const int64_t PX = px, PY = py;
  int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
  for (const int64_t dx : {-PX, int64_t{w} - 1 - PX})
    for (const int64_t dy : {-PY, int64_t{h} - 1 - PY}) {
      const int64_t X = PX + ((dx * c - dy * s) >> 10), Y = PY + ((dx * s + dy * c) >> 10);
      minX = std::min(minX, X);
      maxX = std::max(maxX, X);
      minY = std::min(minY, Y);
      maxY = std::max(maxY, Y);
    }
  // The box widened by two pixels, cut to what lands inside the destination.
  const int64_t X0 = std::max(minX - 2, PX - cx), X1 = std::min(maxX + 1, fx.m_nDstW - 1 + PX - cx);
  const int64_t Y0 = std::max(minY - 2, PY - cy), Y1 = std::min(maxY + 1, fx.m_nDstH - 1 + PY - cy);
  const bool keyed = nFlags == BLT_TRANSPARENT;
  // The source pixels (u, v) the picture may read: inside it and inside the source surface.
  const int64_t u0 = std::max<int64_t>(0, -int64_t{sx}), u1 = std::min<int64_t>(w, fx.m_nSrcW - int64_t{sx});
  const int64_t v0 = std::max<int64_t>(0, -int64_t{sy}), v1 = std::min<int64_t>(h, fx.m_nSrcH - int64_t{sy});
  // Rows are found from the first row and the pitch: nothing is looked up through the surfaces
  // inside the loop.
  const int64_t srcPitch = fx.m_nSrcPitch, dstPitch = fx.m_nDstPitch;
  const auto walk = [&](auto* dst0, const auto* src0, auto clear, auto toDst) {
    using T = std::remove_const_t<std::remove_reference_t<decltype(src0[0])>>;
    for (int64_t Y = Y0; Y <= Y1; ++Y) {
      const int64_t dy = Y - PY;
      T* d = reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(dst0) + (cy + dy) * dstPitch);
      const int64_t dx0 = int64_t{cx} - PX;
      // Along a row dx grows by one: the turned coordinates step by the sine and cosine. Only the
      // run of the row whose source pixel lies inside is walked.
      const int64_t nu0 = (X0 - PX) * c + dy * s, nv0 = dy * c - (X0 - PX) * s;
      int64_t k0 = 0, k1 = X1 - X0;
      if (!StepsInside(nu0, c, (u0 - PX) * 1024, (u1 - PX) * 1024, k0, k1) ||
          !StepsInside(nv0, -s, (v0 - PY) * 1024, (v1 - PY) * 1024, k0, k1))
        continue;
      int64_t nu = nu0 + k0 * c, nv = nv0 - k0 * s;
      for (int64_t X = X0 + k0; X <= X0 + k1; ++X, nu += c, nv -= s) {
        const int64_t u = PX + (nu >> 10), v = PY + (nv >> 10);
        const uint32_t p =
            reinterpret_cast<const T*>(reinterpret_cast<const uint8_t*>(src0) + (sy + v) * srcPitch)[sx + u];
        if (keyed && clear(p)) continue;
        d[dx0 + X] = static_cast<T>(toDst(p));
      }
    }
  };
  const uint32_t key = g_dwColorKey;
  const bool render = fx.m_bRender;
  const auto same = [](uint32_t p) { return p; };
  if (fx.m_nBytes == 1) {
    walk(
        fx.DstRow<uint8_t>(0), fx.SrcRow<uint8_t>(0), [key](uint32_t p) { return p == key; }, same);
  } else if (fx.m_nBytes == 2) {
    const uint32_t alphaBits = static_cast<uint32_t>(g_TexMask.nAMask) << g_TexMask.nAShift;
    const auto clear = [=](uint32_t p) { return render ? (p & alphaBits) == 0 : p == key; };
    if (fx.m_bToBack16) {
      const DDCOLORMASK tm = g_TexMask, bm = g_BackMask;
      walk(fx.DstRow<uint16_t>(0), fx.SrcRow<uint16_t>(0), clear, [tm, bm](uint32_t p) {
        const Rgb c = Split16(p, tm);
        return static_cast<uint32_t>(c.r) << bm.nRShift | static_cast<uint32_t>(c.g * 2) << bm.nGShift |
               static_cast<uint32_t>(c.b) << bm.nBShift;
      });
    } else {
      walk(fx.DstRow<uint16_t>(0), fx.SrcRow<uint16_t>(0), clear, same);
    }
  } else {
    walk(
        fx.DstRow<uint32_t>(0), fx.SrcRow<uint32_t>(0), [=](uint32_t p) { return render ? (p >> 24) == 0 : p == key; },
        same);
  }
  return true;
}

bool DDBltLens(DDSURFACEDATA* lpDst, int cx, int cy, int nRadius, int nDepth, DDSURFACEDATA* lpSrc, int scx, int scy,
               int nFlags, bool bClearOutside, const int* lpDrawState) {
  if (nDepth < 0 || nRadius < 0) return false;
  const int64_t radius = nRadius, depth = nDepth;
  const auto L = static_cast<int64_t>(std::sqrt(static_cast<double>(depth * depth + radius * radius)));
  if (depth >= L) return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || fx.m_nBytes == 3) return true;
  const bool clear = bClearOutside && fx.m_bRender && fx.m_nBytes == 4;
  // The render mode's 16-bit textures keep their transparent pixels unless asked.
  const bool keyed = !fx.m_bRender || fx.m_nBytes == 4 || nFlags == BLT_TRANSPARENT;
  const bool add = fx.m_bRender && lpDrawState && lpDrawState[1] == D3DTOP_ADD;
  const DDCOLORMASK& m = g_TexMask;
  // Only the part of the square that lands inside the destination is visited.
  const int64_t i0 = std::max(-radius, -int64_t{cy}), i1 = std::min(radius, fx.m_nDstH - 1 - int64_t{cy});
  const int64_t j0 = std::max(-radius, -int64_t{cx}), j1 = std::min(radius, fx.m_nDstW - 1 - int64_t{cx});
  const int64_t r2 = radius * radius, L2 = L * L;
  for (int64_t i = i0; i <= i1; ++i) {
    // The columns of this row inside the circle, j x j <= r2 - i x i, found without a root.
    const int64_t rest = r2 - i * i;
    int64_t half = rest < 0 ? -1 : static_cast<int64_t>(std::sqrt(static_cast<double>(rest)));
    while (half >= 0 && half * half > rest) --half;
    while ((half + 1) * (half + 1) <= rest) ++half;
    // No column inside: the whole row is "left of the circle".
    const int64_t in0 = half < 0 ? j1 + 1 : std::max(j0, -half), in1 = half < 0 ? j1 : std::min(j1, half);
    // Cleared outside the circle in the same left-to-right order (the source may be the target).
    if (clear)
      for (int64_t j = j0; j <= std::min(j1, in0 - 1); ++j) fx.Put(cx + j, cy + i, 0);
    for (int64_t j = in0; j <= in1; ++j) {
      const int64_t d2 = i * i + j * j;
      bool drawn = false;
      {
        const double s = std::sqrt(static_cast<double>(L2 - d2));
        int64_t di = i, dj = j;
        if (s != 0) {
          di = static_cast<int64_t>(static_cast<double>(i * depth) / s + 0.5);
          dj = static_cast<int64_t>(static_cast<double>(j * depth) / s + 0.5);
        }
        const int64_t u = int64_t{scx} + dj, v = int64_t{scy} + di;
        if (fx.InSrc(u, v)) {
          uint32_t p = fx.Src(u, v);
          if (!(keyed && fx.IsClear(p))) {
            if (add && fx.m_nBytes == 4)
              p = (p & 0xFF000000u) | Join32(AddDrawState(Split32(p), lpDrawState, 255, 255, 255));
            else if (add)
              p = fx.PackRender(AddDrawState(Split16(p, m), lpDrawState, m.nRMask, m.nGMask, m.nBMask));
            else
              p = fx.ToDst(p);
            fx.Put(cx + j, cy + i, p);
            drawn = true;
          }
        }
      }
      if (!drawn && clear) fx.Put(cx + j, cy + i, 0);
    }
    if (clear)
      for (int64_t j = std::max(j0, in1 + 1); j <= j1; ++j) fx.Put(cx + j, cy + i, 0);
  }
  return true;
}
