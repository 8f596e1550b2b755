#include "stage/block_collision.h"

#include <cstdlib>

#include "core/sound_request.h"
#include "data/flow_kinds.h"
#include "data/palette.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/chara_contacts.h"
#include "stage/chara_items.h"
#include "stage/hero.h"
#include "stage/stage_globals.h"
#include "stage/main_hero.h"

namespace {

bool PassesBlocks(const cStageObject& o) { return o.m_bFly && o.m_nFlyKind == 0; }
bool DestroyedByBlocks(const cStageObject& o) { return o.m_nFlyKind == 2; }

int GridWidthDots() { return ScrollX().m_nGridExtent; }
int GridHeightDots() { return ScrollY().m_nGridExtent; }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

int SampleScale(const cCharaBase& obj) { return obj.m_Def.m_cSize; }

// The cell at dot (x, y), both already inside the grid.
int CellAtDots(int x, int y) { return CellIndex(x >> 5, y >> 5); }

// Walks the samples of a horizontal line and keeps the strongest tile, the one nearest the middle
// among equals (the leftmost of equally near ones).
struct RowPick {
  int best = -1;
  int bestDist = 0;
  int cell = 0;
  void Offer(int index, int layer, int x, int middle) {
    const int hit = CellHit(index, layer);
    const int dist = std::abs(x - middle);
    if (hit > best || (hit == best && dist < bestDist)) {
      best = hit;
      bestDist = dist;
      cell = index;
    }
  }
};

void FireSide(cCharaBase& obj, int side) {
  obj.FireTrigger(TRIG_HIT_BLOCK);
  obj.FireTrigger(TRIG_BLOCK_SIDE);
  obj.FireTrigger(side == 0 ? TRIG_BLOCK_LEFT : TRIG_BLOCK_RIGHT);
}

// A walking object that still rises does not land unless the old landing rule is on.
bool RisingSkipsLanding(const cCharaBase& obj) {
  return !obj.m_bFly && obj.m_dSpeedY < 0 && !g_SystemData.LandWhileRising();
}

int BottomRowCell(cCharaBase& obj) {
  const int y = TruncToInt(obj.m_dBottom);
  return PickLineBlock(obj, TruncToInt(obj.m_dX), y, TruncToInt(obj.m_dRight), y);
}

}  // namespace

int CellIndex(int column, int row) {
  const cScroll& ax = ScrollX();
  const cScroll& ay = ScrollY();
  column = Clamp(column, 0, ax.m_nGridTiles - 1);
  row = Clamp(row, 0, ay.m_nGridTiles - 1);
  return column + (row << ax.m_nPitchShift);
}

int CellHit(int index, int layer) { return g_MapGrid.At(index).GetHit(layer); }

int PickLineBlock(const cCharaBase& obj, int x1, int y1, int x2, int y2) {
  const int count = SampleScale(obj) + 1;
  if (count <= 0) return 0;
  const int maxX = GridWidthDots() - 1;
  const int maxY = GridHeightDots() - 1;
  x1 = Clamp(x1, 0, maxX);
  x2 = Clamp(x2, 0, maxX);
  y1 = Clamp(y1, 0, maxY);
  y2 = Clamp(y2, 0, maxY);
  if (x1 == x2) {
    int best = -1;
    int cell = 0;
    for (int i = 0; i < count; ++i) {
      const int y = Clamp(y1 + i * (obj.m_nBaseHitHeight - 1), 0, maxY);
      const int index = CellAtDots(x1, y);
      const int hit = CellHit(index, obj.m_nLayer);
      if (hit > best) {
        best = hit;
        cell = index;
      }
    }
    return cell;
  }
  if (y1 == y2) {
    const int middle = (x1 + x2) >> 1;
    RowPick pick;
    for (int i = 0; i < count; ++i) {
      const int x = Clamp(x1 + i * (obj.m_nBaseHitWidth - 1), 0, maxX);
      pick.Offer(CellAtDots(x, y1), obj.m_nLayer, x, middle);
    }
    return pick.cell;
  }
  return 0;
}

int PickFootBlock(const cCharaBase& obj) {
  const int s = SampleScale(obj);
  int count = (s & 1) ? s + 2 : s + 1;
  // Sizes below 1 never come through set-up; they sample like size 1 instead of dividing by 0.
  if (count < 3) count = 3;
  const int step = obj.m_nHitWidth / (count - 1);
  const int maxX = GridWidthDots() - 1;
  const int left = TruncToInt(obj.m_dX);
  const int right = TruncToInt(obj.m_dRight);
  const int y = Clamp(TruncToInt(obj.m_dBottom), 0, GridHeightDots() - 1);
  const int middle = (left + right) >> 1;
  RowPick pick;
  for (int i = 0; i < count; ++i) {
    const int x = Clamp(i == count - 1 ? right : left + i * step, 0, maxX);
    pick.Offer(CellAtDots(x, y), obj.m_nLayer, x, middle);
  }
  return pick.cell;
}

int PickCornerBlock(int l, int t, int r, int b, int layer) {
  const int corners[4][2] = {{l, t}, {r, t}, {l, b}, {r, b}};
  int best = -1;
  int cell = 0;
  for (const auto& c : corners) {
    const int index = CellIndex(c[0], c[1]);
    const int hit = CellHit(index, layer);
    if (hit > best) {
      best = hit;
      cell = index;
    }
  }
  return cell;
}

int cStageObject::HitCornerBlocks() {
  const int corners[4][2] = {{m_nTileLeft, m_nTileTop},
                             {m_nTileLeft, m_nTileBottom},
                             {m_nTileRight, m_nTileTop},
                             {m_nTileRight, m_nTileBottom}};
  for (const auto& c : corners)
    if (CellHit(CellIndex(c[0], c[1]), m_nLayer) != 0) return 1;
  return 0;
}

int CollideLeft(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  const int x = TruncToInt(obj.m_dX);
  const int cell = PickLineBlock(obj, x, TruncToInt(obj.m_dY), x, TruncToInt(obj.m_dBottom));
  const int hit = CellHit(cell, obj.m_nLayer);
  if (hit == 2 && obj.m_nSide != 1) return 2;
  if (hit != 1 && hit != 2) return 0;
  if (DestroyedByBlocks(obj)) return 2;
  obj.m_bBlockedLeft = 1;
  obj.m_dX += 32 - (TruncToInt(obj.m_dX) & 31);
  obj.m_dInertiaX = 0;
  obj.AfterMoveX();
  obj.m_nLastBlockSide = 0;
  FireSide(obj, 0);
  return 0;
}

int CollideRight(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  const int x = TruncToInt(obj.m_dRight);
  const int cell = PickLineBlock(obj, x, TruncToInt(obj.m_dY), x, TruncToInt(obj.m_dBottom));
  const int hit = CellHit(cell, obj.m_nLayer);
  if (hit == 2 && obj.m_nSide != 1) return 2;
  if (hit != 1 && hit != 2) return 0;
  if (DestroyedByBlocks(obj)) return 2;
  obj.m_bBlockedRight = 1;
  obj.m_dX -= (TruncToInt(obj.m_dRight) & 31) + 1;
  obj.m_dInertiaX = 0;
  obj.AfterMoveX();
  obj.m_nLastBlockSide = 1;
  FireSide(obj, 1);
  return 0;
}

int CollideMapX(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  if (obj.m_bFly && obj.m_nFlyKind == 1) return CollideMapXBoth(obj);
  if (obj.m_dSpeedX > 0) {
    if (CollideRight(obj) == 2) return 2;
    return CollideLeft(obj);
  }
  if (CollideLeft(obj) == 2) return 2;
  return CollideRight(obj);
}

int CollideMapXBoth(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  if (CollideRight(obj) == 2) return 2;
  return CollideLeft(obj) == 2 ? 2 : 0;
}

int CollideTop(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  const int y = TruncToInt(obj.m_dY);
  const int cell = PickLineBlock(obj, TruncToInt(obj.m_dX), y, TruncToInt(obj.m_dRight), y);
  const int hit = CellHit(cell, obj.m_nLayer);
  if (hit == 2 && obj.m_nSide != 1) return 2;
  if (hit != 1 && hit != 2) return 0;
  if (DestroyedByBlocks(obj)) return 2;
  obj.HitCeiling();
  return 0;
}

int CollideBottom(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  const int cell = BottomRowCell(obj);
  obj.m_pStandBlock = cell;
  const int hit = CellHit(cell, obj.m_nLayer);
  if (hit == 0) {
    obj.m_pStandBlock = NO_BLOCK;
    obj.m_nAirFrames++;
    if (obj.m_nAirFrames >= g_Stage.m_nAirDelay) {
      if (obj.m_nSide == 0) {
        if (!obj.m_bRideChara) {
          if (cHero* hero = MainHeroOrNull()) hero->m_bJumpReady = 1;
          obj.m_bAirborne = 1;
        }
      } else {
        obj.m_bAirborne = 1;
      }
    }
    return 0;
  }
  if (hit == 1) {
    if (DestroyedByBlocks(obj)) return 2;
    if (RisingSkipsLanding(obj)) return 0;
    if (obj.m_nSide == 0) obj.m_pStandBlock = PickFootBlock(obj);
    obj.m_pLandBlock = obj.m_pStandBlock;
    obj.Land();
    return 0;
  }
  if (hit == 2) {
    obj.m_pLandBlock = obj.m_pStandBlock;
    if (obj.m_nSide != 1) return 2;
    if (DestroyedByBlocks(obj)) return 2;
    if (RisingSkipsLanding(obj)) return 0;
    obj.Land();
  }
  return 0;
}

int CollideMapY(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  obj.m_pStandBlock = NO_BLOCK;
  if (obj.m_bFly && obj.m_nFlyKind == 1) {
    if (CollideBottom(obj) == 2) return 2;
    return CollideTop(obj) == 2 ? 2 : 0;
  }
  if (obj.m_dSpeedY > 0) {
    if (CollideBottom(obj) == 2) return 2;
    return CollideTop(obj);
  }
  if (CollideTop(obj) == 2) return 2;
  return CollideBottom(obj);
}

int CollideMapYBoth(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  // Only a hit sets the standing block here: this test follows a landing that already lifted the
  // bottom out of the floor, and clearing the block on the empty row above would take the floor
  // effects from a hero that stands.
  const int cell = BottomRowCell(obj);
  const int hit = CellHit(cell, obj.m_nLayer);
  if (hit == 1 || hit == 2) {
    const int stand = obj.m_nSide == 0 ? PickFootBlock(obj) : cell;
    if (hit == 2) {
      obj.m_pStandBlock = obj.m_pLandBlock = stand;
      if (obj.m_nSide != 1) return 2;
    }
    if (DestroyedByBlocks(obj)) return 2;
    if (RisingSkipsLanding(obj)) return 0;
    obj.m_pStandBlock = obj.m_pLandBlock = stand;
    obj.Land();
  }
  return CollideTop(obj);
}

void PushByScreenX(cHero& hero) {
  const cScroll& ax = ScrollX();
  if (!ax.m_bAuto && !hero.m_bFly) return;
  hero.UpdateHeroScreenRect();
  if (hero.m_rcScreen[0] + hero.m_nDrawOffsetX < 0) {
    hero.m_bBlockedLeft = 1;
    hero.m_dX = ax.m_dPos;
    hero.AfterMoveX();
  } else if (hero.m_rcScreen[2] - hero.m_nDrawOffsetX + 1 >= 640) {
    hero.m_bBlockedRight = 1;
    hero.m_dX = ax.m_dPos + 640 - hero.m_nHitWidth - 1;
    hero.AfterMoveX();
  }
}

int PushByScreenY(cHero& hero) {
  const cScroll& ay = ScrollY();
  if (!ay.m_bAuto && !hero.m_bFly) return 0;
  if (hero.m_rcScreen[1] + hero.m_nDrawOffsetY < 0) {
    hero.m_bBlockedTop = 1;
    hero.m_dY = ay.m_dPos;
    hero.AfterMoveY();
    return 0;
  }
  if (hero.m_rcScreen[3] - hero.m_nDrawOffsetY + 1 >= 480) {
    hero.m_bBlockedBottom = 1;
    hero.m_dY = ay.m_dPos + 480 - hero.m_nHitHeight - 1;
    hero.AfterMoveY();
    return hero.m_bFly ? 0 : 2;
  }
  return 0;
}

int HitBlock(cCharaBase& obj) {
  if (PassesBlocks(obj)) return 0;
  const int cell = PickCornerBlock(obj.m_nTileLeft, obj.m_nTileTop, obj.m_nTileRight, obj.m_nTileBottom, obj.m_nLayer);
  if (CellHit(cell, obj.m_nLayer) != 0) return 1;
  return HitBlockChara(obj);
}

int ApplyFloorEffect(cHero& hero) {
  if (hero.m_bFly) return 0;
  int result = 0;
  const int n = g_Stage.m_nSubSteps;
  if (hero.m_pStandBlock != NO_BLOCK && hero.m_nFloorTime == 0 && CellHit(hero.m_pStandBlock, hero.m_nLayer) != 0) {
    cMapCell& block = g_MapGrid.At(hero.m_pStandBlock);
    const int effect = block.m_cFloorEffect;
    switch (effect) {
      case 1:
        PlaySystemSound(10);
        hero.m_dSpeedY = hero.JumpSpeedFromHbl(static_cast<int8_t>(block.m_nFloorValue));
        hero.m_bJumpCut = hero.m_bJumping = 1;
        hero.m_bJumpReady = 0;
        hero.m_nJumpHold = hero.JumpStepsFromSpeed(hero.m_dSpeedY);
        if (block.m_cItemKind != 0) result = TakeBlockItem(hero);
        break;
      case 2: hero.m_bNoJump = 1; break;
      case 3:
        hero.m_nFloorEffect = 3;
        hero.m_dFloorValue = block.m_nFloorValue * 0.01;
        hero.m_nFloorTime = n;
        break;
      case 4:
      case 5:
        hero.m_nFloorEffect = effect;
        hero.m_dFloorValue = block.m_nFloorValue * 0.1 / g_Stage.m_dSubSteps;
        hero.m_nFloorTime = n;
        break;
      default: break;
    }
    if (effect != 2) hero.m_bNoJump = 0;
  }
  if (hero.m_nFloorTime > 0) {
    switch (hero.m_nFloorEffect) {
      case 3: hero.m_dSpeedX *= hero.m_dFloorValue; break;
      case 4:
        hero.m_dSpeedX -= hero.m_dFloorValue;
        if (hero.m_dInertiaX > 0) hero.m_dInertiaX = 0;
        break;
      case 5:
        hero.m_dSpeedX += hero.m_dFloorValue;
        if (hero.m_dInertiaX < 0) hero.m_dInertiaX = 0;
        break;
      default: break;
    }
    if (--hero.m_nFloorTime == 0) StickToFloor(hero);
  }
  return result;
}

int TakeBlockItem(cHero& hero) {
  if (hero.m_bFly) return 0;
  bool taken = false;
  if (hero.m_pStandBlock != NO_BLOCK && hero.m_nBlockItemCooldown == 0 &&
      CellHit(hero.m_pStandBlock, hero.m_nLayer) != 0) {
    cMapCell& block = g_MapGrid.At(hero.m_pStandBlock);
    if (block.m_cItemKind != 0) {
      if (cItemDef* def = GetPaletteItemDef(block.m_cItemKind, block.m_sItemIndex)) {
        const int result = TakeItemFromDef(hero, *def);
        if (result != 0) return result;
        hero.m_nBlockItemCooldown = 60 * g_Stage.m_nSubSteps;
        taken = true;
      }
    }
  }
  if (hero.m_nBlockItemCooldown != 0) {
    if (hero.m_bAirborne) {
      hero.m_nBlockItemCooldown = 0;
    } else {
      if (hero.m_nBlockItemCooldown > 0) hero.m_nBlockItemCooldown--;
      if (hero.m_pStandBlock != NO_BLOCK && hero.m_pLandBlock != hero.m_pPrevLandBlock && !taken) {
        hero.m_nBlockItemCooldown = 0;
        StickToFloor(hero);
      }
    }
  }
  return 0;
}

void StickToFloor(cHero& hero) {
  if (g_SystemData.FloorSnapAdd()) {
    if (hero.m_dSpeedY >= 0) hero.m_dSpeedY += 1;
    return;
  }
  const double n = g_Stage.m_dSubSteps;
  if (!(hero.m_dSpeedY >= 0 && hero.m_dSpeedY <= 1 / n) || hero.m_bRideChara || hero.m_bAirborne) return;
  const int y = TruncToInt(hero.m_dBottom) + 4;
  const int cell =
      PickLineBlock(hero, TruncToInt(hero.m_dX + hero.m_dSpeedX), y, TruncToInt(hero.m_dRight + hero.m_dSpeedX), y);
  if (CellHit(cell, hero.m_nLayer) != 0) hero.m_dSpeedY = 7 / n;
}
