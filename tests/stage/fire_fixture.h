// What the firing and summon tests share: a floor with the hero on it, started and playing, and
// shot-parameter records with their command.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "data/ed_shot.h"
#include "data/flow_command.h"
#include "data/stage.h"
#include "stage/fire.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "support/stage_harness.h"
#include "play_constants.h"

namespace t4::test::fire {

// The hero stands on the floor at stage tile (4, 1), facing left: screen rectangle
// (128, 32)-(159, 63), 32 x 32, view at (320, 320).
inline cStage Floor() {
  cStage stage = StageFromRows({
      "..............................",
      "....H.........................",
      "##############################",
      "..............................",
  });
  stage.m_nCollisionLevel = 11;
  return stage;
}

struct Started {
  StageHarness h;
  explicit Started(const cStage& stage = Floor()) {
    h.Start(stage);
    EXPECT_GE(h.RunUntilState(PLAY_PLAY), 0);
  }
};

inline cFlowCommand Command(int kind) {
  cFlowCommand cmd;
  cmd.m_cKind = static_cast<int8_t>(kind);
  return cmd;
}

inline cEdShot Record(int formation, int count, int dir) {
  cEdShot p;
  p.m_cFormation = static_cast<int8_t>(formation);
  p.m_cCount = static_cast<int8_t>(count);
  p.m_cDir = static_cast<int8_t>(dir);
  p.m_sSpeed = 40;
  return p;
}

struct Placed {
  double x, y, vx, vy;
};

inline std::vector<Placed> Fire(StageHarness& h, cEdShot p) {
  FireShot(h.Scene().m_Shots, h.Hero(), Command(CMD_KIND_SHOT), p);
  std::vector<Placed> out;
  for (const cShot& s : h.Scene().m_Shots) out.push_back({s.m_dX, s.m_dY, s.m_dVelX, s.m_dVelY});
  return out;
}

inline void ExpectPlaced(const std::vector<Placed>& got, const std::vector<Placed>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "object " << i);
    EXPECT_EQ(got[i].x, want[i].x);
    EXPECT_EQ(got[i].y, want[i].y);
    EXPECT_NEAR(got[i].vx, want[i].vx, 1e-4);
    EXPECT_NEAR(got[i].vy, want[i].vy, 1e-4);
  }
}
}  // namespace t4::test::fire
