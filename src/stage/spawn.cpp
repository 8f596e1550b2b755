// Putting characters and items of the placements into a running stage, and the stage music.
#include "audio/bgm.h"
#include "core/globals.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/winapi.h"
#include "stage/chara.h"
#include "stage/item.h"
#include "stage/private_messages.h"
#include "stage/scene_play.h"

bool PlaceRepeatCopy(cChara& c, const cCharaDef& def, int copy) {
  const double ox = def.GetRepeatOffsetX(copy, def.m_cFacing);
  const double oy = def.GetRepeatOffsetY(copy, def.m_cFacing);
  c.m_dX += ox;
  c.m_dRight += ox;
  c.m_dY += oy;
  c.m_dBottom += oy;
  if (!g_SystemData.RepeatKeepsPlacePos()) {
    c.m_dPlaceX += ox;
    c.m_dPlaceY += oy;
  }
  if (!c.IsInStage(1)) return false;
  c.AfterMoveX();
  c.AfterMoveY();
  return true;
}

void cScenePlay::SpawnCharas(cSafeList<cChara>& list, int tx, int ty, int32_t& id, cCharaDef& placement,
                             const cItem* item) {
  cCharaDef def = placement;
  for (int i = 0; i <= placement.m_cCopies; ++i) {
    cChara scratch;
    scratch.Setup(id, &def, item, (tx + GRID_BORDER_TILES) * 32 + 16, (ty + GRID_BORDER_TILES) * 32 + 16, i, nullptr);
    scratch.SetBlockPos(tx, ty);
    if (!PlaceRepeatCopy(scratch, def, i)) continue;
    list.push_back(scratch);
    ++g_nCharaListChanges;
    list.back().UpdateScreenRect();
    ++id;
  }
}

void cScenePlay::SpawnItem(cSafeList<cItem>& list, int tx, int ty, int32_t& id, cItemDef& placement) {
  cItem scratch;
  scratch.Setup(id, placement, 0);
  scratch.SetBlockPos(tx, ty, 1);
  scratch.m_dX += placement.m_sOffsetX;
  scratch.m_dRight += placement.m_sOffsetX;
  scratch.m_dY += placement.m_sOffsetY;
  scratch.m_dBottom += placement.m_sOffsetY;
  if (!scratch.IsInStage(1)) return;
  scratch.CheckBoundsX(2);
  scratch.CheckBoundsY(2);
  list.push_back(scratch);
  list.back().UpdateScreenRect();
  ++id;
}

void cScenePlay::PlayBgm(int nNumber, int bLoop) {
  g_SaveData.m_bBgmLoop = bLoop;
  SendMessage(g_hWnd, WM_USER_MUSIC, BGM_SLOT_STAGE, nNumber);
}
