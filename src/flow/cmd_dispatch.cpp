// Dispatch of command kinds to their handlers, and the set-up handlers of the moves and the jump.
#include "flow/cmd_dispatch.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/stage_file.h"
#include "flow/cmd_control.h"
#include "flow/cmd_effect.h"
#include "flow/cmd_fire.h"
#include "flow/cmd_move.h"
#include "flow/cmd_state.h"
#include "flow/cmd_warp_target.h"
#include "flow/exec_status.h"
#include "flow/flow_runner.h"
#include "flow/stage_binding.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "flow/frame_steps.h"

namespace {

// A duration worked out in floating point: truncated toward zero, within int32; not a number
// (a zero speed) gives 0, which runs one sub-step.
int32_t TruncateTotal(double t) {
  if (std::isnan(t)) return 0;
  if (t >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (t <= -2147483648.0) return std::numeric_limits<int32_t>::min() + 1;
  return static_cast<int32_t>(t);
}

void CmdNothing(cCharaBase*, cFlowCommandState*) {}

void CmdStatus(cCharaBase* c, cFlowCommandState* s) { ExecStatus(StageFlowBinding(), c, *s->m_pCommand); }

}  // namespace

int32_t SolveMove(cFlowCommandState& s, const cFlowCommand& cmd, int c) {
  if (!cmd.m_pMove) return s.m_nTotal;
  const cEdMove& m = *cmd.m_pMove;
  int64_t d = int64_t{m.m_sDistance} + int64_t{m.m_sDistancePerClone} * c;
  if (m.m_cDistUnit != 1) d *= 16;
  if (m.m_cSolveMode == 1) {
    // A total of 0 or less has no time to cover the distance in: the one sub-step the command
    // gets does not move.
    s.m_dSpeed = s.m_nTotal > 0 ? static_cast<double>(d) / s.m_nTotal : 0.0;
  } else if (m.m_cSolveMode == 2) {
    if (s.m_dSpeed == 0.0 || d == 0) {
      // Nothing to cover: the one sub-step the command gets does not move either.
      s.m_nTotal = 0;
      s.m_dSpeed = 0.0;
    } else {
      int32_t t = TruncateTotal(static_cast<double>(d) / s.m_dSpeed);
      if (t < 0 && !g_SystemData.CompatNegativeTime()) t = -t;
      s.m_nTotal = t;
    }
  }
  return s.m_nTotal;
}

void CmdInitMove(cFlowCommandState* s, cCharaBase* c) {
  const cFlowCommand& cmd = *s->m_pCommand;
  if (cmd.m_pMove && cmd.m_pMove->m_cSolveMode != 0) SolveMove(*s, cmd, c->m_nCloneValue);
}

void CmdInitHomingMove(cFlowCommandState* s, cCharaBase* c) {
  const cFlowCommand& cmd = *s->m_pCommand;
  if (!cmd.m_pMove) return;
  const cEdMove& m = *cmd.m_pMove;
  const int64_t lag = (int64_t{m.m_sRadius} + int64_t{m.m_sRadiusPerClone} * c->m_nCloneValue) * FrameSubSteps();
  s->m_nRadius = static_cast<int32_t>(std::clamp<int64_t>(lag, INT32_MIN, INT32_MAX));
  if (m.m_cSolveMode != 0) SolveMove(*s, cmd, c->m_nCloneValue);
}

void CmdInitCircleMove(cFlowCommandState* s, cCharaBase* c) {
  const cFlowCommand& cmd = *s->m_pCommand;
  if (!cmd.m_pMove) return;
  const cEdMove& m = *cmd.m_pMove;
  const int n = FrameSubSteps();
  const int clone = c->m_nCloneValue;
  auto toggle = [s] {
    if (s->m_nMode == 0 || s->m_nMode == 1) s->m_nMode = static_cast<int8_t>(1 - s->m_nMode);
  };
  int b = 0;
  if (c->m_bRight) {
    if (m.m_cMirrorX) {
      toggle();
      b = 180;
    }
    if (m.m_cMirrorY) toggle();
  }
  const int r = std::clamp(m.m_sRadius + m.m_sRadiusPerClone * clone, 0, 20);
  s->m_nRadius = r * 16 * n;
  s->m_nStartAngle = (b + m.m_sAngle + m.m_sAnglePerClone * clone) * n;
  s->m_nEndAngle = (b + m.m_sDistance + m.m_sDistancePerClone * clone) * n;
  const int span = m.m_sDistance > m.m_sAngle ? s->m_nEndAngle - s->m_nStartAngle : s->m_nStartAngle - s->m_nEndAngle;
  if (m.m_cSolveMode == 0) {
    s->m_dSpeed = static_cast<double>(span) / (s->m_nTotal > 0 ? s->m_nTotal : 1) / n;
  } else if (m.m_cSolveMode == 1) {
    int32_t t = s->m_dSpeed == 0.0 ? 0 : TruncateTotal(span / s->m_dSpeed / n);
    s->m_nTotal = t < 0 ? -t : t;
  }
}

void CmdInitJump(cFlowCommandState* s, cCharaBase* c) {
  cFlowCommand& cmd = *s->m_pCommand;
  const int8_t h = static_cast<int8_t>(cmd.m_Params.size() > 2 ? cmd.m_Params.At(2) : 0);
  s->m_dSpeed = c->JumpSpeedFromHbl(h);
  // The time follows from the height; the character's copy of the command keeps it.
  cmd.m_sTime = static_cast<int16_t>(std::clamp(c->JumpFramesFromHbl(h), 0, 32767));
  s->m_nTotal = cmd.m_sTime * FrameSubSteps() * 6;
}

const CMDINITPROC g_CmdInitTable[CMD_KIND_COUNT] = {
    nullptr,           nullptr,     CmdInitMove, CmdInitMove, CmdInitCircleMove, CmdInitMove,
    CmdInitHomingMove, CmdInitMove, nullptr,     nullptr,     CmdInitJump,
};

// The empty kinds (none and wait) only take their time.
const CMDEXECPROC g_CmdExecTable[CMD_KIND_COUNT] = {
    CmdNothing,          // 0
    CmdNothing,          // 1
    CmdStraightMove,     // 2
    CmdGroundTurnMove,   // 3
    CmdCircleMove,       // 4
    CmdChargeMove,       // 5
    CmdHomingMove,       // 6
    CmdScreenAvoidMove,  // 7
    CmdStopMove,         // 8
    CmdTurn,             // 9
    CmdJump,             // 10
    CmdShot,             // 11
    CmdSword,            // 12
    CmdSummonBlock,      // 13
    CmdSummonChara,      // 14
    CmdSummonItem,       // 15
    CmdFlowControl,      // 16
    CmdStageClear,       // 17
    CmdGameWait,         // 18
    CmdMessage,          // 19
    CmdWarp,             // 20
    CmdSetTarget,        // 21
    CmdStatus,           // 22
    CmdStatus2,          // 23
    CmdVanish,           // 24
    CmdGetItem,          // 25
    CmdChangeGraphic,    // 26
    CmdChangeAnimeSet,   // 27
    CmdPlayAnime,        // 28
    CmdEffect,           // 29
    CmdCharaEffect,      // 30
    CmdScreenEffect,     // 31
    CmdPicture,          // 32
    CmdScreenColor,      // 33
    CmdBackground,       // 34
    CmdSound,            // 35
    CmdBgm,              // 36
    CmdCode,             // 37
    CmdArrange,          // 38
    CmdLoop,             // 39
};

void InitCommand(cFlowCommandState& s, cCharaBase& c) {
  const int kind = s.m_pCommand ? s.m_pCommand->m_cKind : -1;
  if (kind < 0 || kind >= CMD_KIND_COUNT || s.m_pCommand->m_cCategory != CMDCAT_FLOW) return;
  if (CMDINITPROC init = g_CmdInitTable[kind]) init(&s, &c);
}

void ExecCommand(cCharaBase& c, cFlowCommandState& s) {
  const int kind = s.m_pCommand ? s.m_pCommand->m_cKind : -1;
  if (kind < 0 || kind >= CMD_KIND_COUNT) return;
  g_CmdExecTable[kind](&c, &s);
}
