// Shots and swords in a played stage: movement kinds, range and lifetime, block hits, and a
// sword that follows its owner through the entries of its sword type. Positions are stage dots;
// the stages run one sub-step a frame unless a case says otherwise.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/db_records.h"
#include "data/flow_command.h"
#include "data/stage_file.h"
#include "stage/chara.h"
#include "stage/fire.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "shot_fixture.h"
#include "support/stage_harness.h"

namespace t4::test::shots {
namespace {

TEST(ShotPlayTest, StraightShotMovesItsSpeedEachFrameAndFacesItsWay) {
  Started s(Open());
  cShot* shot = FireOne(s.h, s.h.Hero(), Straight(40));
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->m_dX, MUZZLE_RIGHT_X);
  EXPECT_EQ(shot->m_dY, MUZZLE_Y);
  // Fired by a hero that faces left, the shot faces its velocity.
  EXPECT_EQ(shot->m_bRight, 1);
  s.h.Frames(10);
  EXPECT_EQ(shot->m_dX, 520);
  EXPECT_EQ(shot->m_dY, MUZZLE_Y);
  // The hero-side shot box (16 x 16 by default) centred in its cell, at the truncated position.
  EXPECT_EQ(shot->m_dHitLeft, 520);
  EXPECT_EQ(shot->m_dHitBottom, 375);
}

TEST(ShotPlayTest, FallingShotStartsToFallAfterItsDistance) {
  // p1 = 2 hbl at 4 dots a sub-step: the fall begins on the ninth sub-step; from then gravity adds
  // one dot a sub-step to the fall speed.
  Started s(Open());
  cEdShot p = Straight(40);
  p.m_cMoveType = SHOT_MOVE_FALL;
  p.m_sMoveParam[0] = 2;
  cShot* shot = FireOne(s.h, s.h.Hero(), p);
  ASSERT_NE(shot, nullptr);
  s.h.Frames(8);
  EXPECT_EQ(shot->m_dY, MUZZLE_Y);
  EXPECT_EQ(shot->m_bFly, 1);
  s.h.Frames(4);
  EXPECT_EQ(shot->m_bFly, 0);
  EXPECT_EQ(shot->m_dY, MUZZLE_Y + 1 + 2 + 3 + 4);
  EXPECT_EQ(shot->m_dX, MUZZLE_RIGHT_X + 12 * 4);
}

TEST(ShotPlayTest, AimingShotTurnsTowardTheHero) {
  // A flier at tile (9, 0) fires upward; the aiming kind turns the shot at once toward the hero's
  // centre, at the shot's speed.
  cStage stage = Open();
  stage.m_CharaPlaces.push_back(stage.m_CharaPlaces.At(0));
  cCharaDef& flier = stage.m_CharaPlaces.back();
  flier.m_cController = 1;
  flier.m_cFlight = 1;
  flier.m_sBlockX = 9;
  flier.m_sBlockY = 0;
  flier.m_cActiveRange = 3;
  Started s(stage);
  ASSERT_EQ(s.h.Charas().size(), 1u);
  cChara& shooter = *s.h.Charas()[0];
  cEdShot p = Straight(50);
  p.m_cDir = 6;
  p.m_cMoveType = SHOT_MOVE_AIM_HERO;
  cShot* shot = FireOne(s.h, shooter, p);
  ASSERT_NE(shot, nullptr);
  const double x0 = shot->m_dX;
  const double y0 = shot->m_dY;
  s.h.Frame();
  // From the shot's centre to the hero's centre (144, 48) on the screen, 5 dots a sub-step.
  const double dx = 144 - (x0 - 320 + 8);
  const double dy = 48 - (y0 - 320 + 8);
  const double d = std::sqrt(dx * dx + dy * dy);
  EXPECT_NEAR(shot->m_dVelX, dx / d * 5, 1e-9);
  EXPECT_NEAR(shot->m_dVelY, dy / d * 5, 1e-9);
  EXPECT_LT(shot->m_dVelX, 0);
  EXPECT_GT(shot->m_dVelY, 0);
  EXPECT_EQ(shot->m_bMoveDone, 1);
}

TEST(ShotPlayTest, WaveOfSpeedZeroIsNoWave) {
  // A wave speed of 0 would divide by zero; the shot flies straight instead.
  Started s(Open());
  cEdShot p = Straight(40);
  p.m_cMoveType = SHOT_MOVE_WAVE;
  p.m_sMoveParam[0] = 2;
  p.m_sMoveParam[1] = 0;
  p.m_sMoveParam[2] = 90;
  cShot* shot = FireOne(s.h, s.h.Hero(), p);
  ASSERT_NE(shot, nullptr);
  s.h.Frames(10);
  EXPECT_EQ(shot->m_dX, 520);
  EXPECT_EQ(shot->m_dY, MUZZLE_Y);
}

TEST(ShotPlayTest, WaveSwingsAcrossItsPathAndComesBack) {
  // Amplitude 1 hbl, 10 degrees a sub-step: one period is 36 sub-steps; the shot swings off its
  // line by about 16 dots and is back near it after a whole period.
  Started s(Open());
  cEdShot p = Straight(40);
  p.m_cMoveType = SHOT_MOVE_WAVE;
  p.m_sMoveParam[0] = 1;
  p.m_sMoveParam[1] = 10;
  cShot* shot = FireOne(s.h, s.h.Hero(), p);
  ASSERT_NE(shot, nullptr);
  double farthest = 0;
  for (int i = 0; i < 36; ++i) {
    s.h.Frame();
    // Facing right, the wave starts across the path to the left of it: upward.
    if (i == 0) {
      EXPECT_LT(shot->m_dY, MUZZLE_Y);
    }
    farthest = std::max(farthest, std::fabs(shot->m_dY - MUZZLE_Y));
  }
  EXPECT_NEAR(farthest, 16, 1);
  EXPECT_NEAR(shot->m_dY, MUZZLE_Y, 3);
  EXPECT_EQ(shot->m_dX, MUZZLE_RIGHT_X + 36 * 4);
}

struct RangeCase {
  const char* name;
  int level;        // collision level (n = level for 1..10, level - 10 above)
  int speed;        // 0.1 dot per frame
  int range;        // hbl
  int life;         // tenths of a second; 0: lifetime off
  int framesAlive;  // the shot is still there after this many frames ...
  double xThen;     // ... at this x,
  int framesGone;   // and gone after this many
};

TEST(ShotPlayTest, RangeAndLifetimeEndTheShot) {
  const RangeCase cases[] = {
      // d = 64 - 16 = 48 dots at 4 a sub-step: 12 sub-steps of travel, removed on the 13th.
      {"range 4 hbl", 11, 40, 4, 0, 12, MUZZLE_RIGHT_X + 48, 13},
      // Range 0 with a speed over the width per frame: still for n = 4 sub-steps, then gone.
      {"range 0, fast", 4, 200, 0, 0, 1, MUZZLE_RIGHT_X, 2},
      // Range 0 with a slow speed: it moves its n sub-steps, then goes.
      {"range 0, slow", 4, 40, 0, 0, 1, MUZZLE_RIGHT_X + 4, 2},
      // A range used up within one frame: exactly 2 x 16 - 16 dots in that frame.
      {"range within a frame", 4, 200, 2, 0, 1, MUZZLE_RIGHT_X + 16, 2},
      // Lifetime 1/10 s at one sub-step a frame: 6 sub-steps.
      {"lifetime", 11, 40, -1, 1, 6, MUZZLE_RIGHT_X + 24, 7},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    Started s(Open(c.level));
    cEdShot p = Straight(c.speed);
    if (c.range >= 0) {
      p.RangeOn() = 1;
      p.m_sRange = static_cast<int16_t>(c.range);
    }
    if (c.life > 0) {
      p.m_cLifeOn = 1;
      p.m_sLife = static_cast<int16_t>(c.life);
    }
    cShot* shot = FireOne(s.h, s.h.Hero(), p);
    ASSERT_NE(shot, nullptr);
    s.h.Frames(c.framesAlive);
    ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
    EXPECT_EQ(shot->m_dX, c.xThen);
    s.h.Frames(c.framesGone - c.framesAlive);
    EXPECT_TRUE(s.h.Scene().m_Shots.empty());
    // The faction list let go of it too.
    for (const auto& layer : s.h.Scene().m_ShotLayers) EXPECT_TRUE(layer.empty());
  }
}

TEST(ShotPlayTest, RangeRescaleOfAShotWithoutVelocityLeavesItStill) {
  // A fire speed of 5 dots a sub-step with no velocity: the range is used up within the frame, and
  // the rescale of the velocity has nothing to divide by. The shot stays where it is, for n = 4
  // sub-steps, with a velocity of 0 (not NaN).
  for (int range : {0, 2}) {
    SCOPED_TRACE(range);
    Started s(Open(4));
    cEdShot p = Straight(200);
    p.RangeOn() = 1;
    p.m_sRange = static_cast<int16_t>(range);
    FIREPARAM f;
    f.dSpeed = 20;
    f.nRange = range;
    f.nX = 480;
    f.nY = 360;
    cShot prototype;
    prototype.Setup(s.h.Scene().m_nShotIdCount++, &s.h.Hero(), CMD_KIND_SHOT, p, f);
    EXPECT_EQ(prototype.m_dVelX, 0.0);
    EXPECT_EQ(prototype.m_dVelY, 0.0);
    EXPECT_EQ(prototype.m_nRangeSteps, 4);
    s.h.Scene().AddShot(prototype);
    s.h.Frame();
    ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
    EXPECT_EQ(s.h.Scene().m_Shots.front().m_dX, 480);
    s.h.Frame();
    EXPECT_TRUE(s.h.Scene().m_Shots.empty());
  }
}

TEST(ShotPlayTest, ShotThatStaysAfterItsRangeStopsForGood) {
  // Range 2 hbl: 16 dots, then it stays, even with an acceleration that kept pushing it before.
  for (int accel : {0, 100}) {
    SCOPED_TRACE(accel);
    Started s(Open());
    cEdShot p = Straight(40);
    p.RangeOn() = 1;
    p.m_sRange = 2;
    p.StayAfterRange() = 1;
    p.m_cAccelOn = accel != 0;
    p.m_sAccel = static_cast<int16_t>(accel);
    cShot* shot = FireOne(s.h, s.h.Hero(), p);
    ASSERT_NE(shot, nullptr);
    s.h.Frames(10);
    const double stopped = shot->m_dX;
    if (accel == 0) {
      EXPECT_EQ(stopped, MUZZLE_RIGHT_X + 16);
    }
    s.h.Frames(20);
    ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
    EXPECT_EQ(shot->m_dX, stopped);
    EXPECT_EQ(shot->m_dY, MUZZLE_Y);
  }
}

TEST(ShotPlayTest, ShotEndsOnABlockUnlessItPassesBlocks) {
  // A wall at stage column 8 (grid dots 576..607): the shot's right edge x + 15 meets it on the
  // 21st frame (x = 564).
  cStage stage = StageFromRows({
      "........#.....................",
      "....H...#.....................",
      "........#.....................",
      "##############################",
  });
  stage.m_nCollisionLevel = 11;
  for (int passes : {0, 1}) {
    SCOPED_TRACE(passes);
    Started s(stage);
    cEdShot p = Straight(40);
    p.PassBlocks() = static_cast<int8_t>(passes);
    FireOne(s.h, s.h.Hero(), p);
    s.h.Frames(20);
    ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
    EXPECT_EQ(s.h.Scene().m_Shots.front().m_dX, 560);
    s.h.Frame();
    EXPECT_EQ(s.h.Scene().m_Shots.size(), passes ? 1u : 0u);
  }
}

TEST(ShotPlayTest, OutOfAreaEndsOnlyShotsThatAskForIt) {
  // The hero-side shot area tests the right side with no margin. A shot counts as on screen by
  // the rectangle of its last drawing (refreshed here after each frame as the stage drawing
  // does): at 20 dots a frame it is drawn at x = 960, off the view, after frame 24 and is out in
  // frame 25.
  for (int option : {0, 1}) {
    SCOPED_TRACE(option);
    cStage stage = Open();
    stage.m_Areas[STAGE_AREA_HERO_SHOT].Set(0, 1, 0, 0, 0, 0, 0, 0);
    Started s(stage);
    cEdShot p = Straight(200);
    p.OutOfAreaOption() = static_cast<int8_t>(option);
    FireOne(s.h, s.h.Hero(), p);
    for (int i = 0; i < 24; ++i) {
      s.h.Frame();
      for (cShot& shot : s.h.Scene().m_Shots) shot.UpdateScreenRect();
    }
    ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
    EXPECT_EQ(s.h.Scene().m_Shots.front().m_dX, 960);
    s.h.Frame();
    EXPECT_EQ(s.h.Scene().m_Shots.size(), option ? 0u : 1u);
  }
}

TEST(ShotPlayTest, HugeShotAtTheGridEdgeReadsNoCellOutsideTheGrid) {
  // Size 20: 320 dots, the width of the border, so the grid does not hold it; fired left from
  // near the left edge it reaches negative x. Cells outside the grid let it pass and are never
  // read (a read would be reported and close the program).
  // No floor: the view is tall enough for the hero to fall through the test.
  cStage stage = StageFromRows(std::vector<std::string>(12, ".............."));
  stage.m_CharaPlaces = StageFromRows({"..", ".H"}).m_CharaPlaces;
  stage.m_nCollisionLevel = 11;
  Started s(stage);
  cEdShot p = Straight(80);
  p.m_cDir = 2;
  p.m_cSize = 20;
  cShot* shot = FireOne(s.h, s.h.Hero(), p);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->m_nHitWidth, 320);
  s.h.Frames(6);
  ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
  EXPECT_LT(shot->m_dX, 0);
  EXPECT_EQ(s.h.CloseRequests(), 0);
}

// A sword type of two entries: 32 x 16 in front of the owner for duration 0, then 16 x 16 above
// it for 1/10 s.
void AddSwordType() {
  cSwordType type;
  cSwordTypeEntry front;
  front.m_nWidth = 32;
  front.m_nHeight = 16;
  front.m_nPosKind = 0;
  front.m_nTime = 0;
  cSwordTypeEntry above;
  above.m_nWidth = 16;
  above.m_nHeight = 16;
  above.m_nPosKind = 2;
  above.m_nOfsX = 3;
  above.m_nTime = 1;
  type.m_Entries.clear();
  type.m_Entries.push_back(front);
  type.m_Entries.push_back(above);
  g_Database.m_SwordTypes.clear();
  g_Database.m_SwordTypes.push_back(type);
}

// The stage with an enemy-side copy of its hero placement that flies at block column x and
// acts wherever it stands.
cStage WithFlyingEnemy(cStage stage, int16_t x) {
  cCharaDef enemy = stage.m_CharaPlaces.At(0);
  enemy.m_cController = 1;
  enemy.m_cFlight = 1;
  enemy.m_sBlockX = x;
  enemy.m_cActiveRange = 3;
  stage.m_CharaPlaces.push_back(enemy);
  return stage;
}

void AddSword(StageHarness& h, cCharaBase& owner, cEdShot p = cEdShot{}) {
  p.m_cMoveType = 0;
  FIREPARAM f;
  cShot prototype;
  prototype.Setup(h.Scene().m_nShotIdCount++, &owner, CMD_KIND_SWORD, p, f);
  h.Scene().AddShot(prototype);
}

TEST(ShotPlayTest, SwordFollowsItsEntriesAndEnds) {
  Started s(Open(11, true));
  AddSwordType();
  AddSword(s.h, s.h.Hero());
  ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
  const cShot& sword = s.h.Scene().m_Shots.front();
  EXPECT_EQ(sword.m_bShot, 0);
  // Entry 0, in front of the left-facing hero: x = 320 + 128 - 32, y = 32 + 16 + 320 - 8.
  s.h.Frame();
  EXPECT_EQ(sword.m_dX, 416);
  EXPECT_EQ(sword.m_dY, 360);
  EXPECT_EQ(sword.m_nHitWidth, 32);
  // A duration of 0 lasts one sub-step; entry 1 stands above the hero, offset 3 dots (facing left,
  // added): x = 128 + 16 + 320 - 8 + 3, y = 32 + 320 - 16.
  s.h.Frame();
  EXPECT_EQ(sword.m_nSwordEntry, 1);
  EXPECT_EQ(sword.m_dX, 459);
  EXPECT_EQ(sword.m_dY, 336);
  EXPECT_EQ(sword.m_nHitWidth, 16);
  // 1/10 s = 6 sub-steps, so the entry lasts 7: present after frame 7, gone after frame 8.
  s.h.Frames(5);
  EXPECT_EQ(s.h.Scene().m_Shots.size(), 1u);
  s.h.Frame();
  EXPECT_TRUE(s.h.Scene().m_Shots.empty());
}

TEST(ShotPlayTest, SwordEndsWithItsOwnerAndShotsForgetARemovedShooter) {
  Started s(WithFlyingEnemy(Open(), 12));
  AddSwordType();
  cChara& owner = *s.h.Charas().at(0);
  AddSword(s.h, owner);
  cShot* shot = FireOne(s.h, owner, Straight(10));
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->m_pShooter, &owner);
  // Both the sword and the shot are linked back from their owner.
  ASSERT_EQ(owner.m_ShotLinks.size(), 2u);
  s.h.Frame();
  ASSERT_EQ(s.h.Scene().m_Shots.size(), 2u);
  s.h.Scene().RemoveChara(owner);
  // The flying shot forgets its shooter at once; the sword ends on its next sub-step.
  EXPECT_EQ(shot->m_pShooter, nullptr);
  s.h.Frame();
  ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
  EXPECT_EQ(s.h.Scene().m_Shots.front().m_bShot, 1);
}

TEST(ShotPlayTest, OutOfAreaEndsShotsButLeavesSwordsToTheirHolder) {
  // An enemy stands beyond the right edge of the view (x 320 + 640 and on); the enemy-side shot
  // area tests the right side with no margin, once a frame. A still shot of its own with the
  // out-of-area option goes; a sword with the same option stays, since it follows its holder.
  cStage stage = WithFlyingEnemy(Open(), 25);
  stage.m_Areas[STAGE_AREA_ENEMY_SHOT].Set(0, 1, 0, 0, 0, 0, 0, 0);
  Started s(stage);
  AddSwordType();
  cChara& owner = *s.h.Charas().at(0);
  ASSERT_NE(owner.m_nSide, 0);
  cEdShot p = Straight(0);
  p.OutOfAreaOption() = 1;
  ASSERT_NE(FireOne(s.h, owner, p), nullptr);
  AddSword(s.h, owner, p);
  ASSERT_EQ(s.h.Scene().m_Shots.size(), 2u);
  s.h.Frames(2);
  ASSERT_EQ(s.h.Scene().m_Shots.size(), 1u);
  EXPECT_EQ(s.h.Scene().m_Shots.front().m_bShot, 0);
}

}  // namespace
}  // namespace t4::test::shots
