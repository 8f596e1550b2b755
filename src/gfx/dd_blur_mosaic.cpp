// Box blur (each pixel the average of a window of the picture) and mosaic (each block the colour
// of its top-left pixel), pixel by pixel in both drawing modes.
#include <algorithm>
#include <vector>

#include "gfx/dd_effect_pixels.h"
#include "gfx/dd_effects.h"
#include "platform/raster/blit.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

namespace {

struct Sums {
  int64_t r = 0, g = 0, b = 0, n = 0;
};

// Running sums over picture columns [c0, c1) x rows [r0, r1): entry (col, row) holds the sums of
// the pixels above and left of it, so any window costs four look-ups however large it is.
class cWindowSums {
 public:
  cWindowSums(const cEffectSurfaces& fx, int64_t sx, int64_t sy, int64_t c0, int64_t c1, int64_t r0, int64_t r1,
              bool bKeyed)
      : m_c0(c0), m_r0(r0), m_nStride(c1 - c0 + 1), m_Table(Buffer()) {
    // The thread's table is reused from call to call; every entry is written below except the
    // first row and column, which hold zeros.
    m_Table.resize(static_cast<size_t>((c1 - c0 + 1) * (r1 - r0 + 1)));
    std::fill_n(m_Table.begin(), m_nStride, Sums{});
    for (int64_t row = r0; row < r1; ++row) At(c0, row + 1) = Sums{};
    for (int64_t row = r0; row < r1; ++row) {
      Sums line;
      for (int64_t col = c0; col < c1; ++col) {
        const uint32_t p = fx.Src(sx + col, sy + row);
        if (!(bKeyed && fx.IsClear(p))) {
          const Rgb c = fx.m_nBytes == 2 ? Split16(p, g_TexMask) : Split32(p);
          line.r += c.r;
          line.g += c.g;
          line.b += c.b;
          ++line.n;
        }
        const Sums& above = At(col + 1, row);
        Sums& e = At(col + 1, row + 1);
        e = {above.r + line.r, above.g + line.g, above.b + line.b, above.n + line.n};
      }
    }
  }
  // Sums over columns [c0, c1) x rows [r0, r1) (inside the table's range).
  Sums Window(int64_t c0, int64_t c1, int64_t r0, int64_t r1) const {
    const Sums &a = At(c1, r1), &b = At(c0, r1), &c = At(c1, r0), &d = At(c0, r0);
    return {a.r - b.r - c.r + d.r, a.g - b.g - c.g + d.g, a.b - b.b - c.b + d.b, a.n - b.n - c.n + d.n};
  }

 private:
  Sums& At(int64_t col, int64_t row) { return m_Table[static_cast<size_t>((row - m_r0) * m_nStride + (col - m_c0))]; }
  const Sums& At(int64_t col, int64_t row) const {
    return m_Table[static_cast<size_t>((row - m_r0) * m_nStride + (col - m_c0))];
  }
  static std::vector<Sums>& Buffer() {
    thread_local std::vector<Sums> table;
    return table;
  }
  int64_t m_c0, m_r0, m_nStride;
  std::vector<Sums>& m_Table;
};

}  // namespace

bool DDBltBlur(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* lpSrc, int sx, int sy,
               int nFlags, const int* lpDrawState) {
  if (rx == 0 || ry == 0) return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || (fx.m_nBytes != 2 && fx.m_nBytes != 4)) return true;
  // A negative radius makes every window empty: nothing to average.
  const WalkRange r = ClipWalk(x, y, w, h, sx, sy, fx.m_nDstW, fx.m_nDstH, fx.m_nSrcW, fx.m_nSrcH);
  if (r.Empty() || rx < 0 || ry < 0) return true;
  // A window covers columns j - rx .. j + rx - 1 and rows i - ry .. i + ry - 1 of the picture;
  // pixels outside the picture or the source are not counted.
  const int64_t c0 = std::max({r.j0 - rx, int64_t{0}, -int64_t{sx}});
  const int64_t c1 = std::min({r.j1 - 1 + rx, int64_t{w}, int64_t{fx.m_nSrcW} - sx});
  const int64_t r0 = std::max({r.i0 - ry, int64_t{0}, -int64_t{sy}});
  const int64_t r1 = std::min({r.i1 - 1 + ry, int64_t{h}, int64_t{fx.m_nSrcH} - sy});
  const bool keyed = nFlags == BLT_TRANSPARENT;
  const cWindowSums sums(fx, sx, sy, c0, c1, r0, r1, keyed);
  const DDCOLORMASK& m = g_TexMask;
  const bool b16 = fx.m_nBytes == 2;
  for (int64_t i = r.i0; i < r.i1; ++i)
    for (int64_t j = r.j0; j < r.j1; ++j) {
      if (keyed && fx.IsClear(fx.Src(sx + j, sy + i))) continue;
      const int64_t wc0 = std::max(j - rx, c0), wc1 = std::min(j + rx, c1);
      const int64_t wr0 = std::max(i - ry, r0), wr1 = std::min(i + ry, r1);
      if (wc0 >= wc1 || wr0 >= wr1) continue;
      const Sums s = sums.Window(wc0, wc1, wr0, wr1);
      if (s.n == 0) continue;
      Rgb c{static_cast<int32_t>(s.r / s.n), static_cast<int32_t>(s.g / s.n), static_cast<int32_t>(s.b / s.n)};
      uint32_t out = 0;
      if (fx.m_bRender) {
        c = AddDrawState(c, lpDrawState, b16 ? m.nRMask : 255, b16 ? m.nGMask : 255, b16 ? m.nBMask : 255);
        out = fx.PackRender(c);
      } else {
        out = fx.PackBlit(c, fx.Dst(x + j, y + i));
      }
      fx.Put(x + j, y + i, out);
    }
  return true;
}

bool DDBltMosaic(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int nBlock, DDSURFACEDATA* lpSrc, int sx, int sy,
                 int nFlags, const int* lpDrawState) {
  // A block of no size (or a negative one) would never step across the picture.
  if (nBlock <= 0) return true;
  cEffectSurfaces fx;
  if (!fx.Lock(lpDst, lpSrc)) return lpDTCon != nullptr;
  if (!fx.m_bSameLayout || fx.m_nBytes == 3 || w <= 0 || h <= 0) return true;
  const int64_t block = nBlock;
  const bool keyed = nFlags == BLT_TRANSPARENT;
  const bool add = fx.m_bRender && lpDrawState && lpDrawState[1] == D3DTOP_ADD;
  const DDCOLORMASK& m = g_TexMask;
  // Only blocks that can touch the destination are visited.
  const int64_t kx0 = std::max<int64_t>(0, -int64_t{x} / block - 1),
                ky0 = std::max<int64_t>(0, -int64_t{y} / block - 1);
  const int64_t kx1 = std::min<int64_t>((w + block - 1) / block, (fx.m_nDstW - int64_t{x}) / block + 2);
  const int64_t ky1 = std::min<int64_t>((h + block - 1) / block, (fx.m_nDstH - int64_t{y}) / block + 2);
  for (int64_t ky = ky0; ky < ky1; ++ky)
    for (int64_t kx = kx0; kx < kx1; ++kx) {
      const int64_t bx = kx * block, by = ky * block;
      // A block whose corner lies outside the source has no colour.
      if (!fx.InSrc(sx + bx, sy + by)) continue;
      uint32_t p = fx.Src(sx + bx, sy + by);
      if (keyed && fx.IsClear(p)) continue;
      if (add)
        p = fx.PackRender(fx.m_nBytes == 2 ? AddDrawState(Split16(p, m), lpDrawState, m.nRMask, m.nGMask, m.nBMask)
                                           : AddDrawState(Split32(p), lpDrawState, 255, 255, 255));
      else if (fx.m_bRender && fx.m_nBytes == 4)
        p |= 0xFF000000u;
      else if (fx.m_bRender)
        p = fx.ToDst(p);
      const int64_t l = std::max<int64_t>(x + bx, 0), t = std::max<int64_t>(y + by, 0);
      const int64_t r = std::min({x + bx + block, int64_t{x} + w, int64_t{fx.m_nDstW}});
      const int64_t b = std::min({y + by + block, int64_t{y} + h, int64_t{fx.m_nDstH}});
      if (l < r && t < b)
        FillRect(*fx.DstSurface(), static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                 static_cast<int>(b - t), p);
    }
  return true;
}
