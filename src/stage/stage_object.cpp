#include "stage/stage_object.h"

#include <climits>
#include <cmath>

#include "data/stage.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/stage_globals.h"

int TruncToInt(double d) {
  // Only values whose truncation fits are converted; NaN and out-of-range values fail both tests.
  if (d > -2147483649.0 && d < 2147483648.0) return static_cast<int>(d);
  return INT_MIN;
}

cStageObject::cStageObject() = default;

cStageObject::cStageObject(const cStageObject& other) = default;

cStageObject& cStageObject::operator=(const cStageObject& other) = default;

cStageObject::~cStageObject() = default;

void cStageObject::CopyBase(const cStageObject& o) { cStageObject::operator=(o); }

void cStageObject::ScaleHitBoxes(int) {}
void cStageObject::KeepFootOnScale(int, int, int) {}
void cStageObject::UpdateHitBoxX() {}
void cStageObject::UpdateHitBoxY() {}
void cStageObject::SetCenter(int, int) {}
void cStageObject::ArriveAt(int, int, cFlowCommandState*) {}
void cStageObject::SetCenterX(int) {}
void cStageObject::ArriveAtX(int, cFlowCommandState*) {}
void cStageObject::SetCenterY(int) {}
void cStageObject::ArriveAtY(int, cFlowCommandState*) {}

void cStageObject::Init(int id, int side, int ownerKind, int layer, int graphic,
                        const cSafeVector<ANIMEFRAMELIST>* animeTable, int anime, int drawOffsetX, int drawOffsetY,
                        int hitWidth, int hitHeight, int drawWidth, int drawHeight, int facingRight, int moveType,
                        int cloneValue) {
  m_nId = id;
  m_nSide = side;
  m_nOwnerKind = ownerKind;
  m_nLayer = layer;
  m_nGraphic = graphic;
  m_nLife = 0x7FFFFFFF;
  if (animeTable) {
    m_Anime.SetTable(*animeTable);
    m_Anime.Set(anime, 1);
  }
  m_nDrawOffsetX = m_nBaseDrawOffsetX = drawOffsetX;
  m_nDrawOffsetY = m_nBaseDrawOffsetY = drawOffsetY;
  m_nHitWidth = m_nBaseHitWidth = hitWidth;
  m_nHitHeight = m_nBaseHitHeight = hitHeight;
  m_nDrawWidth = m_nBaseDrawWidth = drawWidth;
  m_nDrawHeight = m_nBaseDrawHeight = drawHeight;
  m_dSpeedX = m_dSpeedY = 0.0;
  m_dInertiaX = m_dInertiaY = 0.0;
  m_bActive = 0;
  m_bOnScreen = 0;
  m_bCondLatched = 0;
  m_bRight = facingRight;
  m_nCloneValue = static_cast<int16_t>(cloneValue);
  SetMoveType(moveType);
}

void cStageObject::SetMoveType(int type) {
  switch (type) {
    case 0:
      m_bFly = 0;
      m_nFlyKind = 1;
      break;
    case 1:
      m_bFly = 1;
      m_nFlyKind = 0;
      break;
    case 2:
      m_bFly = 1;
      m_nFlyKind = 1;
      break;
    case 3:
      m_bFly = 1;
      m_nFlyKind = 2;
      break;
    default: break;
  }
}

void cStageObject::UpdateEdgesX() {
  m_dRight = m_dX + m_nHitWidth - 1;
  UpdateHitBoxX();
  m_nTileLeft = TileOf(m_dX);
  m_nTileRight = TileOf(m_dRight);
}

void cStageObject::UpdateEdgesY() {
  m_dBottom = m_dY + m_nHitHeight - 1;
  UpdateHitBoxY();
  m_nTileTop = TileOf(m_dY);
  m_nTileBottom = TileOf(m_dBottom);
}

int cStageObject::CheckBoundsX(int mode) {
  const cScroll& ax = ScrollX();
  const int w = m_nHitWidth;
  // Left of a range when its minimum > x; right of it when x + w - 1 >= its maximum.
  auto outside = [&](double lo, double hi) { return lo > m_dX || m_dX + w - 1 >= hi; };
  int code = 0;
  switch (mode) {
    case 0:
      if (ax.m_nLowerLimit > m_dX)
        m_dX = ax.m_nLowerLimit;
      else if (m_dX + w - 1 >= ax.m_nUpperLimit)
        m_dX = ax.m_nUpperLimit - w;
      break;
    case 1:
      if (ax.m_nStageStart > m_dX)
        m_dX = ax.m_nStageStart;
      else if (m_dX + w - 1 >= ax.m_nStageEnd)
        m_dX = ax.m_nStageEnd - w;
      else if (outside(ax.m_nLowerLimit, ax.m_nUpperLimit))
        code = 1;
      break;
    case 2:
      if (m_dX < 0) {
        m_dX = 0;
        code = 3;
      } else if (m_dX + w - 1 >= ax.m_nGridExtent) {
        m_dX = ax.m_nGridExtent - w;
        code = 3;
      } else if (outside(ax.m_nStageStart, ax.m_nStageEnd)) {
        code = 2;
      } else if (outside(ax.m_nLowerLimit, ax.m_nUpperLimit)) {
        code = 1;
      }
      break;
    default: break;
  }
  UpdateEdgesX();
  return code;
}

int cStageObject::CheckBoundsY(int mode) {
  const cScroll& ax = ScrollY();
  const int h = m_nHitHeight;
  auto above = [&](double lo) { return lo > m_dY; };
  auto below = [&](double hi) { return m_dY + h - 1 >= hi; };
  int code = 0;
  switch (mode) {
    case 0:
      if (above(ax.m_nLowerLimit))
        m_dY = ax.m_nLowerLimit;
      else if (below(ax.m_nUpperLimit))
        m_dY = ax.m_nUpperLimit - h;
      break;
    case 1:
      if (above(ax.m_nStageStart))
        m_dY = ax.m_nStageStart;
      else if (below(ax.m_nStageEnd))
        m_dY = ax.m_nStageEnd - h;
      else if (above(ax.m_nLowerLimit))
        code = 1;
      else if (below(ax.m_nUpperLimit))
        code = 4;
      break;
    case 2:
      if (h < ax.m_nBorder * 32 && m_dY < 0) {
        m_dY = 0;
        code = 3;
      } else if (h < ax.m_nBorder * 32 && below(ax.m_nGridExtent)) {
        m_dY = ax.m_nGridExtent - h;
        code = 6;
      } else if (h >= ax.m_nBorder * 32) {
        code = 0;
      } else if (above(ax.m_nStageStart)) {
        code = 2;
      } else if (below(ax.m_nStageEnd)) {
        code = 5;
      } else if (above(ax.m_nLowerLimit)) {
        code = 1;
      } else if (below(ax.m_nUpperLimit)) {
        code = 4;
      }
      break;
    default: break;
  }
  UpdateEdgesY();
  return code;
}

void cStageObject::LimitSpeed(double& speed) {
  const double limit = g_Stage.m_dSpeedLimitStep;
  if (speed > limit)
    speed = limit;
  else if (speed < -limit)
    speed = -limit;
}

int cStageObject::StepX(int mode) {
  LimitSpeed(m_dSpeedX);
  m_dX += m_dSpeedX;
  return CheckBoundsX(mode);
}

int cStageObject::StepY(int mode) {
  LimitSpeed(m_dSpeedY);
  m_dY += m_dSpeedY;
  return CheckBoundsY(mode);
}

void cStageObject::ApplyGravity() {
  if (!m_bFly) m_dSpeedY += g_Stage.m_dGravityStep;
}

void cStageObject::ApplyFriction(double& speed, int enabled) const {
  if (!enabled) return;
  if (speed > 0) {
    speed -= m_dFriction;
    if (speed < 0) speed = 0;
  } else if (speed < 0) {
    speed += m_dFriction;
    if (speed > 0) speed = 0;
  }
}

void cStageObject::UpdateScreenRect() {
  const cScroll& ax = ScrollX();
  const cScroll& ay = ScrollY();
  const double sx = ax.m_dPos;
  const double sy = ay.m_dPos;
  const int offX = m_nDrawOffsetX;
  const int offY = m_nDrawOffsetY;
  const int walkLeft = TruncToInt((m_dX - offX) - TruncToInt(sx));
  const int walkTop = TruncToInt((m_dY - offY) - TruncToInt(sy));
  int left = walkLeft;
  int top = walkTop;
  if (m_bFly) {
    if (ax.m_dAutoSpeed != 0.0 && !ax.m_bAtEdge)
      left = m_bScrollRide ? TruncToInt(m_dX - sx) - offX : walkLeft;
    else
      left = TruncToInt(m_dX) - TruncToInt(sx) - offX;
    if (ay.m_dAutoSpeed != 0.0 && !ay.m_bAtEdge)
      top = TruncToInt(m_dY - sy) - offY + 1;
    else
      top = TruncToInt(m_dY) - TruncToInt(sy) - offY;
  }
  m_rcScreen[0] = left;
  m_rcScreen[1] = top;
  m_rcScreen[2] = left + m_nDrawWidth - 1;
  m_rcScreen[3] = top + m_nDrawHeight - 1;
}

int cStageObject::IsOnScreenAxis(int ignoreX, int ignoreY) const {
  const double sx = ScrollX().m_dPos;
  const double sy = ScrollY().m_dPos;
  if (!ignoreX && !(m_dRight >= sx && sx + 640 > m_dX)) return 0;
  if (!ignoreY && !(m_dBottom >= sy && sy + 480 > m_dY)) return 0;
  return 1;
}

int cStageObject::IsOnScreen() const { return IsOnScreenAxis(0, 0); }

int cStageObject::IsInStage(int wholeGrid) const {
  const cScroll& ax = ScrollX();
  const cScroll& ay = ScrollY();
  if (wholeGrid) return m_dX >= 0 && m_dRight < ax.m_nGridExtent && m_dY >= 0 && m_dBottom < ay.m_nGridExtent;
  return m_dX >= ax.m_nStageStart && m_dRight < ax.m_nStageEnd && m_dY >= ay.m_nStageStart &&
         m_dBottom < ay.m_nStageEnd;
}

int cStageObject::IsOutOfArea(const cStageAreaSetting& a) const {
  if (m_bOnScreen) return 0;
  const cScroll& ax = ScrollX();
  const cScroll& ay = ScrollY();
  const double sx = ax.m_dPos;
  const double sy = ay.m_dPos;
  if (a.m_nLeftOn && TruncToInt(sx - a.m_nLeftMargin * 32) >= m_dRight) return 1;
  if (a.m_nRightOn && TruncToInt(sx + a.m_nRightMargin * 32 + 640) <= m_dX) return 1;
  if (a.m_nBottomOn && TruncToInt(sy + a.m_nBottomMargin * 32 + 480) <= m_dY) return 1;
  if (a.m_nTopOn && TruncToInt(sy - a.m_nTopMargin * 32) >= m_dBottom) return 1;
  if (m_dX <= 0 || m_dRight >= ax.m_nGridExtent - 1 || m_dY <= 0 || m_dBottom >= ay.m_nGridExtent - 1) return 1;
  return 0;
}

void cStageObject::SplitImpact(double& impactX, double& impactY, int8_t power, double dx, double dy,
                               double* keptSpeed) {
  if (power == 0) return;
  if (!g_SystemData.ImpactKeepPrevY() && keptSpeed) *keptSpeed = 0.0;
  const double s = std::fabs(dx) + std::fabs(dy);
  if (s == 0.0) {
    impactX = impactY = 0.0;
    return;
  }
  const double px = power * dx / s;
  const double py = power * dy / s;
  const double n = g_Stage.m_dSubSteps;
  // n v^2 + v = 32 |p|, solved for the positive root; a stage without sub-steps gets no knock-back
  // rather than a division by zero.
  auto toSpeed = [n](double p) {
    if (p == 0.0 || n <= 0.0) return 0.0;
    const double v = (std::sqrt(1 + 128 * n * std::fabs(p)) - 1) / (2 * n);
    return p < 0 ? -v : v;
  };
  impactX = toSpeed(px);
  impactY = toSpeed(py);
}

int cStageObject::HitCornerBlocks2(int) { return HitCornerBlocks(); }

void cStageObject::CalcJudgeSpan(int& start, int& end, int pos, int size, int lenBefore, int lenAfter, int bothSides) {
  const int half = size >> 1;
  const int c = pos + half;
  if (bothSides && lenBefore == 0 && lenAfter == 0) {
    start = c - half;
    end = c + half;
    return;
  }
  start = lenBefore != 0 ? c - half - lenBefore : c;
  end = lenAfter != 0 ? c + half + lenAfter : c;
}

int cStageObject::JudgeRange(int pos, int size, int targetStart, int targetEnd, int targetOffset, int lenBefore,
                             int lenAfter, int bothSides, int vertical, const cStageObject& target) {
  int start = 0;
  int end = 0;
  CalcJudgeSpan(start, end, pos, size, lenBefore, lenAfter, bothSides);
  int firstHolds = start <= targetEnd - targetOffset;
  if (!g_SystemData.PlainRangeJudge() && vertical &&
      TruncToInt(target.m_dBottom - target.m_dY) + targetOffset + 1 >= target.m_nDrawHeight)
    firstHolds = start <= targetEnd;
  return firstHolds && targetStart + targetOffset <= end;
}

void cStageObject::SetScale(int newScale, int oldScale, int keepFoot) {
  if (newScale == oldScale) return;
  m_nHitWidth = newScale * m_nBaseHitWidth;
  m_nHitHeight = newScale * m_nBaseHitHeight;
  m_nDrawOffsetX = newScale * m_nBaseDrawOffsetX;
  m_nDrawOffsetY = newScale * m_nBaseDrawOffsetY;
  m_nDrawWidth = newScale * m_nBaseDrawWidth;
  m_nDrawHeight = newScale * m_nBaseDrawHeight;
  KeepCentreXOnScale(newScale, oldScale);
  KeepFootOnScale(newScale, oldScale, keepFoot);
  ScaleHitBoxes(newScale);
}

void cStageObject::KeepCentreXOnScale(int newScale, int oldScale) {
  m_dX -= (newScale - oldScale) * (m_nBaseHitWidth / 2);
  CheckBoundsX(2);
}

void cStageObject::ScaleKeepPosition(int newScale, int oldScale, int keepFoot) {
  if (newScale == oldScale) return;
  KeepCentreXOnScale(newScale, oldScale);
  KeepFootOnScale(newScale, oldScale, keepFoot);
}
