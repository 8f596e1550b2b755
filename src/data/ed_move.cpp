#include "data/ed_move.h"

cEdMove::cEdMove() {
  Register(DATA_VERSION);
  Clear();
  SetDefaults();
}

void cEdMove::SetDefaults() {
  m_cAngleMirror = 1;
  m_cUseX = 1;
  m_cUseY = 1;
  m_cArrive = 1;
  m_cMirrorX = 1;
  m_cReverseOnTurn = 1;
  m_sSpeed = 10;
  m_dBrake = 1.0;
}

void cEdMove::Register(int nVersion) {
  ClearMemberTables();
  AddMember1(&m_cMode, 1);
  AddMember1(&m_cDir, 1);
  AddMember2(&m_sAngle, 1);
  AddMember2(&m_sAnglePerClone, 1);
  if (nVersion > 157) {
    AddMember1(&m_cAngleMirror, 1);
    AddMember1(&m_cUseX, 1);
    AddMember1(&m_cUseY, 1);
  }
  AddMember2(&m_sTargetX, 1);
  AddMember2(&m_sTargetY, 1);
  AddMember2(&m_sTargetDotX, 1);
  AddMember2(&m_sTargetDotY, 1);
  AddMember1(&m_cCoordMode, 1);
  if (nVersion >= 891) AddMember1(&m_cUnit, 1);
  if (nVersion >= 892) AddMember1(&m_cYPoint, 1);
  AddMember1(&m_cArrive, 1);
  AddMember1(&m_cOnlyX, 1);
  AddMember1(&m_cOnlyY, 1);
  AddMember1(&m_cMirrorX, 1);
  AddMember1(&m_cMirrorY, 1);
  AddMember1(&m_cReverseOnTurn, 1);
  AddMember1(&m_cStopOnArrival, 1);
  if (nVersion >= 162) AddMember1(&m_cKeepFacing, 1);
  AddMember1(&m_cSolveMode, 1);
  AddMember2(&m_sSpeed, 1);
  AddMember2(&m_sSpeedPerClone, 1);
  AddMember2(&m_sDistance, 1);
  AddMember2(&m_sDistancePerClone, 1);
  if (nVersion >= 159) AddMember1(&m_cDistUnit, 1);
  AddMember2(&m_sRadius, 1);
  AddMember2(&m_sRadiusPerClone, 1);
  AddMember1(&m_cInertia, 1);
  AddMember2(&m_sMaxSpeed, 1);
  AddMember8(&m_dBrake, 1);
  if (nVersion >= 162) AddMember1(&m_cAnime, 1);
  if (nVersion >= 767) AddMember1(&m_cTargetSlot, 1);
}

int cEdMove::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  int v = g_nFileVersion;
  if (v < DATA_VERSION) {
    if (v < 158) m_cAngleMirror = 0;
    if (v < 159) m_cDistUnit = 0;
    if (v < 162) {
      m_cKeepFacing = 0;
      m_cAnime = 0;
    }
    if (v < 830 && m_cAnime == 1) m_cAnime = 2;
  }
  return ok;
}

void MakeEdMove(boost::shared_ptr<cEdMove>& pMove) { pMove.reset(new cEdMove()); }

int ConvertDirectionCode(int nCode, int bFromList, int bFacingRight, int nReplayVersion) {
  static const int TABLE[10] = {0,           DIR_LEFT,      DIR_RIGHT,    DIR_UP,         DIR_DOWN,
                                DIR_UP_LEFT, DIR_DOWN_LEFT, DIR_UP_RIGHT, DIR_DOWN_RIGHT, DIR_FORWARD};
  if (nReplayVersion > 0) {
    if (nReplayVersion <= 777)
      bFromList = 1;
    else if (nReplayVersion <= 779)
      bFromList = 0;
  }
  if (nCode == 0 || (nCode == 9 && !bFromList)) return bFacingRight ? DIR_RIGHT : DIR_LEFT;
  if (nCode < 0 || nCode > 9) return bFacingRight ? DIR_RIGHT : DIR_LEFT;
  return TABLE[nCode];
}
