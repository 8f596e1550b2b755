// Set-up, movement and bookkeeping of shots and swords.
#include "stage/shot.h"

#include "stage/chara_base.h"

cShot::cShot() = default;

cShot::cShot(const cShot& o) : cStageObject(o) {}

cShot::~cShot() { DetachLinks(); }

void cShot::ScaleHitBoxes(int) {}
void cShot::KeepFootOnScale(int, int, int) {}
void cShot::UpdateHitBoxX() {}
void cShot::UpdateHitBoxY() {}
void cShot::Setup(int, cCharaBase*, int, cEdShot&, const FIREPARAM&) {}
int cShot::Update() { return 0; }
int cShot::UpdateSword() { return 0; }
int cShot::StepX() { return 0; }
int cShot::StepY() { return 0; }
int cShot::ClampX() { return 0; }
int cShot::HitBlocks() { return 0; }
void cShot::Draw(DDSURFACEDATA*, int) {}
void cShot::SetAccel(double& ax, double& ay, double, double) const { ax = ay = 0.0; }
void cShot::HomeStep(cCharaBase*) {}
void cShot::DetachLinks() {}
void cShot::StepMovement() {}
void cShot::WaveStep() {}
void cShot::AimAt(cCharaBase*) {}
void cShot::SetScrollSpeeds() {}

int HasShotLink(const cSafeVector<SHOTLINK>& links, const SHOTLINK& link) {
  for (const SHOTLINK& l : links)
    if (EqualLink(l, link)) return 1;
  return 0;
}
