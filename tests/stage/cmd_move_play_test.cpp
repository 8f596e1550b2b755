// Movement commands run by characters' flows in a played stage: how far each kind moves a
// character in N frames. One sub-step a frame (collision level 11) unless a case says otherwise,
// and speeds are in 0.1 dot per frame, so speed 20 is 2 dots a sub-step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "data/flow_kinds.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

constexpr int PLAY_STATE = 2;
constexpr double PI = 3.14159265358979323846;
const double K = 1 / std::sqrt(2.0);

cEdMove Toward(int dir, int16_t speed) {
  cEdMove m;
  m.m_cDir = static_cast<int8_t>(dir);
  m.m_sSpeed = speed;
  return m;
}

cFlowCommand Command(int kind, int16_t time, int8_t parallel = 0) {
  cFlowCommand c;
  c.m_cKind = static_cast<int8_t>(kind);
  c.m_sTime = time;
  c.m_cParallel = parallel;
  c.Validate();
  return c;
}

cFlowCommand Move(int kind, const cEdMove& m, int16_t time, int8_t parallel = 0) {
  cFlowCommand c = Command(kind, time, parallel);
  c.m_pMove.reset(new cEdMove(m));
  return c;
}

cFlow Always(std::vector<cFlowCommand> cmds) {
  cFlow f;
  f.m_cTrigger = TRIG_ALWAYS;
  for (const cFlowCommand& c : cmds) f.m_Cmds.push_back(c);
  return f;
}

// The hero far left on the floor, a flier at tile (8, 2) and a walker standing at (13, 4).
cStage Field() {
  cStage stage = StageFromRows({
      "....................",
      ".H..................",
      "........f...........",
      "....................",
      ".............w......",
      "####################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_dGravity = 1.0;
  return stage;
}

// The placed definition of the character at tile (x, y).
cCharaDef& PlacedAt(cStage& stage, int x, int y) {
  for (cCharaDef& d : stage.m_CharaPlaces)
    if (d.m_sBlockX == x && d.m_sBlockY == y) return d;
  ADD_FAILURE() << "nothing placed at " << x << ", " << y;
  return stage.m_CharaPlaces.At(0);
}

class MovePlay : public ::testing::Test {
 protected:
  void Start(const cStage& stage) {
    h.reset();  // one harness at a time
    h = std::make_unique<StageHarness>();
    h->Start(stage);
    ASSERT_GE(h->RunUntilState(PLAY_STATE), 0);
  }
  // The character with definition graphic `graphic` (2 walker, 3 flier).
  cChara& Chara(int graphic) {
    for (cChara* c : h->Charas())
      if (c->m_Def.m_sGraphicNo == graphic) return *c;
    ADD_FAILURE() << "no character of graphic " << graphic;
    return *h->Charas().at(0);
  }

  std::unique_ptr<StageHarness> h;
};

constexpr int FLIER = 3;
constexpr int WALKER = 2;

TEST_F(MovePlay, StraightAndOtherMovesReachTheirPlaceAfterNFrames) {
  struct Case {
    const char* name;
    int who;
    std::vector<cFlowCommand> cmds;
    int frames;
    double dx, dy;
  };
  auto with = [](cEdMove m, const std::function<void(cEdMove&)>& f) {
    f(m);
    return m;
  };
  const double circleStep = 32 * PI / 180 * 10;  // radius 32 dots, 10 degrees a sub-step
  const std::vector<Case> cases = {
      {"left", FLIER, {Move(CMD_STRAIGHT_MOVE, Toward(DIR_LEFT, 20), 10)}, 10, -20, 0},
      {"front of a character facing left", FLIER, {Move(CMD_STRAIGHT_MOVE, Toward(DIR_FORWARD, 20), 10)}, 10, -20, 0},
      {"up-left, flying", FLIER, {Move(CMD_STRAIGHT_MOVE, Toward(DIR_UP_LEFT, 20), 10)}, 10, -20 * K, -20 * K},
      {"up-left, walking: no climb", WALKER, {Move(CMD_STRAIGHT_MOVE, Toward(DIR_UP_LEFT, 20), 10)}, 10, -20 * K, 0},
      {"angle 90, flying: straight up",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE, with(Toward(DIR_LEFT, 20), [](cEdMove& m) { m.m_sAngle = 90; }), 10)},
       10,
       0,
       -20},
      {"angle 90, walking: no motion",
       WALKER,
       {Move(CMD_STRAIGHT_MOVE, with(Toward(DIR_LEFT, 20), [](cEdMove& m) { m.m_sAngle = 90; }), 10)},
       10,
       0,
       0},
      {"two in parallel add up",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE, Toward(DIR_LEFT, 20), 10, 1), Move(CMD_STRAIGHT_MOVE, Toward(DIR_UP, 10), 10)},
       10,
       -20,
       -10},
      {"lock X keeps the vertical part",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE, with(Toward(DIR_UP_LEFT, 20), [](cEdMove& m) { m.LockX() = 1; }), 10)},
       10,
       0,
       -20 * K},
      {"lock Y keeps the horizontal part",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE, with(Toward(DIR_UP_LEFT, 20), [](cEdMove& m) { m.LockY() = 1; }), 10)},
       10,
       -20 * K,
       0},
      // 100 dots at 3 a sub-step: 33 sub-steps, then the wait.
      {"to a point 100 dots right, ending on arrival",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE,
             with(Toward(DIR_LEFT, 30),
                  [](cEdMove& m) {
                    m.m_cMode = 1, m.m_cCoordMode = 1, m.m_cUnit = 1, m.m_cUseY = 0;
                    m.m_sTargetX = 100, m.m_cStopOnArrival = 1;
                  }),
             100),
        Command(CMD_WAIT, 100)},
       40,
       99,
       0},
      {"to a point 2 dots away: stopped at once",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE,
             with(Toward(DIR_LEFT, 30),
                  [](cEdMove& m) {
                    m.m_cMode = 1, m.m_cCoordMode = 1, m.m_cUnit = 1, m.m_cUseY = 0;
                    m.m_sTargetX = 2, m.m_cStopOnArrival = 1;
                  }),
             100),
        Command(CMD_WAIT, 100)},
       10,
       0,
       0},
      // Stage coordinates: the block at stage tile (4, 2), centre 16 dots in, from the flier's
      // drawn centre (tile 8, 2): 128 dots left, in 8 sub-steps at 16.
      {"to a block of the stage",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE,
             with(Toward(DIR_LEFT, 160),
                  [](cEdMove& m) {
                    m.m_cMode = 1, m.m_cCoordMode = 2, m.m_sTargetX = 4, m.m_sTargetY = 2;
                    m.m_cStopOnArrival = 1;
                  }),
             100),
        Command(CMD_WAIT, 100)},
       12,
       -128,
       0},
      // Solved for its time from a distance of 0: one sub-step that does not move, every frame.
      {"speed and distance, no distance: no motion",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE, with(Toward(DIR_LEFT, 20), [](cEdMove& m) { m.m_cSolveMode = 2; }), 10)},
       10,
       0,
       0},
      {"coordinate mode outside the table: no motion",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE,
             with(Toward(DIR_LEFT, 30), [](cEdMove& m) { m.m_cMode = 1, m.m_cCoordMode = 7, m.m_sTargetX = 3; }), 10)},
       10,
       0,
       0},
      // The inertia grows by 2 / 60 a sub-step up to 1: after 30 sub-steps it holds.
      {"inertia up to its maximum speed",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE, with(Toward(DIR_LEFT, 20), [](cEdMove& m) { m.m_cInertia = 1, m.m_sMaxSpeed = 10; }),
             30)},
       40,
       -(30.0 * 31 / 60 + 10 * 1),
       0},
      {"a stop after a parallel move cancels it",
       FLIER,
       {Move(CMD_STRAIGHT_MOVE, Toward(DIR_LEFT, 20), 10, 1), Command(CMD_STOP_MOVE, 10)},
       10,
       0,
       0},
      // A circle of 2 half blocks from angle 0 to 360 in 36 sub-steps: half-way it is one
      // diameter up and the sum of the cosines (1) left; after the whole turn it is back.
      {"circle, half a turn",
       FLIER,
       {Move(CMD_CIRCLE_MOVE, with(Toward(0, 10), [](cEdMove& m) { m.m_sRadius = 2, m.m_sDistance = 360; }), 6)},
       18,
       -circleStep,
       -circleStep / std::tan(5 * PI / 180)},
      {"circle, whole turn",
       FLIER,
       {Move(CMD_CIRCLE_MOVE, with(Toward(0, 10), [](cEdMove& m) { m.m_sRadius = 2, m.m_sDistance = 360; }), 6)},
       36,
       0,
       0},
      {"circle of radius 0",
       FLIER,
       {Move(CMD_CIRCLE_MOVE, with(Toward(0, 10), [](cEdMove& m) { m.m_sDistance = 360; }), 6)},
       18,
       0,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cStage stage = Field();
    std::vector<cFlowCommand> cmds = {Command(CMD_WAIT, 1)};  // settled first
    cmds.insert(cmds.end(), c.cmds.begin(), c.cmds.end());
    PlacedAt(stage, c.who == FLIER ? 8 : 13, c.who == FLIER ? 2 : 4).m_Flows.push_back(Always(cmds));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    cChara& mover = Chara(c.who);
    h->Frames(6);
    const double x0 = mover.m_dX;
    const double y0 = mover.m_dY;
    h->Frames(c.frames);
    EXPECT_NEAR(mover.m_dX - x0, c.dx, 1e-6);
    EXPECT_NEAR(mover.m_dY - y0, c.dy, 1e-6);
  }
}

// The hero and two characters on one floor row: hero at tile 1, flier at 8, walker at 13.
cStage Row() {
  cStage stage = StageFromRows({
      "....................",
      "....................",
      "....................",
      "....................",
      ".H......f....w......",
      "####################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_dGravity = 1.0;
  return stage;
}

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
    PlacedAt(stage, c.who == FLIER ? 8 : 13, 4).m_Flows.push_back(Always({Command(CMD_WAIT, 1), c.cmd}));
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

TEST_F(MovePlay, GroundTurnWalkerStaysOnItsLedge) {
  // A walker on a five-block ledge over a pit. Without the older rule it turns away from the
  // edge whatever the sign of its speed; with it, a negative speed walks it off.
  struct Case {
    int16_t speed;
    int32_t older;
    bool staysOn;
  };
  for (const Case& c : {Case{20, 0, true}, Case{-20, 0, true}, Case{20, 1, true}, Case{-20, 1, false}}) {
    SCOPED_TRACE(testing::Message() << "speed " << c.speed << ", older rule " << c.older);
    cStage stage = StageFromRows({
        "....................",
        ".H..................",
        "............w.......",
        "..........#####.....",
        "....................",
        "....................",
        "####################",
    });
    stage.m_nCollisionLevel = 11;
    stage.m_dGravity = 1.0;
    PlacedAt(stage, 12, 2)
        .m_Flows.push_back(Always({Command(CMD_WAIT, 1), Move(CMD_GROUND_TURN_MOVE, Toward(0, c.speed), 100)}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    ScopedValue<int32_t> older(g_SystemData.m_bCompat805, c.older);
    cChara& walker = Chara(WALKER);
    h->Frames(6);
    const double y0 = walker.m_dY;
    bool turned = false;
    for (int f = 0; f < 120; ++f) {
      h->Frame();
      turned = turned || walker.m_bRight;
    }
    EXPECT_EQ(walker.m_dY == y0, c.staysOn);
    if (c.staysOn) {
      EXPECT_TRUE(turned);
      // Between the ledge's edges, give or take the step that found the edge.
      EXPECT_GE(walker.m_dX, (10 + 10) * 32 - walker.m_nHitWidth - 2.0);
      EXPECT_LE(walker.m_dX, (15 + 10) * 32 + 2.0);
    }
  }
}

TEST_F(MovePlay, TurnFacesAsToldAndRepeatsItsSoundEachTenth) {
  // The walker (tile 13) has the hero (tile 1) on its left in target 1; target 2 is empty.
  struct Case {
    const char* name;
    int way;
    int8_t fixed;
    int8_t startRight;
    int endRight;
    int sounds;  // in the command's first tenth
  };
  const Case cases[] = {
      {"left", 0, 1, 1, 0, 1},
      {"right", 1, 1, 0, 1, 1},
      {"toward target 1", 2, 1, 1, 0, 1},
      {"away from target 1", 3, 1, 0, 1, 1},
      {"toward an empty target 2: tries every sub-step", 4, 1, 1, 1, 6},
      {"unknown way: sound only", 12, 1, 1, 1, 1},
      {"facing not fixed: ignored, silent", 1, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cStage stage = Row();
    cCharaDef& def = PlacedAt(stage, 13, 4);
    def.m_cFixedFacing = c.fixed;
    def.m_cFacing = c.startRight;
    cFlowCommand turn = Command(CMD_TURN, 1);
    turn.m_Params.At(0) = c.way;
    turn.m_sSound = 3;
    def.m_Flows.push_back(Always({turn, Command(CMD_WAIT, 100)}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    int sounds = 0;
    h->OnSystemSound([&sounds](int id) { sounds += id == 3 + 16; });
    h->Frames(6);
    EXPECT_EQ(Chara(WALKER).m_bRight, c.endRight);
    EXPECT_EQ(sounds, c.sounds);
  }
}

TEST_F(MovePlay, JumpLeavesTheFloorAndLandsWhereItStarted) {
  cStage stage = Row();
  cFlowCommand jump = Command(CMD_JUMP, 0);
  jump.m_Params.At(2) = 2;  // two half blocks
  PlacedAt(stage, 13, 4).m_Flows.push_back(Always({Command(CMD_WAIT, 1), jump, Command(CMD_WAIT, 100)}));
  Start(stage);
  cChara& walker = Chara(WALKER);
  h->Frames(6);
  const double y0 = walker.m_dY;
  double top = y0;
  for (int f = 0; f < 40; ++f) {
    h->Frame();
    top = std::min(top, walker.m_dY);
  }
  // Two half blocks high, give or take what one sub-step of gravity adds.
  EXPECT_LE(top, y0 - 32);
  EXPECT_GT(top, y0 - 33);
  // Landed on the same row (the landing keeps the fraction of the fall).
  EXPECT_EQ(std::trunc(walker.m_dY), y0);
  EXPECT_EQ(walker.m_bAirborne, 0);
  EXPECT_EQ(walker.m_FlowStates.At(0).m_nCurrent, 2);  // the jump has ended
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
}  // namespace t4::test
