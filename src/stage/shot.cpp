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
#include "stage/search.h"
#include "stage/chara_base.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

constexpr double PI = 3.141592653589793;

double SubSteps() { return g_Stage.m_dSubSteps; }
double RideSpeed(const cScroll& axis) { return axis.m_bAtEdge ? 0.0 : axis.m_dAutoSpeed; }
int TileOf(double edge) { return TruncToInt(edge) >> 5; }

// A step count from a double, kept inside int so that a tiny speed cannot wrap it negative.
int StepsOf(double v) {
  if (!(v < 2147483647.0)) return INT_MAX;
  return TruncToInt(v);
}

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
  for (auto it = v.begin(); it != v.end();)
    it = EqualLink(*it, link) ? v.erase(it) : it + 1;
}

}  // namespace

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

cShot::cShot(const cShot& o)
    : cStageObject(o),
      m_nShooterId(o.m_nShooterId),
      m_bShot(o.m_bShot),
      m_nRangeSteps(o.m_nRangeSteps),
      m_nLifeSteps(o.m_nLifeSteps),
      m_nTick(o.m_nTick),
      m_nSwordEntry(o.m_nSwordEntry),
      m_dAccel(o.m_dAccel),
      m_dMoveSpeed(o.m_dMoveSpeed),
      m_dVelX(o.m_dVelX),
      m_dVelY(o.m_dVelY),
      m_bAccel(o.m_bAccel),
      m_nMoveStart(o.m_nMoveStart),
      m_nMoveEnd(o.m_nMoveEnd),
      m_bMoveDone(o.m_bMoveDone),
      m_dWavePhase(o.m_dWavePhase),
      m_dWaveSin(o.m_dWaveSin),
      m_dWaveCos(o.m_dWaveCos),
      m_dHitLeft(o.m_dHitLeft),
      m_dHitTop(o.m_dHitTop),
      m_dHitRight(o.m_dHitRight),
      m_dHitBottom(o.m_dHitBottom),
      m_nHitOffsetX(o.m_nHitOffsetX),
      m_nHitOffsetY(o.m_nHitOffsetY),
      m_nHitBoxWidth(o.m_nHitBoxWidth),
      m_nHitBoxHeight(o.m_nHitBoxHeight),
      m_nBaseHitOffsetX(o.m_nBaseHitOffsetX),
      m_nBaseHitOffsetY(o.m_nBaseHitOffsetY),
      m_nBaseHitBoxWidth(o.m_nBaseHitBoxWidth),
      m_nBaseHitBoxHeight(o.m_nBaseHitBoxHeight),
      m_HitList(o.m_HitList),
      m_Def(o.m_Def),
      m_pTarget(o.m_pTarget),
      m_pShooter(o.m_pShooter),
      m_bVanish(o.m_bVanish),
      m_bHitTrigger(o.m_bHitTrigger),
      m_nFlowId(o.m_nFlowId) {}

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
  Init(id, shooter->m_nSide, shooter->m_nOwnerKind, m_Def.m_cFaction, m_Def.m_sGraphic, &ShotAnimeTable(),
       m_bShot, 0, 0, w, h, 16, 16, facing, 1, f.nClone);
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
      m_nRangeSteps = StepsOf(d / s);
    } else {
      m_nRangeSteps = TruncToInt(n);
      if (StepsOf(n * s) > m_nHitWidth) m_nRangeSteps = StepsOf(m_nHitWidth / s);
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

void cShot::AimAt(cCharaBase* chara) {
  if (!chara) return;
  UpdateScreenRect();
  double vx = 0.0;
  double vy = 0.0;
  int dir = 0;
  CalcAimSpeed(vx, vy, dir, chara, m_rcScreen[0] + (m_nDrawWidth >> 1), m_rcScreen[1] + (m_nDrawHeight >> 1),
               chara->m_rcScreen[0] + (chara->m_nDrawWidth >> 1), chara->m_rcScreen[1] + (chara->m_nDrawHeight >> 1),
               m_dMoveSpeed, m_bScrollRide, 0, 0);
  m_dVelX = vx;
  m_dVelY = vy;
  if (m_bAccel) SetAccel(m_dInertiaX, m_dInertiaY, vx, vy);
}

void cShot::HomeStep(cCharaBase* target) {
  if (!target) return;
  UpdateScreenRect();
  double vx = 0.0;
  double vy = 0.0;
  int dir = 0;
  CalcAimSpeed(vx, vy, dir, target, m_rcScreen[0] + (m_nDrawWidth >> 1), m_rcScreen[1] + (m_nDrawHeight >> 1),
               target->m_rcScreen[0] + (target->m_nDrawWidth >> 1),
               target->m_rcScreen[1] + (target->m_nDrawHeight >> 1), m_dMoveSpeed, m_bScrollRide, 0, 0);
  if (!m_bAccel || m_nTick == m_nMoveStart) {
    m_dVelX = vx;
    m_dVelY = vy;
  }
  if (m_bAccel) SetAccel(m_dInertiaX, m_dInertiaY, vx, vy);
}

namespace {

cCharaBase* LiveTarget(cCharaBase* c) { return c && !c->m_bDead ? c : nullptr; }

cCharaBase* NearestOfGroup(const cShot& shot, int group) {
  if (!g_lpScenePlay) return nullptr;
  return FindNearestCharaDefault(shot.m_rcScreen[0] + (shot.m_nDrawWidth >> 1),
                                 shot.m_rcScreen[1] + (shot.m_nDrawHeight >> 1),
                                 g_lpScenePlay->m_CharaLayers.At(group));
}

cCharaBase* MainHeroOrNull() { return g_Heroes.empty() ? nullptr : &g_Heroes.At(0); }

// Sub-steps until a distance in hbl is covered at speed s; 0 when either is 0.
int StepsForHbl(int hbl, double s) { return hbl != 0 && s != 0 ? StepsOf(hbl * 16 / s) : 0; }

}  // namespace

void cShot::StepMovement() {
  if (m_bMoveDone) return;
  const int kind = m_Def.m_cMoveType;
  const int p1 = m_Def.m_sMoveParam[0];
  const int p2 = m_Def.m_sMoveParam[1];
  const int p3 = m_Def.m_sMoveParam[2];
  if (m_nTick == 0) m_dMoveSpeed = (m_Def.m_sSpeed + m_Def.m_sSpeedPerClone * m_nCloneValue) * 0.1 / SubSteps();
  const double s = m_dMoveSpeed;
  switch (kind) {
    case SHOT_MOVE_AIM_HERO:
    case SHOT_MOVE_AIM_NEAREST:
    case SHOT_MOVE_AIM_TARGET:
    case SHOT_MOVE_FALL:
      if (m_nTick == 0) m_nMoveStart = StepsForHbl(p1, s);
      if (kind == SHOT_MOVE_FALL) {
        if (m_nTick >= m_nMoveStart) {
          m_dSpeedY = m_dVelY;
          m_bFly = 0;
          m_bMoveDone = 1;
        }
      } else if (m_nTick == m_nMoveStart) {
        UpdateScreenRect();
        AimAt(kind == SHOT_MOVE_AIM_HERO ? MainHeroOrNull()
              : kind == SHOT_MOVE_AIM_NEAREST ? NearestOfGroup(*this, p2)
                                              : LiveTarget(m_pTarget));
        m_bMoveDone = 1;
      }
      break;
    case SHOT_MOVE_HOME_HERO:
    case SHOT_MOVE_HOME_NEAREST:
    case SHOT_MOVE_HOME_TARGET:
    case SHOT_MOVE_HOME_NEAREST2:
      if (m_nTick == 0) {
        m_nMoveStart = StepsForHbl(p1, s);
        m_nMoveEnd = StepsForHbl(p2, s);
      }
      if (m_nTick >= m_nMoveEnd) {
        m_bMoveDone = 1;
        return;
      }
      if (m_nTick >= m_nMoveStart) {
        UpdateScreenRect();
        HomeStep(kind == SHOT_MOVE_HOME_HERO     ? MainHeroOrNull()
                 : kind == SHOT_MOVE_HOME_TARGET ? LiveTarget(m_pTarget)
                                                 : NearestOfGroup(*this, p3));
      }
      break;
    case SHOT_MOVE_WAVE:
      WaveStep();
      return;
    default: break;
  }
  ++m_nTick;
}

void cShot::WaveStep() {
  const double n = SubSteps();
  const int b = m_Def.m_sMoveParam[1];
  const int c = m_Def.m_sMoveParam[2];
  if (m_nTick == 0) {
    m_nTick = 1;
    int a = m_Def.m_sMoveParam[0] * 16;
    if (a > INT16_MAX) a = INT16_MAX;
    if (a < INT16_MIN) a = INT16_MIN;
    m_Def.m_sMoveParam[0] = static_cast<int16_t>(a);
    // A wave speed of 0 is no wave at all, rather than a division by zero.
    if (b == 0)
      m_dWavePhase = 0.0;
    else
      m_dWavePhase = m_bRight ? n * (static_cast<double>(c) / b) : n * (static_cast<double>(c + 180) / b);
    const double q = WaveSpeed(a, b, m_dWavePhase, 1, 0);
    double theta = std::atan2(m_dVelY, m_dVelX);
    if (theta < 0) theta += 2 * PI;
    m_dWaveCos = std::cos(theta - PI / 2);
    m_dWaveSin = std::sin(theta - PI / 2);
    m_dVelX += q * m_dWaveCos;
    m_dVelY += q * m_dWaveSin;
  } else {
    const double g = WaveAccel(m_Def.m_sMoveParam[0], b, m_dWavePhase, 1, 0);
    const double ox = m_dVelX;
    const double oy = m_dVelY;
    m_dVelX += g * m_dWaveCos;
    m_dVelY += g * m_dWaveSin;
    if ((ox > 0 && m_dVelX < 0) || (ox < 0 && m_dVelX > 0)) m_dVelX = 0.0;
    if ((oy > 0 && m_dVelY < 0) || (oy < 0 && m_dVelY > 0)) m_dVelY = 0.0;
  }
  if (m_bAccel) SetAccel(m_dInertiaX, m_dInertiaY, m_dVelX, m_dVelY);
}

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

int cShot::StepX() {
  if (m_dInertiaX != 0) m_dSpeedX += m_dInertiaX;
  if (m_dSpeedX != 0) {
    const double limit = g_Stage.m_dSpeedLimitStep;
    if (m_dSpeedX > limit) m_dSpeedX = limit;
    else if (m_dSpeedX < -limit) m_dSpeedX = -limit;
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
