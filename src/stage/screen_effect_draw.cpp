// The screen effect over the drawn frame: the frame is copied into a work surface and painted
// back with the effect's distortion, and the effect's value moves on unless the stage is frozen.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/dd_effects.h"
#include "gfx/image_slots.h"
#include "persist/system_ini.h"
#include "stage/graphic_source.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

DDSURFACEDATA* const B = &BackBuffer;

int T(double v) { return TruncToInt(v); }

// The render mode has one work surface it can draw into, slot 68 (slot 69 is the blit mode's
// system-memory twin and has no picture of its own there).
DDSURFACEDATA* WorkFor(int kind) {
  if (g_bUseD3D) return &g_SurfaceTable[IMAGE_WORK_A];
  switch (kind) {
    case SCREFFECT_ROTATE:
    case SCREFFECT_LENS:
    case SCREFFECT_MOSAIC: return &g_SurfaceTable[IMAGE_WORK_B];
    case SCREFFECT_ZOOM: return &g_SurfaceTable[g_SystemIni.m_nDDVideoStretch ? IMAGE_WORK_A : IMAGE_WORK_B];
    default: return &g_SurfaceTable[IMAGE_WORK_A];
  }
}

void HeroCentre(int& cx, int& cy) {
  cx = 320;
  cy = 240;
  if (g_Heroes.empty()) return;
  const cHero& h = g_Heroes.At(0);
  cx = h.m_rcScreen[0] + (h.m_nDrawWidth >> 1);
  cy = h.m_rcScreen[1] + (h.m_nDrawHeight >> 1);
}

// The lens's centre: the hero's moved by the definition's offsets, held near enough that the
// radius and the cleared square stay within an int whatever a damaged file holds.
void LensCentre(const int32_t* p, int& ex, int& ey) {
  constexpr int64_t LENS_REACH = int64_t{1} << 24;
  HeroCentre(ex, ey);
  ex = static_cast<int>(std::clamp<int64_t>(int64_t{ex} + p[3], -LENS_REACH, LENS_REACH));
  ey = static_cast<int>(std::clamp<int64_t>(int64_t{ey} + p[4], -LENS_REACH, LENS_REACH));
}

// Strips of `total` dots in `parts` pieces, rounded up; no count means one strip.
int StripSize(int total, int parts) { return parts > 0 ? (total + parts - 1) / parts : total; }

void Distort(cScrEffect& e, DDSURFACEDATA* W) {
  const int32_t* p = e.Params();
  const double v = e.m_dValue;
  switch (e.Kind()) {
    case SCREFFECT_MOVE: DDBlt(B, e.m_nKind1, e.m_nKind2, 640, 480, W, 0, 0, BLT_OPAQUE); break;
    case SCREFFECT_SHAKE_X: {
      const double d = e.m_dValue2;
      DDBlt(B, T(d), 0, 640, 480, W, 0, 0, BLT_OPAQUE);
      break;
    }
    case SCREFFECT_SHAKE_Y: DDBlt(B, 0, T(e.m_dValue2), 640, 480, W, 0, 0, BLT_OPAQUE); break;
    case SCREFFECT_SPLIT_X:
      DDBltSplit(B, 0, 0, 640, 480, StripSize(480, p[3]), T(v), W, 0, 0, BLT_OPAQUE, false);
      break;
    case SCREFFECT_SPLIT_Y: DDBltSplit(B, 0, 0, 640, 480, StripSize(640, p[3]), T(v), W, 0, 0, BLT_OPAQUE, true); break;
    case SCREFFECT_WAVE_X:
    case SCREFFECT_WAVE_Y:
      DDBltWave(B, 0, 0, 640, 480, p[3], v, e.m_nKind1, std::max(p[4], 1), W, 0, 0, BLT_OPAQUE,
                e.Kind() == SCREFFECT_WAVE_Y);
      break;
    case SCREFFECT_ROTATE: DDBltRotate(B, 320, 240, 640, 480, 320, 240, T(v), W, 0, 0, BLT_OPAQUE); break;
    case SCREFFECT_CIRCLE: {
      int cx = 0, cy = 0;
      HeroCentre(cx, cy);
      DDBltCircle(B, cx, cy, cx >= 320 ? cx : 640 - cx, cy >= 240 ? cy : 480 - cy, T(v), p[3], W, cx, cy, BLT_OPAQUE);
      break;
    }
    case SCREFFECT_ZOOM: {
      const double f = v / 640;
      if (f >= 1) {
        int cx = 0, cy = 0;
        HeroCentre(cx, cy);
        const int sw = T(640 / f);
        const int sh = T(480 / f);
        const int sx = std::clamp(cx - sw / 2, 0, 640 - sw);
        const int sy = std::clamp(cy - sh / 2, 0, 480 - sh);
        DDBltStretch(B, 0, 0, 640, 480, W, sx, sy, sw, sh, BLT_TRANSPARENT);
      } else if (f > 0) {
        const int w = T(640 * f);
        const int h = T(480 * f);
        DDBltStretch(B, (640 - w) / 2, (480 - h) / 2, w, h, W, 0, 0, 640, 480, BLT_TRANSPARENT);
      }
      break;
    }
    case SCREFFECT_LENS: {
      int ex = 0, ey = 0;
      LensCentre(p, ex, ey);
      const double r = std::sqrt(2.0) * std::max(ex >= 320 ? ex : 640 - ex, ey >= 240 ? ey : 480 - ey);
      DDBltLens(B, ex, ey, T(r), T(v), W, ex, ey, BLT_OPAQUE, false, nullptr);
      break;
    }
    case SCREFFECT_MOSAIC: DDBltMosaic(B, 0, 0, 640, 480, std::max(T(v), 1), W, 0, 0, BLT_OPAQUE, nullptr); break;
    default: break;
  }
}

// The counters a kind moves after its drawing; the shakes' swing.
void Advance(cScrEffect& e) {
  const int32_t* p = e.Params();
  switch (e.Kind()) {
    case SCREFFECT_MOVE:
      // The distance in doubles: ends far apart would overflow an int.
      e.m_nKind1 = T((static_cast<double>(p[3]) - p[1]) / p[0] * e.m_dValue + p[1]);
      e.m_nKind2 = T((static_cast<double>(p[4]) - p[2]) / p[0] * e.m_dValue + p[2]);
      break;
    case SCREFFECT_SHAKE_X:
    case SCREFFECT_SHAKE_Y: {
      const double c = static_cast<double>(p[2]) * p[1] * 4 / (p[0] * 6.0);
      double& d = e.m_dValue2;
      if (e.m_nKind1 == 0) {
        d += c;
        if (d >= p[1]) {
          d = p[1];
          e.m_nKind1 = 1;
        }
      } else {
        d -= c;
        // The mirror in doubles: the most negative amplitude has none as an int.
        if (d <= -static_cast<double>(p[1])) {
          d = -static_cast<double>(p[1]);
          e.m_nKind1 = 0;
        }
      }
      break;
    }
    case SCREFFECT_WAVE_X:
    case SCREFFECT_WAVE_Y:
      if (++e.m_nKind1 >= 360) e.m_nKind1 = 0;
      break;
    default: break;
  }
}

bool RunsFromZero(int kind) {
  return kind == SCREFFECT_MOVE || kind == SCREFFECT_SHAKE_X || kind == SCREFFECT_SHAKE_Y || kind == SCREFFECT_BLINK;
}

}  // namespace

void cScenePlay::DrawScrEffect(int frozen) {
  cScrEffect& e = m_Draw.m_ScrEffect;
  if (e.m_nEffect == 0) return;
  // Kinds the routine table does not know run as "none".
  const int kind = e.Kind() >= 0 && e.Kind() < SCREFFECT_KIND_COUNT ? e.Kind() : SCREFFECT_NONE;
  if (kind == SCREFFECT_NONE) {
    if (g_bUseD3D && lpDTCon && lpDTCon->bVirtualBackBuffer) DDSetVirtualBackBuffer(false);
    return;
  }
  const int32_t* p = e.Params();
  // A run time of nothing ends the effect on its first frame: a move shows its end position, a
  // shake no displacement.
  const bool instant = p[0] <= 0;
  if (instant) {
    if (kind == SCREFFECT_MOVE) {
      e.m_nKind1 = p[3];
      e.m_nKind2 = p[4];
    }
    e.m_dValue2 = 0.0;
  }
  if (kind == SCREFFECT_BLINK) {
    if (e.m_nKind2 == 0) {
      DrawBackgrounds(B, 0);
      DrawBackgrounds(B, 1);
    }
  } else {
    DDSURFACEDATA* W = WorkFor(kind);
    if (kind == SCREFFECT_LENS) {
      int ex = 0, ey = 0;
      LensCentre(p, ex, ey);
      const int r = T(std::sqrt(2.0) * std::max(ex >= 320 ? ex : 640 - ex, ey >= 240 ? ey : 480 - ey));
      const int side = (g_nBpp == 16 ? 4 : 2) * r;
      // The square may be far larger than the work surface: only its part inside is cleared.
      const int x0 = std::max(ex - side / 2, 0), y0 = std::max(ey - side / 2, 0);
      const int x1 = std::min(ex - side / 2 + side, W->nWidth), y1 = std::min(ey - side / 2 + side, W->nHeight);
      if (x1 > x0 && y1 > y0) DDFillRect(W, x0, y0, x1 - x0, y1 - y0, TransparentFillColor(W));
    }
    DDBlt(W, 0, 0, 640, 480, B, 0, 0, BLT_OPAQUE);
    if (kind == SCREFFECT_SHAKE_X) {
      const double d = e.m_dValue2;
      if (d > 0) DDFillRectPal(B, 0, 0, T(d + 1), 480, PALETTE_EMPTY);
      if (d < 0) DDFillRectPal(B, T(d + 640), 0, T(1 - d), 480, PALETTE_EMPTY);
    } else if (kind != SCREFFECT_LENS && !(kind == SCREFFECT_ZOOM && e.m_dValue / 640 >= 1)) {
      DDFillRectPal(B, 0, 0, 640, 480, PALETTE_EMPTY);
    }
    DDSetAlphaOp(D3DTOP_DISABLE);
    Distort(e, W);
    DDResetAlphaOp();
  }
  if (frozen) return;
  int ended = 0;
  if (instant) {
    ended = 1;
  } else {
    // Every p1 frames the frame's picture and the bare backgrounds take turns.
    if (kind == SCREFFECT_BLINK && ++e.m_nKind1 >= p[1]) {
      e.m_nKind1 = 0;
      e.m_nKind2 = !e.m_nKind2;
    }
    Advance(e);
    ended = RunsFromZero(kind) ? e.Step(0, p[0], e.m_dStep) : e.Step(p[1], p[2], e.m_dStep);
  }
  if (ended) {
    e.Clear();
    DDSetVirtualBackBuffer(false);
  }
}
