// Set-up, sub-step bookkeeping, stepping and block hits of shots and swords.
#include "stage/shot.h"

#include <climits>
#include <cmath>
#include <cstdint>

#include "core/report_log.h"
#include "data/database.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/aim.h"
#include "stage/chara_base.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "stage/sub_steps.h"

namespace {

// Swords: animation 0 plays once and ends; shots: animation 1 alternates two cells.
const cSafeVector<ANIMEFRAMELIST>& ShotAnimeTable() {
  static const cSafeVector<ANIMEFRAMELIST> table = [] {
    cSafeVector<ANIMEFRAMELIST> t(2);
    t.At(0) = ANIMEFRAMELIST{{0, 7, 0}, {1, 7, 0}, {2, 7, 0}, {ANIME_END_PLAYED, 0, 0}};
    t.At(1) = ANIMEFRAMELIST{{0, 8, 0}, {1, 8, 0}, {ANIME_LOOP, 0, 0}};
    return t;
  }();
  return table;
}

// Hit kind of a grid cell; cells outside the grid let everything pass and are never indexed.
int GridCellHit(int column, int row, int layer) {
  const cScroll& ax = ScrollX();
  if (column < 0 || row < 0 || column >= ax.m_nGridTiles || row >= ScrollY().m_nGridTiles) return 0;
  const int index = column + (row << ax.m_nPitchShift);
  if (index < 0 || index >= static_cast<int>(g_MapGrid.size())) return 0;
  return g_MapGrid.At(index).GetHit(layer);
}

void RemoveShotLink(cCharaBase* chara, const SHOTLINK& link) {
  auto& v = chara->m_ShotLinks;
  for (auto it = v.begin(); it != v.end();) it = EqualLink(*it, link) ? v.erase(it) : it + 1;
}

}  // namespace

int ShotStepsOf(double v) {
  if (!(v < 2147483647.0)) return INT_MAX;
  return TruncToInt(v);
}

const cSwordTypeEntry* FindSwordEntry(int type, int entry) {
  auto& types = g_Database.m_SwordTypes;
  if (types.empty()) {
    WriteReportLogAndDebugLogF("sword type %d: the database has no sword types", type);
    return nullptr;
  }
  const cSwordType& t = types.At(type);
  if (t.m_Entries.empty()) return nullptr;
  if (entry < 0 || entry >= static_cast<int>(t.m_Entries.size())) return nullptr;
  return &t.m_Entries.At(entry);
}

cShot::cShot() = default;

cShot::cShot(const cShot& o) = default;

cShot::~cShot() { DetachLinks(); }

void cShot::DetachLinks() {
  if (m_pTarget) {
    RemoveShotLink(m_pTarget, SHOTLINK{this, 0});
    m_pTarget = nullptr;
  }
  if (m_pShooter) {
    RemoveShotLink(m_pShooter, SHOTLINK{this, 4});
    m_pShooter = nullptr;
  }
}

void cShot::UpdateHitBoxX() {
  m_dHitLeft = TruncToInt(m_dX) + m_nHitOffsetX;
  m_dHitRight = m_dHitLeft + m_nHitBoxWidth - 1;
}

void cShot::UpdateHitBoxY() {
  m_dHitTop = TruncToInt(m_dY) + m_nHitOffsetY;
  m_dHitBottom = m_dHitTop + m_nHitBoxHeight - 1;
}

void cShot::ScaleHitBoxes(int scale) {
  m_nHitOffsetX = scale * m_nBaseHitOffsetX;
  m_nHitOffsetY = scale * m_nBaseHitOffsetY;
  m_nHitBoxWidth = scale * m_nBaseHitBoxWidth;
  m_nHitBoxHeight = scale * m_nBaseHitBoxHeight;
  ClampX();
  CheckBoundsY(2);
}

void cShot::KeepFootOnScale(int newScale, int oldScale, int) {
  if (newScale == oldScale) return;
  m_dY -= (newScale - oldScale) * (m_nBaseHitHeight / 2);
  CheckBoundsY(2);
}

void cShot::Setup(int id, cCharaBase* shooter, int kind, cEdShot& p, const FIREPARAM& f) {
  if (p.m_cSize == 0) p.m_cSize = 1;
  m_Def = p;
  const int size = m_Def.m_cSize;
  const int facing = f.dVelX > 0 ? 1 : f.dVelX < 0 ? 0 : shooter->m_bRight;
  m_bShot = kind == CMD_KIND_SHOT ? 1 : 0;
  int w = 16;
  int h = 16;
  if (!m_bShot) {
    const cSwordTypeEntry* e = FindSwordEntry(m_Def.m_cMoveType, 0);
    w = e ? e->m_nWidth : 0;
    h = e ? e->m_nHeight : 0;
  }
  m_nShooterId = shooter->m_nId;
  Init(id, shooter->m_nSide, shooter->m_nOwnerKind, m_Def.m_cFaction, m_Def.m_sGraphic, &ShotAnimeTable(), m_bShot, 0,
       0, w, h, 16, 16, facing, 1, f.nClone);
  if (p.m_cFactionFromShooter) {
    m_Def.m_cFaction = shooter->m_Def.m_cLayer;
    m_nLayer = shooter->m_Def.m_cLayer;
  }
  int offX = 0;
  int offY = 0;
  if (m_bShot) {
    const int k = shooter->m_nSide == 0 ? 0 : 4;
    w = g_Stage.m_ShotBoxes[k];
    h = g_Stage.m_ShotBoxes[k + 1];
    offX = 8 - (w >> 1);
    offY = 8 - (h >> 1);
  }
  m_nHitOffsetX = m_nBaseHitOffsetX = offX;
  m_nHitOffsetY = m_nBaseHitOffsetY = offY;
  m_nHitBoxWidth = m_nBaseHitBoxWidth = w;
  m_nHitBoxHeight = m_nBaseHitBoxHeight = h;
  SetScale(size, 1, 1);

  m_dX = f.nX;
  ClampX();
  m_dY = f.nY;
  CheckBoundsY(2);

  const double n = SubSteps();
  m_dVelX = f.dVelX / n;
  m_dVelY = f.dVelY / n;
  if (p.m_cAccelOn) {
    m_bAccel = 1;
    m_dAccel = (p.m_sAccel + p.m_sAccelPerClone * m_nCloneValue) * 0.1 / n;
    SetAccel(m_dInertiaX, m_dInertiaY, f.dVelX, f.dVelY);
  } else {
    m_bAccel = 0;
    m_dAccel = 0.0;
    m_dInertiaX = m_dInertiaY = 0.0;
  }
  m_dSpeedX = m_dSpeedY = 0.0;
  m_bScrollRide = p.m_cScrollRide;
  if (p.m_cLifeOn) m_nLifeSteps = f.nLife * g_Stage.m_nSubSteps * 6;
  if (p.RangeOn()) {
    const double s = std::fabs(f.dSpeed / n);
    int d = f.nRange * 16 - m_nHitWidth;
    if (d < 0) d = 0;
    if (d > 0 && s > 0) {
      m_nRangeSteps = ShotStepsOf(d / s);
    } else {
      m_nRangeSteps = TruncToInt(n);
      if (ShotStepsOf(n * s) > m_nHitWidth) m_nRangeSteps = ShotStepsOf(m_nHitWidth / s);
    }
    if (m_nRangeSteps < n) {
      // The whole rest of the range is covered within one frame, along the fired direction.
      const double sum = std::fabs(f.dVelX) + std::fabs(f.dVelY);
      m_dVelX = sum > 0 ? f.dVelX * (d / n) / sum : 0.0;
      m_dVelY = sum > 0 ? f.dVelY * (d / n) / sum : 0.0;
      m_nRangeSteps = TruncToInt(n);
    }
  }
  m_nTick = m_nSwordEntry = m_nMoveStart = m_nMoveEnd = m_bMoveDone = 0;
  m_pTarget = shooter->m_Targets.At(p.m_cShotSlot);
  m_pShooter = shooter;
  m_bVanish = 0;
  m_bHitTrigger = p.m_cHitTrigger;
  m_nFlowId = static_cast<uint8_t>(p.m_cHitFlowId);
}

void cShot::SetAccel(double& ax, double& ay, double vx, double vy) const {
  const double a = m_dAccel;
  if (vx != 0 && vy != 0) {
    const double len = std::sqrt(vx * vx + vy * vy);
    ax = PerSecToSubstep(vx / len * a);
    ay = PerSecToSubstep(vy / len * a);
  } else if (vx != 0) {
    ax = vx < 0 ? -PerSecToSubstep(a) : PerSecToSubstep(a);
    ay = 0.0;
  } else if (vy != 0) {
    ax = 0.0;
    ay = vy < 0 ? -PerSecToSubstep(a) : PerSecToSubstep(a);
  } else {
    ax = ay = 0.0;
  }
}

void cShot::SetScrollSpeeds() {
  const bool carried = !g_SystemData.NoAutoScrollCarry() && m_bScrollRide;
  m_dSpeedX = carried ? RideSpeed(ScrollX()) : 0.0;
  if (m_bFly) m_dSpeedY = carried ? RideSpeed(ScrollY()) : 0.0;
}

int cShot::Update() {
  if (!m_bShot) return UpdateSword();
  SetScrollSpeeds();
  StepMovement();
  if (m_bAccel) {
    m_dVelX += m_dInertiaX;
    if (m_bFly)
      m_dVelY += m_dInertiaY;
    else
      m_dSpeedY += m_dInertiaY;
  }
  m_dSpeedX += m_dVelX;
  if (m_bFly) m_dSpeedY += m_dVelY;
  if (m_Def.m_cLifeOn) {
    if (m_nLifeSteps <= 0) return 1;
    --m_nLifeSteps;
  }
  if (m_dSpeedX != 0) m_bRight = m_dSpeedX > 0 ? 1 : 0;
  if (m_Def.RangeOn()) {
    // Tested before the count-down, like the lifetime: a shot of k range steps moves k times.
    if (m_nRangeSteps > 0) {
      --m_nRangeSteps;
    } else {
      if (!m_Def.StayAfterRange()) return 1;
      // Stopped for good: the acceleration goes too, or it would keep pushing the shot.
      m_dVelX = m_dVelY = 0.0;
      m_bAccel = 0;
      m_dInertiaX = m_dInertiaY = 0.0;
      m_Def.m_cMoveType = SHOT_MOVE_STRAIGHT;
      SetScrollSpeeds();
    }
  }
  return 0;
}

int cShot::StepX() {
  if (m_dInertiaX != 0) m_dSpeedX += m_dInertiaX;
  if (m_dSpeedX != 0) {
    LimitSpeed(m_dSpeedX);
    m_dX += m_dSpeedX;
    ClampX();
  }
  return 0;
}

int cShot::StepY() {
  if (m_dInertiaY != 0) m_dSpeedY += m_dInertiaY;
  if (m_dSpeedY != 0) {
    cStageObject::StepY(2);
    CheckBoundsY(2);
  }
  return 0;
}

int cShot::ClampX() {
  const cScroll& ax = ScrollX();
  const int W = m_nHitWidth;
  const int G = ax.m_nGridExtent;
  const int B = ax.m_nBorder * 32;
  int code = 0;
  if (m_dX < 0 && W < B) {
    m_dX = 0;
    code = 3;
  }
  if (m_dX + W - 1 >= G && W < B) {
    m_dX = G - W;
    code = 3;
  }
  m_dRight = m_dX + W - 1;
  UpdateHitBoxX();
  m_nTileLeft = TileOf(m_dX);
  m_nTileRight = TileOf(m_dRight);
  return code;
}

int cShot::HitBlocks() {
  if (m_Def.PassBlocks()) return 0;
  const int layer = m_nLayer;
  const int w = m_nHitWidth;
  if (w > 32) {
    const int h = m_nHitHeight;
    const int left = TruncToInt(m_dX);
    const int top = TruncToInt(m_dY);
    for (int y = 0;; y += 32) {
      const int dy = y < h - 1 ? y : h - 1;
      for (int x = 0;; x += 32) {
        const int dx = x < w - 1 ? x : w - 1;
        if (GridCellHit((left + dx) >> 5, (top + dy) >> 5, layer)) return 1;
        if (dx >= w - 1) break;
      }
      if (dy >= h - 1) break;
    }
    return 0;
  }
  return GridCellHit(m_nTileLeft, m_nTileTop, layer) || GridCellHit(m_nTileLeft, m_nTileBottom, layer) ||
                 GridCellHit(m_nTileRight, m_nTileTop, layer) || GridCellHit(m_nTileRight, m_nTileBottom, layer)
             ? 1
             : 0;
}

int HasShotLink(const cSafeVector<SHOTLINK>& links, const SHOTLINK& link) {
  for (const SHOTLINK& l : links)
    if (EqualLink(l, link)) return 1;
  return 0;
}
