// The hero in a played stage, frame by frame through the stage frame: falling and landing,
// deadly blocks, the jump pad, conveyors carrying the hero and the camera following it.
// Gravity 1 or 2 at collision level 11 (one sub-step a frame) keeps every position an exact sum.
#include <gtest/gtest.h>

#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/scroll.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "play_constants.h"

namespace t4::test {
namespace {

cStage Prepare(cStage stage, double gravity) {
  stage.m_dGravity = gravity;
  stage.m_nCollisionLevel = 11;
  for (int i = 0; i < 4; i += 2) {
    stage.m_HeroBoxA[i] = 24;
    stage.m_HeroBoxA[i + 1] = 28;
  }
  stage.m_HeroBoxAAlign[0] = stage.m_HeroBoxAAlign[1] = 1;
  return stage;
}

void SetFloor(cStage& stage, int x, int y, int effect, int value) {
  for (cBlock& b : stage.m_BlockPlaces)
    if (b.m_sBlockX == x && b.m_sBlockY == y) {
      b.m_cFloorEffect = static_cast<int8_t>(effect);
      b.m_nFloorValue = value;
    }
}

TEST(HeroPlayTest, FallsAndLandsOnTheFloor) {
  StageHarness h;
  h.Start(Prepare(StageFromRows({
                      "........................",
                      "..H.....................",
                      "........................",
                      "........................",
                      "########################",
                      "........................",
                  }),
                  1.0));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  // Placed at tile (2, 1): x = 12 x 32 + 4 + 0.5, y = 11 x 32 + 4 = 356 (bottom 383). The floor
  // starts at 448; after k frames y = 356 + k(k+1)/2, and frame 11 (bottom 449) lands with a lift
  // of (449 & 31) + 1 = 2: y = 420.
  EXPECT_EQ(h.Hero().m_dX, 388.5);
  EXPECT_EQ(h.Hero().m_dY, 356);
  h.Frames(10);
  EXPECT_EQ(h.Hero().m_dY, 356 + 55);
  EXPECT_EQ(h.Hero().m_bAirborne, 1);
  h.Frame();
  EXPECT_EQ(h.Hero().m_dY, 420);
  EXPECT_EQ(h.Hero().m_dBottom, 447);
  EXPECT_EQ(h.Hero().m_bAirborne, 0);
  h.Frames(30);
  EXPECT_EQ(h.Hero().m_dY, 420);
  EXPECT_EQ(h.Hero().m_bDead, 0);
}

TEST(HeroPlayTest, DeadlyFloorKillsTheHeroOnTouch) {
  StageHarness h;
  h.Start(Prepare(StageFromRows({
                      "........................",
                      "..H.....................",
                      "........................",
                      "........................",
                      "^^^^^^^^^^^^^^^^^^^^^^^^",
                      "........................",
                  }),
                  1.0));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  h.Frames(10);
  EXPECT_EQ(h.Hero().m_bDead, 0);
  h.Frame();  // the bottom reaches row 448
  EXPECT_EQ(h.Hero().m_bDead, 1);
}

TEST(HeroPlayTest, JumpPadThrowsTheHeroUpFifteenHalfBlocks) {
  cStage stage = Prepare(StageFromRows({
                             "........................",
                             "........................",
                             "........................",
                             "........................",
                             "........................",
                             "........................",
                             "........................",
                             "........................",
                             "........................",
                             "..H.....................",
                             "########################",
                             "........................",
                         }),
                         2.0);
  SetFloor(stage, 2, 10, 1, 15);
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  // Standing at y = 19 x 32 + 4 = 612. With g = 2: v = (-2 - sqrt(2 x (8 x 240 + 2))) / 2 = -32;
  // the speeds after gravity run -30, -28, ..., -2: 240 dots up.
  const double ground = h.Hero().m_dY;
  EXPECT_EQ(ground, 612);
  double top = ground;
  for (int f = 0; f < 40; ++f) {
    h.Frame();
    if (h.Hero().m_dY < top) top = h.Hero().m_dY;
  }
  EXPECT_EQ(ground - top, 240);
}

TEST(HeroPlayTest, ConveyorCarriesTheHeroAndTheCameraFollows) {
  cStage stage = Prepare(StageFromRows({
                             "........................................",
                             "........................................",
                             "........................................",
                             "..H.....................................",
                             "########################################",
                             "........................................",
                         }),
                         1.0);
  for (int x = 0; x < 40; ++x) SetFloor(stage, x, 4, 5, 30);  // 30 x 0.1 / 1 = 3 dots a sub-step
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  const double x0 = h.Hero().m_dX;
  EXPECT_EQ(x0, 388.5);
  // The first frame settles the hero onto the belt; from then on 3 dots a frame.
  h.Frames(100);
  EXPECT_EQ(h.Hero().m_dX, x0 + 3 * 99);
  EXPECT_EQ(h.Hero().m_dY, 420);
  // The camera keeps the hero's centre at 320: x - (320 - 12), once past the scroll minimum.
  EXPECT_EQ(ScrollX().m_dPos, x0 + 3 * 99 - 308);
  // Stage area 320..1600: the view stops at 960 and the hero walks on to the end of the belt.
  h.Frames(400);
  EXPECT_EQ(ScrollX().m_dPos, 960);
  EXPECT_EQ(h.Hero().m_dRight, 1599);
}

TEST(HeroPlayTest, RidingHeroStartsItsJumpOnlyInTheLastSubStep) {
  cStage stage = Prepare(StageFromRows({
                             "..........",
                             "..H.......",
                             "##########",
                         }),
                         1.0);
  stage.m_nCollisionLevel = 2;  // two sub-steps a frame
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cHero& hero = h.Hero();
  hero.m_bRideChara = 1;
  hero.m_bAirborne = 0;
  hero.m_dSpeedY = 0;
  cFlowCommandState js;  // a jump that does not depend on keys
  js.m_nTotal = 10;
  js.m_dSpeed = -5;
  h.Scene().m_nSubStep = 1;
  hero.m_bJumpDone = 0;
  hero.Jump(js);
  EXPECT_EQ(js.JumpedFlag(), 0);
  EXPECT_EQ(hero.m_bRideChara, 1);
  EXPECT_EQ(hero.m_dSpeedY, 0);
  h.Scene().m_nSubStep = 2;
  hero.m_bJumpDone = 0;
  hero.Jump(js);
  EXPECT_EQ(js.JumpedFlag(), 1);
  EXPECT_EQ(hero.m_bRideChara, 0);
  EXPECT_EQ(hero.m_dSpeedY, -5);
}

}  // namespace
}  // namespace t4::test
