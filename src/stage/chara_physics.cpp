// Character physics: unit conversions, jump speeds, placing on blocks, gravity, standing,
// landing, ceilings and the knock-back of a hit.
#include <cmath>

#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/block_collision.h"
#include "stage/chara_base.h"
#include "stage/stage_globals.h"
#include "stage/sub_steps.h"

namespace {

double Gravity() { return g_Stage.m_dGravityStep; }

// Opposite signs outside a dead zone of 1e-8 around 0.
bool Opposes(double a, double b) { return (a > 1e-8 && b < -1e-8) || (a < -1e-8 && b > 1e-8); }

}  // namespace

int HblToDot(int8_t h) { return (h * 32) / 2; }

double ScaleAccel(int16_t a) {
  const double nn = g_Stage.m_dSubStepsSq;
  if (nn == 0.0) return 0.0;
  return a * 0.01 / nn;
}

int UseFootPoint(int refMode, int flying) { return refMode == 1 || (refMode == 2 && flying == 0); }

double cCharaBase::JumpSpeedFromHeight(double h) const {
  const double g = Gravity();
  // Without gravity no speed reaches a height, and a height below what one sub-step of gravity
  // covers has no real root: both start from rest instead of from NaN.
  if (g <= 0.0) return 0.0;
  double radicand = g * (8 * h + g);
  if (radicand < 0.0) radicand = 0.0;
  double v = (-g - std::sqrt(radicand)) / 2;
  if (g_SystemData.HeroJumpScale() && m_nSide == 0) v = v * (0.99 - 0.025 * g_Stage.m_dGravity);
  return v;
}

double cCharaBase::JumpSpeedFromHbl(int8_t h) const { return JumpSpeedFromHeight(h * 16); }

int cCharaBase::JumpStepsFromSpeed(double v) const {
  const double g = Gravity();
  const double n = SubSteps();
  if (g <= 0.0) return TruncToInt(n);
  return TruncToInt(n - v / g);
}

int cCharaBase::JumpFramesFromHbl(int8_t h) const {
  const int n = g_Stage.m_nSubSteps;
  if (n <= 0) return 1;
  return (JumpStepsFromSpeed(JumpSpeedFromHbl(h)) / n) / 6 + 1;
}

void cCharaBase::SetBlockX(int bx) {
  m_dX = (bx + ScrollX().m_nBorder) * 32 + m_nBaseDrawOffsetX + 0.5;
  KeepCentreXOnScale(m_Def.m_cSize, 1);
  AfterMoveX();
}

void cCharaBase::SetBlockY(int by, int keepFoot) {
  m_dY = (by + ScrollY().m_nBorder) * 32 + m_nBaseDrawOffsetY;
  KeepFootOnScale(m_Def.m_cSize, 1, keepFoot);
  AfterMoveY();
}

void cCharaBase::SetBlockPos(int bx, int by, int keepFoot) {
  SetBlockX(bx);
  SetBlockY(by, keepFoot);
}

void cCharaBase::ClearBlockedFlags() { m_bBlockedLeft = m_bBlockedRight = m_bBlockedTop = m_bBlockedBottom = 0; }

void cCharaBase::SavePrevPos() {
  m_dPrevX = m_dX;
  m_dPrevY = m_dY;
  m_dPrevRight = m_dRight;
  m_dPrevBottom = m_dBottom;
}

void cCharaBase::RestorePrevPos() {
  m_dX = m_dPrevX;
  m_dY = m_dPrevY;
  m_dRight = m_dPrevRight;
  m_dBottom = m_dPrevBottom;
}

void cCharaBase::ApplyGravity() {
  if (m_bFly || m_bRideChara || m_bNoGravity || m_dImpactY < 0) return;
  m_dSpeedY += Gravity();
}

int cCharaBase::IsOnGround() {
  if (m_pStandBlock != NO_BLOCK && CellHit(m_pStandBlock, m_nLayer) != 0) return 1;
  return m_bRideChara ? 1 : 0;
}

void cCharaBase::Land() {
  m_dSpeedY = 0;
  m_dInertiaY = 0;
  m_bBlockedBottom = 1;
  m_nAirFrames = 0;
  m_bAirborne = 0;
  m_bJumping = 0;
  m_bJumpCut = 0;
  m_bImpacted = 0;
  if (m_nSide != 0) m_bCeilingHit = 0;
  m_dY -= (TruncToInt(m_dBottom) & 31) + 1;
  AfterMoveY();
  FireTrigger(TRIG_HIT_BLOCK);
  FireTrigger(TRIG_BLOCK_VERTICAL);
  FireTrigger(TRIG_BLOCK_BOTTOM);
}

void cCharaBase::HitCeiling() {
  m_bJumpCut = 1;
  m_bJumping = 1;
  m_bBlockedTop = 1;
  m_bCeilingHit = 1;
  m_dSpeedY = 0;
  m_dInertiaY = 0;
  if (!g_SystemData.CeilingKeepsImpact()) ClearImpactY();
  m_dY += 32 - (TruncToInt(m_dY) & 31);
  AfterMoveY();
  FireTrigger(TRIG_HIT_BLOCK);
  FireTrigger(TRIG_BLOCK_VERTICAL);
  FireTrigger(TRIG_BLOCK_TOP);
}

void cCharaBase::StopOnChara(int landed) {
  m_bRideChara = 0;
  if (m_dImpactY == 0) m_dSpeedY = 0;
  if (landed) m_bLandedOnChara = 1;
}

void cCharaBase::ApplyImpact(int8_t power, double dx, double dy, int& impactOut) {
  if (power == 0) return;
  // In int, then limited: signed-byte arithmetic would wrap for values outside the editor's
  // ranges and lose or reverse the knock-back.
  const int r = m_Def.m_cImpactResist;
  int p = 0;
  if (power < 0) {
    p = power + r;
    if (p < -20) p = -20;
    if (p > 0) p = 0;
  } else {
    p = power - r;
    if (p < 0) p = 0;
    if (p > 20) p = 20;
  }
  impactOut = p;
  SplitImpact(m_dImpactX, m_dImpactY, static_cast<int8_t>(p), dx, dy, &m_dPrevImpactY);
  if (m_dInertiaX != 0 && Opposes(m_dInertiaX, m_dImpactX)) m_dInertiaX = 0;
  if (m_dInertiaY != 0 && Opposes(m_dInertiaY, m_dImpactY)) m_dInertiaY = 0;
  if (Opposes(m_dSpeedY, m_dImpactY)) m_dSpeedY = 0;
  m_bImpacted = 1;
}

void cCharaBase::ApplyBodyImpact(const cCharaBase& attacker, int& impactOut) {
  double dy = attacker.m_dSpeedY;
  const double fallSpeed = 8 * g_Stage.m_nSubSteps * Gravity();
  if (attacker.m_Def.m_cFlight == 0 && attacker.m_dSpeedY < fallSpeed) dy = 0;
  ApplyImpact(attacker.m_Def.m_cBodyImpact, attacker.m_dSpeedX, dy, impactOut);
}

void cCharaBase::ImpactStepY() {
  if (m_dImpactY != 0) {
    if (m_bFly) {
      m_dSpeedY += m_dImpactY;
    } else if (m_dImpactY > 0 && IsOnGround()) {
      // The push down ends on the ground.
      ClearImpactY();
    } else {
      const bool keep = g_SystemData.ImpactKeepPrevY() && !g_SystemData.ImpactOldStep() &&
                        (m_dPrevImpactY - m_dSpeedY) > 1 / SubSteps();
      if (!keep) m_dSpeedY = m_dSpeedY - m_dPrevImpactY + m_dImpactY;
    }
  }
  m_dPrevImpactY = m_dImpactY;
}

void cCharaBase::ClearImpactY() {
  m_dImpactY = 0;
  m_dPrevImpactY = 0;
}

void cCharaBase::DecayImpactX() {
  const double d = 1 / SubSteps();
  if (m_dImpactX > 0) {
    m_dImpactX -= d;
    if (m_dImpactX < 0) m_dImpactX = 0;
  } else if (m_dImpactX < 0) {
    m_dImpactX += d;
    if (m_dImpactX > 0) m_dImpactX = 0;
  }
}

void cCharaBase::DecayImpactY() {
  const double d = 1 / SubSteps();
  if (m_dImpactY > 0) {
    m_dImpactY -= d;
    if (m_dImpactY < 0) ClearImpactY();
  } else if (m_dImpactY < 0) {
    m_dImpactY += d;
    if (m_dImpactY > 0) ClearImpactY();
  }
}
