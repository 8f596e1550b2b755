#include "stage/item.h"

#include "stage/scroll.h"

void cItem::Setup(int id, const cItemDef& def, int bCarried) {
  m_Def = def;
  m_bCarried = bCarried;
  m_nId = id;
  m_nSide = 1;
  m_nHitWidth = 32;
  m_nHitHeight = 32;
}

void cItem::SetBlockPos(int tx, int ty, int) {
  m_dX = (tx + GRID_BORDER_TILES) * 32;
  m_dY = (ty + GRID_BORDER_TILES) * 32;
  m_dRight = m_dX + m_nHitWidth - 1;
  m_dBottom = m_dY + m_nHitHeight - 1;
  UpdateEdgesX();
  UpdateEdgesY();
}
