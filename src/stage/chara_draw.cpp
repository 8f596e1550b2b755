// Drawing one character: its picture through the running character effect, its mark, its
// death, and the HP and SP gauges over it.
#include <algorithm>

#include "data/database.h"
#include "gfx/image_slots.h"
#include "persist/menu_colors.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/hero.h"

namespace {

// Frames a dead hero without a death effect is shown: the last of them counts the miss.
constexpr int HERO_DEATH_DISPLAY_FRAMES = 60;

int Scale(const cCharaBase& c) { return c.m_Def.m_cSize > 1 ? c.m_Def.m_cSize : 1; }

// The hero keeps its own per-axis rectangle rule.
void RefreshScreenRect(cCharaBase& c) {
  if (auto* hero = dynamic_cast<cHero*>(&c))
    hero->UpdateHeroScreenRect();
  else
    c.UpdateScreenRect();
}

void DrawMark(cCharaBase& c, DDSURFACEDATA* dst) {
  const int mark = c.m_Def.m_sBadgeNo;
  if (mark < 0) return;
  // Column-major: 15 marks to a column.
  const int sx = (mark / CELLS_PER_COLUMN) * 32;
  const int sy = (mark % CELLS_PER_COLUMN) * 32;
  if (Scale(c) <= 1)
    DDBlt(dst, c.m_rcScreen[0], c.m_rcScreen[1], 32, 32, SurfaceSlot(IMAGE_MARKS), sx, sy, BLT_TRANSPARENT);
  else
    DDBltStretch(dst, c.m_rcScreen[0], c.m_rcScreen[1], c.m_nDrawWidth, c.m_nDrawHeight,
                 SurfaceSlot(IMAGE_MARKS_STRETCH), sx, sy, c.m_nBaseDrawWidth, c.m_nBaseDrawHeight, BLT_TRANSPARENT);
}

// One of the two bars over a character; `item` is the status item of its low level.
void DrawGauge(const cCharaBase& c, DDSURFACEDATA* dst, const GAUGEANIME& g, int value, int maxValue, int item, int sx,
               int y) {
  if (g.nFrames <= 0 || c.m_bDead) return;
  DDSURFACEDATA* sheet = SurfaceSlot(IMAGE_ACCESSORY_SHEET);
  const bool tall = sheet->nHeight > 208;
  const int y0 = tall ? 208 : 128;
  const int step = tall ? 2 : 16;
  const int x = c.m_rcScreen[0] + (c.m_nDrawWidth >> 1) - 25;
  DDBlt(dst, x, y, 50, 2, sheet, sx, y0, BLT_TRANSPARENT);
  const int len = std::clamp(g.nLength, 0, 50);
  const int row = g_SystemData.CheckGaugeLevel(item, value, maxValue) ? y0 + 2 * step : y0 + step;
  if (len > 0) DDBlt(dst, x, y, len, 2, sheet, sx, row, BLT_TRANSPARENT);
  const int moving = static_cast<int>(g.dMoving);
  if (moving < 0)
    DDBlt(dst, x + len, y, -moving, 2, sheet, sx, y0 + 3 * step, BLT_TRANSPARENT);
  else if (moving > 0)
    DDBlt(dst, x + len - moving, y, moving, 2, sheet, sx, y0 + 4 * step, BLT_TRANSPARENT);
}

void CountGauge(GAUGEANIME& g) {
  if (g.nFrames <= 0) return;
  --g.nFrames;
  if (g.nFrames < 60) {
    g.dMoving = 0.0;
  } else if (g.dMoving < 0.0) {
    g.dMoving = std::min(0.0, g.dMoving + g.dDecrease);
  } else if (g.dMoving > 0.0) {
    g.dMoving = std::max(0.0, g.dMoving - g.dDecrease);
  }
}

}  // namespace

int cCharaBase::GetCharaImage(DRAWDESC& desc) {
  int image = m_Def.m_sGraphicOffset;
  const int set = m_Def.m_sAnimeSet;
  const auto& sets = g_Database.m_AnimeSets;
  const cAnimeSet fallback;
  const cAnimeSet& s = set >= 0 && set < static_cast<int>(sets.size()) ? sets[static_cast<size_t>(set)] : fallback;
  if (m_Def.m_cFlight) image += s.m_nFlyOfs;
  if (m_Def.m_cBlockChara) image += s.m_nBlockOfs;
  desc.bColor = 0;
  if (m_Def.m_cInvincible) {
    image += s.m_nInvincibleOfs;
    // The render mode can light the picture up: the character glows with one of the menus'
    // pulsing colours while it cannot be hurt.
    const int colour = m_Def.m_cInvincibleColor;
    if (g_bUseD3D && g_SystemData.InvincibleColor() && colour >= 1 && colour < PULSE_COLOR_COUNT) {
      desc.bColor = 1;
      desc.dwColor = g_PulseColors[colour].dwColor;
      desc.nColorOp = g_PulseColors[colour].nColorOp;
    }
  }
  return image;
}

void cCharaBase::DrawChara(DDSURFACEDATA* dst, int noAdvance) {
  // The animations started by flows are drawn over the character's own and run out here.
  const int pattern = GetCurrentPattern(noAdvance);
  if (m_bHidden || m_Def.m_cTransparent) {
    StepEffectOnly(noAdvance);
    return;
  }
  RefreshScreenRect(*this);
  if (m_bFixScreenX) {
    m_rcScreen[0] = m_nFixScreenX;
    m_rcScreen[2] = m_nFixScreenX + m_nDrawWidth - 1;
  }
  if (m_bFixScreenY) {
    m_rcScreen[1] = m_nFixScreenY;
    m_rcScreen[3] = m_nFixScreenY + m_nDrawHeight - 1;
  }
  DRAWDESC desc;
  const int image = GetCharaImage(desc);
  SelectGraphicSource(desc, 1, m_Def.m_cGraphicKind, m_nGraphic, image, this, pattern);
  if (RunEffect(dst, desc, noAdvance, 1)) m_Effect.m_nEffect = 0;
  if (m_Def.m_cShowBadge == 1) DrawMark(*this, dst);
}

int cCharaBase::DrawDying(DDSURFACEDATA* dst, int noAdvance) {
  DRAWDESC desc;
  const int image = GetCharaImage(desc);
  SelectGraphicSource(desc, 1, m_Def.m_cGraphicKind, m_nGraphic, image, this, 0);
  const bool effect = m_Effect.m_nEffect != 0;
  if (m_nSide != 0) {
    if (!effect) return 1;
    if (RunEffect(dst, desc, noAdvance, 1)) {
      m_Effect.m_nEffect = 0;
      return 1;
    }
    return 0;
  }
  if (effect) {
    if (RunEffect(dst, desc, noAdvance, 1)) m_Effect.m_nEffect = 0;
    return 0;
  }
  if (noAdvance) return 0;
  return ++m_nDeathFrames >= HERO_DEATH_DISPLAY_FRAMES ? 1 : 0;
}

void cCharaBase::StepEffectOnly(int noAdvance) {
  if (m_Effect.m_nEffect == 0) return;
  DRAWDESC desc;
  if (RunEffect(nullptr, desc, noAdvance, 0)) m_Effect.m_nEffect = 0;
}

void cCharaBase::DrawToWork(DDSURFACEDATA* work, const DRAWDESC& desc) {
  if (!desc.lpSrc) return;
  const int* state = desc.bColor ? desc.State() : nullptr;
  if (IsScaledDraw(desc, Scale(*this))) {
    DDBltStretchState(work, 0, 0, m_nDrawWidth, m_nDrawHeight, desc.lpStretch, desc.sx, desc.sy,
                      m_nBaseDrawWidth * desc.nCellScale, m_nBaseDrawHeight * desc.nCellScale, BLT_OPAQUE, state);
  } else if (state) {
    DDBltState(work, 0, 0, m_nDrawWidth, m_nDrawHeight, desc.lpSrc, desc.sx, desc.sy, BLT_OPAQUE, state);
  } else {
    DDBlt(work, 0, 0, m_nDrawWidth, m_nDrawHeight, desc.lpSrc, desc.sx, desc.sy, BLT_OPAQUE);
  }
}

void cCharaBase::BlitWork(DDSURFACEDATA* dst, DDSURFACEDATA* work, const DRAWDESC& desc) {
  DDBltState(dst, 0, 0, m_nDrawWidth, m_nDrawHeight, work, 0, 0, BLT_TRANSPARENT, desc.State());
}

void cCharaBase::DrawHpGauge(DDSURFACEDATA* dst) {
  DrawGauge(*this, dst, m_HpGauge, m_nHp, m_Def.m_nMaxHp, 2, 0, m_rcScreen[1] - 3);
}

void cCharaBase::DrawSpGauge(DDSURFACEDATA* dst) {
  DrawGauge(*this, dst, m_SpGauge, m_nSp, m_Def.m_nMaxSp, 3, 64, m_rcScreen[1] - 7);
}

void CountCharaGauges(cCharaBase& c) {
  CountGauge(c.m_HpGauge);
  CountGauge(c.m_SpGauge);
}
