// Character physics: unit conversions, jump speeds and their guards, jumps to a height in half
// blocks, landing snap, knock-back power against resistance and its decay.
#include "chara_fixture.h"
#include "stage/block_collision.h"

namespace t4::test {
namespace {

class CharaPhysicsTest : public CharaStage {
 protected:
  void SetUp() override { MakeStage(30, 40, 1.0, 11); }  // n = 1, g = 1, limit 60
};

TEST_F(CharaPhysicsTest, UnitConversions) {
  EXPECT_EQ(HblToDot(-3), -48);
  EXPECT_EQ(HblToDot(127), 2032);
  g_Stage.SetCollisionLevel(2);
  EXPECT_DOUBLE_EQ(ScaleAccel(10), 0.025);  // 10 x 0.01 / 2^2
  EXPECT_EQ(UseFootPoint(0, 0), 0);
  EXPECT_EQ(UseFootPoint(1, 1), 1);
  EXPECT_EQ(UseFootPoint(2, 0), 1);
  EXPECT_EQ(UseFootPoint(2, 1), 0);
}

TEST_F(CharaPhysicsTest, JumpSpeedsFollowTheGravityOfTheStage) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  EXPECT_EQ(c.JumpSpeedFromHeight(0), -1.0);  // even a zero height starts with -g
  // 31 half blocks: (-1 - sqrt(8 x 496 + 1)) / 2 = -32; apex trunc(1 + 32) = 33 sub-steps.
  EXPECT_EQ(c.JumpSpeedFromHbl(31), -32.0);
  EXPECT_EQ(c.JumpStepsFromSpeed(-32), 33);
  EXPECT_EQ(c.JumpFramesFromHbl(31), 6);  // (33 / 1) / 6 + 1
  // G 4 at n = 2 is g = 1 again: the same speed, but one more sub-step per frame:
  // trunc(2 + 32) = 34 sub-steps, (34 / 2) / 6 + 1 = 3 time units.
  g_Stage.m_dGravity = 4.0;
  g_Stage.SetCollisionLevel(2);
  EXPECT_EQ(c.JumpSpeedFromHbl(31), -32.0);
  EXPECT_EQ(c.JumpStepsFromSpeed(-32), 34);
  EXPECT_EQ(c.JumpFramesFromHbl(31), 3);
  // The hero-side old rule scales by 0.99 - 0.025 x G = 0.89.
  g_SystemData.m_bCompat845c = 1;
  c.m_nSide = 0;
  EXPECT_NEAR(c.JumpSpeedFromHbl(31), -28.48, 1e-12);
  c.m_nSide = 1;
  EXPECT_EQ(c.JumpSpeedFromHbl(31), -32.0);
}

TEST_F(CharaPhysicsTest, WithoutGravityJumpsStayDefined) {
  for (double gravity : {0.0, -0.5}) {
    g_Stage.m_dGravity = gravity;
    g_Stage.SetCollisionLevel(3);
    cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
    EXPECT_EQ(c.JumpSpeedFromHbl(4), 0.0) << gravity;
    EXPECT_EQ(c.JumpStepsFromSpeed(-5), 3) << gravity;  // n
    EXPECT_EQ(c.JumpFramesFromHbl(4), 1) << gravity;
    g_CharaList.clear();
  }
  // A negative height below one sub-step of gravity starts from -g/2 instead of NaN.
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  g_Stage.m_dGravity = 1.0;
  g_Stage.SetCollisionLevel(11);
  EXPECT_EQ(c.JumpSpeedFromHbl(-3), -0.5);
}

TEST_F(CharaPhysicsTest, JumpReachesItsHeightInHalfBlocks) {
  // Standing on row 30, speed for 31 half blocks: the rise is 31 + 30 + ... + 1 = 496 dots.
  PutRow(30, 1);
  cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, TileDot(30) - 28);
  const double ground = c.m_dY;
  c.m_dSpeedY = c.JumpSpeedFromHbl(31);
  double top = ground;
  for (int k = 0; k < 80; ++k) {
    c.RunFlows(0);
    c.ApplyGravity();
    c.MoveY();
    CollideMapY(c);
    if (c.m_dY < top) top = c.m_dY;
  }
  EXPECT_EQ(ground - top, 496.0);
  EXPECT_EQ(c.m_dY, ground);  // back on the ground
  EXPECT_EQ(c.m_bAirborne, 0);
}

TEST_F(CharaPhysicsTest, LandingPutsTheBottomOnTheRowAbove) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), 0);
  c.m_dY = 95.7 - 27;  // bottom 95.7
  c.CheckBoundsY(9);
  c.m_bJumping = c.m_bJumpCut = c.m_bImpacted = c.m_bCeilingHit = 1;
  c.m_dSpeedY = 4;
  c.Land();
  EXPECT_DOUBLE_EQ(c.m_dBottom, 63.7);  // up by (95 & 31) + 1 = 32
  EXPECT_EQ(c.m_dSpeedY, 0);
  EXPECT_EQ(c.m_bJumping + c.m_bJumpCut + c.m_bImpacted + c.m_bCeilingHit, 0);
  EXPECT_EQ(c.m_bBlockedBottom, 1);
}

TEST_F(CharaPhysicsTest, ImpactPowerAgainstResistanceIsLimitedToTwenty) {
  const struct {
    int power, resist;
    int out;
  } cases[] = {
      {30, 5, 20},
      {3, 5, 0},
      {12, 2, 10},
      {-12, 2, -10},
      {-3, 5, 0},
      {-30, 0, -20},
      // Outside the editor's ranges the sum no longer wraps as a byte would (56).
      {-100, -100, -20},
      {100, -100, 20},
      {-128, 127, -1},
  };
  for (const auto& c : cases) {
    cChara& ch = AddChara(WalkerDef(), TileDot(5), TileDot(5));
    ch.m_Def.m_cImpactResist = static_cast<int8_t>(c.resist);
    int out = 99;
    ch.ApplyImpact(static_cast<int8_t>(c.power), 1, 0, out);
    EXPECT_EQ(out, c.out) << c.power << " vs " << c.resist;
    EXPECT_EQ(ch.m_bImpacted, 1);
    EXPECT_EQ(ch.m_dImpactX > 0, c.out > 0);
    g_CharaList.clear();
  }
  cChara& ch = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  int out = 99;
  ch.ApplyImpact(0, 1, 0, out);
  EXPECT_EQ(out, 99);  // power 0 writes nothing
  EXPECT_EQ(ch.m_bImpacted, 0);
}

TEST_F(CharaPhysicsTest, ImpactCancelsOpposingMotionAndDecaysOneDotPerFrame) {
  cChara& c = AddChara(WalkerDef(), TileDot(5), TileDot(5));
  c.m_dInertiaX = 2;
  c.m_dSpeedY = 3;
  int out = 0;
  // Power 10 straight left and up at n = 1: 5 each way, (sqrt(641) - 1) / 2 = 12.158...
  c.ApplyImpact(10, -1, -1, out);
  EXPECT_EQ(c.m_dInertiaX, 0);
  EXPECT_EQ(c.m_dSpeedY, 0);
  EXPECT_LT(c.m_dImpactX, -12.15);
  // A knock-back of 3 dots per sub-step lasts 3 sub-steps at n = 1, 6 at n = 2.
  g_Stage.SetCollisionLevel(2);
  c.m_dImpactX = 3;
  int steps = 0;
  while (c.m_dImpactX != 0 && steps < 100) {
    c.DecayImpactX();
    ++steps;
  }
  EXPECT_EQ(steps, 6);
}

TEST_F(CharaPhysicsTest, DownwardImpactEndsOnTheGround) {
  PutRow(10, 1);
  cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, 612);
  c.m_pStandBlock = CellIndex(15, 20);
  c.m_dImpactY = 2;
  c.m_dPrevImpactY = 1;
  c.ImpactStepY();
  EXPECT_EQ(c.m_dImpactY, 0);
  EXPECT_EQ(c.m_dPrevImpactY, 0);
  // In the air the running difference moves into the speed: 1 - 1 + 2.
  c.m_pStandBlock = NO_BLOCK;
  c.m_dSpeedY = 1;
  c.m_dImpactY = 2;
  c.m_dPrevImpactY = 1;
  c.ImpactStepY();
  EXPECT_EQ(c.m_dSpeedY, 2);
  EXPECT_EQ(c.m_dPrevImpactY, 2);
}

}  // namespace
}  // namespace t4::test
