// Block characters in a played stage: the hero lands on one and rides it, is carried along while
// it moves, is pushed aside by one moving into it, and is crushed between two.
// One sub-step a frame, gravity 1.
#include <gtest/gtest.h>

#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "data/flow_kinds.h"
#include "stage_hooks.h"
#include "play_constants.h"

namespace t4::test {
namespace {

cStage PrepareBlockFliers(cStage stage) {
  stage = WithPlainBodies(stage);
  for (cCharaDef& c : stage.m_CharaPlaces) {
    c.m_cActiveRange = 3;
    // Fliers are the block characters here; nothing hurts.
    if (c.m_cFlight) c.m_cBlockChara = 1;
  }
  return stage;
}

// Moves at `vx` dots a sub-step with no friction.
void Drive(cChara& k, double vx) {
  k.m_dInertiaX = vx;
  k.m_dFriction = 0;
}

TEST(BlockCharaPlayTest, HeroLandsOnABlockCharacterAndIsCarried) {
  StageHarness h;
  h.Start(PrepareBlockFliers(StageFromRows({
      "..............................",
      "..H...........................",
      "..............................",
      "..f...........................",
      "..............................",
      "..............................",
  })));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cChara& k = *h.Charas().at(0);
  cHero& hero = h.Hero();
  // The flier fills its cell: its top is at 13 x 32 = 416, and the hero (28 high) ends on 388.
  ASSERT_EQ(k.m_dY, 416);
  h.Frames(12);
  EXPECT_EQ(hero.m_dY, 388);
  EXPECT_EQ(hero.m_dBottom, 415);
  EXPECT_EQ(hero.m_bRideChara, 1);
  EXPECT_EQ(hero.m_nRideCharaId, k.m_nId);
  EXPECT_EQ(hero.m_bAirborne, 0);
  h.Frames(10);
  EXPECT_EQ(hero.m_dY, 388);
  // It now moves right 2 dots a frame and takes the hero along, dot for dot.
  const double x0 = hero.m_dX;
  const double k0 = k.m_dX;
  Drive(k, 2);
  h.Frames(30);
  EXPECT_EQ(k.m_dX, k0 + 60);
  EXPECT_EQ(hero.m_dX, x0 + 60);
  EXPECT_EQ(hero.m_dY, 388);
  EXPECT_EQ(hero.m_bRideChara, 1);
}

TEST(BlockCharaPlayTest, LandingAndRidingTellBothSides) {
  StageHarness h;
  h.Start(PrepareBlockFliers(StageFromRows({
      "..............................",
      "..H...........................",
      "..............................",
      "..f...........................",
      "..............................",
  })));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cChara& k = *h.Charas().at(0);
  cHero& hero = h.Hero();
  TriggerRecorder rec;
  int frames = 0;
  while (!hero.m_bRideChara && frames < 30) h.Frame(), ++frames;
  ASSERT_EQ(hero.m_bRideChara, 1);
  // The landing: the block character learns who rides it, the hero that it stands on one.
  const std::vector<FiredTrigger> landing = {
      {&k, TRIG_RIDDEN_BY_HERO, &hero, 0},
      {&k, TRIG_RIDDEN_BY_CHARA, &hero, 0},
      {&hero, TRIG_HIT_BLOCK_CHARA, nullptr, 0},
      {&hero, TRIG_ON_BLOCK_CHARA, nullptr, 0},
  };
  EXPECT_EQ(TriggerRecorder::Log(), landing);
  // Each later frame the same four: the carrier is told as it carries the hero before its move.
  TriggerRecorder::Log().clear();
  h.Frame();
  EXPECT_EQ(TriggerRecorder::Log(), landing);
}

TEST(BlockCharaPlayTest, BlockCharacterMovingIntoTheHeroPushesIt) {
  StageHarness h;
  h.Start(PrepareBlockFliers(StageFromRows({
      "..............................",
      "..H......f....................",
      "##############################",
      "..............................",
  })));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cChara& k = *h.Charas().at(0);
  cHero& hero = h.Hero();
  h.Frames(2);
  ASSERT_EQ(hero.m_dX, 388.5);
  // The block character starts at 19 x 32 + 0.5 = 608.5 and comes left 4 dots a frame; once it
  // reaches the hero, the hero is set just left of it: x = its x - the hit width - 0.5.
  Drive(k, -4);
  h.Frames(60);
  EXPECT_EQ(k.m_dX, 608.5 - 240);
  EXPECT_EQ(hero.m_dX, k.m_dX - hero.m_nHitWidth - 0.5);
  EXPECT_EQ(hero.m_bDead, 0);
  EXPECT_EQ(hero.m_dY, 356);
}

TEST(BlockCharaPlayTest, HeroSqueezedBetweenTwoBlockCharactersDies) {
  StageHarness h;
  h.Start(PrepareBlockFliers(StageFromRows({
      "..............................",
      "...f.H..f.....................",
      "##############################",
      "..............................",
  })));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  std::vector<cChara*> ks = h.Charas();
  ASSERT_EQ(ks.size(), 2u);
  Drive(*ks[0], 2);
  Drive(*ks[1], -2);
  int frames = 0;
  while (!h.Hero().m_bDead && frames < 60) h.Frame(), ++frames;
  EXPECT_EQ(h.Hero().m_bDead, 1);
  // Between the left one's right edge (447.5 + 2t) and the right one's left edge (576.5 - 2t)
  // the 24-dot hero fits while 128 - 4t >= 24: up to frame 26; frame 27 crushes it.
  EXPECT_EQ(frames, 27);
}

TEST(BlockCharaPlayTest, FliersArePushedOrDestroyedByTheirKind) {
  // A block character at column 3 and a flier at column 8 of the same row that flies left into it
  // at 2 dots a frame: a flier of the pushed kind stops at the block character's right + 1; one of
  // the destroyed kind dies on the first touch.
  for (int flight : {2, 3}) {
    SCOPED_TRACE(flight);
    cStage stage = PrepareBlockFliers(StageFromRows({
        "..............................",
        ".H.f....f.....................",
        "..............................",
        "##############################",
    }));
    stage.m_CharaPlaces.At(2).m_cFlight = static_cast<int8_t>(flight);
    stage.m_CharaPlaces.At(2).m_cBlockChara = 0;
    StageHarness h;
    h.Start(stage);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    std::vector<cChara*> cs = h.Charas();
    ASSERT_EQ(cs.size(), 2u);
    cChara& k = *cs[0];
    cChara& flier = *cs[1];
    ASSERT_EQ(k.m_Def.m_cBlockChara, 1);
    Drive(flier, -2);
    // Block character 416.5..447.5; the flier (24 wide) starts at 580.5: they meet within 70 frames.
    ASSERT_EQ(k.m_dRight, 447.5);
    ASSERT_EQ(flier.m_dX, 580.5);
    const int flierId = flier.m_nId;
    h.Frames(70);
    // The destroyed one may already be gone from the list: look it up by id.
    const cChara* alive = nullptr;
    for (cChara* c : h.Charas())
      if (c->m_nId == flierId && !c->m_bDead) alive = c;
    if (flight == 2) {
      ASSERT_NE(alive, nullptr);
      EXPECT_EQ(alive->m_dX, 448.5);
    } else {
      EXPECT_EQ(alive, nullptr);
    }
  }
}

}  // namespace
}  // namespace t4::test
