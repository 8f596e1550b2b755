// The input direction of shots and moves while a replay of an older file plays: the version the
// replay file carries decides how "any direction held" reads, in place of the command's own rule.
#include <gtest/gtest.h>

#include <memory>

#include "data/ed_move.h"
#include "flow/cmd_move.h"
#include "persist/replay.h"
#include "stage/fire.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"

#include "play_constants.h"

namespace t4::test {
namespace {

constexpr int INPUT_DIRECTION = 12;
// The held-key pattern "some direction, none of the eight single words" (left and right at once).
constexpr int HELD_ANY = 9;

TEST(ReplayVersionRules, AnyDirectionHeldReadsByTheReplaysVersion) {
  StageHarness h;
  h.Start(StageFromRows({"..........", ".H........", "##########"}));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cHero& hero = h.Hero();
  hero.m_bRight = 1;
  cFlowState flow;
  flow.m_nHeldKey = HELD_ANY;
  ScopedValue<cFlowState*> current(h.Scene().m_lpCurrentFlow, &flow);
  // The list reading gives "前" (forward, 0), the other one the facing (right, 3). Shots read with
  // the flag clear; a move here with it set. Replays up to version 777 read as if it were set,
  // 778 and 779 as if clear, later ones by the flag; a play that is no replay always by the flag.
  struct Case {
    int32_t choice, version;
    int shot, move;
  } cases[] = {
      {TITLE_CHOICE_REPLAY, 700, DIR_FORWARD, DIR_FORWARD}, {TITLE_CHOICE_REPLAY, 777, DIR_FORWARD, DIR_FORWARD},
      {TITLE_CHOICE_REPLAY, 778, DIR_RIGHT, DIR_RIGHT},     {TITLE_CHOICE_REPLAY, 779, DIR_RIGHT, DIR_RIGHT},
      {TITLE_CHOICE_REPLAY, 780, DIR_RIGHT, DIR_FORWARD},   {TITLE_CHOICE_REPLAY, DATA_VERSION, DIR_RIGHT, DIR_FORWARD},
      {TITLE_CHOICE_FREE, 777, DIR_RIGHT, DIR_FORWARD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "choice " << c.choice << " version " << c.version);
    ScopedValue<int32_t> choice(g_Game.m_nTitleChoice, c.choice);
    ScopedValue<int32_t> version(g_Replay.m_nFileVersion, c.version);
    EXPECT_EQ(ResolveFireDirection(INPUT_DIRECTION, 1), c.shot);
    EXPECT_EQ(ResolveMoveDirection(hero, INPUT_DIRECTION, 0, 1, 1), c.move);
  }
}

}  // namespace
}  // namespace t4::test
