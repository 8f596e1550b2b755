// The knock-back a shot or sword gives the character it hits.
#include "stage/chara_base.h"
#include "stage/shot.h"

namespace {

// Whether the blow goes along the shot's own movement rather than straight along its facing.
bool ImpactFollowsMovement(const cEdShot& p) { return p.m_cHandler27 != 0; }

}  // namespace

void cCharaBase::ApplyShotImpact(const cShot& shot, int& impactOut) {
  if (ImpactFollowsMovement(shot.m_Def))
    ApplyImpact(shot.m_Def.m_cImpact, shot.m_dSpeedX, shot.m_dSpeedY, impactOut);
  else
    ApplyImpact(shot.m_Def.m_cImpact, shot.GetDirSign(), 0, impactOut);
}
