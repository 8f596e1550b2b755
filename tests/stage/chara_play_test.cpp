// Characters in a played stage, frame by frame through the stage frame: walkers fall and land,
// fliers hold their height, and a crowd of several hundred characters plays without a fault
// (run under the sanitizer build as well).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "play_constants.h"

namespace t4::test {
namespace {

cStage PrepareActive(cStage stage) {
  stage = WithPlainBodies(stage);
  // Active wherever they are, so that characters outside the view move too.
  for (cCharaDef& c : stage.m_CharaPlaces) c.m_cActiveRange = 3;
  return stage;
}

TEST(CharaPlayTest, WalkersFallAndLandWhileFliersHold) {
  StageHarness h;
  h.Start(PrepareActive(StageFromRows({
      "........................",
      "..H..w.....f............",
      "........................",
      "........................",
      "########################",
      "........................",
  })));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  std::vector<cChara*> charas = h.Charas();
  ASSERT_EQ(charas.size(), 2u);
  cChara& walker = *charas[0];
  cChara& flier = *charas[1];
  // Tile (5, 1): x = 15 x 32 + 4 + 0.5; both start at y = 11 x 32 + 4 = 356.
  EXPECT_EQ(walker.m_dX, 484.5);
  EXPECT_EQ(walker.m_dY, 356);
  // As the hero: y = 356 + k(k+1)/2 until frame 11 lands it at 420.
  h.Frames(10);
  EXPECT_EQ(walker.m_dY, 411);
  h.Frame();
  EXPECT_EQ(walker.m_dY, 420);
  EXPECT_EQ(walker.m_bAirborne, 0);
  EXPECT_EQ(walker.m_dX, 484.5);
  EXPECT_EQ(flier.m_dY, 356);
  EXPECT_EQ(flier.m_dX, 11 * 32 + 320 + 4 + 0.5);
}

TEST(CharaPlayTest, HundredsOfCharactersPlayAndSettle) {
  // 18 rows of 30 walkers above a floor: 540 characters falling in stacks, no contacts between
  // them, each landing on the floor's top row.
  std::vector<std::string> rows;
  rows.push_back("H.............................");
  for (int r = 0; r < 18; ++r) rows.push_back(std::string(30, 'w'));
  rows.push_back(std::string(30, '.'));
  rows.push_back(std::string(30, '#'));
  rows.push_back(std::string(30, '.'));
  StageHarness h;
  h.Start(PrepareActive(StageFromRows(rows)));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  ASSERT_EQ(h.Charas().size(), 540u);
  h.Frames(120);
  // The floor is stage row 20: grid dots 960..991, so every bottom ends on 959.
  int landed = 0;
  for (cChara* c : h.Charas()) landed += c->m_dBottom == 959 && !c->m_bAirborne;
  EXPECT_EQ(landed, 540);
  EXPECT_EQ(h.CloseRequests(), 0);
  h.Frames(10);
  landed = 0;
  for (cChara* c : h.Charas()) landed += c->m_dBottom == 959;
  EXPECT_EQ(landed, 540);
}

}  // namespace
}  // namespace t4::test
