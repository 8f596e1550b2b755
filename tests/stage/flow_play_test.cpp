// Flows of the hero in a played stage: when triggers start them, how many sub-steps their commands
// take, exclusive groups, key-input conditions over the input history, trigger targets and flow
// IDs. One sub-step a frame (collision level 11) unless a case says otherwise, so frame k is
// sub-step k.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/flow_kinds.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "play_constants.h"
#include "cmd_builders.h"

void FireTriggerWith(cCharaBase& chara, int trigger, cCharaBase* other, int id);

namespace t4::test {
namespace {

constexpr int16_t DIR_LEFT = 1, DIR_RIGHT = 2, DIR_DOWN = 8;
constexpr int16_t BUTTON_7 = 0x40, BUTTON_8 = 0x80;

cFlowCommand Wait(int16_t time, int8_t parallel = 0) {
  cFlowCommand c;
  c.m_cKind = CMD_WAIT;
  c.m_sTime = time;
  c.m_cParallel = parallel;
  return c;
}

cFlow MakeFlow(int trigger, std::vector<cFlowCommand> cmds) {
  cFlow f;
  f.m_cTrigger = static_cast<int8_t>(trigger);
  for (const cFlowCommand& c : cmds) f.m_Cmds.push_back(c);
  return f;
}

// A key condition with the given keys pressed for any length.
cKeyCond Pressed(std::vector<int> keys, int8_t mirror = 0) {
  cKeyCond k;
  ResizeKeyList(k);
  for (int key : keys) k.m_Keys.At(key) = 1;
  k.m_cAnyLength = 1;
  k.m_cMirror = mirror;
  return k;
}

class FlowPlay : public ::testing::Test {
 protected:
  // Starts a stage whose hero has `flows`, with a walking character beside it, and runs it up to
  // the play state.
  void Start(std::vector<cFlow> flows, int level = 11) {
    cStage stage = StageFromRows({
        "..........",
        ".H...w....",
        "##########",
    });
    stage.m_nCollisionLevel = level;
    for (cCharaDef& d : stage.m_CharaPlaces)
      if (d.m_cController == 0)
        for (const cFlow& f : flows) d.m_Flows.push_back(f);
    hp.reset();  // one harness at a time
    hp = std::make_unique<StageHarness>();
    hp->Start(stage);
    ASSERT_GE(hp->RunUntilState(PLAY_PLAY), 0);
  }
  StageHarness& H() { return *hp; }
  cFlowState& State(int i) { return H().Hero().m_FlowStates.At(i); }
  cChara& Other() { return *H().Charas().at(0); }

  std::unique_ptr<StageHarness> hp;
};

TEST_F(FlowPlay, AlwaysFlowRunsItsTimeAndStartsAgainInTheNextSubStep) {
  // Time 1 = 6 frames; at n = 2 it is 12 sub-steps, still 6 frames.
  struct Case {
    int level;
    int remaining[7];
  };
  for (const Case& c : {Case{11, {5, 4, 3, 2, 1, 0, 5}}, Case{2, {10, 8, 6, 4, 2, 0, 10}}}) {
    SCOPED_TRACE(c.level);
    Start({MakeFlow(TRIG_ALWAYS, {Wait(1)})}, c.level);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_EQ(State(0).m_bRunning, 0);
    for (int f = 0; f < 7; ++f) {
      H().Frame();
      EXPECT_EQ(State(0).m_bRunning, f == 5 ? 0 : 1) << "frame " << f + 1;
      EXPECT_EQ(State(0).m_Commands.At(0).m_nRemaining, c.remaining[f]) << "frame " << f + 1;
    }
  }
}

TEST_F(FlowPlay, ZeroTimeTakesOneSubStepAndABlockingCommandHandsOnInTheNextOne) {
  Start({MakeFlow(TRIG_ALWAYS, {Wait(0), Wait(0)}), MakeFlow(TRIG_ALWAYS, {Wait(1), Wait(1)})});
  H().Frame();
  EXPECT_EQ(State(0).m_nCurrent, 1);
  EXPECT_EQ(State(0).m_Commands.At(0).m_bDone, 1);
  EXPECT_EQ(State(0).m_Commands.At(1).m_nRemaining, 0);  // not started in the same sub-step
  H().Frame();
  EXPECT_EQ(State(0).m_bRunning, 0);
  H().Frame();
  EXPECT_EQ(State(0).m_bRunning, 1);
  // The second flow: the first wait ends in sub-step 6, the second starts in sub-step 7.
  H().Frames(3);
  EXPECT_EQ(State(1).m_nCurrent, 1);
  EXPECT_EQ(State(1).m_Commands.At(1).m_nRemaining, 0);
  H().Frame();
  EXPECT_EQ(State(1).m_Commands.At(1).m_nRemaining, 5);
  H().Frames(5);
  EXPECT_EQ(State(1).m_bRunning, 0);
}

TEST_F(FlowPlay, ParallelCommandsStartTogetherAndTheLastEndsTheFlow) {
  Start({MakeFlow(TRIG_ALWAYS, {Wait(2, 1), Wait(3, 1), Wait(1)})});
  H().Frame();
  EXPECT_EQ(State(0).m_nCurrent, 2);
  EXPECT_EQ(State(0).m_Commands.At(0).m_nRemaining, 11);
  EXPECT_EQ(State(0).m_Commands.At(1).m_nRemaining, 17);
  EXPECT_EQ(State(0).m_Commands.At(2).m_nRemaining, 5);
  H().Frames(4);
  EXPECT_EQ(State(0).m_bRunning, 1);
  EXPECT_EQ(State(0).m_Commands.At(0).m_nRemaining, 7);
  H().Frame();  // the third command finishes while the first two still run
  EXPECT_EQ(State(0).m_bRunning, 0);
  EXPECT_EQ(State(0).m_Commands.At(0).m_nRemaining, 0);
  EXPECT_EQ(State(0).m_Commands.At(1).m_nRemaining, 0);
}

TEST_F(FlowPlay, OneFlowOfAnExclusiveGroupRunsAtATime) {
  // A may start only while S1 is 0; S1 becomes 1 while it runs. When A ends (sub-step 6), B of the
  // same group starts in sub-step 7, unless A's condition is latched, which starts A again.
  for (int latch : {0, 1}) {
    SCOPED_TRACE(latch);
    cFlow a = MakeFlow(TRIG_ALWAYS, {Wait(1)});
    a.m_cGroup = 3;
    a.m_Conds.push_back(StageVarIs(1, 0));
    a.m_cCondLatch = static_cast<int8_t>(latch);
    cFlow b = MakeFlow(TRIG_ALWAYS, {Wait(1)});
    b.m_cGroup = 3;
    cFlow free = MakeFlow(TRIG_ALWAYS, {Wait(3)});  // no group: runs beside them
    Start({a, b, free});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    H().Frame();
    EXPECT_EQ(State(0).m_bRunning, 1);
    EXPECT_EQ(State(1).m_bRunning, 0);
    EXPECT_EQ(State(2).m_bRunning, 1);
    H().Scene().m_StageVars.At(1) = 1;
    H().Frames(5);
    EXPECT_EQ(State(0).m_bRunning, 0);
    EXPECT_EQ(State(1).m_bRunning, 0);
    H().Frame();
    EXPECT_EQ(State(0).m_bRunning, latch);
    EXPECT_EQ(State(1).m_bRunning, 1 - latch);
  }
}

TEST_F(FlowPlay, HeldKeyStartsOnceWithoutRepeatAndEveryFrameWithIt) {
  for (int repeat : {0, 1}) {
    SCOPED_TRACE(repeat);
    cFlow f = MakeFlow(TRIG_ALWAYS, {Wait(0)});
    f.m_KeyConds.push_back(Pressed({11}));
    f.m_cKeyRepeat = static_cast<int8_t>(repeat);
    Start({f});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    std::vector<int> started;
    for (int16_t buttons : {BUTTON_1, BUTTON_1, BUTTON_1, int16_t{0}, BUTTON_1}) {
      H().Frame(0, buttons);
      started.push_back(State(0).m_bStarted);
    }
    EXPECT_EQ(started, repeat ? std::vector<int>({1, 1, 1, 0, 1}) : std::vector<int>({1, 0, 0, 0, 1}));
  }
}

TEST_F(FlowPlay, KeyStillHeldKeepsItsGroupBlocked) {
  // A (button 1, no repeat) and B share group 3. A starts on the press; while the button stays
  // held A cannot start again, and its group stays blocked, so B waits for the release.
  cFlow a = MakeFlow(TRIG_ALWAYS, {Wait(0)});
  a.m_cGroup = 3;
  a.m_KeyConds.push_back(Pressed({11}));
  cFlow b = MakeFlow(TRIG_ALWAYS, {Wait(0)});
  b.m_cGroup = 3;
  Start({a, b});
  std::vector<int> startedA;
  std::vector<int> startedB;
  for (int16_t buttons : {BUTTON_1, BUTTON_1, BUTTON_1, int16_t{0}}) {
    H().Frame(0, buttons);
    startedA.push_back(State(0).m_bStarted);
    startedB.push_back(State(1).m_bStarted);
  }
  EXPECT_EQ(startedA, (std::vector<int>{1, 0, 0, 0}));
  EXPECT_EQ(startedB, (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(FlowPlay, KeyEighteenIsButtonEightAndTheHeldDirectionIsKept) {
  cFlow f = MakeFlow(TRIG_ALWAYS, {Wait(0)});
  f.m_KeyConds.push_back(Pressed({18}));
  f.m_cKeyRepeat = 1;
  Start({f});
  H().Frame(DIR_LEFT | DIR_RIGHT, BUTTON_7);
  EXPECT_EQ(State(0).m_bStarted, 0);
  H().Frame(DIR_LEFT | DIR_RIGHT, BUTTON_8);
  EXPECT_EQ(State(0).m_bStarted, 1);
  EXPECT_EQ(State(0).m_nHeldKey, 9);  // left and right together: "any direction"
  H().Frame(DIR_DOWN, BUTTON_8);
  EXPECT_EQ(State(0).m_nHeldKey, 4);
}

TEST_F(FlowPlay, KeySequenceAllowsTheGapBetweenItsSteps) {
  // Down held 3 frames, then `pause` frames without keys, then right: gap 4 frames.
  struct Case {
    int pause;
    int started;
  };
  for (const Case& c : {Case{2, 1}, Case{3, 1}, Case{6, 0}}) {
    SCOPED_TRACE(c.pause);
    cFlow f = MakeFlow(TRIG_ALWAYS, {Wait(0)});
    f.m_KeyConds.push_back(Pressed({4}));
    f.m_KeyConds.push_back(Pressed({2}));
    f.m_cKeyGap = 4;
    Start({f});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    H().Frames(3, DIR_DOWN);
    H().Frames(c.pause);
    EXPECT_EQ(State(0).m_bStarted, 0);
    H().Frame(DIR_RIGHT);
    EXPECT_EQ(State(0).m_bStarted, c.started);
  }
}

TEST_F(FlowPlay, OneFrameServesTwoStepsOnlyUnderTheOlderRule) {
  // Button 1, then button 2, both pressed in the same frame.
  for (int32_t overlap : {0, 1}) {
    SCOPED_TRACE(overlap);
    cFlow f = MakeFlow(TRIG_ALWAYS, {Wait(0)});
    f.m_KeyConds.push_back(Pressed({11}));
    f.m_KeyConds.push_back(Pressed({12}));
    f.m_cKeyGap = 4;
    Start({f});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ScopedValue<int32_t> rule(g_SystemData.m_bCompat669, overlap);
    H().Frames(5);
    H().Frame(0, BUTTON_1 | 2);
    EXPECT_EQ(State(0).m_bStarted, overlap);
  }
}

TEST_F(FlowPlay, RelativeKeyFollowsTheFacing) {
  for (int mirror : {0, 1}) {
    SCOPED_TRACE(mirror);
    cFlow f = MakeFlow(TRIG_ALWAYS, {Wait(0)});
    f.m_KeyConds.push_back(Pressed({2}, static_cast<int8_t>(mirror)));  // "right"
    Start({f});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    H().Hero().m_bRight = 0;
    H().Frame(DIR_LEFT);
    EXPECT_EQ(State(0).m_bStarted, mirror);
  }
}

TEST_F(FlowPlay, TriggerTargetIsKeptOnlyWhenTheFlowStarts) {
  cFlow f = MakeFlow(TRIG_HIT_SHOT, {Wait(1)});
  f.m_cTriggerTarget = 1;
  f.m_cTargetSlot = 1;
  f.m_Conds.push_back(StageVarIs(1, 1));
  Start({f});
  cCharaBase& hero = H().Hero();
  FireTriggerWith(hero, TRIG_HIT_SHOT, &Other(), 0);
  EXPECT_EQ(State(0).m_bRunning, 0);
  EXPECT_EQ(hero.m_Targets.At(1), nullptr);
  EXPECT_TRUE(Other().m_BackLinks.empty());
  H().Scene().m_StageVars.At(1) = 1;
  FireTriggerWith(hero, TRIG_HIT_SHOT, &Other(), 0);
  EXPECT_EQ(State(0).m_bRunning, 1);
  EXPECT_EQ(hero.m_Targets.At(1), &Other());
  ASSERT_EQ(Other().m_BackLinks.size(), 1u);
  EXPECT_EQ(Other().m_BackLinks.At(0).nSlot, 1);
  // Outside a flow run the scene points at no character.
  EXPECT_EQ(H().Scene().m_lpCurrentChara, nullptr);
}

TEST_F(FlowPlay, FlowIdSelectsTheAttackFlows) {
  std::vector<cFlow> flows;
  for (int8_t id : {5, 3, 0}) {
    flows.push_back(MakeFlow(TRIG_ATTACK_HIT, {Wait(1)}));
    flows.back().m_cId = id;
  }
  Start(flows);
  FireTriggerWith(H().Hero(), TRIG_ATTACK_HIT, &Other(), 5);
  EXPECT_EQ(State(0).m_bRunning, 1);
  EXPECT_EQ(State(1).m_bRunning, 0);
  EXPECT_EQ(State(2).m_bRunning, 0);
  FireTriggerWith(H().Hero(), TRIG_ATTACK_HIT, &Other(), 0);
  EXPECT_EQ(State(1).m_bRunning, 1);
  EXPECT_EQ(State(2).m_bRunning, 1);
}

TEST_F(FlowPlay, FiredFlagFollowsTheOlderVersionSwitches) {
  // Fired twice in one frame: first while S1 is 0 (its condition fails), then with S1 = 1.
  struct Case {
    int32_t early, noCheck, beforeCond;
    int started;
  };
  for (const Case& c : {Case{0, 0, 0, 1}, Case{0, 0, 1, 0}, Case{1, 0, 0, 0}, Case{0, 1, 1, 1}, Case{1, 1, 0, 1}}) {
    SCOPED_TRACE(testing::Message() << c.early << c.noCheck << c.beforeCond);
    cFlow f = MakeFlow(TRIG_DAMAGED, {Wait(1)});
    f.m_Conds.push_back(StageVarIs(1, 1));
    Start({f});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ScopedValue<int32_t> early(g_SystemData.m_bCompat744, c.early);
    ScopedValue<int32_t> noCheck(g_SystemData.m_bCompat525, c.noCheck);
    ScopedValue<int32_t> beforeCond(g_SystemData.m_bCompat861, c.beforeCond);
    FireTriggerWith(H().Hero(), TRIG_DAMAGED, nullptr, 0);
    H().Scene().m_StageVars.At(1) = 1;
    FireTriggerWith(H().Hero(), TRIG_DAMAGED, nullptr, 0);
    EXPECT_EQ(State(0).m_bRunning, c.started);
  }
}

TEST_F(FlowPlay, StoppedEventFlowForgetsItsHeldKeyUnlessTheOlderRuleHolds) {
  for (int32_t keep : {0, 1}) {
    SCOPED_TRACE(keep);
    cFlow f = MakeFlow(TRIG_DAMAGED, {Wait(0)});
    f.m_KeyConds.push_back(Pressed({11}));
    Start({f});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ScopedValue<int32_t> keepEdge(g_SystemData.m_bCompat875, keep);
    H().Frame(0, BUTTON_1);
    FireTriggerWith(H().Hero(), TRIG_DAMAGED, nullptr, 0);
    EXPECT_EQ(State(0).m_bRunning, 1);
    H().Frame(0, BUTTON_1);  // runs its one sub-step and stops
    EXPECT_EQ(State(0).m_bRunning, 0);
    FireTriggerWith(H().Hero(), TRIG_DAMAGED, nullptr, 0);
    EXPECT_EQ(State(0).m_bRunning, 1 - keep);
  }
}

cFlowCommand Parallel(int kind, int8_t parallel) {
  cFlowCommand c = Wait(0, parallel);
  c.m_cKind = static_cast<int8_t>(kind);
  return c;
}

TEST_F(FlowPlay, BeforeStageStartFlowRunsItsParallelFlowCommandsAtOnce) {
  Start({MakeFlow(TRIG_BEFORE_STAGE_START,
                  {Parallel(CMD_WAIT, 1), Parallel(CMD_STATUS, 0), Parallel(CMD_STATUS, 1), Parallel(CMD_SOUND, 2)})});
  EXPECT_EQ(State(0).m_bRunning, 0);
  std::vector<int> done;
  for (const cFlowCommandState& c : State(0).m_Commands) done.push_back(c.m_bDone);
  EXPECT_EQ(done, (std::vector<int>{0, 0, 1, 1}));
  EXPECT_EQ(H().Scene().m_lpCurrentChara, nullptr);
  EXPECT_EQ(H().Scene().m_lpCurrentFlow, nullptr);
}

TEST_F(FlowPlay, FlowStartedForAnotherCharacterMarksItsOwnGroupAndLeavesTheSceneAsItWas) {
  cFlow grouped = MakeFlow(TRIG_ALWAYS, {Wait(1)});
  grouped.m_cGroup = 2;
  grouped.m_Conds.push_back(StageVarIs(1, 1));  // never starts by itself
  cFlow early = MakeFlow(TRIG_BEFORE_STAGE_START, {Parallel(CMD_SOUND, 1)});
  Start({grouped, early});
  cCharaBase& hero = H().Hero();
  cChara& other = Other();
  InsertFlows(other, hero.m_Def.m_Flows, 1, -1);
  cScenePlay& scene = H().Scene();
  // As a command of the hero's flow starting the other's flows.
  scene.m_lpCurrentChara = &hero;
  scene.m_lpCurrentFlow = &State(0);
  other.m_FlowStates.At(0).Start(&other);
  EXPECT_EQ(other.m_GroupRunning.At(2), 1);
  EXPECT_EQ(hero.m_GroupRunning.At(2), 0);
  other.m_FlowStates.At(1).Start(&other);
  EXPECT_EQ(other.m_FlowStates.At(1).m_Commands.At(0).m_bDone, 1);
  EXPECT_EQ(scene.m_lpCurrentChara, &hero);
  EXPECT_EQ(scene.m_lpCurrentFlow, &State(0));
  scene.m_lpCurrentChara = nullptr;
  scene.m_lpCurrentFlow = nullptr;
}

TEST_F(FlowPlay, QueuedArrangeReachesOnlyTheNextCommandStarted) {
  // Power of the shot: changed when the entry waits for it, dropped when a wait starts first.
  for (int queueAfterFirst : {0, 1}) {
    SCOPED_TRACE(queueAfterFirst);
    cFlowCommand shot = Wait(0);
    shot.m_cKind = CMD_SHOT;
    shot.m_pShot.reset(new cEdShot());
    shot.m_pShot->m_nPower = 3;
    Start({MakeFlow(TRIG_ALWAYS, {Wait(0), shot, Wait(5)})});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const ARRANGEENTRY entry{CMD_SHOT, 28, CALC_ADD, 1, 2};
    H().Scene().m_StageVars.At(2) = 40;
    if (!queueAfterFirst) State(0).m_Arranges.push_back(entry);
    H().Frame();
    if (queueAfterFirst) State(0).m_Arranges.push_back(entry);
    H().Frame();
    EXPECT_TRUE(State(0).m_Arranges.empty());
    EXPECT_EQ(H().Hero().m_Def.m_Flows.At(0).m_Cmds.At(1).m_pShot->m_nPower, queueAfterFirst ? 43 : 3);
  }
}

// Adds the constant to stage variable `var` each sub-step it runs.
cFlowCommand AddToStageVar(int var, int32_t constant, int16_t time) {
  cFlowCommand c = Wait(time);
  c.m_cKind = CMD_STATUS;
  c.m_Params.assign(22, 0);
  c.m_Params.At(0) = 1;  // a variable
  c.m_Params.At(1) = 1;  // of the stage
  c.m_Params.At(2) = var;
  c.m_Params.At(5) = CALC_ADD;
  c.m_Params.At(7) = constant;
  return c;
}

TEST_F(FlowPlay, CommandRunsItsTimeInSubSteps) {
  // (time + per-clone time x clone) x 6 x n sub-steps; 0 or less is one sub-step.
  struct Case {
    int16_t time;
    int level;
    int32_t runs;
  };
  for (const Case& c : {Case{1, 11, 6}, Case{0, 11, 1}, Case{-3, 11, 1}, Case{1, 2, 12}, Case{2, 13, 36}}) {
    SCOPED_TRACE(testing::Message() << c.time << " at level " << c.level);
    Start({MakeFlow(TRIG_ALWAYS, {AddToStageVar(1, 1, c.time), Wait(100)})}, c.level);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    H().Frames(20);
    EXPECT_EQ(H().Scene().m_StageVars.At(1), c.runs);
  }
}

TEST_F(FlowPlay, ArrangeChangesTheNextCommandByAVariableWithinItsLimits) {
  // S3 is added to the status command's constant, or names its variable (limited to 1..999).
  struct Case {
    int32_t param, op, s3;
    int var;
    int32_t firstRun, secondRun;
  };
  // The change stays in the hero's copy: the second run adds to the changed constant.
  for (const Case& c : {Case{1, CALC_ADD, 10, 1, 11, 11 + 21}, Case{0, CALC_SET, 5000, 999, 1, 2}}) {
    SCOPED_TRACE(c.s3);
    cFlowCommand arrange = Wait(0);
    arrange.m_cKind = CMD_ARRANGE;
    arrange.m_Params = cSafeVector<int32_t>{CMD_STATUS, c.param, c.op, 1, 3};
    Start({MakeFlow(TRIG_ALWAYS, {arrange, AddToStageVar(1, 1, 0), Wait(0)})});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    H().Scene().m_StageVars.At(3) = c.s3;
    H().Frames(2);
    EXPECT_EQ(H().Scene().m_StageVars.At(c.var), c.firstRun);
    H().Frames(3);
    EXPECT_EQ(H().Scene().m_StageVars.At(c.var), c.secondRun);
  }
}

TEST_F(FlowPlay, StatusConditionReadsTheRunningStage) {
  // The hero starts with its maximum HP of 3.
  for (int32_t value : {3, 2}) {
    SCOPED_TRACE(value);
    cFlow f = MakeFlow(TRIG_ALWAYS, {Wait(1)});
    cCond hp;
    hp.m_cKind = COND_STATUS;
    hp.m_cItem = 1;  // HP of the flow's own character
    hp.m_nValue = value;
    hp.m_cOperator = CMP_EQ;
    f.m_Conds.push_back(hp);
    Start({f});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    H().Frame();
    EXPECT_EQ(State(0).m_bRunning, value == 3 ? 1 : 0);
  }
}

}  // namespace
}  // namespace t4::test
