// Commands with values or data no game should hold, in a played stage: items that give each other
// without end, times far out of range, and a message window's life counted in draws.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/report_log.h"
#include "data/stage_file.h"
#include "flow/cmd_control.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "support/stage_harness.h"
#include "support/temp_dir.h"

#include "cmd_builders.h"
#include "play_constants.h"

namespace t4::test {
namespace {

constexpr int ITEM_GET_ITEM = CMD_GET_ITEM - ITEMCMD_KIND_OFFSET;

class CommandLimitsPlay : public ::testing::Test {
 protected:
  // The hero alone, with `heroFlows` and the stage palette's items `items` (item 0 stays empty).
  void Start(const std::vector<cFlow>& heroFlows, const std::vector<std::vector<cFlowCommand>>& items = {}) {
    cStage stage = StageFromRows({"..........", ".H........", "##########"});
    stage.m_nCollisionLevel = 11;
    for (const cFlow& f : heroFlows) stage.m_CharaPlaces.At(0).m_Flows.push_back(f);
    stage.m_Palette.m_Items.resize(items.size() + 1);
    for (size_t i = 0; i < items.size(); ++i)
      for (const cFlowCommand& c : items[i]) stage.m_Palette.m_Items.At(i + 1).m_Cmds.push_back(c);
    hp.reset();
    hp = std::make_unique<StageHarness>();
    ASSERT_TRUE(InitReportLog((hp->ProjectDir() / "Report_Game.txt").string().c_str()));
    hp->Start(stage);
    ASSERT_GE(hp->RunUntilState(PLAY_PLAY), 0);
  }
  StageHarness& H() { return *hp; }
  int32_t& S(int n) { return H().Scene().m_StageVars.At(n); }
  std::string ReportLog() { return ReadFile(H().ProjectDir() / "Report_Game.txt"); }

  // One frame whose pause thread is cut short after `limit` frames (a wait that would not end by
  // itself); the frames the pause thread showed.
  int FrameWithPauseBound(int limit = 100) {
    const int base = H().Presented();
    H().OnPresent([this, base, limit](int count, const platform::Frame&) {
      if (count - base >= limit) {
        H().Scene().m_Wait.m_bButton = 0;
        H().Scene().m_Wait.m_nFrames = 0;
      }
    });
    H().Frame();
    H().OnPresent(nullptr);
    return H().Presented() - base;
  }

  std::unique_ptr<StageHarness> hp;
};

cFlow GetItemOnce(int item) {
  cFlow f = TriggeredFlow(TRIG_ALWAYS, {Command(CMD_GET_ITEM, {1, item}), Command(CMD_WAIT, {})});
  f.m_Cmds.At(1).m_sTime = 1000;
  return f;
}

TEST_F(CommandLimitsPlay, ItemsThatGiveEachOtherStopAtADepthLimitWithALogLine) {
  // Each list counts its runs in S1 (item 1) or S2 (item 2); 32 nested lists at most.
  struct Case {
    const char* name;
    std::vector<std::vector<cFlowCommand>> items;
    int s1, s2;
  } cases[] = {
      {"an item that gives itself", {{Code("S1 = S1 + 1", CMDCAT_ITEM), ItemCommand(ITEM_GET_ITEM, {1, 1})}}, 32, 0},
      {"two items that give each other",
       {{Code("S1 = S1 + 1", CMDCAT_ITEM), ItemCommand(ITEM_GET_ITEM, {1, 2})},
        {Code("S2 = S2 + 1", CMDCAT_ITEM), ItemCommand(ITEM_GET_ITEM, {1, 1})}},
       16,
       16},
      // Without the chain being cut at the limit this would run 2^32 lists.
      {"an item that gives itself twice",
       {{ItemCommand(ITEM_GET_ITEM, {1, 1}), ItemCommand(ITEM_GET_ITEM, {1, 1}), Code("S1 = S1 + 1", CMDCAT_ITEM)}},
       32,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({GetItemOnce(1)}, c.items);
    ASSERT_FALSE(HasFatalFailure());
    H().Frame();
    EXPECT_EQ(S(1), c.s1);
    EXPECT_EQ(S(2), c.s2);
    EXPECT_NE(ReportLog().find("Items giving items too deep"), std::string::npos);
    // The next get-item of the stage runs its list again from the top.
    H().Scene().m_StageVars.At(1) = 0;
    H().Hero().m_FlowStates.At(0).Start(&H().Hero());
    H().Frame();
    EXPECT_EQ(S(1), c.s1);
  }
}

TEST_F(CommandLimitsPlay, AGameWaitOfAnyNegativeTimeEndsAtOnce) {
  // f = p0 x 6 frames of frozen stage; a count already below 0 ends the wait on its first test.
  struct Case {
    int32_t tenths;
    int frozen;
  } cases[] = {{1, 6}, {0, 0}, {-1, 0}, {-357913942, 0}, {INT32_MIN, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tenths);
    cFlow flow = TriggeredFlow(TRIG_ALWAYS, {Command(CMD_GAME_WAIT, {c.tenths}), Command(CMD_WAIT, {})});
    flow.m_Cmds.At(1).m_sTime = 1000;
    Start({flow});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(FrameWithPauseBound(), c.frozen);
    EXPECT_TRUE(H().Scene().m_MessageWindows.empty());
  }
}

TEST_F(CommandLimitsPlay, AScreenColourDurationPastTheFrameCounterGetsTheLongestItHolds) {
  // Duration = p5 x 6 frames: INT32_MAX tenths would wrap to -6 and tint at once.
  constexpr int32_t LONGEST = INT32_MAX / 6;
  struct Case {
    int32_t tenths, frames;
  } cases[] = {{10, 60}, {INT32_MAX, LONGEST * 6}, {INT32_MIN, -LONGEST * 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tenths);
    Start({TriggeredFlow(TRIG_ALWAYS,
                         {Command(CMD_SCREEN_COLOR, {255, 0, 0, 100, 0, c.tenths, 0, 0}), Command(CMD_WAIT, {})})});
    ASSERT_FALSE(HasFatalFailure());
    H().Frame();
    EXPECT_EQ(H().Scene().m_Draw.m_ScreenColor.m_nDuration, c.frames);
  }
}

TEST_F(CommandLimitsPlay, ATimedMessageOfFFramesIsShownInFPlusOneFrames) {
  // Time p7 in tenths (f = p7 x 6), or f = 1 with the one-frame option p17; 0 frames: shown once.
  struct Case {
    int32_t tenths, oneFrame;
    int shown;
  } cases[] = {{0, 0, 1}, {0, 1, 2}, {1, 0, 7}, {-1, 0, 0}, {INT32_MIN, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tenths << " one frame " << c.oneFrame);
    std::vector<int32_t> p(19, 0);
    p[6] = 2;  // timed
    p[7] = c.tenths;
    p[17] = c.oneFrame;
    cFlowCommand message = Command(CMD_MESSAGE, p);
    message.m_strText = "M";
    cFlow flow = TriggeredFlow(TRIG_ALWAYS, {message, Command(CMD_WAIT, {})});
    flow.m_Cmds.At(1).m_sTime = 1000;
    Start({flow});
    ASSERT_FALSE(HasFatalFailure());
    int shown = 0;
    for (int frame = 0; frame < 20; ++frame) {
      H().Frame();
      if (!H().Scene().m_MessageWindows.empty()) ++shown;
    }
    EXPECT_EQ(shown, c.shown);
  }
}

cFlowCommand StartFlowsById(int id) {
  cFlowCommand c = Command(CMD_FLOW_CONTROL, {FLOWOP_START, FLOWSCOPE_ID, id, 0});
  c.m_cParallel = 1;
  return c;
}

cFlowCommand CountIn(int var) {
  cFlowCommand c = Code("S" + std::to_string(var) + " = S" + std::to_string(var) + " + 1");
  c.m_cParallel = 1;
  return c;
}

TEST_F(CommandLimitsPlay, FlowsRunAtOnceThatStartEachOtherTwiceStopAtTheDepthLimit) {
  Start({TriggeredFlow(TRIG_BEFORE_STAGE_START, {CountIn(1), StartFlowsById(2), StartFlowsById(2)}, 1),
         TriggeredFlow(TRIG_BEFORE_STAGE_START, {CountIn(2), StartFlowsById(1), StartFlowsById(1)}, 2)});
  ASSERT_FALSE(HasFatalFailure());
  // Each start nests one run deeper until the depth limit; every run starts the other flow twice,
  // so without the limit and the abort of a restarted flow this would branch without end.
  EXPECT_GT(S(1), 0);
  EXPECT_GT(S(2), 0);
  EXPECT_LT(S(1) + S(2), 100);
  EXPECT_NE(ReportLog().find("flows starting each other at once"), std::string::npos);
}

}  // namespace
}  // namespace t4::test
