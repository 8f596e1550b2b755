// Building, adding and removing a character's flow states, and the animations a flow schedules
// for its commands.
#include <gtest/gtest.h>

#include <vector>

#include "data/database.h"
#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "flow/flow_runner.h"
#include "stage/chara_base.h"
#include "support/scoped_value.h"

namespace t4::test {
namespace {

cFlowCommand Cmd(int kind, int16_t time, int8_t parallel = 0, int16_t anime = 0) {
  cFlowCommand c;
  c.m_cKind = static_cast<int8_t>(kind);
  c.m_sTime = time;
  c.m_cParallel = parallel;
  c.m_sAnime = anime;
  return c;
}

cFlow Flow(int8_t id, std::vector<cFlowCommand> cmds) {
  cFlow f;
  f.m_cId = id;
  f.m_cTrigger = TRIG_NONE;
  for (const cFlowCommand& c : cmds) f.m_Cmds.push_back(c);
  return f;
}

class FlowStates : public ::testing::Test {
 protected:
  FlowStates() {
    g_Stage.m_nSubSteps = 1;
    g_Stage.m_dSubSteps = 1;
    chara.m_GroupRunning.assign(27, 0);
    chara.m_GroupEnded.assign(27, 0);
    chara.m_GroupStarted.assign(27, 0);
  }
  // The IDs of the character's flows in state order, checked against the definitions.
  std::vector<int> Ids() {
    std::vector<int> ids;
    for (int i = 0; i < static_cast<int>(chara.m_FlowStates.size()); ++i) {
      const cFlowState& s = chara.m_FlowStates.At(i);
      EXPECT_EQ(s.m_nIndex, i);
      EXPECT_EQ(s.m_pFlow, &chara.m_Def.m_Flows.At(i));
      for (size_t j = 0; j < s.m_Commands.size(); ++j) EXPECT_EQ(s.m_Commands[j].m_pCommand, &s.m_pFlow->m_Cmds[j]);
      ids.push_back(s.m_pFlow->m_cId);
    }
    return ids;
  }

  ScopedRestore<int32_t> subSteps{g_Stage.m_nSubSteps};
  ScopedRestore<double> subStepsReal{g_Stage.m_dSubSteps};
  cCharaBase chara;
};

TEST_F(FlowStates, InsertedFlowsShiftTheOldOnesWhichKeepTheirStates) {
  chara.m_Def.m_Flows = cSafeVector<cFlow>{Flow(1, {Cmd(CMD_WAIT, 1)}), Flow(2, {Cmd(CMD_WAIT, 2)})};
  EXPECT_EQ(InsertFlows(chara, chara.m_Def.m_Flows, 0, -1), 2);
  chara.m_FlowStates.At(1).m_bRunning = 1;
  cSafeVector<cFlow> added{Flow(7, {Cmd(CMD_WAIT, 1)}), Flow(8, {})};
  added.At(1).m_cKeyRepeat = 1;
  EXPECT_EQ(InsertFlows(chara, added, 1, 0), 2);
  EXPECT_EQ(Ids(), (std::vector<int>{7, 8, 1, 2}));
  EXPECT_EQ(chara.m_FlowStates.At(3).m_bRunning, 1);
  EXPECT_EQ(chara.m_FlowStates.At(0).m_bRunning, 0);
  // A flow added without key repeat counts its key sequence as already held.
  EXPECT_EQ(chara.m_FlowStates.At(0).m_bKeyEdge, 1);
  EXPECT_EQ(chara.m_FlowStates.At(1).m_bKeyEdge, 0);
  EXPECT_EQ(chara.m_FlowStates.At(0).m_nSerial, 2);
  InsertFlows(chara, added, 1, -1);
  InsertFlows(chara, added, 1, 99);
  EXPECT_EQ(Ids(), (std::vector<int>{7, 8, 1, 2, 7, 8, 7, 8}));
}

TEST_F(FlowStates, RemovingByIdTakesAdjacentFlowsAndTheirAnimations) {
  chara.m_Def.m_Flows = cSafeVector<cFlow>{Flow(1, {}), Flow(4, {}), Flow(4, {}), Flow(0, {}), Flow(4, {})};
  InsertFlows(chara, chara.m_Def.m_Flows, 0, -1);
  RUNNINGANIME a;
  a.m_nFlowSerial = chara.m_FlowStates.At(2).m_nSerial;
  chara.m_RunningAnimes.push_back(a);
  a.m_nFlowSerial = chara.m_FlowStates.At(0).m_nSerial;
  chara.m_RunningAnimes.push_back(a);
  EXPECT_EQ(RemoveFlowsById(chara, 4), 1);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 0}));
  ASSERT_EQ(chara.m_RunningAnimes.size(), 1u);
  EXPECT_EQ(RemoveFlowsById(chara, 9), -1);
  EXPECT_EQ(RemoveFlowsById(chara, 0), 0);
  EXPECT_TRUE(chara.m_FlowStates.empty());
  EXPECT_TRUE(chara.m_Def.m_Flows.empty());
  EXPECT_TRUE(chara.m_RunningAnimes.empty());
}

TEST_F(FlowStates, StoppingARunningGroupFlowEndsItsGroup) {
  cFlow f = Flow(1, {Cmd(CMD_WAIT, 1)});
  f.m_cTrigger = TRIG_ALWAYS;
  f.m_cGroup = 5;
  chara.m_Def.m_Flows = cSafeVector<cFlow>{f};
  InsertFlows(chara, chara.m_Def.m_Flows, 0, -1);
  cFlowState& s = chara.m_FlowStates.At(0);
  s.Start(&chara);
  EXPECT_EQ(chara.m_GroupRunning.At(5), 1);
  EXPECT_EQ(chara.m_GroupStarted.At(5), 1);
  s.m_Arranges.push_back(ARRANGEENTRY{0, 0, 0, 0, 0});
  s.Halt(&chara);
  EXPECT_EQ(s.m_bRunning, 1);  // halted, not stopped
  EXPECT_EQ(chara.m_GroupEnded.At(5), 1);
  EXPECT_EQ(chara.m_bGroupEndPending, 1);
  s.Stop(&chara);
  EXPECT_EQ(s.m_bRunning, 0);
  EXPECT_TRUE(s.m_Arranges.empty());
}

TEST_F(FlowStates, AnimationIsTimedToEndWhenItsCommandStarts) {
  // Animation 1 plays 10 tenths (60 frames) before its held frame.
  cSafeVector<cAnimeData> animes(2);
  cAnimeFrameData frame;
  frame.m_nTime = 4;
  animes.At(1).m_Frames = cSafeVector<cAnimeFrameData>{frame, frame};
  animes.At(1).m_Frames.At(1).m_nTime = 6;
  frame.m_nEndFlag = 1;
  animes.At(1).m_Frames.push_back(frame);
  ScopedValue<cSafeVector<cAnimeData>> db(g_Database.m_Animes, animes);
  // 30 sub-steps (time 5) before the command: not enough, so it starts with the flow, 30 frames in.
  // 90 sub-steps (a parallel command does not count): it starts at sub-step 30.
  chara.m_Def.m_Flows = cSafeVector<cFlow>{
      Flow(1, {Cmd(CMD_WAIT, 5), Cmd(CMD_SHOT, 2, 0, 1)}),
      Flow(2, {Cmd(CMD_WAIT, 15), Cmd(CMD_WAIT, 50, 1), Cmd(CMD_JUMP, 2, 0, 1)}),
  };
  InsertFlows(chara, chara.m_Def.m_Flows, 0, -1);
  const FLOWANIME& first = chara.m_FlowStates.At(0).m_AnimeSchedule.At(0);
  EXPECT_EQ(first.nStart, 0);
  EXPECT_EQ(first.sSkip, 30);
  EXPECT_EQ(first.sFrames, 30);
  EXPECT_EQ(first.sHold, 12);
  EXPECT_EQ(first.bHoldFlag, 1);
  const FLOWANIME& second = chara.m_FlowStates.At(1).m_AnimeSchedule.At(0);
  EXPECT_EQ(second.nStart, 30);
  EXPECT_EQ(second.sSkip, 0);
  EXPECT_EQ(second.sFrames, 60);
  EXPECT_EQ(second.bHoldFlag, 0);
}

}  // namespace
}  // namespace t4::test
