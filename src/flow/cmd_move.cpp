// The operations the movement commands share: angle and offsets of the record, directions made
// absolute, the velocity along a direction or toward a point, the ground walker's turn, aiming at
// a target, keeping on screen, and applying the velocity to the character.
#include "flow/cmd_move.h"

#include <cmath>
#include <limits>

#include "core/sound_request.h"
#include "data/ed_move.h"
#include "data/flow_command.h"
#include "data/stage_file.h"
#include "flow/flow_runner.h"
#include "flow/flow_trigger.h"
#include "persist/system_data.h"
#include "stage/aim.h"
#include "stage/aim_goal.h"
#include "stage/block_collision.h"
#include "stage/chara.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/stage_globals.h"

namespace {

// Worked out once: the diagonals split the speed evenly over both axes.
const double DIAGONAL = 1.0 / std::sqrt(2.0);

int FacingOf(double vx) { return vx < -1e-8 ? FACE_LEFT : vx > 1e-8 ? FACE_RIGHT : FACE_NONE; }

bool FixedFacing(const cCharaBase& c) { return c.m_Def.m_cFixedFacing != 0; }

// The centre of the drawn image in stage dots.
double DrawnStageCentreX(const cCharaBase& c) { return c.m_rcScreen[0] + (c.m_nDrawWidth >> 1) + ScrollX().m_dPos; }
double DrawnCentreY(const cCharaBase& c) { return c.m_rcScreen[1] + (c.m_nDrawHeight >> 1) + ScrollY().m_dPos; }

// One axis of a target point; false for a coordinate mode the editor does not make.
bool PointDelta(const cCharaBase& c, int mode, int value, int anchor, bool yAxis, double& d) {
  const cScroll& axis = yAxis ? ScrollY() : ScrollX();
  const double centre = yAxis ? DrawnCentreY(c) : DrawnStageCentreX(c);
  switch (mode) {
    case 0: d = value + (yAxis ? c.m_dPlaceY : c.m_dPlaceX) - centre; return true;
    case 1: d = value; return true;
    case 2: d = (axis.m_nBorder * 32 + anchor + value) - centre; return true;
    case 3: d = (anchor + value + axis.m_dPos) - centre; return true;
    default: return false;
  }
}

int32_t TruncSteps(double t) {
  if (!(t < 2147483647.0)) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(t);
}

void Accelerate(double& inertia, int32_t& friction, double v, double brake, double maxSpeed) {
  double a = PerSecToSubstep(v);
  if ((inertia < 0 && v > 0) || (inertia > 0 && v < 0))
    a *= brake;
  else
    friction = 0;
  inertia += a;
  if (inertia > maxSpeed)
    inertia = maxSpeed;
  else if (inertia < -maxSpeed)
    inertia = -maxSpeed;
}

}  // namespace

void GetCmdMoveAngle(cCharaBase& c, cFlowCommandState& cs) {
  const cEdMove& m = *cs.m_pCommand->m_pMove;
  int a = m.m_sAngle + m.m_sAnglePerClone * c.m_nCloneValue;
  if (m.m_cAngleMirror && c.m_bRight) a = 360 - a;
  if (a >= 360) a %= 360;
  cs.m_nAngle = a;
}

void GetCmdMoveOffset(cCharaBase& c, cFlowCommandState& cs) {
  const cEdMove& m = *cs.m_pCommand->m_pMove;
  int x = 0;
  int y = 0;
  if (m.m_cUnit == 0) {
    x = m.m_sTargetX * 32 + m.m_sTargetDotX;
    y = m.m_sTargetY * 32 + m.m_sTargetDotY;
  } else if (m.m_cUnit == 1) {
    x = m.m_sTargetX + m.m_sTargetDotX;
    y = m.m_sTargetY + m.m_sTargetDotY;
  } else {
    return;
  }
  if (c.m_bRight) {
    if (m.m_cMirrorX) x = -x;
    if (m.m_cMirrorY) y = -y;
  }
  cs.m_nOffsetX = x;
  cs.m_nOffsetY = y;
}

int ResolveMoveDirection(const cCharaBase& c, int code, int useHeroInput, int flag, int flying) {
  const int right = c.m_bRight;
  switch (code) {
    case DIR_FORWARD: return right ? DIR_RIGHT : DIR_LEFT;
    case DIR_BACKWARD: return right ? DIR_LEFT : DIR_RIGHT;
    case DIR_FORWARD_Y: return right ? DIR_DOWN : DIR_UP;
    case DIR_BACKWARD_Y: return right ? DIR_UP : DIR_DOWN;
    case DIR_INPUT: {
      int held = 0;
      if (useHeroInput) {
        held = g_Input.empty() ? 0 : GetFirstHeldKey(&g_Input.At(0));
      } else if (const cFlowState* flow = CurrentFlow()) {
        held = flow->m_nHeldKey;
      }
      int d = ConvertDirectionCode(held, flag, right, g_Game.PlayedReplayVersion());
      if (!flying) {
        if (d == DIR_UP_LEFT || d == DIR_DOWN_LEFT) d = DIR_LEFT;
        if (d == DIR_UP_RIGHT || d == DIR_DOWN_RIGHT) d = DIR_RIGHT;
      }
      return d;
    }
    default: return code;
  }
}

void DirVelocity(const cCharaBase& c, double& vx, double& vy, int32_t& faceTo, double s, int code) {
  vx = vy = 0;
  const int d = ResolveMoveDirection(c, code, 0, 1, c.m_bFly);
  if (d < DIR_LEFT || d > DIR_DOWN_RIGHT) return;
  const bool fly = c.m_bFly != 0;
  int face = FACE_NONE;
  switch (d) {
    case DIR_LEFT: vx = -s, face = FACE_LEFT; break;
    case DIR_RIGHT: vx = s, face = FACE_RIGHT; break;
    case DIR_UP: vy = fly ? -s : 0; break;
    case DIR_DOWN: vy = fly ? s : 0; break;
    case DIR_UP_LEFT: vx = -s * DIAGONAL, vy = fly ? -s * DIAGONAL : 0, face = FACE_LEFT; break;
    case DIR_DOWN_LEFT: vx = -s * DIAGONAL, vy = fly ? s * DIAGONAL : 0, face = FACE_LEFT; break;
    case DIR_UP_RIGHT: vx = s * DIAGONAL, vy = fly ? -s * DIAGONAL : 0, face = FACE_RIGHT; break;
    case DIR_DOWN_RIGHT: vx = s * DIAGONAL, vy = fly ? s * DIAGONAL : 0, face = FACE_RIGHT; break;
    default: return;  // front-Y and back-Y resolve to up or down above
  }
  if (!FixedFacing(c)) faceTo = face;
}

void DirAngleVelocity(const cCharaBase& c, double& vx, double& vy, int32_t& faceTo, double s, int code, int angle) {
  vx = vy = 0;
  const int d = ResolveMoveDirection(c, code, 0, 1, c.m_bFly);
  int base = 0;
  int face = -1;
  switch (d) {
    case DIR_LEFT: base = 0, face = FACE_LEFT; break;
    case DIR_RIGHT: base = 180, face = FACE_RIGHT; break;
    case DIR_UP: base = 90, face = FACE_NONE; break;
    case DIR_DOWN: base = 270, face = FACE_NONE; break;
    case DIR_UP_LEFT: base = 45, face = FACE_LEFT; break;
    case DIR_DOWN_LEFT: base = 315, face = FACE_LEFT; break;
    case DIR_UP_RIGHT: base = 135, face = FACE_RIGHT; break;
    case DIR_DOWN_RIGHT: base = 225, face = FACE_RIGHT; break;
    default: break;
  }
  const double a = (angle + base) * DEG_TO_RAD;
  vx = -std::cos(a) * s;
  if (c.m_bFly) vy = -std::sin(a) * s;
  if (face >= 0 && !FixedFacing(c)) faceTo = face;
}

void TargetPointVelocity(const cCharaBase& c, double& vx, double& vy, int32_t& faceTo, double s, int x, int y,
                         cEdMove& m, int32_t& remaining) {
  vx = vy = 0;
  const int anchor = m.m_cUnit != 1 ? 16 : 0;
  double dx = 0;
  double dy = 0;
  // A coordinate mode the editor never stores names no point: no motion, no turn.
  if ((m.m_cUseX && !PointDelta(c, m.m_cCoordMode, x, anchor, false, dx)) ||
      (m.m_cUseY && !PointDelta(c, m.m_cCoordMode, y, anchor, true, dy))) {
    faceTo = FACE_NONE;
    return;
  }
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d != 0) {
    vx = m.LockX() ? 0 : dx / d * s;
    vy = m.LockY() ? 0 : dy / d * s;
  }
  if (!FixedFacing(c)) faceTo = FacingOf(vx);
  if (m.m_cArrive && s != 0) {
    remaining = TruncSteps(std::fabs(d) / std::fabs(s));
    if (m.m_cStopOnArrival && remaining <= 0) {
      if (m.m_cUseX && !m.LockX()) {
        vx = 0;
        faceTo = FACE_NONE;
      }
      if (m.m_cUseY && !m.LockY()) vy = 0;
    }
  }
}

void GroundTurnStep(cCharaBase& c, cFlowCommandState& cs, const cEdMove&) {
  const bool right = c.m_bRight != 0;
  cs.m_dVY = 0;
  cs.m_nFaceTo = FACE_NONE;
  cs.m_dVX = (right ? 1 : -1) * cs.m_dSpeed;
  if (c.m_bLandedOnChara) {
    // A block character pushed it sideways: turn back, and keep pace with the block.
    cs.m_nFaceTo = right ? FACE_LEFT : FACE_RIGHT;
    cs.m_dVX = -cs.m_dVX;
    const cCharaBase* ridden = nullptr;
    for (const cChara& other : g_CharaList)
      if (other.m_nId == c.m_nRideCharaId) {
        ridden = &other;
        break;
      }
    if (ridden) {
      const double dd = ridden->m_dX - c.m_dRideX;
      if ((right && dd < 0) || (!right && dd > 0))
        cs.m_dVX += 2 * dd;
      else
        cs.m_dVX += dd;
    }
    c.m_bLandedOnChara = 0;
    return;
  }
  const int lastRow = ScrollY().m_nGridTiles - 1;
  int row = TruncToInt(c.m_dBottom + 1.1) >> 5;
  if (row > lastRow) row = lastRow;
  const bool left = CellHit(CellIndex(c.m_nTileLeft, row), c.m_nLayer) != 0;
  const bool rightGround = CellHit(CellIndex(c.m_nTileRight, row), c.m_nLayer) != 0;
  const bool older = g_SystemData.CompatEdgeTurn() != 0;
  if (left && !rightGround)
    cs.m_nFaceTo = older || cs.m_dSpeed >= 0 ? FACE_LEFT : FACE_RIGHT;
  else if (rightGround && !left)
    cs.m_nFaceTo = older || cs.m_dSpeed >= 0 ? FACE_RIGHT : FACE_LEFT;
}

void AimVelocity(cCharaBase& c, cFlowCommandState& cs, cEdMove& m, cCharaBase& t, double gx, double gy) {
  const int lockX = m.LockX();
  const int lockY = m.LockY();
  if (!lockX && !lockY)
    MoveToward(c, cs, &t, gx, gy, c.m_bScrollRide, m.m_cStopOnArrival);
  else if (lockY && !lockX)
    MoveTowardX(c, cs, &t, gx, c.m_bScrollRide, m.m_cStopOnArrival);
  else if (lockX && !lockY)
    MoveTowardY(c, cs, &t, gy, c.m_bScrollRide, m.m_cStopOnArrival);
  else {
    cs.m_dVX = cs.m_dVY = 0;
    cs.m_nFaceTo = FACE_NONE;
  }
}

void ScreenAvoidVelocity(cCharaBase& c, cFlowCommandState& cs, const cEdMove& m) {
  int d = m.m_cDir;
  if (d == DIR_FORWARD || d == DIR_BACKWARD || d == DIR_FORWARD_Y || d == DIR_BACKWARD_Y)
    d = ResolveMoveDirection(c, d, 0, 1, c.m_bFly);
  const bool left = d == DIR_LEFT || d == DIR_UP_LEFT || d == DIR_DOWN_LEFT;
  const bool right = d == DIR_RIGHT || d == DIR_UP_RIGHT || d == DIR_DOWN_RIGHT;
  const bool up = d == DIR_UP || d == DIR_UP_LEFT || d == DIR_UP_RIGHT;
  const bool down = d == DIR_DOWN || d == DIR_DOWN_LEFT || d == DIR_DOWN_RIGHT;
  cs.m_dVX = cs.m_dVY = 0;
  const double s = cs.m_dSpeed;
  // Each axis on its own: a still (or stopped) view, or one the character must keep pace with.
  auto avoid = [s](const cScroll& axis, double& v, bool back, bool ahead, int low, int high, int far, int view,
                   int size) {
    if (axis.m_dAutoSpeed == 0 || axis.m_bAtEdge) {
      if (back && low > far - 32)
        v = -s;
      else if (ahead && high < 32)
        v = s;
      return;
    }
    const double a = axis.m_dAutoSpeed;
    const double p = axis.m_dPos;
    if (back) {
      if (low > far - 32 - std::fabs(a + 1) && p > 0 && a + p <= size - view) v = a - s;
    } else if (ahead) {
      if (high < std::fabs(a + 1) + 32 && a + p > 0 && p < size - view) v = a + s;
    }
  };
  avoid(ScrollX(), cs.m_dVX, left, right, c.m_rcScreen[0], c.m_rcScreen[2], 640, 640, g_Stage.m_nAreaWidth);
  avoid(ScrollY(), cs.m_dVY, up, down, c.m_rcScreen[1], c.m_rcScreen[3], 480, 480, g_Stage.m_nAreaHeight);
}

int ApplyCmdMove(cCharaBase& c, double vx, double vy, int faceTo, cFlowCommandState& cs, cEdMove& m, int force) {
  if ((!FixedFacing(c) || force) && !m.m_cKeepFacing) {
    if (faceTo == FACE_LEFT) c.m_bRight = 0;
    if (faceTo == FACE_RIGHT) c.m_bRight = 1;
  }
  if (m.m_cInertia) {
    Accelerate(c.m_dInertiaX, c.m_bFrictionX, vx, m.m_dBrake, cs.m_dMaxSpeed);
    Accelerate(c.m_dInertiaY, c.m_bFrictionY, vy, m.m_dBrake, cs.m_dMaxSpeed);
  } else {
    c.m_dSpeedX += vx;
    c.m_dSpeedY += vy;
  }
  if (m.m_cAnime == 0) {
    c.m_bMoveAnimeRequest = 1;
    if (c.m_nMoveAnimePriority <= 2) {
      c.m_nMoveAnimePriority = 2;
      c.m_nMoveAnime = c.m_bFly ? 3 : 1;
    }
  } else if (m.m_cAnime == 1) {
    c.m_bMoveAnimeRequest = 1;
    if (c.m_nMoveAnimePriority <= 1) {
      c.m_nMoveAnimePriority = 1;
      c.m_nMoveAnime = c.m_bFly ? 2 : 0;
    }
  }
  return 0;
}

void PlayCommandSound(const cCharaBase& c, const cFlowCommandState& cs) {
  const cFlowCommand* cmd = cs.m_pCommand;
  if (cmd && (!cmd->m_cSoundOnScreen || c.m_bOnScreen)) PlayUserSound(cmd->m_sSound);
}
