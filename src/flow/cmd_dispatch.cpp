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
#include "flow/cmd_params.h"
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
  const int8_t h = static_cast<int8_t>(CmdParam(cmd, JP_HEIGHT));
  s->m_dSpeed = c->JumpSpeedFromHbl(h);
  // The time follows from the height; the character's copy of the command keeps it.
  cmd.m_sTime = static_cast<int16_t>(std::clamp(c->JumpFramesFromHbl(h), 0, 32767));
  s->m_nTotal = cmd.m_sTime * FrameSubSteps() * 6;
}

namespace {

// The kind of the state's command, when it is one of the command kinds. Every other value comes
// from bad data, and the dispatch refuses it here: the command runs nothing.
bool FlowKindOf(const cFlowCommandState& s, CmdKind& kind) {
  const int k = s.m_pCommand ? s.m_pCommand->m_cKind : -1;
  if (k < 0 || k >= CMD_KIND_COUNT) return false;
  kind = static_cast<CmdKind>(k);
  return true;
}

}  // namespace

// The switches name every kind and have no default, so a kind added to CmdKind without a case
// fails the build.
void InitCommand(cFlowCommandState& s, cCharaBase& c) {
  CmdKind kind = CMD_NONE;
  if (!FlowKindOf(s, kind) || s.m_pCommand->m_cCategory != CMDCAT_FLOW) return;
  switch (kind) {
    case CMD_STRAIGHT_MOVE:
    case CMD_GROUND_TURN_MOVE:
    case CMD_CHARGE_MOVE:
    case CMD_SCREEN_AVOID_MOVE: CmdInitMove(&s, &c); break;
    case CMD_CIRCLE_MOVE: CmdInitCircleMove(&s, &c); break;
    case CMD_HOMING_MOVE: CmdInitHomingMove(&s, &c); break;
    case CMD_JUMP: CmdInitJump(&s, &c); break;
    // The other kinds need no set-up.
    case CMD_NONE:
    case CMD_WAIT:
    case CMD_STOP_MOVE:
    case CMD_TURN:
    case CMD_SHOT:
    case CMD_SWORD:
    case CMD_SUMMON_BLOCK:
    case CMD_SUMMON_CHARA:
    case CMD_SUMMON_ITEM:
    case CMD_FLOW_CONTROL:
    case CMD_STAGE_CLEAR:
    case CMD_GAME_WAIT:
    case CMD_MESSAGE:
    case CMD_WARP:
    case CMD_SET_TARGET:
    case CMD_STATUS:
    case CMD_STATUS2:
    case CMD_VANISH:
    case CMD_GET_ITEM:
    case CMD_CHANGE_GRAPHIC:
    case CMD_CHANGE_ANIMESET:
    case CMD_PLAY_ANIME:
    case CMD_EFFECT:
    case CMD_CHARA_EFFECT:
    case CMD_SCREEN_EFFECT:
    case CMD_PICTURE:
    case CMD_SCREEN_COLOR:
    case CMD_BACKGROUND:
    case CMD_SOUND:
    case CMD_BGM:
    case CMD_CODE:
    case CMD_ARRANGE:
    case CMD_LOOP:
    case CMD_KIND_COUNT: break;
  }
}

void ExecCommand(cCharaBase& c, cFlowCommandState& s) {
  CmdKind kind = CMD_NONE;
  if (!FlowKindOf(s, kind)) return;
  cCharaBase* const pc = &c;
  cFlowCommandState* const ps = &s;
  switch (kind) {
    // The empty kinds (none and wait) only take their time.
    case CMD_NONE:
    case CMD_WAIT: break;
    case CMD_STRAIGHT_MOVE: CmdStraightMove(pc, ps); break;
    case CMD_GROUND_TURN_MOVE: CmdGroundTurnMove(pc, ps); break;
    case CMD_CIRCLE_MOVE: CmdCircleMove(pc, ps); break;
    case CMD_CHARGE_MOVE: CmdChargeMove(pc, ps); break;
    case CMD_HOMING_MOVE: CmdHomingMove(pc, ps); break;
    case CMD_SCREEN_AVOID_MOVE: CmdScreenAvoidMove(pc, ps); break;
    case CMD_STOP_MOVE: CmdStopMove(pc, ps); break;
    case CMD_TURN: CmdTurn(pc, ps); break;
    case CMD_JUMP: CmdJump(pc, ps); break;
    case CMD_SHOT: CmdShot(pc, ps); break;
    case CMD_SWORD: CmdSword(pc, ps); break;
    case CMD_SUMMON_BLOCK: CmdSummonBlock(pc, ps); break;
    case CMD_SUMMON_CHARA: CmdSummonChara(pc, ps); break;
    case CMD_SUMMON_ITEM: CmdSummonItem(pc, ps); break;
    case CMD_FLOW_CONTROL: CmdFlowControl(pc, ps); break;
    case CMD_STAGE_CLEAR: CmdStageClear(pc, ps); break;
    case CMD_GAME_WAIT: CmdGameWait(pc, ps); break;
    case CMD_MESSAGE: CmdMessage(pc, ps); break;
    case CMD_WARP: CmdWarp(pc, ps); break;
    case CMD_SET_TARGET: CmdSetTarget(pc, ps); break;
    case CMD_STATUS: CmdStatus(pc, ps); break;
    case CMD_STATUS2: CmdStatus2(pc, ps); break;
    case CMD_VANISH: CmdVanish(pc, ps); break;
    case CMD_GET_ITEM: CmdGetItem(pc, ps); break;
    case CMD_CHANGE_GRAPHIC: CmdChangeGraphic(pc, ps); break;
    case CMD_CHANGE_ANIMESET: CmdChangeAnimeSet(pc, ps); break;
    case CMD_PLAY_ANIME: CmdPlayAnime(pc, ps); break;
    case CMD_EFFECT: CmdEffect(pc, ps); break;
    case CMD_CHARA_EFFECT: CmdCharaEffect(pc, ps); break;
    case CMD_SCREEN_EFFECT: CmdScreenEffect(pc, ps); break;
    case CMD_PICTURE: CmdPicture(pc, ps); break;
    case CMD_SCREEN_COLOR: CmdScreenColor(pc, ps); break;
    case CMD_BACKGROUND: CmdBackground(pc, ps); break;
    case CMD_SOUND: CmdSound(pc, ps); break;
    case CMD_BGM: CmdBgm(pc, ps); break;
    case CMD_CODE: CmdCode(pc, ps); break;
    case CMD_ARRANGE: CmdArrange(pc, ps); break;
    case CMD_LOOP: CmdLoop(pc, ps); break;
    case CMD_KIND_COUNT: break;
  }
}
