// What the shot tests share: an open stage with the hero at tile (4, 1), started and playing,
// straight shot records and one shot fired from them.
#pragma once

#include <gtest/gtest.h>

#include "data/ed_shot.h"
#include "data/flow_command.h"
#include "data/stage.h"
#include "stage/chara_base.h"
#include "stage/fire.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "support/stage_harness.h"
#include "play_constants.h"

namespace t4::test::shots {

// The hero stands at stage tile (4, 1): screen rectangle (128, 32)-(159, 63) with the view at
// (320, 320), facing left. A shot fired right starts at x = 320 + 159 + 1 = 480 and
// y = 320 + 32 + 16 - 8 = 360.
inline constexpr double MUZZLE_RIGHT_X = 480;
inline constexpr double MUZZLE_Y = 360;

// The floor lies two rows below the hero, out of the way of every shot, or right under it.
inline cStage Open(int level = 11, bool floorUnderHero = false) {
  cStage stage = StageFromRows({
      "..............................",
      "....H.........................",
      floorUnderHero ? "##############################" : "..............................",
      "..............................",
      "##############################",
  });
  stage.m_nCollisionLevel = level;
  stage.m_dGravity = 1.0;
  return stage;
}

inline cEdShot Straight(int speed) {
  cEdShot p;
  p.m_cCount = 1;
  p.m_cDir = 3;
  p.m_sSpeed = static_cast<int16_t>(speed);
  return p;
}

inline cFlowCommand Command(int kind) {
  cFlowCommand cmd;
  cmd.m_cKind = static_cast<int8_t>(kind);
  return cmd;
}

inline cShot* FireOne(StageHarness& h, cCharaBase& shooter, cEdShot p) {
  FireShot(h.Scene().m_Shots, shooter, Command(CMD_KIND_SHOT), p);
  return h.Scene().m_Shots.empty() ? nullptr : &h.Scene().m_Shots.back();
}

struct Started {
  StageHarness h;
  explicit Started(const cStage& stage) {
    h.Start(stage);
    EXPECT_GE(h.RunUntilState(PLAY_PLAY), 0);
  }
};

}  // namespace t4::test::shots
