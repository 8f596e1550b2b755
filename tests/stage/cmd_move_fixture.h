// Movement commands in played stages: the commands, flows and stages the movement suites share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "data/flow_kinds.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "play_constants.h"
#include "timed_command.h"

namespace t4::test {
namespace move_play {

constexpr double PI = 3.14159265358979323846;
inline const double K = 1 / std::sqrt(2.0);

inline cEdMove Toward(int dir, int16_t speed) {
  cEdMove m;
  m.m_cDir = static_cast<int8_t>(dir);
  m.m_sSpeed = speed;
  return m;
}

inline cFlowCommand Move(int kind, const cEdMove& m, int16_t time, int8_t parallel = 0) {
  cFlowCommand c = TimedCommand(kind, time, parallel);
  c.m_pMove.reset(new cEdMove(m));
  return c;
}

inline cFlow Always(std::vector<cFlowCommand> cmds) {
  cFlow f;
  f.m_cTrigger = TRIG_ALWAYS;
  for (const cFlowCommand& c : cmds) f.m_Cmds.push_back(c);
  return f;
}

// The hero far left on the floor, a flier at tile (8, 2) and a walker standing at (13, 4).
inline cStage Field() {
  cStage stage = StageFromRows({
      "....................",
      ".H..................",
      "........f...........",
      "....................",
      ".............w......",
      "####################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_dGravity = 1.0;
  return stage;
}

// The placed definition of the character at tile (x, y).
inline cCharaDef& PlacedAt(cStage& stage, int x, int y) {
  for (cCharaDef& d : stage.m_CharaPlaces)
    if (d.m_sBlockX == x && d.m_sBlockY == y) return d;
  ADD_FAILURE() << "nothing placed at " << x << ", " << y;
  return stage.m_CharaPlaces.At(0);
}

class MovePlay : public ::testing::Test {
 protected:
  void Start(const cStage& stage) {
    h.reset();  // one harness at a time
    h = std::make_unique<StageHarness>();
    h->Start(stage);
    ASSERT_GE(h->RunUntilState(PLAY_PLAY), 0);
  }
  // The character with definition graphic `graphic` (2 walker, 3 flier).
  cChara& Chara(int graphic) {
    for (cChara* c : h->Charas())
      if (c->m_Def.m_sGraphicNo == graphic) return *c;
    ADD_FAILURE() << "no character of graphic " << graphic;
    return *h->Charas().at(0);
  }

  std::unique_ptr<StageHarness> h;
};

constexpr int FLIER = 3;
constexpr int WALKER = 2;

// The hero and two characters on one floor row: hero at tile 1, flier at 8, walker at 13.
inline cStage Row() {
  cStage stage = StageFromRows({
      "....................",
      "....................",
      "....................",
      "....................",
      ".H......f....w......",
      "####################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_dGravity = 1.0;
  return stage;
}

}  // namespace move_play
}  // namespace t4::test
