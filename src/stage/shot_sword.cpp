// A sword follows its owner through the entries of its sword type.
#include "data/database.h"
#include "data/db_records.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "stage/chara_base.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"

int cShot::UpdateSword() {
  cCharaBase* owner = FindCharaById(m_nShooterId);
  if (!owner) return 1;
  const cSwordTypeEntry* e = FindSwordEntry(m_Def.m_cMoveType, m_nSwordEntry);
  if (!e) return 1;
  owner->UpdateScreenRect();
  m_bRight = owner->m_bRight;
  const int size = m_Def.m_cSize;
  if (m_nTick == 0) {
    m_nBaseDrawWidth = m_nBaseHitWidth = e->m_nWidth;
    m_nBaseDrawHeight = m_nBaseHitHeight = e->m_nHeight;
    m_nDrawWidth = m_nHitWidth = size * e->m_nWidth;
    m_nDrawHeight = m_nHitHeight = size * e->m_nHeight;
    // The contact box follows the entry's blade too.
    m_nBaseHitBoxWidth = e->m_nWidth;
    m_nBaseHitBoxHeight = e->m_nHeight;
    m_nHitBoxWidth = m_nHitWidth;
    m_nHitBoxHeight = m_nHitHeight;
  }
  const int L = owner->m_rcScreen[0];
  const int T = owner->m_rcScreen[1];
  const int R = owner->m_rcScreen[2];
  const int B = owner->m_rcScreen[3];
  const int OW = owner->m_nDrawWidth;
  const int OH = owner->m_nDrawHeight;
  const double sx = ScrollX().m_dPos;
  const double sy = ScrollY().m_dPos;
  const int DW = m_nDrawWidth;
  const int DH = m_nDrawHeight;
  double x = m_dX;
  double y = m_dY;
  switch (e->m_nPosKind) {
    case 0:
      x = owner->m_bRight ? sx + R + 1 : sx + L - DW;
      y = T + (OH >> 1) + sy - (DH >> 1);
      break;
    case 1:
      m_bRight = !owner->m_bRight;
      x = owner->m_bRight ? sx + L - DW : sx + R + 1;
      y = T + (OH >> 1) + sy - (DH >> 1);
      break;
    case 2:
      x = L + (OW >> 1) + sx - (DW >> 1);
      y = T + sy - DH;
      break;
    case 3:
      x = L + (OW >> 1) + sx - (DW >> 1);
      y = sy + B + 1;
      break;
    default: break;
  }
  const int ox = size * e->m_nOfsX;
  const int oy = size * e->m_nOfsY;
  x += m_bRight && e->m_nMirrorX ? -ox : ox;
  y += m_bRight && e->m_nMirrorY ? -oy : oy;
  m_dX = x;
  m_dY = y;
  ClampX();
  CheckBoundsY(2);
  if (++m_nTick <= e->m_nTime * g_Stage.m_nSubSteps * 6) return 0;
  m_nTick = 0;
  const cSwordTypeEntry* next = FindSwordEntry(m_Def.m_cMoveType, ++m_nSwordEntry);
  return next ? 0 : 1;
}
