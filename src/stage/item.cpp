#include "stage/item.h"

#include "data/database.h"
#include "data/stage_file.h"
#include "stage/flow_hooks.h"
#include "stage/scroll.h"

void cItem::Setup(int id, const cItemDef& def, int bCarried) {
  m_Def = def;
  if (m_Def.m_cSize == 0) m_Def.m_cSize = 1;
  const int w = g_Stage.m_ItemBox[0];
  const int h = g_Stage.m_ItemBox[1];
  // The box is centred in its 32 x 32 cell; items fly through blocks and face left.
  Init(id, 0, 0, 0, m_Def.m_sGraphicNo, &g_AnimeTable, 0, 16 - (w >> 1), 16 - (h >> 1), w, h, 32, 32, 0, 1, 0);
  m_bScrollRide = 0;
  m_bCarried = bCarried;
  if (bCarried)
    m_bActive = 1;
  else
    SetScale(m_Def.m_cSize, 1, 1);
  UpdateEdgesX();
  UpdateEdgesY();
  // The item commands run straight through: their loops are written out once, here.
  UnrollLoops(m_Def.m_Cmds);
}

int cItem::SetBlockPos(int tx, int ty, int bKeepFoot) {
  m_dX = (tx + GRID_BORDER_TILES) * 32 + m_nBaseDrawOffsetX + 0.5;
  m_dY = (ty + GRID_BORDER_TILES) * 32 + m_nBaseDrawOffsetY;
  UpdateEdgesX();
  UpdateEdgesY();
  ScaleKeepPosition(m_Def.m_cSize, 1, bKeepFoot);
  CheckBoundsX(2);
  const int r = CheckBoundsY(2);
  UpdateEdgesX();
  UpdateEdgesY();
  return r;
}

void cItem::KeepFootOnScale(int newScale, int oldScale, int) {
  if (newScale == oldScale) return;
  m_dY -= (newScale - oldScale) * (m_nBaseHitHeight + m_nBaseDrawOffsetY);
  CheckBoundsY(2);
  UpdateEdgesY();
}
