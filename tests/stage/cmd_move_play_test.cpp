// Movement commands run by characters' flows in a played stage: how far each kind moves a
// character in N frames, the ground walker at a ledge, turns and jumps. One sub-step a frame
// (collision level 11) unless a case says otherwise, and speeds are in 0.1 dot per frame, so
// speed 20 is 2 dots a sub-step.
#include "cmd_move_fixture.h"

namespace t4::test::move_play {
namespace {

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
        TimedCommand(CMD_WAIT, 100)},
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
        TimedCommand(CMD_WAIT, 100)},
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
        TimedCommand(CMD_WAIT, 100)},
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
       {Move(CMD_STRAIGHT_MOVE, Toward(DIR_LEFT, 20), 10, 1), TimedCommand(CMD_STOP_MOVE, 10)},
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
    std::vector<cFlowCommand> cmds = {TimedCommand(CMD_WAIT, 1)};  // settled first
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

TEST_F(MovePlay, InertialMoveBrakesByItsFactorAgainstTheCurrentSpeed) {
  // Six sub-steps left at 2 / 60 each, then right with a braking factor of 2: while the inertia
  // still points left each push is twice as strong. The flier has no friction of its own, so
  // the braking (which leaves friction on) shows alone.
  cEdMove left = Toward(DIR_LEFT, 20);
  left.m_cInertia = 1;
  left.m_sMaxSpeed = 30;
  cEdMove right = left;
  right.m_cDir = DIR_RIGHT;
  right.m_dBrake = 2.0;
  cStage stage = Field();
  cCharaDef& def = PlacedAt(stage, 8, 2);
  def.m_sStopping = 0;
  def.m_Flows.push_back(Always({Move(CMD_STRAIGHT_MOVE, left, 1), Move(CMD_STRAIGHT_MOVE, right, 100)}));
  Start(stage);
  cChara& flier = Chara(FLIER);
  h->Frames(6);
  EXPECT_NEAR(flier.m_dInertiaX, -12.0 / 60, 1e-12);
  h->Frame();
  EXPECT_NEAR(flier.m_dInertiaX, -8.0 / 60, 1e-12);
  h->Frame();
  EXPECT_NEAR(flier.m_dInertiaX, -4.0 / 60, 1e-12);
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
        .m_Flows.push_back(Always({TimedCommand(CMD_WAIT, 1), Move(CMD_GROUND_TURN_MOVE, Toward(0, c.speed), 100)}));
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
    cFlowCommand turn = TimedCommand(CMD_TURN, 1);
    turn.m_Params.At(0) = c.way;
    turn.m_sSound = 3;
    def.m_Flows.push_back(Always({turn, TimedCommand(CMD_WAIT, 100)}));
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
  cFlowCommand jump = TimedCommand(CMD_JUMP, 0);
  jump.m_Params.At(2) = 2;  // two half blocks
  PlacedAt(stage, 13, 4).m_Flows.push_back(Always({TimedCommand(CMD_WAIT, 1), jump, TimedCommand(CMD_WAIT, 100)}));
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

}  // namespace
}  // namespace t4::test::move_play
