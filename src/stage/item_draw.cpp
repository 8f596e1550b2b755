// Items: the picture of an item lying in the stage, and the icon of the item a character
// carries for the hero.
#include "gfx/image_slots.h"
#include "stage/chara.h"
#include "stage/graphic_source.h"
#include "stage/item.h"

void cItem::Draw(DDSURFACEDATA* dst, int noAdvance) {
  if (m_Def.m_cTransparent) return;
  const int pattern = noAdvance ? m_Anime.GetPattern() : m_Anime.Update();
  DRAWDESC desc;
  SelectGraphicSource(desc, 2, m_Def.m_cGraphicKind, m_Def.m_sGraphicNo, m_Def.m_sGraphicOffset, this, pattern);
  const int scale = m_Def.m_cSize > 1 ? m_Def.m_cSize : 1;
  const int L = m_rcScreen[0];
  const int T = m_rcScreen[1];
  if (desc.lpSrc) {
    if (IsScaledDraw(desc, scale))
      DDBltStretch(dst, L, T, m_nDrawWidth, m_nDrawHeight, desc.lpStretch, desc.sx, desc.sy,
                   m_nBaseDrawWidth * desc.nCellScale, m_nBaseDrawHeight * desc.nCellScale, BLT_TRANSPARENT);
    else
      DDBlt(dst, L, T, m_nDrawWidth, m_nDrawHeight, desc.lpSrc, desc.sx, desc.sy, BLT_TRANSPARENT);
  }
  if (m_Def.m_cShowBadge != 1 || m_Def.m_sBadgeNo < 0) return;
  const int sx = (m_Def.m_sBadgeNo / CELLS_PER_COLUMN) * 32;
  const int sy = (m_Def.m_sBadgeNo % CELLS_PER_COLUMN) * 32;
  if (scale > 1)
    DDBltStretch(dst, L, T, m_nDrawWidth, m_nDrawHeight, &g_SurfaceTable[IMAGE_MARKS_STRETCH], sx, sy, m_nBaseDrawWidth,
                 m_nBaseDrawHeight, BLT_TRANSPARENT);
  else
    DDBlt(dst, L, T, 32, 32, &g_SurfaceTable[IMAGE_MARKS], sx, sy, BLT_TRANSPARENT);
}

void cChara::DrawItemIcon(DDSURFACEDATA* dst) {
  if (!m_Item.m_bCarried || !IsOnScreen() || m_Def.m_cTransparent || m_Item.m_Def.m_cTransparent) return;
  if (++m_nItemBlink < 64) return;
  const cItemDef& d = m_Item.m_Def;
  DrawGraphicHalf(dst, m_rcScreen[0] + (m_nDrawWidth >> 1) - (m_Item.m_nDrawWidth >> 2),
                  m_rcScreen[1] - (m_Item.m_nDrawHeight >> 1), d.m_cGraphicKind, d.m_sGraphicNo, d.m_sGraphicOffset);
  if (m_nItemBlink >= 96) m_nItemBlink = 0;
}
