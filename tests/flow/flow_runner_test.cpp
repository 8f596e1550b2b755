// Loop expansion, command durations and the set-up handlers of the moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "flow/cmd_dispatch.h"
#include "flow/flow_runner.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "support/scoped_value.h"

namespace t4::test {
namespace {

// A command marked by its time, so that the expanded order can be read back.
cFlowCommand Marked(int16_t mark) {
  cFlowCommand c;
  c.m_cKind = CMD_WAIT;
  c.m_sTime = mark;
  return c;
}

cFlowCommand Loop(int32_t repeat, int32_t body, int8_t category = CMDCAT_FLOW) {
  cFlowCommand c;
  c.m_cCategory = category;
  c.m_cKind = static_cast<int8_t>(category == CMDCAT_FLOW ? CMD_LOOP : CMD_LOOP - ITEMCMD_KIND_OFFSET);
  c.m_Params = cSafeVector<int32_t>{repeat, body};
  return c;
}

// Marks in order; a leftover loop shows as 'L'.
std::string Marks(const cSafeVector<cFlowCommand>& cmds) {
  std::string s;
  for (const cFlowCommand& c : cmds) s += c.GetFlowKind() == CMD_LOOP ? 'L' : static_cast<char>('0' + c.m_sTime);
  return s;
}

TEST(UnrollLoops, RepeatsTheBodyAndDropsTheLoopCommand) {
  struct Case {
    const char* name;
    std::vector<cFlowCommand> cmds;
    std::string expected;
  };
  const Case cases[] = {
      {"three times two", {Marked(1), Loop(3, 2), Marked(2), Marked(3), Marked(4)}, "12323234"},
      {"body cut at the end", {Loop(3, 2), Marked(5)}, "555"},
      {"repeat 0 keeps the body once", {Loop(0, 2), Marked(1), Marked(2)}, "12"},
      {"repeat 1", {Loop(1, 1), Marked(1), Marked(2)}, "12"},
      {"empty body", {Marked(1), Loop(4, 0), Marked(2)}, "12"},
      {"nested: inner loop copied with the outer body", {Loop(2, 3), Marked(1), Loop(2, 1), Marked(2)}, "122122"},
      {"item loop", {Loop(2, 1, CMDCAT_ITEM), Marked(7)}, "77"},
      {"no loop parameters", {Loop(0, 0), Marked(3)}, "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cSafeVector<cFlowCommand> cmds;
    for (const cFlowCommand& cmd : c.cmds) cmds.push_back(cmd);
    if (std::string(c.name) == "no loop parameters") cmds.At(0).m_Params.clear();
    UnrollLoops(cmds);
    EXPECT_EQ(Marks(cmds), c.expected);
  }
}

TEST(UnrollLoops, CopiesAreDeep) {
  cSafeVector<cFlowCommand> cmds{Loop(2, 1), Marked(1)};
  MakeCondList(cmds.At(1).m_pConds);
  UnrollLoops(cmds);
  ASSERT_EQ(cmds.size(), 2u);
  ASSERT_TRUE(cmds.At(0).m_pConds && cmds.At(1).m_pConds);
  EXPECT_NE(cmds.At(0).m_pConds.get(), cmds.At(1).m_pConds.get());
}

TEST(UnrollLoops, AnOversizedLoopKeepsItsBodyOnce) {
  // 2^31 - 1 repeats of two commands, and loops nested so that they multiply past any memory.
  cSafeVector<cFlowCommand> huge{Loop(2147483647, 2), Marked(1), Marked(2), Marked(3)};
  UnrollLoops(huge);
  EXPECT_EQ(Marks(huge), "123");
  cSafeVector<cFlowCommand> nested;
  for (int i = 0; i < 8; ++i) nested.push_back(Loop(100, 16 - 2 * i));
  nested.push_back(Marked(1));
  UnrollLoops(nested);
  EXPECT_LE(nested.size(), static_cast<size_t>(MAX_EXPANDED_COMMANDS));
  EXPECT_EQ(Marks(nested).find('L'), std::string::npos);
}

TEST(CommandTotal, TimeAndPerCloneTimeInSubSteps) {
  struct Case {
    int16_t time, perClone;
    int clone, n;
    int32_t total;
  };
  const Case cases[] = {
      {1, 0, 0, 2, 12},
      {5, 2, 3, 1, 66},
      {0, 0, 5, 3, 0},
      {2, -1, 3, 1, -6},
      {32767, 32767, 32767, 10, 2147483647},
      {-32768, 32767, -32768, 10, -2147483647 - 1},
  };
  for (const Case& c : cases) {
    cFlowCommand cmd;
    cmd.m_sTime = c.time;
    cmd.m_sTimePerClone = c.perClone;
    EXPECT_EQ(CommandTotal(cmd, c.clone, c.n), c.total) << c.time << " " << c.perClone << " " << c.clone;
  }
}

class MoveSetUp : public ::testing::Test {
 protected:
  cFlowCommandState SetUp(int kind, const cEdMove& move, int16_t time, int n) {
    g_Stage.m_nSubSteps = n;
    g_Stage.m_dSubSteps = n;
    cmd = cFlowCommand();
    cmd.m_cKind = static_cast<int8_t>(kind);
    cmd.m_sTime = time;
    cmd.m_pMove.reset(new cEdMove(move));
    cFlowCommandState s;
    s.m_pCommand = &cmd;
    s.m_nTotal = CommandTotal(cmd, chara.m_nCloneValue, n);
    s.m_dSpeed = move.m_sSpeed * 0.1 / n;
    s.m_nMode = move.m_cDir;
    InitCommand(s, chara);
    return s;
  }
  ScopedRestore<int32_t> subSteps{g_Stage.m_nSubSteps};
  ScopedRestore<double> subStepsReal{g_Stage.m_dSubSteps};
  cFlowCommand cmd;
  cCharaBase chara;
};

TEST_F(MoveSetUp, SolvesSpeedOrTimeFromTheDistance) {
  cEdMove m;
  m.m_sDistance = 10;  // half blocks: 160 dots
  m.m_cSolveMode = 1;
  cFlowCommandState s = SetUp(CMD_STRAIGHT_MOVE, m, 5, 1);
  EXPECT_DOUBLE_EQ(s.m_dSpeed, 160.0 / 30);
  EXPECT_EQ(s.m_nTotal, 30);

  m.m_cSolveMode = 2;
  m.m_sSpeed = 40;  // 4 dots a frame
  s = SetUp(CMD_CHARGE_MOVE, m, 5, 2);
  EXPECT_DOUBLE_EQ(s.m_dSpeed, 2.0);
  EXPECT_EQ(s.m_nTotal, 80);

  m.m_cDistUnit = 1;  // dots
  m.m_sDistance = 7;
  m.m_sDistancePerClone = 2;
  chara.m_nCloneValue = 3;
  s = SetUp(CMD_SCREEN_AVOID_MOVE, m, 5, 2);
  EXPECT_EQ(s.m_nTotal, 6);  // 13 dots at 2 a sub-step
}

TEST_F(MoveSetUp, NegativeTimeIsMadePositiveUnlessTheOlderRuleHolds) {
  cEdMove m;
  m.m_sDistance = -10;
  m.m_cSolveMode = 2;
  m.m_sSpeed = 40;
  for (int32_t older : {0, 1}) {
    ScopedValue<int32_t> rule(g_SystemData.m_bCompat695, older);
    EXPECT_EQ(SetUp(CMD_STRAIGHT_MOVE, m, 1, 1).m_nTotal, older ? -40 : 40);
  }
}

TEST_F(MoveSetUp, ZeroTimeOrZeroSpeedEndsWithoutMovingInsteadOfInfinity) {
  cEdMove m;
  m.m_sDistance = 10;
  m.m_cSolveMode = 1;
  cFlowCommandState s = SetUp(CMD_STRAIGHT_MOVE, m, 0, 1);
  EXPECT_DOUBLE_EQ(s.m_dSpeed, 0.0);  // no time to move in
  m.m_cSolveMode = 2;
  m.m_sSpeed = 0;
  s = SetUp(CMD_STRAIGHT_MOVE, m, 3, 1);
  EXPECT_EQ(s.m_nTotal, 0);
  m.m_cSolveMode = 1;
  s = SetUp(CMD_CIRCLE_MOVE, m, 3, 1);
  EXPECT_EQ(s.m_nTotal, 0);
}

TEST_F(MoveSetUp, CircleRadiusMirrorAndAngles) {
  cEdMove m;
  m.m_sRadius = 25;  // beyond 20 half blocks
  m.m_sAngle = 30;
  m.m_sDistance = 120;  // end angle
  m.m_cDir = 0;
  m.m_cSolveMode = 0;
  cFlowCommandState s = SetUp(CMD_CIRCLE_MOVE, m, 1, 2);
  EXPECT_EQ(s.m_nRadius, 20 * 16 * 2);
  EXPECT_EQ(s.m_nStartAngle, 60);
  EXPECT_EQ(s.m_nEndAngle, 240);
  EXPECT_DOUBLE_EQ(s.m_dSpeed, 180.0 / 12 / 2);
  EXPECT_EQ(s.m_nMode, 0);
  chara.m_bRight = 1;  // mirror X on: half a turn on, the other sense
  s = SetUp(CMD_CIRCLE_MOVE, m, 1, 2);
  EXPECT_EQ(s.m_nStartAngle, 420);
  EXPECT_EQ(s.m_nEndAngle, 600);
  EXPECT_EQ(s.m_nMode, 1);
  m.m_cMirrorY = 1;  // both mirrors: the sense turns back
  EXPECT_EQ(SetUp(CMD_CIRCLE_MOVE, m, 1, 2).m_nMode, 0);
}

TEST_F(MoveSetUp, HomingLagInSubSteps) {
  cEdMove m;
  m.m_sRadius = 4;
  m.m_sRadiusPerClone = 1;
  chara.m_nCloneValue = 2;
  EXPECT_EQ(SetUp(CMD_HOMING_MOVE, m, 1, 3).m_nRadius, 18);
}

TEST(ExecCommand, KindsOutsideTheCommandKindsRunNothing) {
  cCharaBase chara;
  for (int kind : {-1, 40, 127, -128}) {
    cFlowCommand cmd;
    cmd.m_cKind = static_cast<int8_t>(kind);
    cFlowCommandState s;
    s.m_pCommand = &cmd;
    ExecCommand(chara, s);
    InitCommand(s, chara);
    EXPECT_EQ(s.m_nCount, 0);
  }
}

}  // namespace
}  // namespace t4::test
