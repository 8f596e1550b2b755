// The hero's picture with the view of its hit boxes, and the darkness around it: the mask with
// a hole of the hero's sight that follows it over the screen.
#include <algorithm>

#include "gfx/dd_effects.h"
#include "gfx/frames_digits.h"
#include "core/message_box.h"
#include "gfx/image_slots.h"
#include "persist/system_data.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

DDSURFACEDATA* Mask() { return &g_SurfaceTable[IMAGE_SIGHT_MASK]; }
DDSURFACEDATA* Hole() { return &g_SurfaceTable[IMAGE_SIGHT_HOLE]; }

bool Create(int slot, int w, int h) {
  const IMAGESLOT& s = g_ImageSlotTable[slot];
  return DDCreateSurface(&g_SurfaceTable[slot], w, h, TRUE, s.nDDMemory, s.nMemoryType, nullptr);
}

}  // namespace

void cHero::Draw(DDSURFACEDATA* dst, int noAdvance) {
  DrawChara(dst, noAdvance);
  if (!dst) return;
  // With a cycling 8-bit palette the colours move by themselves.
  const bool plainIndex = g_nBpp == 8 && !g_bUseD3D && g_SystemData.m_bPaletteCycling;
  for (HITBOXVIEW& v : m_HitBoxView) {
    if (v.nMode == 0) continue;
    const HITBOX* box = v.nKind == 1 ? &m_BoxA : v.nKind == 2 ? &m_BoxC : v.nKind == 3 ? &m_BoxB : nullptr;
    const int x = m_rcScreen[0] + m_nDrawOffsetX + (box ? box->nOffsetX : 0);
    const int y = m_rcScreen[1] + m_nDrawOffsetY + (box ? box->nOffsetY : 0);
    const int w = box ? box->nWidth : m_nHitWidth;
    const int h = box ? box->nHeight : m_nHitHeight;
    const DWORD colour = static_cast<DWORD>(plainIndex ? v.nPalette : v.nPalette + (v.nCounter >> 3));
    if (v.nMode == 1)
      DDFillRectPal(dst, x, y, w, h, colour);
    else
      DDDrawFrame(dst, x, y, w, h, 1, static_cast<int>(colour));
    if (!noAdvance && ++v.nCounter >= 32) v.nCounter = 0;
  }
}

void cHero::DrawSightMask(DDSURFACEDATA* dst) {
  if (!dst || m_Def.m_cSightShape == 0) return;
  DDSURFACEDATA* mask = Mask();
  const int W = mask->nWidth;
  const int H = mask->nHeight;
  if (W < 640 || H < 480) return;
  int sx = (W >> 1) - (m_nDrawWidth >> 1) - m_rcScreen[0];
  if (m_Def.m_cSightShape == 2 || m_Def.m_cSightShape == 4) {
    const int d = GetDirSign();
    sx += d * (m_nDrawWidth >> 1) - d * m_nSightDots;
  }
  sx = std::clamp(sx, 0, W - 640);
  const int sy = std::clamp((H >> 1) - (m_nDrawHeight >> 1) - m_rcScreen[1], 0, H - 480);
  DDBlt(dst, 0, 0, 640, 480, mask, sx, sy, BLT_TRANSPARENT);
}

void cScenePlay::MakeSightMask() {
  DDReleaseSurface(Mask());
  DDReleaseSurface(Hole());
  if (g_Heroes.empty()) return;
  const cHero& hero = g_Heroes.At(0);
  // A sight of nothing (or less, should a status change ever give one) leaves the screen dark.
  const int r = std::max(hero.m_nSightDots, 0);
  if (!Create(IMAGE_SIGHT_MASK, 1280 + 2 * r, 960 + 2 * r)) {
    OutOfMemoryClose();
    return;
  }
  DDSURFACEDATA* mask = Mask();
  DDFillRectPal(mask, 0, 0, mask->nWidth, mask->nHeight, PALETTE_EMPTY);
  if (r == 0) return;
  const int cx = mask->nWidth / 2;
  const int cy = mask->nHeight / 2;
  const int shape = hero.m_Def.m_cSightShape;
  if (shape == 1 || shape == 2) {
    if (!Create(IMAGE_SIGHT_HOLE, 2 * r, 2 * r)) {
      OutOfMemoryClose();
      return;
    }
    DDFillRect(Hole(), 0, 0, 2 * r, 2 * r, TransparentFillColor(Hole()));
    DDBltCircle(mask, cx, cy, r, r, r, 1, Hole(), r, r, BLT_OPAQUE);
  } else {
    DDFillRect(mask, cx - r, cy - r, 2 * r, 2 * r, TransparentFillColor(mask));
  }
}
