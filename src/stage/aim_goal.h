// Moving a character toward a goal on behalf of a running movement command: the velocity goes
// into the command state, and a move that stops on arrival puts the character on the goal once
// it is within one step. The goal of a chasing move is the target's screen centre plus the
// command's offsets.
#pragma once

class cStageObject;
class cCharaBase;
class cFlowCommandState;

// Velocity toward (goalX, goalY) from the object's screen centre at the state's speed; 1 when the
// goal was within one step (`arrive` set).
int MoveToward(cStageObject& obj, cFlowCommandState& moveState, cStageObject* target, double goalX, double goalY,
               int riderFlag, int arrive);
// The same along one axis.
int MoveTowardX(cCharaBase& chara, cFlowCommandState& moveState, cStageObject* target, double goalX, int riderFlag,
                int arrive);
int MoveTowardY(cCharaBase& chara, cFlowCommandState& moveState, cStageObject* target, double goalY, int riderFlag,
                int arrive);
// The screen centre of `chara` plus the state's offsets; a locked axis leaves its goal as it was.
void GetMoveGoal(const cCharaBase& chara, double& goalX, double& goalY, const cFlowCommandState& moveState);
