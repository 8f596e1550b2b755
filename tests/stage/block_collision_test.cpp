// Collision with the block map: falling and landing, ceilings, walls, the grid snap, deadly
// blocks by side, the rising rule, the airborne count, the standing block under a wide sample,
// blocks whose conditions fail, flying kind 0 and the floor effects under the hero.
#include "chara_fixture.h"
#include "data/cond.h"
#include "data/palette.h"
#include "stage/block_collision.h"

namespace t4::test {
namespace {

class BlockCollisionTest : public CharaStage {
 protected:
  void SetUp() override { MakeStage(30, 20, 1.0, 11); }  // n = 1, g = 1, limit 60

  // One character sub-step as the stage frame runs it, with `vx` standing in for a move command.
  static int Step(cChara& c, double vx = 0) {
    c.ClearBlockedFlags();
    c.SavePrevPos();
    c.RunFlows(0);
    c.m_dSpeedX += vx;
    c.MoveX();
    int death = CollideMapX(c);
    c.ApplyGravity();
    c.MoveY();
    if (CollideMapY(c) == 2) death = 2;
    c.DecayImpactX();
    c.DecayImpactY();
    return death;
  }
};

TEST_F(BlockCollisionTest, FallingCharacterLandsOnTheFloorRow) {
  PutRow(10, 1);  // dots 640..671
  cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, TileDot(2));
  // After k sub-steps y = 384 + k(k+1)/2; the bottom (y + 27) first reaches row 640 at k = 21
  // (bottom 642), and the landing lifts it by (642 & 31) + 1 = 3: y = 612, bottom 639.
  for (int k = 1; k <= 20; ++k) Step(c);
  EXPECT_EQ(c.m_dY, 384 + 210);
  EXPECT_EQ(c.m_dSpeedY, 20);
  EXPECT_EQ(c.m_bAirborne, 1);
  Step(c);
  EXPECT_EQ(c.m_dY, 612);
  EXPECT_EQ(c.m_dBottom, 639);
  EXPECT_EQ(c.m_dSpeedY, 0);
  EXPECT_EQ(c.m_bAirborne, 0);
  EXPECT_EQ(c.m_bBlockedBottom, 1);
  EXPECT_EQ(c.m_pStandBlock, CellIndex(15, 20));
  // Standing still: gravity pulls one dot in, the landing lifts it back every sub-step.
  for (int k = 0; k < 5; ++k) Step(c);
  EXPECT_EQ(c.m_dY, 612);
}

TEST_F(BlockCollisionTest, RisingCharacterStopsUnderACeiling) {
  PutRow(3, 1);  // dots 416..447
  cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, 500);
  c.m_dSpeedY = -20;
  // Speeds -19, -18, -17: y 481, 463, 446; row 446 is the ceiling, so y += 32 - (446 & 31) = 448.
  Step(c);
  Step(c);
  EXPECT_EQ(c.m_dY, 463);
  Step(c);
  EXPECT_EQ(c.m_dY, 448);
  EXPECT_EQ(c.m_dSpeedY, 0);
  EXPECT_EQ(c.m_bCeilingHit, 1);
  EXPECT_EQ(c.m_bJumping, 1);
  EXPECT_EQ(c.m_bBlockedTop, 1);
}

TEST_F(BlockCollisionTest, WallsSnapTheEdgeToTheGrid) {
  PutRow(10, 1);
  PutBlock(7, 9, 1);  // wall at dots 544..575
  cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, 612);
  // 6 dots a sub-step: right edge 513, 519, ..., 543, then 549 enters the wall and
  // x -= (549 & 31) + 1 = 6 puts the right edge on 543 again.
  for (int k = 0; k < 6; ++k) Step(c, 6);
  EXPECT_EQ(c.m_dRight, 543);
  EXPECT_EQ(c.m_bBlockedRight, 0);
  Step(c, 6);
  EXPECT_EQ(c.m_dX, 520);
  EXPECT_EQ(c.m_dRight, 543);
  EXPECT_EQ(c.m_bBlockedRight, 1);
  EXPECT_EQ(c.m_nLastBlockSide, 1);
  EXPECT_EQ(c.m_dY, 612);

  // A left edge exactly on a multiple of 32 inside a solid tile moves a whole block right.
  PutBlock(3, 9, 1);
  c.m_dX = TileDot(3);
  c.CheckBoundsX(2);
  EXPECT_EQ(CollideLeft(c), 0);
  EXPECT_EQ(c.m_dX, TileDot(3) + 32);
  EXPECT_EQ(c.m_bBlockedLeft, 1);
  EXPECT_EQ(c.m_nLastBlockSide, 0);
}

TEST_F(BlockCollisionTest, DeadlyBlocksKillEverySideButTheEnemySide) {
  // A hit-kind-2 block at stage tile (10, 10) = dots 640..671 both ways, touched from each side.
  PutBlock(10, 10, 2);
  struct Touch {
    const char* name;
    double x, y;
    int (*collide)(cCharaBase&);
  };
  const Touch touches[] = {
      {"from the left", 640 - 20, 640, CollideRight},
      {"from the right", 668, 640, CollideLeft},
      {"from above", 644, 640 - 24, CollideBottom},
      {"from below", 644, 668, CollideTop},
  };
  for (int side : {0, 1}) {
    for (const Touch& t : touches) {
      cChara& c = AddChara(WalkerDef(side), t.x, t.y);
      c.m_dSpeedY = 1;
      EXPECT_EQ(t.collide(c), side == 1 ? 0 : 2) << "side " << side << " " << t.name;
      g_CharaList.clear();
    }
  }
}

TEST_F(BlockCollisionTest, WalkingCharacterOnlyLandsWhileRisingUnderTheOldRule) {
  PutRow(10, 1);
  for (int oldRule : {0, 1}) {
    g_SystemData.m_bCompat677 = oldRule;
    cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, 620);  // bottom 647, inside row 640
    c.m_dSpeedY = -3;
    EXPECT_EQ(CollideMapY(c), 0);
    EXPECT_EQ(c.m_dY, oldRule ? 620 - 8 : 620) << oldRule;  // (647 & 31) + 1 = 8
    EXPECT_EQ(c.m_bBlockedBottom, oldRule);
    g_CharaList.clear();
  }
}

TEST_F(BlockCollisionTest, AirborneAfterEightFramesOfSubStepsUnlessRiding) {
  g_Stage.SetCollisionLevel(2);  // n = 2: airborne after 16 sub-steps
  AddHero(WalkerDef(0), TileDot(1), TileDot(1));
  cHero& hero = g_Heroes.front();
  cChara& c = AddChara(WalkerDef(0), TileDot(5), TileDot(5));
  cChara& rider = AddChara(WalkerDef(1), TileDot(8), TileDot(5));
  rider.m_bRideChara = 1;
  c.m_bAirborne = rider.m_bAirborne = 0;
  hero.m_bJumpReady = 0;
  for (int k = 0; k < 15; ++k) {
    CollideBottom(c);
    CollideBottom(rider);
  }
  EXPECT_EQ(c.m_bAirborne, 0);
  EXPECT_EQ(hero.m_bJumpReady, 0);
  CollideBottom(c);
  CollideBottom(rider);
  EXPECT_EQ(c.m_nAirFrames, 16);
  EXPECT_EQ(c.m_bAirborne, 1);
  EXPECT_EQ(hero.m_bJumpReady, 1);  // a hero-side object re-arms the main hero's jump
  EXPECT_EQ(rider.m_bAirborne, 1);  // side 1: the ride does not matter
  // A hero-side object riding a block character never becomes airborne.
  cChara& sideZeroRider = AddChara(WalkerDef(0), TileDot(12), TileDot(5));
  sideZeroRider.m_bRideChara = 1;
  sideZeroRider.m_bAirborne = 0;
  for (int k = 0; k < 40; ++k) CollideBottom(sideZeroRider);
  EXPECT_EQ(sideZeroRider.m_bAirborne, 0);
}

TEST_F(BlockCollisionTest, HeroSideStandsOnTheTileUnderItsMiddle) {
  // Hero-side foot samples at x = 500, 512, 523 (step 24 / 2); the middle is 511.
  const struct {
    int leftHit, rightHit;
    int column;
  } cases[] = {{1, 1, 16}, {1, 0, 15}, {0, 1, 16}};
  for (const auto& c : cases) {
    PutBlock(5, 10, c.leftHit);                    // dots 480..511
    PutBlock(6, 10, c.rightHit);                   // dots 512..543
    cChara& h = AddChara(WalkerDef(0), 500, 615);  // bottom 642
    h.m_dSpeedY = 1;
    CollideBottom(h);
    EXPECT_EQ(h.m_pStandBlock, CellIndex(c.column, 20)) << c.leftHit << c.rightHit;
    EXPECT_EQ(h.m_dBottom, 639);
    g_CharaList.clear();
  }
  // An enemy-side row pick samples the two ends only; equally near the middle, the left wins.
  PutBlock(5, 10, 1);
  PutBlock(6, 10, 1);
  cChara& e = AddChara(WalkerDef(1), 500, 615);
  e.m_dSpeedY = 1;
  CollideBottom(e);
  EXPECT_EQ(e.m_pStandBlock, CellIndex(15, 20));
}

TEST_F(BlockCollisionTest, BlockWithFailingConditionsIsPassable) {
  PutRow(10, 1);
  Cell(5, 10).m_Conds.emplace_back();
  SetBlockCondCheck([](cBlock& b) { return b.m_Conds.empty(); });
  cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, 615);
  c.m_dSpeedY = 1;
  EXPECT_EQ(CollideMapY(c), 0);
  EXPECT_EQ(c.m_dY, 615);
  EXPECT_EQ(c.m_pStandBlock, NO_BLOCK);
  EXPECT_EQ(c.HitCornerBlocks(), 0);
  EXPECT_EQ(HitBlock(c), 0);
  c.m_dX = TileDot(6) + 4;
  c.CheckBoundsX(2);
  EXPECT_EQ(c.HitCornerBlocks(), 1);
  EXPECT_EQ(HitBlock(c), 1);
}

TEST_F(BlockCollisionTest, FlyingKindZeroIsNeverTouched) {
  PutRow(10, 2);
  cCharaDef def = WalkerDef(0);
  def.m_cFlight = 1;
  cChara& c = AddChara(def, TileDot(5) + 4, TileDot(10) + 2);
  c.m_dSpeedY = 3;
  c.m_nAirFrames = 5;
  for (auto* f : {CollideMapX, CollideMapXBoth, CollideLeft, CollideRight, CollideMapY, CollideMapYBoth, CollideTop,
                  CollideBottom, HitBlock})
    EXPECT_EQ(f(c), 0);
  EXPECT_EQ(c.m_dX, TileDot(5) + 4);
  EXPECT_EQ(c.m_dY, TileDot(10) + 2);
  EXPECT_EQ(c.m_nAirFrames, 5);
  EXPECT_EQ(c.m_pStandBlock, NO_BLOCK);
}

class FloorEffectTest : public BlockCollisionTest {
 protected:
  cHero& HeroOn(int effect, int value) {
    PutRow(10, 1);
    Cell(5, 10).m_cFloorEffect = static_cast<int8_t>(effect);
    Cell(5, 10).m_nFloorValue = value;
    cHero& h = AddHero(WalkerDef(0), TileDot(5) + 4, 612);  // bottom 639
    h.m_pStandBlock = CellIndex(15, 20);
    h.m_bAirborne = 0;
    return h;
  }
};

TEST_F(FloorEffectTest, JumpPadThrowsTheHeroToItsHeight) {
  // 31 half blocks = 496 dots at g = 1: v = (-1 - sqrt(8 x 496 + 1)) / 2 = (-1 - 63) / 2 = -32,
  // and the apex is trunc(1 - (-32) / 1) = 33 sub-steps away.
  cHero& h = HeroOn(1, 31);
  EXPECT_EQ(ApplyFloorEffect(h), 0);
  EXPECT_EQ(h.m_dSpeedY, -32);
  EXPECT_EQ(h.m_nJumpHold, 33);
  EXPECT_EQ(h.m_bJumping, 1);
  EXPECT_EQ(h.m_bJumpCut, 1);
  EXPECT_EQ(h.m_bJumpReady, 0);
}

TEST_F(FloorEffectTest, NoJumpBlockHoldsOnlyWhileStoodOn) {
  cHero& h = HeroOn(2, 0);
  ApplyFloorEffect(h);
  EXPECT_EQ(h.m_bNoJump, 1);
  Cell(5, 10).m_cFloorEffect = 0;
  ApplyFloorEffect(h);
  EXPECT_EQ(h.m_bNoJump, 0);
}

TEST_F(FloorEffectTest, SpeedAndConveyorFloorsLastOneFrame) {
  g_Stage.SetCollisionLevel(2);  // n = 2
  const struct {
    int effect, value;
    double speedIn, inertiaIn;
    double speedOut, inertiaOut;
  } cases[] = {
      {3, 50, 4.0, 1.0, 2.0, 1.0},   // x 50 / 100
      {4, 20, 0.0, 1.5, -1.0, 0.0},  // 20 x 0.1 / 2 = 1 per sub-step; positive inertia stops
      {4, 20, 0.0, -1.5, -1.0, -1.5},
      {5, 20, 0.0, -1.5, 1.0, 0.0},
  };
  for (const auto& c : cases) {
    cHero& h = HeroOn(c.effect, c.value);
    h.m_dSpeedX = c.speedIn;
    h.m_dInertiaX = c.inertiaIn;
    EXPECT_EQ(ApplyFloorEffect(h), 0);
    EXPECT_EQ(h.m_dSpeedX, c.speedOut) << c.effect;
    EXPECT_EQ(h.m_dInertiaX, c.inertiaOut) << c.effect;
    EXPECT_EQ(h.m_nFloorTime, 1);  // n - 1 left
    EXPECT_EQ(h.m_dSpeedY, 0);
    // The second sub-step of the frame ends the effect and sticks the hero to the floor
    // 4 dots below: 7 / n.
    h.m_pStandBlock = NO_BLOCK;
    h.m_dSpeedX = c.speedIn;
    ApplyFloorEffect(h);
    EXPECT_EQ(h.m_nFloorTime, 0);
    EXPECT_EQ(h.m_dSpeedY, 3.5) << c.effect;
    g_Heroes.clear();
  }
}

TEST_F(FloorEffectTest, BlockItemIsHandedOverAtMostOncePerSecond) {
  g_CommonPalette.m_Items.assign(1, cItemDef());
  cHero& h = HeroOn(0, 0);
  Cell(5, 10).m_cItemKind = 1;  // common palette, item 0
  Cell(5, 10).m_sItemIndex = 0;
  h.m_pLandBlock = h.m_pPrevLandBlock = h.m_pStandBlock;
  // n = 1: a take sets 60 sub-steps, and the same call already counts one down.
  EXPECT_EQ(TakeBlockItem(h), 0);
  EXPECT_EQ(h.m_nBlockItemCooldown, 59);
  for (int k = 0; k < 59; ++k) TakeBlockItem(h);
  EXPECT_EQ(h.m_nBlockItemCooldown, 0);
  TakeBlockItem(h);  // a second later: the next hand-over
  EXPECT_EQ(h.m_nBlockItemCooldown, 59);
  // Landing on another block ends the wait at once; leaving the ground drops it too.
  h.m_pLandBlock = CellIndex(16, 20);
  TakeBlockItem(h);
  EXPECT_EQ(h.m_nBlockItemCooldown, 0);
  TakeBlockItem(h);
  EXPECT_EQ(h.m_nBlockItemCooldown, 59);
  h.m_bAirborne = 1;
  TakeBlockItem(h);
  EXPECT_EQ(h.m_nBlockItemCooldown, 0);
  g_CommonPalette.m_Items.clear();
}

}  // namespace
}  // namespace t4::test
