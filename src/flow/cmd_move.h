// Movement commands (straight, ground turn, circle, charge, homing, screen-edge avoidance, stop,
// turn and jump) and the operations they share: each sub-step a handler works out a velocity and
// adds it to the character's speed (or accelerates its inertia toward it), asks for the moving or
// standing animation and turns the character toward its motion.
#pragma once

#include <cstdint>

class cCharaBase;
class cEdMove;
class cFlowCommandState;

// Facing requests of a move.
constexpr int FACE_NONE = 0;
constexpr int FACE_LEFT = 1;
constexpr int FACE_RIGHT = 2;

// The record's angle for this character (mirrored when facing right) into m_nAngle.
void GetCmdMoveAngle(cCharaBase& c, cFlowCommandState& cs);
// The record's target offsets in dots (mirrored when facing right) into m_nOffsetX / m_nOffsetY.
void GetCmdMoveOffset(cCharaBase& c, cFlowCommandState& cs);
// A direction code made absolute (2..11) by the facing or the held direction; a walking mover
// turns the diagonals into left and right.
int ResolveMoveDirection(const cCharaBase& c, int code, int useHeroInput, int flag, int flying);
// Velocity along a direction code, plainly or turned by `angle` degrees.
void DirVelocity(const cCharaBase& c, double& vx, double& vy, int32_t& faceTo, double speed, int code);
void DirAngleVelocity(const cCharaBase& c, double& vx, double& vy, int32_t& faceTo, double speed, int code, int angle);
// Velocity toward the record's target point (x, y in dots by its coordinate mode); with the arrive
// byte, `remaining` becomes the sub-steps the move needs to get there.
void TargetPointVelocity(const cCharaBase& c, double& vx, double& vy, int32_t& faceTo, double speed, int x, int y,
                         cEdMove& m, int32_t& remaining);
void GroundTurnStep(cCharaBase& c, cFlowCommandState& cs, const cEdMove& m);
void AimVelocity(cCharaBase& c, cFlowCommandState& cs, cEdMove& m, cCharaBase& target, double goalX, double goalY);
void ScreenAvoidVelocity(cCharaBase& c, cFlowCommandState& cs, const cEdMove& m);
// Adds the velocity to the character's speed (or its inertia), sets the facing and asks for the
// move's animation. Returns 0.
int ApplyCmdMove(cCharaBase& c, double vx, double vy, int faceTo, cFlowCommandState& cs, cEdMove& m, int force);

// The command's sound, unless it is meant for the screen only and the character is off it.
void PlayCommandSound(const cCharaBase& c, const cFlowCommandState& cs);

void CmdStraightMove(cCharaBase* c, cFlowCommandState* cs);
void CmdGroundTurnMove(cCharaBase* c, cFlowCommandState* cs);
void CmdCircleMove(cCharaBase* c, cFlowCommandState* cs);
void CmdChargeMove(cCharaBase* c, cFlowCommandState* cs);
void CmdHomingMove(cCharaBase* c, cFlowCommandState* cs);
void CmdScreenAvoidMove(cCharaBase* c, cFlowCommandState* cs);
void CmdStopMove(cCharaBase* c, cFlowCommandState* cs);
void CmdTurn(cCharaBase* c, cFlowCommandState* cs);
void CmdJump(cCharaBase* c, cFlowCommandState* cs);
