// The seventeen ways a character is drawn, one per character-effect kind: the plain picture and
// the picture through one of the drawing layer's effects, driven by the effect's current value.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "data/database.h"
#include "gfx/batch.h"
#include "gfx/dd_effects.h"
#include "gfx/image_slots.h"
#include "persist/system_ini.h"
#include "stage/chara_base.h"
#include "stage/chara_draw.h"

namespace {

struct EffectCall {
  cCharaBase& c;
  DDSURFACEDATA* dst;
  const DRAWDESC& desc;
  const cCharaEffectDef* def;
  int L, T, W, H, s;
  bool scaled;
  bool suspended = false;  // the sprite batch is held while the work surface is in use
};

using Routine = void (*)(EffectCall& e, double v);

// The work surface of character effects; the render mode can draw only into slot 68. A sprite
// batch would draw the picture into it only when the batch ends, long after the effect has read
// it back, so the running batch is suspended until the effect is drawn (RunEffect resumes it).
DDSURFACEDATA* Work(EffectCall& e) {
  if (!e.suspended && g_lpBatch && g_lpBatch->bActive) {
    DDBatchSuspend();
    e.suspended = true;
  }
  return &g_SurfaceTable[g_bUseD3D || g_SystemIni.m_nDDVideoStretch ? IMAGE_WORK_A : IMAGE_WORK_B];
}

int Param(const EffectCall& e, int i) { return e.def ? e.def->m_nParam[i] : 0; }

// A parameter in dots times the character's size, held where the drawing's sums stay within an
// int whatever a damaged file holds.
int ScaledParam(const EffectCall& e, int i) {
  constexpr int64_t REACH = int64_t{1} << 24;
  return static_cast<int>(std::clamp<int64_t>(int64_t{Param(e, i)} * e.s, -REACH, REACH));
}

// The picture to run an effect on: the sheet cell, or the scaled picture drawn into the work
// surface at (0, 0).
DDSURFACEDATA* Source(EffectCall& e, int& sx, int& sy) {
  if (e.scaled) {
    DDSURFACEDATA* work = Work(e);
    e.c.DrawToWork(work, e.desc);
    sx = sy = 0;
    return work;
  }
  sx = e.desc.sx;
  sy = e.desc.sy;
  return e.desc.lpSrc;
}

const int* ColourState(const EffectCall& e) { return e.desc.bColor ? e.desc.State() : nullptr; }

void Plain(EffectCall& e, double) {
  const DRAWDESC& d = e.desc;
  const int* state = ColourState(e);
  if (e.scaled)
    DDBltStretchState(e.dst, e.L, e.T, e.W, e.H, d.lpStretch, d.sx, d.sy, e.c.m_nBaseDrawWidth * d.nCellScale,
                      e.c.m_nBaseDrawHeight * d.nCellScale, BLT_TRANSPARENT, state);
  else if (state)
    DDBltState(e.dst, e.L, e.T, e.W, e.H, d.lpSrc, d.sx, d.sy, BLT_TRANSPARENT, state);
  else
    DDBlt(e.dst, e.L, e.T, e.W, e.H, d.lpSrc, d.sx, d.sy, BLT_TRANSPARENT);
}

void Burst(EffectCall& e, double v) {
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltBurst(e.dst, e.L, e.T, e.W, e.H, src, sx, sy, TruncToInt(v * e.s), BLT_TRANSPARENT);
}

void Split(EffectCall& e, double v, bool vertical) {
  // A strip count of nothing leaves the picture in one piece.
  const int parts = Param(e, 3);
  // Rounded up in 64 bits: a count from a damaged file may be as large as an int holds.
  const int strip = parts > 0 ? static_cast<int>((int64_t{e.c.m_nDrawHeight} + parts - 1) / parts) : e.c.m_nDrawHeight;
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltSplit(e.dst, e.L, e.T, e.W, e.H, std::max(strip, 1), TruncToInt(v * e.s), src, sx, sy, BLT_TRANSPARENT,
             vertical);
}
void SplitX(EffectCall& e, double v) { Split(e, v, false); }
void SplitY(EffectCall& e, double v) { Split(e, v, true); }

void Wave(EffectCall& e, double v, bool vertical) {
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltWave(e.dst, e.L, e.T, e.W, e.H, Param(e, 3), v * e.s, e.c.m_Effect.m_nKind1, std::max(ScaledParam(e, 4), e.s),
            src, sx, sy, BLT_TRANSPARENT, vertical);
}
void WaveX(EffectCall& e, double v) { Wave(e, v, false); }
void WaveY(EffectCall& e, double v) { Wave(e, v, true); }

void Blink(EffectCall& e, double v) {
  if (e.c.m_Effect.m_nKind2) Plain(e, v);
}

void Rotate(EffectCall& e, double v) {
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltRotate(e.dst, e.L + e.W / 2, e.T + e.H / 2, e.W, e.H, e.W / 2, e.H / 2, TruncToInt(v), src, sx, sy,
              BLT_TRANSPARENT);
}

void Spin(EffectCall& e, double v) {
  const DRAWDESC& d = e.desc;
  DDBltSpin(e.dst, e.L, e.T, e.W, e.H, d.lpStretch, d.sx, d.sy, d.lpStretchMirror ? d.lpStretchMirror : d.lpStretch,
            d.sx, d.sy, e.c.m_nBaseDrawWidth * d.nCellScale, e.c.m_nBaseDrawHeight * d.nCellScale, BLT_TRANSPARENT,
            TruncToInt(v), 0);
}

void Circle(EffectCall& e, double v) {
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltCircle(e.dst, e.L + e.W / 2, e.T + e.H / 2, e.W / 2, e.H / 2, TruncToInt(v * e.s), ScaledParam(e, 3), src,
              sx + e.W / 2, sy + e.H / 2, BLT_TRANSPARENT);
}

void Zoom(EffectCall& e, double v) {
  // v is the zoomed size of a 32-dot picture. A scaled character grows by half its scaled amount
  // (64 on a double-size character: 96 dots, not 128).
  const int grow = e.scaled ? TruncToInt((v - 32) * e.s) / 2 : TruncToInt(v - 32);
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltStretch(e.dst, e.L - grow / 2, e.T - grow / 2, e.W + grow, e.H + grow, src, sx, sy, e.W, e.H, BLT_TRANSPARENT);
}

void Lens(EffectCall& e, double v) {
  // The lens samples around the picture's centre, so it works on a clean copy.
  DDSURFACEDATA* work = Work(e);
  const int side = std::max(e.W, e.H);
  DDFillRect(work, 0, 0, side, side, TransparentFillColor(work));
  e.c.DrawToWork(work, e.desc);
  DDBltLens(e.dst, e.L + e.W / 2, e.T + e.H / 2, side / 2, std::max(TruncToInt(v), 1), work,
            e.W / 2 + ScaledParam(e, 3), e.H / 2 + ScaledParam(e, 4), BLT_TRANSPARENT, false, ColourState(e));
}

void Tint(EffectCall& e, double v) {
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  const int colour = std::clamp(Param(e, 3), 0, 255);
  DDBltTint(e.dst, e.L, e.T, e.W, e.H, src, sx, sy, BLT_TRANSPARENT, g_Palette, g_HbtTable, colour,
            std::clamp(TruncToInt(v), 1, 4), ColourState(e));
}

void HalfTrans(EffectCall& e, double v) {
  if (e.c.m_Effect.m_nKind2) {
    Plain(e, v);
    return;
  }
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltHalfTrans(e.dst, e.L, e.T, e.W, e.H, src, sx, sy, BLT_TRANSPARENT, g_HbtTable);
}

void Mosaic(EffectCall& e, double v) {
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  DDBltMosaic(e.dst, e.L, e.T, e.W, e.H, std::max(TruncToInt(v * e.s), 1), src, sx, sy, BLT_TRANSPARENT,
              ColourState(e));
}

void Blur(EffectCall& e, double v) {
  int sx = 0, sy = 0;
  DDSURFACEDATA* src = Source(e, sx, sy);
  const int r = std::max(TruncToInt(v * e.s), 0);
  DDBltBlur(e.dst, e.L, e.T, e.W, e.H, r, r, src, sx, sy, BLT_TRANSPARENT, ColourState(e));
}

constexpr Routine ROUTINES[17] = {Plain, Burst,  SplitX, SplitY, WaveX, WaveY,     Blink,  Rotate, Rotate,
                                  Spin,  Circle, Zoom,   Lens,   Tint,  HalfTrans, Mosaic, Blur};

// The phase and blink counters that run before the step.
void AdvanceCounters(cCharaEffect& fx, int kind, int interval) {
  if (kind == 4 || kind == 5) {
    if (++fx.m_nKind1 >= 360) fx.m_nKind1 = 0;
  } else if (kind == CHARAEFFECT_BLINK || kind == CHARAEFFECT_HALF_TRANS) {
    if (++fx.m_nKind1 >= interval) {
      fx.m_nKind1 = 0;
      fx.m_nKind2 = !fx.m_nKind2;
    }
  }
}

}  // namespace

int cCharaBase::RunEffect(DDSURFACEDATA* dst, DRAWDESC& desc, int noAdvance, int draw) {
  const cCharaEffectDef* def = m_Effect.Def();
  // Kinds the table does not know draw plainly.
  int kind = def ? def->m_nKind : CHARAEFFECT_NONE;
  if (kind < 0 || kind > CHARAEFFECT_BLUR) kind = CHARAEFFECT_NONE;
  if (draw && dst && desc.lpSrc) {
    const int s = m_Def.m_cSize > 1 ? m_Def.m_cSize : 1;
    EffectCall call{*this,         dst,          desc,          def, m_rcScreen[0],
                    m_rcScreen[1], m_nDrawWidth, m_nDrawHeight, s,   IsScaledDraw(desc, s)};
    ROUTINES[kind](call, m_Effect.m_dValue);
    if (call.suspended) DDBatchResume();
  }
  if (noAdvance) return 0;
  // A number without a definition has nothing to run: it is over at once.
  if (!def) return m_Effect.m_nEffect != 0 ? 1 : 0;
  if (kind == CHARAEFFECT_NONE) return 0;
  AdvanceCounters(m_Effect, kind, def ? def->m_nParam[1] : 0);
  return m_Effect.Step();
}
