// The execution handlers of the movement commands.
#include <cmath>

#include "core/sound_request.h"
#include "data/ed_move.h"
#include "data/flow_command.h"
#include "data/stage_file.h"
#include "flow/cmd_move.h"
#include "flow/frame_steps.h"
#include "persist/system_data.h"
#include "stage/aim.h"
#include "stage/aim_goal.h"
#include "stage/chara_base.h"

namespace {

constexpr double RAD_TO_DEG = 57.29577951308239;

// The command's movement record; a command stored without one does not move.
cEdMove* MoveOf(const cFlowCommandState* cs) {
  return cs && cs->m_pCommand && cs->m_pCommand->m_pMove ? cs->m_pCommand->m_pMove.get() : nullptr;
}

// A movement command ends drawing at a fixed screen place.
void Unpin(cCharaBase& c) { c.m_bFixScreenX = c.m_bFixScreenY = 0; }

// The target in the record's slot; null when the slot is empty or out of range.
cCharaBase* SlotTarget(cCharaBase& c, const cEdMove& m) {
  const int slot = m.m_cTargetSlot;
  if (slot < 0 || slot >= static_cast<int>(c.m_Targets.size())) {
    c.m_Targets.At(slot);  // reported as a bad index
    return nullptr;
  }
  return c.m_Targets.At(slot);
}

double DrawnScreenCentreX(const cCharaBase& c) { return c.m_rcScreen[0] + (c.m_nDrawWidth >> 1); }

// Turns the charge's aim by the command's angle.
void TurnAim(cCharaBase& c, cFlowCommandState& cs) {
  if (cs.m_nAngle == 0) return;
  if (!g_SystemData.CompatChargeAngle()) {
    const int a = static_cast<int>(std::atan2(cs.m_dVY, cs.m_dVX) * RAD_TO_DEG + 180) + cs.m_nAngle;
    cs.m_dVX = -std::cos(a * DEG_TO_RAD) * cs.m_dSpeed;
    if (c.m_bFly) cs.m_dVY = -std::sin(a * DEG_TO_RAD) * cs.m_dSpeed;
  } else {
    const int a = static_cast<int>(std::atan2(cs.m_dVX, cs.m_dVY) * RAD_TO_DEG + 90) + cs.m_nAngle;
    cs.m_dVX = std::cos(a * DEG_TO_RAD) * cs.m_dSpeed;
    if (c.m_bFly) cs.m_dVY = -std::sin(a * DEG_TO_RAD) * cs.m_dSpeed;
  }
}

// The homing lag: at the start and every `lag` sub-steps the move aims where its target was `lag`
// sub-steps before, remembering where it is now.
bool LaggedGoal(cFlowCommandState& cs, int lag, double& gx, double& gy) {
  if (lag <= 0) return true;
  if (cs.m_nCount == 0) {
    cs.m_History.clear();
    cs.m_History.push_back({gx, gy});
    return true;
  }
  if (cs.m_nCount % lag != 0) return false;
  const FLOWPOINT oldest = cs.m_History.empty() ? FLOWPOINT{gx, gy} : cs.m_History.front();
  cs.m_History.push_back({gx, gy});
  if (cs.m_History.size() > 1) cs.m_History.pop_front();
  gx = oldest.dX;
  gy = oldest.dY;
  return true;
}

}  // namespace

void CmdStraightMove(cCharaBase* c, cFlowCommandState* cs) {
  cEdMove* m = MoveOf(cs);
  if (!m) return;
  Unpin(*c);
  if (!cs->m_bBegun) {
    cs->m_bBegun = 1;
    GetCmdMoveAngle(*c, *cs);
    if (m->m_cMode == 1) {
      GetCmdMoveOffset(*c, *cs);
      TargetPointVelocity(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, cs->m_dSpeed, cs->m_nOffsetX, cs->m_nOffsetY, *m,
                          cs->m_nRemaining);
    } else if (cs->m_nAngle == 0) {
      DirVelocity(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, cs->m_dSpeed, cs->m_nMode);
    } else {
      DirAngleVelocity(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, cs->m_dSpeed, cs->m_nMode, cs->m_nAngle);
    }
    if (!c->m_bFly) cs->m_dVY = 0;
  } else {
    if (!c->m_bFly) cs->m_dVY = 0;
    // A character that keeps its facing walks back the way it came when something turns it.
    if (m->m_cReverseOnTurn && c->m_Def.m_cFixedFacing == 1 && c->m_bRight != cs->m_nLastFacing &&
        (m->m_cMode == 0 || g_SystemData.CompatReverseAnyMode())) {
      cs->m_dVX = -cs->m_dVX;
      cs->m_dVY = -cs->m_dVY;
    }
  }
  if (!g_SystemData.CompatNoMoveLock()) {
    if (m->LockX()) cs->m_dVX = 0;
    if (m->LockY()) cs->m_dVY = 0;
  }
  ApplyCmdMove(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, *cs, *m, 0);
  cs->m_nLastFacing = c->m_bRight;
}

void CmdGroundTurnMove(cCharaBase* c, cFlowCommandState* cs) {
  cEdMove* m = MoveOf(cs);
  if (!m) return;
  Unpin(*c);
  if (c->m_bFly) return;
  if (c->m_dImpactX == 0 && c->m_dImpactY == 0) {
    GroundTurnStep(*c, *cs, *m);
  } else {
    cs->m_dVX = (c->m_bRight ? 1 : -1) * cs->m_dSpeed;
    cs->m_dVY = 0;
    cs->m_nFaceTo = FACE_NONE;
  }
  // The turn works even for a character whose facing is otherwise fixed.
  ApplyCmdMove(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, *cs, *m, 1);
}

void CmdCircleMove(cCharaBase* c, cFlowCommandState* cs) {
  cEdMove* m = MoveOf(cs);
  if (!m) return;
  Unpin(*c);
  if (cs->m_nRadius == 0) return;
  if (!cs->m_bBegun) {
    cs->m_dPhaseX = cs->m_dPhaseY = cs->m_nStartAngle;
    cs->m_bBegun = 1;
  }
  int sense = cs->m_nMode;
  if (sense == 2)
    sense = c->m_bRight ? 1 : 0;
  else if (sense == 3)
    sense = c->m_bRight ? 0 : 1;
  double vx = 0;
  double vy = 0;
  const double step = FrameSubSteps() * cs->m_dSpeed;
  if (!m->LockX()) vx = vx - WaveSpeed(cs->m_nRadius, 1, cs->m_dPhaseX, step, 0) * cs->m_dSpeed;
  if (!m->LockY() && c->m_bFly)
    vy = vy - WaveSpeed(cs->m_nRadius, 1, cs->m_dPhaseY, step, sense == 0 ? 270 : 90) * cs->m_dSpeed;
  ApplyCmdMove(*c, vx, vy, FACE_NONE, *cs, *m, 0);
}

void CmdChargeMove(cCharaBase* c, cFlowCommandState* cs) {
  cEdMove* m = MoveOf(cs);
  if (!m) return;
  Unpin(*c);
  if (!cs->m_bBegun) {
    cs->m_bBegun = 1;
    GetCmdMoveAngle(*c, *cs);
    GetCmdMoveOffset(*c, *cs);
    cCharaBase* t = SlotTarget(*c, *m);
    if (!t) {
      cs->m_dVX = cs->m_dVY = 0;
      return;
    }
    if (t->m_bDead) return;
    if (c->m_bFly) {
      double gx = 0;
      double gy = 0;
      GetMoveGoal(*t, gx, gy, *cs);
      AimVelocity(*c, *cs, *m, *t, gx, gy);
    } else if (m->LockX()) {
      cs->m_dVX = 0;
    } else {
      int dir = cs->m_nFaceTo;
      CalcAimSpeedX(cs->m_dVX, cs->m_dVY, dir, t, DrawnScreenCentreX(*c), DrawnScreenCentreX(*t) + cs->m_nOffsetX,
                    cs->m_dSpeed, c->m_bScrollRide, 0);
      cs->m_nFaceTo = dir;
    }
    TurnAim(*c, *cs);
  } else if (!c->m_bFly) {
    cs->m_dVY = 0;
  }
  ApplyCmdMove(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, *cs, *m, 0);
}

void CmdHomingMove(cCharaBase* c, cFlowCommandState* cs) {
  cEdMove* m = MoveOf(cs);
  if (!m) return;
  Unpin(*c);
  cCharaBase* t = SlotTarget(*c, *m);
  if (!t || t->m_bDead) return;
  if (!cs->m_bBegun) {
    cs->m_bBegun = 1;
    GetCmdMoveOffset(*c, *cs);
  }
  const int lag = cs->m_nRadius;
  if (c->m_bFly) {
    double gx = 0;
    double gy = 0;
    GetMoveGoal(*t, gx, gy, *cs);
    if (LaggedGoal(*cs, lag, gx, gy)) AimVelocity(*c, *cs, *m, *t, gx, gy);
  } else if (!m->LockX()) {
    cs->m_dVY = 0;
    double gx = DrawnScreenCentreX(*t) + cs->m_nOffsetX;
    double gy = 0;
    if (LaggedGoal(*cs, lag, gx, gy)) MoveTowardX(*c, *cs, t, gx, c->m_bScrollRide, m->m_cStopOnArrival);
  }
  ApplyCmdMove(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, *cs, *m, 0);
  cs->m_nCount++;
}

void CmdScreenAvoidMove(cCharaBase* c, cFlowCommandState* cs) {
  cEdMove* m = MoveOf(cs);
  if (!m) return;
  Unpin(*c);
  ScreenAvoidVelocity(*c, *cs, *m);
  if (!c->m_bFly) cs->m_dVY = 0;
  ApplyCmdMove(*c, cs->m_dVX, cs->m_dVY, cs->m_nFaceTo, *cs, *m, 0);
  cs->m_nCount++;
}

void CmdStopMove(cCharaBase* c, cFlowCommandState*) {
  c->m_dSpeedX = c->m_dSpeedY = 0;
  c->m_dInertiaX = c->m_dInertiaY = 0;
  c->m_dImpactX = c->m_dImpactY = 0;
  Unpin(*c);
  c->m_bNoGravity = 1;
  c->ClearImpactY();
}

void CmdTurn(cCharaBase* c, cFlowCommandState* cs) {
  // A character whose facing follows its motion ignores the command, sound and all.
  if (!c->m_Def.m_cFixedFacing) return;
  if (cs->m_nCount == 0) {
    const cFlowCommand& cmd = *cs->m_pCommand;
    PlayUserSound(cmd.m_sSound);
    const int way = cmd.m_Params.empty() ? 0 : cmd.m_Params.At(0);
    if (way == 0) {
      c->m_bRight = 0;
    } else if (way == 1) {
      c->m_bRight = 1;
    } else if (way >= 2 && way <= 9) {
      cCharaBase* t = c->m_Targets.At((way - 2) / 2);
      // An empty slot tries again, sound and all, in the next sub-step.
      if (!t) return;
      const int toward = t->m_dX + (t->m_nHitWidth >> 1) > c->m_dX + (c->m_nHitWidth >> 1) ? 1 : 0;
      c->m_bRight = way % 2 == 0 ? toward : 1 - toward;
    } else if (way == 10 || way == 11) {
      const int side = c->m_nLastBlockSide;
      if (side == 0 || side == 1) c->m_bRight = way == 10 ? side : 1 - side;
    }
  }
  if (++cs->m_nCount >= 6 * FrameSubSteps()) cs->m_nCount = 0;
}

void CmdJump(cCharaBase* c, cFlowCommandState* cs) {
  Unpin(*c);
  c->Jump(*cs);
  cs->m_nCount++;
}
