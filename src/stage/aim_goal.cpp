#include "stage/aim_goal.h"

#include "data/ed_move.h"
#include "data/flow_command.h"
#include "stage/aim.h"
#include "stage/chara_base.h"
#include "stage/flow_hooks.h"
#include "stage/stage_object.h"

namespace {

double CentreX(const cStageObject& o) { return o.m_rcScreen[0] + (o.m_nDrawWidth >> 1); }
double CentreY(const cStageObject& o) { return o.m_rcScreen[1] + (o.m_nDrawHeight >> 1); }

cEdMove* MoveRecord(const cFlowCommandState& s) {
  return s.m_pCommand && s.m_pCommand->m_pMove ? s.m_pCommand->m_pMove.get() : nullptr;
}

// On arrival a move that stops there lands exactly on the goal; an inertial move keeps the
// rectangles it has, as its speed carries it on anyway.
bool StopsOnArrival(const cFlowCommandState& s, cStageObject& obj, cStageObject* target) {
  const cEdMove* m = MoveRecord(s);
  if (!m || !m->m_cStopOnArrival) return false;
  if (!m->m_cInertia) {
    obj.UpdateScreenRect();
    if (target) target->UpdateScreenRect();
  }
  return true;
}

}  // namespace

int MoveToward(cStageObject& obj, cFlowCommandState& s, cStageObject* target, double goalX, double goalY, int riderFlag,
               int arrive) {
  int dir = s.m_nFaceTo;
  const int r = CalcAimSpeed(s.m_dVX, s.m_dVY, dir, target, CentreX(obj), CentreY(obj), goalX, goalY, s.m_dSpeed,
                             riderFlag, 0, arrive);
  s.m_nFaceTo = dir;
  if (r == 1 && StopsOnArrival(s, obj, target)) obj.ArriveAt(TruncToInt(goalX), TruncToInt(goalY), &s);
  return r;
}

int MoveTowardX(cCharaBase& chara, cFlowCommandState& s, cStageObject* target, double goalX, int riderFlag,
                int arrive) {
  int dir = s.m_nFaceTo;
  const int r = CalcAimSpeedX(s.m_dVX, s.m_dVY, dir, target, CentreX(chara), goalX, s.m_dSpeed, riderFlag, arrive);
  s.m_nFaceTo = dir;
  if (r == 1 && StopsOnArrival(s, chara, target)) chara.ArriveAtX(TruncToInt(goalX), &s);
  return r;
}

int MoveTowardY(cCharaBase& chara, cFlowCommandState& s, cStageObject* target, double goalY, int riderFlag,
                int arrive) {
  int dir = s.m_nFaceTo;
  const int r = CalcAimSpeedY(s.m_dVX, s.m_dVY, dir, target, CentreY(chara), goalY, s.m_dSpeed, riderFlag, arrive);
  s.m_nFaceTo = dir;
  if (r == 1 && StopsOnArrival(s, chara, target)) chara.ArriveAtY(TruncToInt(goalY), &s);
  return r;
}

void GetMoveGoal(const cCharaBase& chara, double& goalX, double& goalY, const cFlowCommandState& s) {
  cEdMove* m = MoveRecord(s);
  const int lockX = m ? m->LockX() : 0;
  const int lockY = m ? m->LockY() : 0;
  if (!lockX) goalX = CentreX(chara) + s.m_nOffsetX;
  if (!lockY) goalY = CentreY(chara) + s.m_nOffsetY;
}
