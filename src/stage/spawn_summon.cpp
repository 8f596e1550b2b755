// Objects that summon commands put into a running stage: characters, items and blocks.
#include "data/block.h"
#include "data/chara_def.h"
#include "data/ed_shot.h"
#include "data/item_def.h"
#include "data/palette.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/block_collision.h"
#include "stage/chara.h"
#include "stage/flow_hooks.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/spawn_summon.h"
#include "stage/stage_globals.h"

int SummonCellCondHolds(cMapCell& cell) {
  cCharaBase* hero = g_Heroes.empty() ? nullptr : &g_Heroes.At(0);
  return CheckLatchedConds(cell.m_Conds, cell.CondMode(), cell.CondLatch(), cell.m_cState, hero);
}

namespace {

// Moves the character by (dx, dy) and tells whether it still overlaps a block.
bool StillBuried(cChara& c, double dx, double dy) {
  c.m_dX += dx;
  c.m_dY += dy;
  if (dx != 0) c.AfterMoveX();
  c.AfterMoveY();
  c.UpdateScreenRect();
  return HitBlock(c) != 0;
}

void EmptyCell(cMapCell& cell) {
  cell = g_CommonPalette.m_Blocks.empty() ? cBlock() : g_CommonPalette.m_Blocks.At(0);
  cell.m_cState = 0;
}

bool Overlaps(const cStageObject& o, double left, double top, double right, double bottom) {
  return o.m_dX <= right && o.m_dRight >= left && o.m_dY <= bottom && o.m_dBottom >= top;
}

bool StoppedByCell(cMapCell& cell, const cCharaBase& c, double l, double t, double r, double b) {
  return cell.GetHit(c.m_nLayer) != 0 && (g_SystemData.StopPassingFliers() || !c.m_bFly || c.m_nFlyKind != 0) &&
         Overlaps(c, l, t, r, b);
}

}  // namespace

void cScenePlay::SpawnSummonedChara(cSafeList<cChara>& list, double x, double y, int faction, int facing,
                                    cEdShot& record, cCharaDef& def, int32_t& id, cCharaBase* summoner) {
  const int n = g_Stage.m_nSubSteps;
  for (int i = 0; i <= def.m_cCopies; ++i) {
    cCharaDef copy = def;
    copy.m_cFacing = static_cast<int8_t>(facing);
    copy.m_cLayer = static_cast<int8_t>(faction);
    if (record.NoScore()) copy.m_nScore = 0;
    {
      cChara scratch;
      scratch.Setup(id, &copy, nullptr, x + 16, y + 16, i, summoner);
      scratch.m_dX = x + scratch.m_nDrawOffsetX;
      scratch.m_dY = y + scratch.m_nDrawOffsetY;
      scratch.m_dRight = scratch.m_dX + scratch.m_nHitWidth - 1;
      scratch.m_dBottom = scratch.m_dY + scratch.m_nHitHeight - 1;
      if (!PlaceRepeatCopy(scratch, copy, i)) continue;
      list.push_back(scratch);
      ++g_nCharaListChanges;
    }
    cChara& c = list.back();
    c.UpdateScreenRect();
    // The spot itself, one dot up, one dot left, one dot up and left.
    if (HitBlock(c) && StillBuried(c, 0, -1) && StillBuried(c, -1, 1) && StillBuried(c, 0, -1)) {
      list.pop_back();
      continue;
    }
    c.InitLinks(summoner);
    if (record.m_cLifeOn) c.m_nLife = record.SummonLifetime() * 6 * n;
    c.m_bOwnerAttack = record.m_cHitTrigger;
    c.m_nOwnerFlowId = static_cast<uint8_t>(record.m_cHitFlowId);
    m_CharaLayers.At(c.m_nLayer).push_back(&c);
    ++id;
  }
}

void cScenePlay::SpawnSummonedItem(cSafeList<cItem>& list, double x, double y, cEdShot& record, cItemDef& def,
                                   int32_t& id) {
  cItem scratch;
  scratch.Setup(id, def, 0);
  scratch.m_dX = x + scratch.m_nDrawOffsetX + def.m_sOffsetX;
  scratch.m_dY = y + scratch.m_nDrawOffsetY + def.m_sOffsetY;
  scratch.m_dRight = scratch.m_dX + scratch.m_nHitWidth - 1;
  scratch.m_dBottom = scratch.m_dY + scratch.m_nHitHeight - 1;
  if (!scratch.IsInStage(1)) return;
  scratch.CheckBoundsX(2);
  scratch.CheckBoundsY(2);
  if (record.m_cLifeOn) scratch.m_nLife = record.SummonLifetime() * 6 * g_Stage.m_nSubSteps;
  list.push_back(scratch);
  ++id;
}

int cScenePlay::SummonBlockAt(double x, double y, int, cEdShot& record, cBlock& block) {
  const cScroll& ax = ScrollX();
  const int c = TruncToInt(x + 16.5) >> 5;
  const int r = TruncToInt(y + 16.5) >> 5;
  // A column outside the grid must not wrap into the neighbouring row.
  if (c < 0 || r < 0 || c >= ax.m_nGridTiles || r >= ScrollY().m_nGridTiles) return 0;
  const int index = c + (r << ax.m_nPitchShift);
  if (index < 0 || index >= static_cast<int>(g_MapGrid.size())) return 0;
  cMapCell& cell = g_MapGrid.At(index);
  const bool isProtected = g_SystemData.ProtectAllCells()
                               ? cell.m_cHit2 != 0
                               : cell.m_sGraphicNo != 0 && SummonCellCondHolds(cell) && cell.m_cHit2 != 0;
  if (isProtected) return 0;
  auto place = [&]() {
    const bool guarded = record.HeroGuard() || record.CharaGuard();
    const cMapCell old = cell;
    cell = block;
    cell.m_cState = 0;
    if (StopOverlappingObjects(index, c, r, record) && guarded) {
      cell = old;
      return false;
    }
    return true;
  };
  switch (record.SummonMode()) {
    case 0: place(); break;
    case 1: EmptyCell(cell); break;
    case 2: {
      for (int32_t done : m_ToggledCells)
        if (done == index) return 0;
      if (cell.m_sGraphicNo != 0 && SummonCellCondHolds(cell)) {
        EmptyCell(cell);
        m_ToggledCells.push_back(index);
      } else if (place()) {
        m_ToggledCells.push_back(index);
      }
      break;
    }
    default: break;
  }
  return 0;
}

int cScenePlay::StopOverlappingObjects(int index, int c, int r, cEdShot& record) {
  cMapCell& cell = g_MapGrid.At(index);
  const double left = 32.0 * c;
  const double right = 32.0 * c + 32 - 0.1;
  const double top = 32.0 * r;
  const double bottom = 32.0 * r + 32 - 0.1;
  for (cHero& h : g_Heroes) {
    if (h.m_bDead || !StoppedByCell(cell, h, left, top, right, bottom)) continue;
    h.m_nStopCount = 2;
    if (record.HeroGuard()) return 1;
  }
  for (cChara& ch : g_CharaList) {
    if (ch.m_bDead || !ch.m_bActive || !StoppedByCell(cell, ch, left, top, right, bottom)) continue;
    ch.m_nStopCount = 2;
    if (record.CharaGuard()) return 1;
  }
  return 0;
}
