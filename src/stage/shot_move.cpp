// The movement kinds of shots: aiming once, homing, the wave and the fall.
#include <cmath>
#include <cstdint>

#include "data/stage.h"
#include "data/stage_file.h"
#include "stage/aim.h"
#include "stage/chara_base.h"
#include "stage/hero.h"
#include "stage/main_hero.h"
#include "stage/scene_play.h"
#include "stage/search.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "stage/sub_steps.h"

namespace {

constexpr double PI = 3.141592653589793;

}  // namespace

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

// Sub-steps until a distance in hbl is covered at speed s; 0 when either is 0.
int StepsForHbl(int hbl, double s) { return hbl != 0 && s != 0 ? ShotStepsOf(hbl * 16 / s) : 0; }

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
        AimAt(kind == SHOT_MOVE_AIM_HERO      ? MainHeroOrNull()
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
    case SHOT_MOVE_WAVE: WaveStep(); return;
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
