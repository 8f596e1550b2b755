// The hero: its input and box view at set-up, form changes, the stop state, the camera follow,
// its own movement codes and the key-held jump (full height, cut short, ridden).
#include "chara_fixture.h"
#include "stage/block_collision.h"
#include "stage/input.h"

namespace t4::test {
namespace {

// Stands in for the flow runner's key test: the jump key is button 1 of the hero's player.
int JumpKeyHeld(const cFlow*, const cInput* input) { return input && (input->m_sButton & 1); }

class HeroTest : public CharaStage {
 protected:
  void SetUp() override {
    MakeStage(30, 40, 1.0, 11);  // n = 1, g = 1, limit 60
    g_Input.assign(1, cInput());
    SetKeyCondCheck(JumpKeyHeld);
  }
  void TearDown() override {
    SetKeyCondCheck(nullptr);
    g_Input.assign(1, cInput());
    CharaStage::TearDown();
  }

  // One hero sub-step in the stage frame's order, the jump command running in it.
  static int Step(cHero& h, cFlowCommandState* jump) {
    h.ClearBlockedFlags();
    h.SavePrevPos();
    if (jump) {
      // The flow run with only the jump command in it, as the jump command's handler calls it.
      h.m_bJumpDone = 0;
      h.Jump(*jump);
      jump->m_nCount++;
    } else {
      h.RunFlows(0);
    }
    if (int r = ApplyFloorEffect(h)) return r;
    h.MoveX();
    PushByScreenX(h);
    if (CollideMapX(h) == 2) return 2;
    h.ApplyGravity();
    if (h.MoveY() == 7) return 2;
    if (PushByScreenY(h) == 2 || CollideMapY(h) == 2) return 2;
    h.DecayImpactX();
    h.DecayImpactY();
    return 0;
  }
};

TEST_F(HeroTest, InputOfAMissingPlayerFallsBackToPlayerZero) {
  cCharaDef def = WalkerDef(0);
  def.m_cPlayerNo = 3;
  cHero& h = AddHero(def, TileDot(5), TileDot(5));
  EXPECT_EQ(h.m_pInput, &g_Input[0]);
  g_Heroes.clear();
  g_Input.assign(4, cInput());
  cHero& h4 = AddHero(def, TileDot(5), TileDot(5));
  EXPECT_EQ(h4.m_pInput, &g_Input[3]);
}

TEST_F(HeroTest, BoxViewIsSortedByAreaWithColoursClamped) {
  g_Stage.m_HeroBoxColor[0] = 12;  // body: beyond the table, the last entry
  g_Stage.m_HeroBoxColor[3] = -3;  // box C: the first entry
  g_Stage.m_HeroBoxColor[1] = 2;
  g_Stage.m_HeroBoxShow[2] = 1;
  cHero& h = AddHero(WalkerDef(0), TileDot(5), TileDot(5));
  ASSERT_EQ(h.m_HitBoxView.size(), 4u);
  // Body 24 x 28 and box A 24 x 28 tie (entry order kept), then box C 16 x 16, box B 12 x 8.
  const int kinds[4] = {0, 1, 2, 3};
  const int palettes[4] = {236, 216, 208, 208};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(h.m_HitBoxView[i].nKind, kinds[i]);
    EXPECT_EQ(h.m_HitBoxView[i].nPalette, palettes[i]);
  }
  EXPECT_EQ(h.m_HitBoxView[3].nMode, 1);  // box B's view mode
}

TEST_F(HeroTest, FormChangesStopTheHero) {
  cCharaDef flyer = WalkerDef(0);
  flyer.m_cFlight = 2;
  cHero& h = AddHero(flyer, TileDot(5), TileDot(5));
  EXPECT_EQ(h.m_bFly, 1);
  h.m_nStopCount = 0;
  h.m_dSpeedX = 2;
  h.m_dSpeedY = -1;
  h.m_dInertiaX = 0.5;
  h.m_dInertiaY = 0.5;
  h.SetForm(0, 0, 1, 1);
  EXPECT_EQ(h.m_bFly, 0);
  EXPECT_EQ(h.m_dSpeedX + h.m_dSpeedY + h.m_dInertiaX + h.m_dInertiaY, 0);
  EXPECT_EQ(h.m_nStopCount, 2);
  EXPECT_EQ(h.m_bKeepPos, 1);
  // The stop restores the saved position once.
  const double saved = h.m_dX;
  h.m_dX += 40;
  EXPECT_EQ(h.IsStopped(), 1);
  EXPECT_EQ(h.m_dX, saved);
  h.m_dX += 40;
  EXPECT_EQ(h.IsStopped(), 1);
  EXPECT_EQ(h.m_dX, saved + 40);
  // Taking off: airborne at once, air count 8 n.
  h.m_bAirborne = 0;
  h.SetForm(1, 0, 0, 0);
  EXPECT_EQ(h.m_bAirborne, 1);
  EXPECT_EQ(h.m_nAirFrames, 8);
}

TEST_F(HeroTest, CameraFollowsInsideTheScrollLimits) {
  // X stage 320..1280: the view may stand on 320..640. The hero (24 wide) is kept at 320 - 12.
  const struct {
    double x;
    double scroll;
  } cases[] = {{384, 320}, {330, 320}, {800, 492}, {1000, 640}, {1250, 640}};
  cHero& h = AddHero(WalkerDef(0), TileDot(5), TileDot(5));
  for (const auto& c : cases) {
    h.m_dX = c.x;
    EXPECT_EQ(h.AfterMoveX(), 0);
    EXPECT_EQ(ScrollX().m_dPos, c.scroll) << c.x;
  }
  // A walking hero cannot leave the stage area: x 300 is raised to 320 at the scroll minimum.
  h.m_dX = 300;
  h.AfterMoveX();
  EXPECT_EQ(h.m_dX, 320);
  EXPECT_EQ(h.m_dRight, 343);
}

TEST_F(HeroTest, FellOutOnlyWhenWalking) {
  // Y stage 320..1600 of a 1920-dot grid.
  cHero& h = AddHero(WalkerDef(0), TileDot(5), 1590);
  h.m_dSpeedY = 6;
  EXPECT_EQ(h.MoveY(), 7);
  g_Heroes.clear();
  cCharaDef flyer = WalkerDef(0);
  flyer.m_cFlight = 2;
  cHero& f = AddHero(flyer, TileDot(5), 1910);
  f.m_dSpeedY = 6;
  EXPECT_EQ(f.MoveY(), 0);  // the scroll-limit clamp of a flying hero
  EXPECT_EQ(f.m_dY, 1600 - 28);
}

class HeroJumpTest : public HeroTest {
 protected:
  cHero& Standing() {
    PutRow(30, 1);  // dots 1280..1311
    cHero& h = AddHero(WalkerDef(0), TileDot(5) + 4, 1280 - 28);
    // Settle onto the floor.
    Step(h, nullptr);
    return h;
  }
  // A jump command of mode `mode`, 31 half blocks (-32 at g = 1), lasting `length` sub-steps,
  // run by a flow that has one key condition.
  void MakeJump(int mode, int length) {
    flow.m_KeyConds.emplace_back();
    command.m_Params.assign(5, 0);
    command.m_Params[0] = mode;
    js = cFlowCommandState();
    js.m_pCommand = &command;
    js.m_pFlow = &flow;
    js.m_nTotal = length;
    js.m_dSpeed = -32;
  }
  static void Key(bool down) { g_Input[0].m_sButton = down ? 1 : 0; }

  cFlow flow;
  cFlowCommand command;
  cFlowCommandState js;
};

TEST_F(HeroJumpTest, HeldForTheWholeLengthReachesFullHeight) {
  cHero& h = Standing();
  const double ground = h.m_dY;
  EXPECT_EQ(h.m_bAirborne, 0);
  MakeJump(1, 10);
  Key(true);
  double top = ground;
  for (int k = 0; k < 40; ++k) {
    Step(h, &js);
    if (h.m_dY < top) top = h.m_dY;
  }
  // Speeds -31 .. -1 after gravity: 496 dots.
  EXPECT_EQ(ground - top, 496);
}

TEST_F(HeroJumpTest, ReleasedAfterTwoFramesCutsTheRise) {
  cHero& h = Standing();
  const double ground = h.m_dY;
  MakeJump(1, 10);
  Key(true);
  Step(h, &js);  // jump: speed -32, then gravity -31: y - 31
  Step(h, &js);  // -30
  EXPECT_EQ(h.m_dY, ground - 61);
  Key(false);
  Step(h, &js);  // released: -30 x 0.3 = -9, then gravity -8
  EXPECT_EQ(h.m_bJumpCut, 1);
  EXPECT_EQ(h.m_dSpeedY, -8);
  EXPECT_EQ(h.m_dY, ground - 69);
  double top = h.m_dY;
  for (int k = 0; k < 40; ++k) {
    Step(h, &js);
    if (h.m_dY < top) top = h.m_dY;
  }
  EXPECT_EQ(ground - top, 61 + 8 + 7 + 6 + 5 + 4 + 3 + 2 + 1);
  EXPECT_EQ(h.m_dY, ground);
  EXPECT_EQ(js.JumpRunning(), 0);  // landed with the key up: the command ended
}

TEST_F(HeroJumpTest, InertiaModeChoosesTheHeightBetweenTheThresholds) {
  // n = 1, g = 1: 31 half blocks start at -32, 33 at -33, 32 at (-1 - sqrt(4097)) / 2.
  // Thresholds p1 = 100 and p3 = 20 give 10 and 2 dots per sub-step.
  struct Case {
    int p2, p4;
    double inertia, speed;
  };
  const Case cases[] = {
      {31, 33, 10.0, -32.0},       // at the upper threshold: p2
      {31, 33, -12.0, -32.0},      // the size of the inertia counts, not its sign
      {31, 33, 2.0, -33.0},        // at the lower threshold: p4
      {31, 33, 0.0, -33.0},        // standing still: p4
      {31, 33, 5.0, -32.5039060},  // 33 - 2 x 0.5 = 32
      {31, 33, 7.5, -32.0},        // 33 - 1.5 = 31.5, truncated to 31
      {33, 31, 7.5, -32.5039060},  // 31 + 1.5 = 32.5, truncated to 32
  };
  cHero& h = Standing();
  MakeJump(2, 10);
  for (const Case& c : cases) {
    command.m_Params[1] = 100;
    command.m_Params[2] = c.p2;
    command.m_Params[3] = 20;
    command.m_Params[4] = c.p4;
    h.m_dInertiaX = c.inertia;
    h.m_bJumpDone = 0;
    h.Jump(js);
    EXPECT_NEAR(js.m_dSpeed, c.speed, 1e-6) << c.p2 << " " << c.p4 << " " << c.inertia;
  }
}

TEST_F(HeroJumpTest, FrameWithoutTheJumpSlotRearmsTheJump) {
  cHero& h = Standing();
  h.m_nJumpHold = 5;
  h.m_bJumpReady = 0;
  h.m_bCeilingHit = 1;
  h.m_nStopCount = 1;
  h.m_bRestoreOnStop = 1;
  h.m_bDirLock = h.m_bButtonLock = 1;
  EXPECT_EQ(h.RunFlows(0), 0);
  EXPECT_EQ(h.m_nJumpHold, 0);
  EXPECT_EQ(h.m_bJumpReady, 1);
  EXPECT_EQ(h.m_bCeilingHit, 0);
  EXPECT_EQ(h.m_nStopCount, 0);
  EXPECT_EQ(h.m_bRestoreOnStop, 0);
  EXPECT_EQ(h.m_bDirLock + h.m_bButtonLock, 0);
  EXPECT_EQ(h.m_nFrameCount, 2);  // the settling sub-step and this one
}

}  // namespace
}  // namespace t4::test
