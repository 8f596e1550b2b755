// Movement commands that aim at a target or at the screen edge, and the hero moved by its flows
// across a form change, in played stages. One sub-step a frame.
#include "cmd_move_fixture.h"

namespace t4::test::move_play {
namespace {

TEST_F(MovePlay, ChargeAndHomingAimAtTheirTarget) {
  // Target slot 0 holds the hero, 224 dots left of the flier and 384 left of the walker.
  struct Case {
    const char* name;
    int who;
    cFlowCommand cmd;
    int frames;
    double dx, dy;
  };
  cEdMove charge = Toward(0, 20);
  cEdMove turned = charge;
  turned.m_sAngle = 90;  // the aim turned up
  cEdMove goal = Toward(0, 40);
  goal.m_cUnit = 1;
  goal.m_sTargetX = 64;  // 64 dots right of the hero's centre, 160 from the flier
  goal.m_cStopOnArrival = 1;
  cEdMove empty = charge;
  empty.m_cTargetSlot = 2;
  const Case cases[] = {
      {"charge, flying", FLIER, Move(CMD_CHARGE_MOVE, charge, 10), 10, -20, 0},
      {"charge, walking", WALKER, Move(CMD_CHARGE_MOVE, charge, 10), 10, -20, 0},
      {"charge turned by 90 degrees", FLIER, Move(CMD_CHARGE_MOVE, turned, 10), 10, 0, -20},
      {"charge at an empty slot", FLIER, Move(CMD_CHARGE_MOVE, empty, 10), 10, 0, 0},
      {"homing, flying", FLIER, Move(CMD_HOMING_MOVE, charge, 10), 10, -20, 0},
      {"homing, walking", WALKER, Move(CMD_HOMING_MOVE, charge, 10), 10, -20, 0},
      // 160 dots at 4: on the goal after 40 sub-steps, and held there.
      {"homing onto a goal beside the target", FLIER, Move(CMD_HOMING_MOVE, goal, 100), 50, -160, 0},
      {"homing at an empty slot", FLIER, Move(CMD_HOMING_MOVE, empty, 10), 10, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cStage stage = Row();
    PlacedAt(stage, c.who == FLIER ? 8 : 13, 4).m_Flows.push_back(Always({TimedCommand(CMD_WAIT, 1), c.cmd}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    cChara& mover = Chara(c.who);
    ASSERT_EQ(mover.m_Targets.At(0), &h->Hero());
    h->Frames(6);  // settled
    const double x0 = mover.m_dX;
    const double y0 = mover.m_dY;
    h->Frames(c.frames);
    EXPECT_NEAR(mover.m_dX - x0, c.dx, 1e-6);
    EXPECT_NEAR(mover.m_dY - y0, c.dy, 1e-6);
  }
}

TEST_F(MovePlay, HomingWithALagReAimsOnlyEveryLag) {
  // The hero walks right at 1 dot a frame; a flier up and to the right of it homes at 2 with a
  // lag of 6 (sub-steps at one a frame): it aims at sub-steps 0, 6 and 12 only, each time at the
  // goal it remembered 6 sub-steps before.
  cStage stage = StageFromRows({
      "....................",
      "........f...........",
      "....................",
      "....................",
      ".H..................",
      "####################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_dGravity = 1.0;
  for (cCharaDef& d : stage.m_CharaPlaces)
    if (d.m_cController == 0) d.m_Flows.push_back(Always({Move(CMD_STRAIGHT_MOVE, Toward(DIR_RIGHT, 10), 100)}));
  cEdMove homing = Toward(0, 20);
  homing.m_sRadius = 6;
  PlacedAt(stage, 8, 1).m_Flows.push_back(Always({Move(CMD_HOMING_MOVE, homing, 100)}));
  Start(stage);
  cChara& flier = Chara(FLIER);
  const cFlowCommandState& cs = flier.m_FlowStates.At(0).m_Commands.At(0);
  std::vector<double> vx;
  std::vector<double> heroX;
  for (int f = 0; f < 14; ++f) {
    h->Frame();
    vx.push_back(cs.m_dVX);
    heroX.push_back(h->Hero().m_rcScreen[0] + (h->Hero().m_nDrawWidth >> 1));
  }
  for (int f = 1; f < 6; ++f) EXPECT_EQ(vx[f], vx[0]) << f;
  for (int f = 7; f < 12; ++f) EXPECT_EQ(vx[f], vx[6]) << f;
  EXPECT_NE(vx[6], vx[0]);
  EXPECT_NE(vx[12], vx[6]);
  // What it remembers is the goal of its last aim: the hero's centre as last drawn then.
  ASSERT_EQ(cs.m_History.size(), 1u);
  EXPECT_EQ(cs.m_History.front().dX, heroX[11]);
}

TEST_F(MovePlay, ScreenEdgeAvoidanceKeepsACharacterInView) {
  // A flier pushed right at 2 dots a frame from screen x 576; the avoidance (direction left,
  // speed 4) pulls it back whenever its left edge has passed 608.
  cStage stage = StageFromRows({
      "..............................",
      ".H................f...........",
      "..............................",
      "##############################",
  });
  stage.m_nCollisionLevel = 11;
  PlacedAt(stage, 18, 1)
      .m_Flows.push_back(Always({Move(CMD_STRAIGHT_MOVE, Toward(DIR_RIGHT, 20), 100, 1),
                                 Move(CMD_SCREEN_AVOID_MOVE, Toward(DIR_LEFT, 40), 100)}));
  Start(stage);
  cChara& flier = Chara(FLIER);
  ASSERT_EQ(flier.m_rcScreen[0], 576);
  const double x0 = flier.m_dX;
  std::vector<double> moved;
  for (int f = 1; f <= 20; ++f) {
    h->Frame();
    moved.push_back(flier.m_dX - x0);
  }
  EXPECT_EQ(moved[15], 32);  // frame 16: left edge at 608
  EXPECT_EQ(moved[16], 34);
  EXPECT_EQ(moved[17], 32);
  EXPECT_EQ(moved[18], 34);
  EXPECT_EQ(moved[19], 32);
}

// A key condition with the given key patterns pressed for any length (1 left, 2 right, 7 up-right).
cKeyCond Pressed(std::vector<int> keys) {
  cKeyCond k;
  ResizeKeyList(k);
  for (int key : keys) k.m_Keys.At(key) = 1;
  k.m_cAnyLength = 1;
  return k;
}

TEST_F(MovePlay, HeroWalksByItsFlowsAndFliesAfterAFormChange) {
  // While left, right or up-right is held the hero moves in the held direction at 2 dots a
  // frame, its facing following; walking, up-right is right only.
  cStage stage = StageFromRows({
      "..............................",
      "..............................",
      "..............................",
      "..........H...................",
      "##############################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_dGravity = 1.0;
  for (cCharaDef& d : stage.m_CharaPlaces) {
    if (d.m_cController != 0) continue;
    d.m_cFixedFacing = 0;
    for (int key : {1, 2, 7}) {  // left, right, up-right
      cFlow f = Always({Move(CMD_STRAIGHT_MOVE, Toward(DIR_INPUT, 20), 0)});
      f.m_KeyConds.push_back(Pressed({key}));
      f.m_cKeyRepeat = 1;
      d.m_Flows.push_back(f);
    }
  }
  Start(stage);
  cHero& hero = h->Hero();
  h->Frames(10);  // settles on the floor
  const double x0 = hero.m_dX;
  const double y0 = hero.m_dY;
  h->Frames(10, INPUT_RIGHT);
  EXPECT_EQ(hero.m_dX, x0 + 20);
  EXPECT_EQ(hero.m_bRight, 1);
  h->Frames(5, INPUT_LEFT);
  EXPECT_EQ(hero.m_dX, x0 + 10);
  EXPECT_EQ(hero.m_bRight, 0);
  h->Frames(5);
  EXPECT_EQ(hero.m_dX, x0 + 10);
  // Up-right while walking: right only.
  h->Frames(5, INPUT_RIGHT | INPUT_UP);
  EXPECT_EQ(hero.m_dX, x0 + 20);
  EXPECT_EQ(hero.m_dY, y0);
  // Flying: up-right moves along the diagonal.
  hero.SetForm(1, 0, 0, 0);
  ASSERT_EQ(hero.m_bFly, 1);
  const double fx = hero.m_dX;
  const double fy = hero.m_dY;
  h->Frames(10, INPUT_RIGHT | INPUT_UP);
  EXPECT_NEAR(hero.m_dX, fx + 20 * K, 1e-9);
  EXPECT_NEAR(hero.m_dY, fy - 20 * K, 1e-9);
  // Walking again: the hero stops dead and falls back to the floor.
  hero.SetForm(0, 0, 0, 0);
  EXPECT_EQ(hero.m_dSpeedX, 0);
  EXPECT_EQ(hero.m_dSpeedY, 0);
  h->Frames(30);
  EXPECT_EQ(std::trunc(hero.m_dY), y0);  // back on the floor
  EXPECT_EQ(hero.m_bAirborne, 0);
  EXPECT_NEAR(hero.m_dX, fx + 20 * K, 1e-9);
}

}  // namespace
}  // namespace t4::test::move_play
