// What the per-pixel effects share: both records redirected and locked, the part of a walk that
// lies inside both surfaces, the transparency rule of each mode, channel packing of the pixel
// layouts, the draw-state addition and the one-quad draws of the render mode.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gfx/dd_internal.h"

namespace t4::gfx {

// Red, green and blue in the field widths of the layout they came from.
struct Rgb {
  int32_t r = 0, g = 0, b = 0;
};

inline Rgb Split16(uint32_t p, const DDCOLORMASK& m) {
  return {static_cast<int32_t>((p >> m.nRShift) & m.nRMask), static_cast<int32_t>((p >> m.nGShift) & m.nGMask),
          static_cast<int32_t>((p >> m.nBShift) & m.nBMask)};
}
inline uint32_t Join16(const Rgb& c, const DDCOLORMASK& m) {
  return static_cast<uint32_t>(c.r & m.nRMask) << m.nRShift | static_cast<uint32_t>(c.g & m.nGMask) << m.nGShift |
         static_cast<uint32_t>(c.b & m.nBMask) << m.nBShift;
}
inline Rgb Split32(uint32_t p) {
  return {static_cast<int32_t>(p >> 16 & 255), static_cast<int32_t>(p >> 8 & 255), static_cast<int32_t>(p & 255)};
}
inline uint32_t Join32(const Rgb& c) {
  return static_cast<uint32_t>(c.r & 255) << 16 | static_cast<uint32_t>(c.g & 255) << 8 |
         static_cast<uint32_t>(c.b & 255);
}
// A field to 8 bits and back, both truncating.
inline int32_t To8(int32_t field, int32_t mask) { return mask ? field * 255 / mask : 0; }
inline int32_t From8(int32_t v, int32_t mask) { return v * mask / 255; }

// A 16-bit picture formula that works on each field alone, as a table per field: out =
// Join16(map(r), map(g), map(b)). Built once per draw; the masks are copied, so the loop does not
// reload them after every store.
class cFieldMaps {
 public:
  // fn(channel 0/1/2 = r/g/b, field value, field mask) -> new field value (kept within the mask).
  template <typename Fn>
  cFieldMaps(const DDCOLORMASK& m, Fn fn) : m_Mask(m) {
    const int32_t masks[3] = {m.nRMask, m.nGMask, m.nBMask};
    const int32_t shifts[3] = {m.nRShift, m.nGShift, m.nBShift};
    for (int ch = 0; ch < 3; ++ch)
      for (int32_t v = 0; v <= std::min(masks[ch], int32_t{255}); ++v)
        m_Map[ch][v] = static_cast<uint16_t>((fn(ch, v, masks[ch]) & masks[ch]) << shifts[ch]);
  }
  uint16_t Map(uint32_t p) const {
    return static_cast<uint16_t>(m_Map[0][(p >> m_Mask.nRShift) & m_Mask.nRMask & 255] |
                                 m_Map[1][(p >> m_Mask.nGShift) & m_Mask.nGMask & 255] |
                                 m_Map[2][(p >> m_Mask.nBShift) & m_Mask.nBMask & 255]);
  }
  void Apply(uint16_t* d, const uint16_t* s, int n) const {
    const DDCOLORMASK& m = m_Mask;
    // The two layouts in use get their shifts as constants.
    if (m.nRShift == 11 && m.nGShift == 5 && m.nBShift == 0 && m.nRMask == 31 && m.nGMask == 63 && m.nBMask == 31)
      ApplyFixed<11, 63>(d, s, n);
    else if (m.nRShift == 10 && m.nGShift == 5 && m.nBShift == 0 && m.nRMask == 31 && m.nGMask == 31 && m.nBMask == 31)
      ApplyFixed<10, 31>(d, s, n);
    else
      for (int i = 0; i < n; ++i) d[i] = Map(s[i]);
  }

 private:
  template <int R_SHIFT, int G_MASK>
  void ApplyFixed(uint16_t* d, const uint16_t* s, int n) const {
    for (int i = 0; i < n; ++i) {
      const uint32_t p = s[i];
      d[i] = static_cast<uint16_t>(m_Map[0][p >> R_SHIFT & 31] | m_Map[1][p >> 5 & G_MASK] | m_Map[2][p & 31]);
    }
  }

  DDCOLORMASK m_Mask;
  uint16_t m_Map[3][256] = {};
};

// A 16-bit layout's fields to 8 bits and back (To8 and From8) as tables, built once per layout
// and thread: the blit mode's 16-bit mixes then divide nowhere.
struct cFieldScale {
  uint8_t to8[3][256] = {};    // field value -> 8 bits, per channel r/g/b
  uint8_t from8[3][256] = {};  // 8 bits -> field value
};
const cFieldScale& FieldScaleFor(const DDCOLORMASK& m);

// The part [j0, j1) x [i0, i1) of a w x h walk whose destination pixels (x + j, y + i) and source
// pixels (sx + j, sy + i) all lie inside their surfaces.
struct WalkRange {
  int64_t j0 = 0, j1 = 0, i0 = 0, i1 = 0;
  bool Empty() const { return j0 >= j1 || i0 >= i1; }
};
WalkRange ClipWalk(int64_t x, int64_t y, int64_t w, int64_t h, int64_t sx, int64_t sy, int dstW, int dstH, int srcW,
                   int srcH);

// Points both records at what an effect really draws on and reads from: the source record of a
// copy, and the virtual back buffer in place of the back buffer.
void RedirectEffectPair(DDSURFACEDATA** lplpDst, DDSURFACEDATA** lplpSrc);

// Both records of an effect, redirected as the render mode wants and locked (destination first).
class cEffectSurfaces {
 public:
  // False when a record is missing or a lock fails; what was locked is released by the destructor.
  bool Lock(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc);

  bool InDst(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < m_nDstW && y < m_nDstH; }
  bool InSrc(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < m_nSrcW && y < m_nSrcH; }
  // Pixels straight from the locked bits (the pointers are taken once at Lock).
  uint32_t Src(int64_t x, int64_t y) const { return Read(m_lpSrcBits + y * m_nSrcPitch, x, m_nSrcBytes); }
  uint32_t Dst(int64_t x, int64_t y) const { return Read(m_lpDstBits + y * m_nDstPitch, x, m_nBytes); }
  void Put(int64_t x, int64_t y, uint32_t p) {
    uint8_t* row = m_lpDstBits + y * m_nDstPitch;
    switch (m_nBytes) {
      case 1: row[x] = static_cast<uint8_t>(p); break;
      case 2: {
        const auto v = static_cast<uint16_t>(p);
        std::memcpy(row + 2 * x, &v, 2);
        break;
      }
      case 4: std::memcpy(row + 4 * x, &p, 4); break;
      default: m_Dst.Set(static_cast<int>(x), static_cast<int>(y), p); break;
    }
  }
  RasterSurface* DstSurface() const { return m_Dst.Pixels(); }
  // Raw rows for the tight loops (32 bits per pixel).
  template <typename T>
  T* DstRow(int64_t y) {
    return reinterpret_cast<T*>(m_Dst.Pixels()->Row(static_cast<int>(y)));
  }
  template <typename T>
  const T* SrcRow(int64_t y) const {
    return reinterpret_cast<const T*>(m_Src.Pixels()->Row(static_cast<int>(y)));
  }
  uint32_t* DstRow32(int64_t y) { return reinterpret_cast<uint32_t*>(m_Dst.Pixels()->Row(static_cast<int>(y))); }
  const uint32_t* SrcRow32(int64_t y) const {
    return reinterpret_cast<const uint32_t*>(m_Src.Pixels()->Row(static_cast<int>(y)));
  }

  // Whether a source pixel is the transparent colour: the colour key in the blit mode, a clear
  // alpha bit or a zero alpha byte in the render mode.
  bool IsClear(uint32_t p) const {
    if (!m_bRender) return p == g_dwColorKey;
    if (m_nBytes == 2) return ((p >> g_TexMask.nAShift) & g_TexMask.nAMask) == 0;
    return (p >> 24) == 0;
  }
  // A texture pixel as the destination stores it: unchanged, or in the full-screen back buffer's
  // layout (16 bits, green doubled, no alpha bit).
  uint32_t ToDst(uint32_t texel) const { return m_bToBack16 ? ToBack16(texel) : texel; }
  uint32_t ToBack16(uint32_t texel) const;
  // A render-mode result in texture fields (16 bits) or bytes (32 bits), with the alpha bit or
  // byte set, or in the back buffer's layout.
  uint32_t PackRender(const Rgb& c) const;
  // A blit-mode result: fields packed without alpha (16 bits), or the three colour bytes with the
  // destination's fourth byte kept (32 bits).
  uint32_t PackBlit(const Rgb& c, uint32_t old) const;

  DDSURFACEDATA* m_lpDst = nullptr;
  DDSURFACEDATA* m_lpSrc = nullptr;
  int32_t m_nDstW = 0, m_nDstH = 0, m_nSrcW = 0, m_nSrcH = 0;
  int32_t m_nDstPitch = 0, m_nSrcPitch = 0;  // bytes per row
  int32_t m_nSrcBytes = 0;
  int32_t m_nBytes = 0;       // bytes per pixel of the destination
  int32_t m_bSameLayout = 0;  // source and destination have the same pixel size
  int32_t m_bRender = 0;      // render mode
  int32_t m_bToBack16 = 0;    // render mode, 16 bits, into the full-screen back buffer

 private:
  static uint32_t Read(const uint8_t* row, int64_t x, int32_t bytes) {
    switch (bytes) {
      case 1: return row[x];
      case 2: {
        uint16_t v;
        std::memcpy(&v, row + 2 * x, 2);
        return v;
      }
      case 4: {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
      }
      case 3: return static_cast<uint32_t>(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
      default: return 0;
    }
  }
  uint8_t* m_lpDstBits = nullptr;
  const uint8_t* m_lpSrcBits = nullptr;
  cSurfaceLock m_Dst, m_Src;
};

// The draw-state pair's addition: only D3DTOP_ADD changes anything; each channel gets the colour's
// channel (scaled to the field) added and is clamped to the field's maximum.
Rgb AddDrawState(const Rgb& c, const int* lpDrawState, int32_t rMask, int32_t gMask, int32_t bMask);

// ---- one-quad draws of the render mode ----
// A quad straight from the render target's pixels: destination a render target and source not a
// system-memory texture (both already redirected).
bool IsQuadPath(const DDSURFACEDATA* lpDst, const DDSURFACEDATA* lpSrc);
// Writes the four vertices into the record's vertex buffer; false when it has none (the draw is
// then skipped, as a failed Lock would).
bool WriteVertices(DDSURFACEDATA* lpOwner, const t4::platform::raster::Vertex v[4]);
// The vertices of the axis-aligned quad over pixels (x, y, w, h) with texels (sx, sy, sw, sh) of a
// texture of tw x th, in strip order.
void RectVertices(t4::platform::raster::Vertex v[4], int x, int y, int w, int h, int sx, int sy, int sw, int sh, int tw,
                  int th, D3DCOLOR color);
// Begins the scene and selects the target; false when either fails.
bool BeginQuad(DDSURFACEDATA* lpTarget);
// Selects the context's restore target again; false when that fails.
bool EndQuad();
// Render mode, destination a render target and source a texture the device reads: draws the
// picture (source rectangle mirrored as the record asks, cut to the source) as one quad with the
// diffuse colour and stage, and returns true. False leaves the picture to the software path.
bool TryPictureQuad(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy,
                    D3DCOLOR diffuse, const t4::platform::raster::StageState& st);
// The stage settings with both arguments given.
t4::platform::raster::StageState Stage(int colorOp, int colorArg1, int colorArg2, int alphaOp, int alphaArg1,
                                       int alphaArg2);

}  // namespace t4::gfx
