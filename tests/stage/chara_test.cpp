// Non-player characters: set-up of bodies and boxes, the movement result codes, the jump
// command's jump and its giving up, and the activity view with its groups.
#include "chara_fixture.h"
#include "stage/block_collision.h"

namespace t4::test {
namespace {

class CharaTest : public CharaStage {
 protected:
  void SetUp() override { MakeStage(30, 20, 1.0, 11); }  // grid 1600 x 1280 dots, n = 1
};

TEST_F(CharaTest, SetupBuildsBodyAndBoxes) {
  cCharaDef block = WalkerDef();
  block.m_cBlockChara = 1;
  cCharaDef walker = WalkerDef();
  walker.m_cSize = 0;
  cChara& b = AddChara(block, TileDot(5), TileDot(5));
  EXPECT_EQ(b.m_nHitWidth, 32);
  EXPECT_EQ(b.m_nDrawOffsetX, 0);
  EXPECT_EQ(b.m_BoxA.nWidth, 0);  // no body contact
  EXPECT_EQ(b.m_BoxB.nWidth, 32);
  EXPECT_EQ(b.m_BoxB.nHeight, 32);
  // Size 0 is set up as size 1, and the definition itself is changed.
  g_CharaList.emplace_back();
  cChara& w = g_CharaList.back();
  w.Setup(9, &walker, nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(walker.m_cSize, 1);
  EXPECT_EQ(w.m_nHitWidth, 24);
  EXPECT_EQ(w.m_nHitHeight, 28);
  EXPECT_EQ(w.m_nDrawOffsetX, 4);  // (32 - 24) >> 1
  EXPECT_EQ(w.m_nDrawOffsetY, 4);  // bottom-aligned: 32 - 28
  // Box B: the 16 x 16 shot box centred in the cell, relative to the hit box.
  EXPECT_EQ(w.m_BoxB.nOffsetX, 4);  // 16 - 8 - 4
  EXPECT_EQ(w.m_BoxB.nOffsetY, 4);
  EXPECT_EQ(w.m_Anime.m_nAnime, 1);  // walking characters start animation 1
}

TEST_F(CharaTest, MovementReportsGridEdgesAndFallingOut) {
  cCharaDef flyer = WalkerDef();
  flyer.m_cFlight = 2;
  const struct {
    const char* name;
    bool fly;
    double x, y, vx, vy;
    int codeX, codeY;
  } cases[] = {
      {"walker held at the grid's right edge", false, 1590, 600, 6, 0, 4, 0},
      {"walker through the grid bottom", false, 600, 1250, 0, 6, 0, 7},
      {"walker below the stage area", false, 600, 950, 0, 2, 0, 7},
      {"flyer at the grid top", true, 600, 2, 0, -6, 0, 8},
      {"flyer at the grid bottom", true, 600, 1250, 0, 6, 0, 8},
      {"flyer above the stage area", true, 600, 100, 0, 1, 0, 2},
  };
  for (const auto& c : cases) {
    cChara& ch = AddChara(c.fly ? flyer : WalkerDef(), c.x, c.y);
    ch.m_dSpeedX = c.vx;
    ch.m_dSpeedY = c.vy;
    EXPECT_EQ(ch.MoveX(), c.codeX) << c.name;
    EXPECT_EQ(ch.MoveY(), c.codeY) << c.name;
    g_CharaList.clear();
  }
}

TEST_F(CharaTest, KnockBackReplacesSpeedAndInertia) {
  cChara& c = AddChara(WalkerDef(), 600, 600);
  c.m_dImpactX = 3;
  c.m_dSpeedX = 5;
  c.m_dInertiaX = 2;
  c.MoveX();
  EXPECT_EQ(c.m_dX, 603);
  EXPECT_EQ(c.m_dInertiaX, 2);
  c.m_dImpactX = 0;
  c.m_dFriction = 0.5;
  c.m_bFrictionX = 1;
  c.m_dSpeedX = 1;
  c.MoveX();  // inertia 2 - 0.5 = 1.5 joins the speed: 1 + 1.5
  EXPECT_EQ(c.m_dX, 605.5);
}

TEST_F(CharaTest, JumpCommandJumpsOnceAndGivesUpAfterFourFrames) {
  PutRow(10, 1);
  cChara& c = AddChara(WalkerDef(), TileDot(5) + 4, 612);
  c.m_pStandBlock = CellIndex(15, 20);
  c.m_bAirborne = 0;
  cFlowCommandState js;
  js.m_dSpeed = -9;
  c.Jump(js);
  EXPECT_EQ(c.m_dSpeedY, -9);
  EXPECT_EQ(c.m_bJumping, 1);
  EXPECT_EQ(c.m_bJumpCut, 1);
  EXPECT_EQ(js.JumpedFlag(), 1);
  EXPECT_EQ(js.JumpRunning(), 1);
  c.Jump(js);  // still on the stand block: the command ends
  EXPECT_EQ(js.JumpRunning(), 0);

  // A knocked-back character cannot jump; the command waits 4 frames (4 n sub-steps), then ends
  // once the character stands.
  cFlowCommandState wait;
  wait.m_dSpeed = -9;
  c.m_dSpeedY = 0;
  c.m_bJumping = 0;
  c.m_bImpacted = 1;
  for (wait.m_nCount = 0; wait.m_nCount < 4; ++wait.m_nCount) {
    c.Jump(wait);
    EXPECT_EQ(wait.JumpedFlag(), 0);
  }
  c.Jump(wait);
  EXPECT_EQ(wait.JumpedFlag(), 1);
  EXPECT_EQ(wait.JumpRunning(), 0);
  EXPECT_EQ(c.m_bImpacted, 0);
  EXPECT_EQ(c.m_dSpeedY, 0);
}

TEST_F(CharaTest, ActivityViewModesAndGroups) {
  cSafeVector<uint8_t> groups(ACT_GROUP_COUNT, 0);
  // The view is 640 x 480 from (320, 320).
  cCharaDef everywhere = WalkerDef();
  everywhere.m_cActiveRange = 3;
  cChara& far = AddChara(everywhere, 1500, 1200);
  EXPECT_EQ(far.TestView(groups), 1);
  EXPECT_EQ(far.ShouldActivate(groups), 1);

  cCharaDef grouped = WalkerDef();
  grouped.m_cInGroup = 1;
  grouped.m_sGroupNo = 5;
  cChara& seen = AddChara(grouped, 400, 400);
  cChara& unseen = AddChara(grouped, 1500, 400);
  unseen.m_bAirborne = 0;
  EXPECT_EQ(seen.TestView(groups), 1);
  EXPECT_EQ(unseen.TestView(groups), 0);
  EXPECT_EQ(groups[5], 1);
  EXPECT_EQ(unseen.ShouldActivate(groups), 1);  // through its group

  // A group outside the 60 a stage has is no group: nothing is written, nothing activates.
  groups.assign(ACT_GROUP_COUNT, 0);
  cCharaDef stray = grouped;
  stray.m_sGroupNo = 75;
  cChara& strayIn = AddChara(stray, 400, 400);
  cChara& strayOut = AddChara(stray, 1500, 400);
  strayOut.m_bAirborne = 0;
  EXPECT_EQ(strayIn.TestView(groups), 1);
  EXPECT_EQ(strayOut.TestView(groups), 0);
  for (uint8_t g : groups) EXPECT_EQ(g, 0);
  EXPECT_EQ(strayOut.ShouldActivate(groups), 0);

  // Off screen, a walking character stays active while it jumps or, once active, is airborne.
  cChara& walker = AddChara(WalkerDef(), 1500, 400);
  walker.TestView(groups);
  walker.m_bAirborne = 0;
  EXPECT_EQ(walker.ShouldActivate(groups), 0);
  walker.m_bJumping = 1;
  EXPECT_EQ(walker.ShouldActivate(groups), 1);
  walker.m_bJumping = 0;
  walker.m_bAirborne = 1;
  EXPECT_EQ(walker.ShouldActivate(groups), 1);
}

}  // namespace
}  // namespace t4::test
