// Effects that cut a picture into pieces and draw each piece with an ordinary blit: shifted
// strips, wave, turning card, four-quarter burst and disc. Pieces go through one sprite batch so
// that the render mode draws them in one flush, in the order issued.
#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "gfx/batch.h"
#include "gfx/dd_effects.h"

namespace {

int ToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// One piece at its place; the coordinates are clamped so that far-off pieces are clipped away
// instead of wrapping round.
void Piece(DDSURFACEDATA* lpDst, int64_t x, int64_t y, int64_t w, int64_t h, DDSURFACEDATA* lpSrc, int64_t sx,
           int64_t sy, int nFlags) {
  DDBlt(lpDst, ToInt(x), ToInt(y), ToInt(w), ToInt(h), lpSrc, ToInt(sx), ToInt(sy), nFlags);
}

// The pieces k = 0 .. n - 1 of `size` units each that can touch [0, limit) when piece k starts at
// origin + k x size: [*lo, *hi). Pieces outside are never drawn, so the walk skips them.
void VisiblePieces(int64_t origin, int64_t size, int64_t limit, int64_t n, int64_t* lo, int64_t* hi) {
  *lo = std::max<int64_t>(0, (-origin) / size - 1);
  *hi = std::min<int64_t>(n, (limit - origin) / size + 2);
}

// The width (or height) of the surface a blit into lpDst really writes.
int64_t Extent(DDSURFACEDATA* lpDst, bool bWidth) {
  DDRedirectToSrcSD(&lpDst);
  return bWidth ? lpDst->nWidth : lpDst->nHeight;
}

}  // namespace

int DDBltSplit(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int nStrip, int nOffset, DDSURFACEDATA* lpSrc, int sx,
               int sy, int nFlags, bool bHorizontal) {
  if (nStrip == 0) return DDBlt(lpDst, x, y, w, h, lpSrc, sx, sy, nFlags);
  if (nStrip < 0 || !lpDst) return 1;
  // Whole strips only: the columns (rows) of a last partial strip are not drawn, as the effect
  // always looked.
  const int64_t extent = bHorizontal ? w : h;
  const int64_t n = extent > 0 ? extent / nStrip : 0;
  int64_t lo = 0, hi = 0;
  VisiblePieces(bHorizontal ? x : y, nStrip, Extent(lpDst, bHorizontal), n, &lo, &hi);
  DDBeginBatch(0);
  for (int parity : {1, 0}) {
    const int64_t shift = parity ? -int64_t{nOffset} : nOffset;
    for (int64_t k = lo + ((lo & 1) != parity ? 1 : 0); k < hi; k += 2) {
      const int64_t at = k * nStrip;
      if (bHorizontal)
        Piece(lpDst, int64_t{x} + at, int64_t{y} + shift, nStrip, h, lpSrc, int64_t{sx} + at, sy, nFlags);
      else
        Piece(lpDst, int64_t{x} + shift, int64_t{y} + at, w, nStrip, lpSrc, sx, int64_t{sy} + at, nFlags);
    }
  }
  return DDEndBatch();
}

int DDBltWave(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int nWaves, double dAmplitude, int nPhase, int nStrip,
              DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags, bool bHorizontal) {
  if (nStrip <= 0) return 1;
  const double m = nWaves * std::numbers::pi / 180;
  const int64_t extent = bHorizontal ? w : h;
  if (extent <= 0 || !lpDst) return 1;
  int64_t lo = 0, hi = 0;
  VisiblePieces(bHorizontal ? x : y, nStrip, Extent(lpDst, bHorizontal), (extent + nStrip - 1) / nStrip, &lo, &hi);
  const double step = 360.0 / static_cast<double>(extent) * nStrip;
  // Displacements far beyond any surface are clipped whatever their size.
  const auto shiftOf = [&](double sum) {
    const double d = std::trunc(dAmplitude * std::sin(m * (nPhase + sum)));
    return static_cast<int64_t>(std::clamp(d, -1e9, 1e9));
  };
  DDBeginBatch(0);
  double sum = 0;
  // The phase sum runs over every piece before the visible ones; nothing after them is visible.
  for (int64_t k = 0; k < hi; ++k) {
    sum += step;
    if (k < lo) continue;
    const int64_t at = k * nStrip;
    const int64_t d = shiftOf(sum), size = std::min<int64_t>(nStrip, extent - at);
    if (bHorizontal)
      Piece(lpDst, int64_t{x} + at, int64_t{y} + d, size, h, lpSrc, int64_t{sx} + at, sy, nFlags);
    else
      Piece(lpDst, int64_t{x} + d, int64_t{y} + at, w, size, lpSrc, sx, int64_t{sy} + at, nFlags);
  }
  return DDEndBatch();
}

int DDBltSpin(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrcA, int sxA, int syA,
              DDSURFACEDATA* lpSrcB, int sxB, int syB, int sw, int sh, int nFlags, int nCounter, int nAxis) {
  if (nAxis != 0 && nAxis != 1) return nAxis - 1;
  const int64_t size = nAxis == 0 ? w : h;
  // A card narrower than two pixels has no half to turn about.
  if (size < 2) return 1;
  const int64_t u = size / 2, counter = nCounter;
  const int64_t q = counter / u, r = counter % u;
  const int64_t v = q % 2 == 0 ? r : u - 1 - r;
  const bool bFaceB = ((counter + u) / size) % 2 != 0;
  DDSURFACEDATA* src = bFaceB ? lpSrcB : lpSrcA;
  const int px = bFaceB ? sxB : sxA, py = bFaceB ? syB : syA;
  if (nAxis == 0) return DDBltStretch(lpDst, ToInt(x + v), y, ToInt(w - 2 * v), h, src, px, py, sw, sh, nFlags);
  return DDBltStretch(lpDst, x, ToInt(y + v), w, ToInt(h - 2 * v), src, px, py, sw, sh, nFlags);
}

int DDBltBurst(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nDistance,
               int nFlags) {
  const int64_t hw = w >> 1, hh = h >> 1, d = nDistance;
  DDBeginBatch(0);
  Piece(lpDst, x - d, y - d, hw, hh, lpSrc, sx, sy, nFlags);
  Piece(lpDst, x + hw + d, y - d, hw, hh, lpSrc, sx + hw, sy, nFlags);
  Piece(lpDst, x - d, y + hh + d, hw, hh, lpSrc, sx, sy + hh, nFlags);
  Piece(lpDst, x + hw + d, y + hh + d, hw, hh, lpSrc, sx + hw, sy + hh, nFlags);
  return DDEndBatch();
}

namespace {

// One row band of the disc: half-width s at row `mid`, the centre row one pixel narrower on each
// side than a full 2s, then cut to the source columns [lo, hi).
void CircleBand(DDSURFACEDATA* lpDst, int64_t cx, int64_t cy, int64_t top, int64_t rows, int64_t mid, int64_t radius,
                DDSURFACEDATA* lpSrc, int64_t scx, int64_t scy, int64_t lo, int64_t hi, int nFlags) {
  const int64_t r2 = radius * radius - mid * mid;
  const int64_t s = r2 > 0 ? static_cast<int64_t>(std::sqrt(static_cast<double>(r2))) : 0;
  const int64_t a = s >= radius ? -s + 1 : -s;
  int64_t width = -2 * a, left = scx + a, dx = cx + a;
  if (left < lo) {
    dx += lo - left;
    width -= lo - left;
    left = lo;
  }
  if (left + width >= hi) width = hi - left;
  if (lpDTCon)
    DDBltStretch(lpDst, ToInt(dx), ToInt(cy + top), ToInt(width), ToInt(rows), lpSrc, ToInt(left), ToInt(scy + top),
                 ToInt(width), ToInt(rows), nFlags);
  else
    Piece(lpDst, dx, cy + top, width, rows, lpSrc, left, scy + top, nFlags);
}

}  // namespace

int DDBltCircle(DDSURFACEDATA* lpDst, int cx, int cy, int nHalfW, int nHalfH, int nRadius, int nBand,
                DDSURFACEDATA* lpSrc, int scx, int scy, int nFlags) {
  if (nRadius <= 0 || nBand <= 0 || !lpDst || !lpSrc) return 1;
  DDRedirectToSrcSD(&lpDst);
  DDRedirectToSrcSD(&lpSrc);
  const int64_t radius = nRadius, band = nBand, halfH = nHalfH;
  const int64_t lo = std::max<int64_t>(int64_t{scx} - nHalfW, 0);
  const int64_t hi = std::min<int64_t>(int64_t{scx} + nHalfW, lpSrc->nWidth);
  // Rows outside the destination are never drawn, so the walks skip them.
  const int64_t top = -int64_t{cy}, bottom = Extent(lpDst, false) - cy;
  DDBeginBatch(0);
  if (band == 1) {
    // Rows at or below halfH are skipped: start at the first row above it.
    const int64_t last = std::max({-radius, -halfH, top});
    for (int64_t i = std::min({radius - 1, halfH - 1, bottom - 1}); i >= last; --i)
      CircleBand(lpDst, cx, cy, i, 1, i, radius, lpSrc, scx, scy, lo, hi, nFlags);
  } else {
    int64_t t = radius - band;
    // Bands whose top is at or below halfH are skipped, and bands that even moved up to end at
    // halfH stay below the destination: jump to the first band above both.
    const int64_t limit = std::min(halfH, bottom + band);
    if (t >= limit) t -= ((t - limit) / band + 1) * band;
    while (t >= -radius && t + band > -halfH) {
      int64_t row = t;
      if (row + band > halfH) row = halfH - band;
      if (row < -halfH) row = -halfH;
      CircleBand(lpDst, cx, cy, row, band, row + band / 2, radius, lpSrc, scx, scy, lo, hi, nFlags);
      // Every band from above -halfH on is moved to the same place: one draw of it is enough.
      if (t < -halfH) break;
      t -= band;
      // Bands above the destination show nothing until the walk passes -halfH.
      if (t + band <= top && t >= -halfH) t -= ((t + halfH) / band + 1) * band;
    }
  }
  return DDEndBatch();
}
