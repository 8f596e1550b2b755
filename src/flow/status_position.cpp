#include "flow/status_position.h"

#include <cmath>

#include "data/ed_move.h"
#include "data/flow_command.h"
#include "flow/operate.h"
#include "persist/system_data.h"

namespace {

constexpr int32_t POSITION_LIMIT = 16384;
constexpr int32_t FOOT_RAISE = 15;       // the bottom point lies this far above the bottom edge
constexpr int32_t HALF_BLOCK_DOTS = 16;  // block targets of old projects aim at a block's centre
constexpr int8_t WARP_TO_POINT = 5;
constexpr int8_t UNIT_DOTS = 1;

int32_t CentreX(const cScreenRect& r) { return r.nLeft + (r.nDrawWidth >> 1); }
int32_t CentreY(const cScreenRect& r) { return r.nTop + (r.nDrawHeight >> 1); }

bool UseFootPoint(int point, bool bWalking) {
  return point == Y_POINT_FOOT || (point == Y_POINT_FOOT_WHEN_WALKING && bWalking);
}

int32_t ScrollOrigin(cFlowStage& stage, int axis) {
  return static_cast<int32_t>(std::trunc(stage.ScrollPos(axis))) - stage.ScrollMargin(axis) * 32;
}

// The warp record of a status call: to a point, in dots, no mirroring, in the given mode.
cFlowCommand MakeStatusWarp(int mode) {
  cFlowCommand command;
  command.m_cCategory = CMDCAT_FLOW;
  command.m_cKind = CMD_WARP;
  MakeEdMove(command.m_pMove);
  cEdMove& move = *command.m_pMove;
  move.m_cMode = WARP_TO_POINT;
  move.m_cMirrorX = 0;
  move.m_cMirrorY = 0;
  if (mode >= POS_MODE_RELATIVE && mode <= POS_MODE_SCREEN) move.m_cCoordMode = static_cast<int8_t>(mode);
  return command;
}

// Old projects aim the warp at a dot offset instead of a target in dots.
int16_t OldDotTarget(int32_t value, int mode) {
  return static_cast<int16_t>(mode == POS_MODE_ABSOLUTE || mode == POS_MODE_SCREEN ? value - HALF_BLOCK_DOTS : value);
}

}  // namespace

int GetStatusX(cFlowStage& stage, int32_t* out, cCharaBase* c, int mode, cCharaBase* viewer) {
  if (!c) return 0;
  switch (mode) {
    case POS_MODE_RELATIVE:
      if (!viewer) return 0;
      *out = CentreX(stage.ScreenRect(c)) - CentreX(stage.ScreenRect(viewer));
      return 1;
    case POS_MODE_ABSOLUTE: *out = ScrollOrigin(stage, SCROLL_AXIS_X) + CentreX(stage.ScreenRect(c)); return 1;
    case POS_MODE_SCREEN: *out = CentreX(stage.ScreenRect(c)); return 1;
    default: return 1;
  }
}

int GetStatusY(cFlowStage& stage, int32_t* out, cCharaBase* c, int mode, int point, cCharaBase* viewer) {
  if (!c) return 0;
  if (mode == POS_MODE_RELATIVE) {
    if (!viewer) return 0;
    *out = CentreY(stage.ScreenRect(c)) - CentreY(stage.ScreenRect(viewer));
    return 1;
  }
  if (mode != POS_MODE_ABSOLUTE && mode != POS_MODE_SCREEN) return 1;
  cScreenRect r = stage.ScreenRect(c);
  int32_t y = UseFootPoint(point, stage.IsWalking(c)) ? r.nBottom - FOOT_RAISE : CentreY(r);
  if (mode == POS_MODE_ABSOLUTE) y += ScrollOrigin(stage, SCROLL_AXIS_Y);
  *out = y;
  return 1;
}

namespace {

// One axis of a status move. Y of current projects also takes the Y point and the dot unit; old
// projects aim Y with the fresh record's unit and point.
void SetStatusAxis(cFlowStage& stage, int32_t value, cCharaBase* c, int mode, bool bY, int point) {
  if (!c) return;
  ClampValue(&value, -POSITION_LIMIT, POSITION_LIMIT);
  cFlowCommand command = MakeStatusWarp(mode);
  cEdMove& move = *command.m_pMove;
  move.m_cUseX = bY ? 0 : 1;
  move.m_cUseY = bY ? 1 : 0;
  const bool bOld = g_SystemData.CompatWarpStatusBlock() != 0;
  if (!bY || !bOld) {
    move.m_cUnit = UNIT_DOTS;
    move.m_cYPoint = static_cast<int8_t>(bY ? point : Y_POINT_CENTRE);
  }
  int16_t& target = bY ? move.m_sTargetY : move.m_sTargetX;
  int16_t& dots = bY ? move.m_sTargetDotY : move.m_sTargetDotX;
  target = bOld ? 0 : static_cast<int16_t>(value);
  dots = bOld ? OldDotTarget(value, mode) : 0;
  stage.ExecWarp(c, command);
}

}  // namespace

void SetStatusX(cFlowStage& stage, int32_t value, cCharaBase* c, int mode) {
  SetStatusAxis(stage, value, c, mode, false, Y_POINT_CENTRE);
}

void SetStatusY(cFlowStage& stage, int32_t value, cCharaBase* c, int mode, int point) {
  SetStatusAxis(stage, value, c, mode, true, point);
}
