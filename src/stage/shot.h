// A shot or sword in the stage.
#pragma once

#include <cstdint>

#include "stage/stage_object.h"

class cShot : public cStageObject {
 public:
  // Nonzero when the shot is to be removed.
  int Update() { return 0; }
  // A walking shot's fall per sub-step.
  void GravityStep() {}
  void StepShotX() {}
  void StepShotY() {}
  // Nonzero when a block destroys the shot.
  int HitBlocks() { return 0; }

  int32_t m_bOutOfAreaCheck = 0;
};
