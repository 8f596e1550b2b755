// The flow-control, stage-clear, game-wait and message commands in a played stage. One sub-step a
// frame (collision level 11), so frame k is sub-step k; the hero's flow 0 runs first.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "data/world_map.h"
#include "flow/cmd_control.h"
#include "gfx/scene_surfaces.h"
#include "persist/save_data.h"
#include "platform/window/input_devices.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "message_fixture.h"

namespace t4::test {
namespace {

cFlowCommand FlowControl(int op, int scope, int id = 0, int owner = 0, int8_t parallel = 0) {
  return Command(CMD_FLOW_CONTROL, 4, {{0, op}, {1, scope}, {2, id}, {3, owner}}, "", 0, parallel);
}

class CmdControlPlay : public ::testing::Test {
 protected:
  // The hero gets `heroFlows`, the walking character beside it `otherFlows`.
  void Start(const std::vector<cFlow>& heroFlows, const std::vector<cFlow>& otherFlows = {}) {
    cStage stage = StageFromRows({
        "..........",
        ".H...w....",
        "##########",
    });
    stage.m_nCollisionLevel = 11;
    for (cCharaDef& d : stage.m_CharaPlaces)
      for (const cFlow& f : d.m_cController == 0 ? heroFlows : otherFlows) d.m_Flows.push_back(f);
    hp.reset();
    hp = std::make_unique<StageHarness>();
    hp->Start(stage);
    ASSERT_GE(hp->RunUntilState(PLAY_PLAY), 0);
  }
  StageHarness& H() { return *hp; }
  cFlowState& HeroFlow(int i) { return H().Hero().m_FlowStates.At(i); }
  cChara& Other() { return *H().Charas().at(0); }

  std::unique_ptr<StageHarness> hp;
};

TEST_F(CmdControlPlay, OperationsOnTheRunningFlowTakeEffectAtOnce) {
  // The flow control is parallel, so without it the wait would start in the same sub-step.
  struct Case {
    const char* name;
    int op;
    int running, paused, halted;
    size_t flowsAfter;
  } cases[] = {
      {"end", FLOWOP_END, 0, 0, 0, 2},
      {"pause", FLOWOP_PAUSE, 1, 1, 0, 2},
      {"halt", FLOWOP_HALT, 1, 0, 1, 2},
      {"delete", FLOWOP_DELETE, 0, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({MakeFlow(TRIG_ALWAYS, {FlowControl(c.op, FLOWSCOPE_THIS, 0, 0, 1), WaitCommand(1)}),
           MakeFlow(TRIG_ALWAYS, {WaitCommand(1)})});
    ASSERT_FALSE(HasFatalFailure());
    H().Frame();
    ASSERT_EQ(H().Hero().m_FlowStates.size(), c.flowsAfter);
    if (c.flowsAfter == 1) {
      // Removed after the flow pass; the other flow moved down and went on.
      EXPECT_EQ(HeroFlow(0).m_Commands.At(0).m_nRemaining, 5);
      continue;
    }
    EXPECT_EQ(HeroFlow(0).m_bRunning, c.running);
    EXPECT_EQ(HeroFlow(0).m_bPaused, c.paused);
    EXPECT_EQ(HeroFlow(0).m_bHalted, c.halted);
    EXPECT_EQ(HeroFlow(0).m_Commands.At(1).m_nRemaining, 0) << "the command after it did not run";
    const int32_t frame = HeroFlow(0).m_nFrame;
    H().Frame();
    if (c.paused || c.halted) {
      EXPECT_EQ(HeroFlow(0).m_nFrame, frame) << "not stepped";
    }
    EXPECT_EQ(HeroFlow(1).m_Commands.At(0).m_nRemaining, 4) << "the other flow went on";
  }
}

TEST_F(CmdControlPlay, ARestartedFlowBeginsAgainWithItsFirstCommand) {
  // A flow that starts itself again at its end runs as a loop, never reaching its third command.
  Start({MakeFlow(TRIG_NONE, {WaitCommand(1), FlowControl(FLOWOP_START, FLOWSCOPE_THIS), WaitCommand(1)})});
  ASSERT_FALSE(HasFatalFailure());
  HeroFlow(0).Start(&H().Hero());
  // Each lap: six sub-steps of the first wait, then the start in the seventh.
  for (int lap = 0; lap < 3; ++lap) {
    SCOPED_TRACE(lap);
    H().Frames(7);
    EXPECT_EQ(HeroFlow(0).m_bRunning, 1);
    EXPECT_EQ(HeroFlow(0).m_nCurrent, 0);
    EXPECT_EQ(HeroFlow(0).m_Commands.At(1).m_bDone, 0);
    EXPECT_EQ(HeroFlow(0).m_Commands.At(2).m_nRemaining, 0) << "the third command never runs";
  }
  H().Frame();
  EXPECT_EQ(HeroFlow(0).m_Commands.At(0).m_nRemaining, 5) << "the first wait runs again";
}

TEST_F(CmdControlPlay, AFlowRunAtOnceThatStartsItselfStopsInsteadOfRecursingForEver) {
  // Before the stage starts the flow runs to its end inside its start, so starting itself would
  // start it again and again.
  Start({MakeFlow(TRIG_BEFORE_STAGE_START, {FlowControl(FLOWOP_START, FLOWSCOPE_THIS, 0, 0, 1)})});
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(H().State(), PLAY_PLAY);
  EXPECT_EQ(HeroFlow(0).m_bRunning, 0);
}

TEST_F(CmdControlPlay, PauseAndResumeOfEveryOtherFlow) {
  Start({MakeFlow(TRIG_ALWAYS, {WaitCommand(1), FlowControl(FLOWOP_PAUSE, FLOWSCOPE_OTHERS), WaitCommand(1),
                                FlowControl(FLOWOP_RESUME, FLOWSCOPE_OTHERS), WaitCommand(10)}),
         MakeFlow(TRIG_ALWAYS, {WaitCommand(5)})});
  ASSERT_FALSE(HasFatalFailure());
  // Sub-steps 1-6 the first wait, 7 the pause: the second flow had run 6 of its 30 sub-steps.
  H().Frames(7);
  EXPECT_EQ(HeroFlow(1).m_bPaused, 1);
  EXPECT_EQ(HeroFlow(0).m_bPaused, 0);
  EXPECT_EQ(HeroFlow(1).m_Commands.At(0).m_nRemaining, 24);
  H().Frames(7);  // 8-13 the wait, 14 the resume: the second flow runs again in the same sub-step
  EXPECT_EQ(HeroFlow(1).m_bPaused, 0);
  EXPECT_EQ(HeroFlow(1).m_Commands.At(0).m_nRemaining, 23);
}

TEST_F(CmdControlPlay, FlowsOfATargetByTheirId) {
  struct Case {
    const char* name;
    int op;
    int owner;
    std::vector<int> idsLeft;
    int firstRunning;
  } cases[] = {
      {"delete both flows of ID 3 on target 1", FLOWOP_DELETE, 1, {5}, 0},
      {"an empty target slot does nothing", FLOWOP_DELETE, 2, {3, 3, 5}, 0},
      {"start the target's flows", FLOWOP_START, 1, {3, 3, 5}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({MakeFlow(TRIG_NONE, {FlowControl(c.op, FLOWSCOPE_ID, 3, c.owner)}, 1)},
          {MakeFlow(TRIG_NONE, {WaitCommand(1)}, 3), MakeFlow(TRIG_NONE, {WaitCommand(1)}, 3),
           MakeFlow(TRIG_NONE, {WaitCommand(1)}, 5)});
    ASSERT_FALSE(HasFatalFailure());
    cChara& other = Other();
    H().Hero().m_Targets.At(0) = &other;
    H().Hero().m_Targets.At(1) = nullptr;
    // Started the way a flow-control command on the hero would start it.
    HeroFlow(0).Start(&H().Hero());
    H().Frame();
    std::vector<int> ids;
    for (const cFlowState& s : other.m_FlowStates) ids.push_back(s.m_pFlow->m_cId);
    EXPECT_EQ(ids, c.idsLeft);
    EXPECT_EQ(other.m_FlowStates.At(0).m_bRunning, c.firstRunning);
    EXPECT_EQ(other.m_FlowStates.At(static_cast<int>(ids.size()) - 1).m_bRunning, 0);
  }
}

TEST_F(CmdControlPlay, StageClearSaysWhereTheGameGoesNext) {
  struct Case {
    const char* name;
    std::map<int, int32_t> params;
    const char* text;
    int32_t nextStage;
    const char* nextName;
    size_t boxes;
  } cases[] = {
      {"next number", {{0, 0}}, "", 5, "", 0},
      {"by number", {{0, 1}, {1, 9}}, "", 9, "", 0},
      {"by path", {{0, 2}}, "data\\stg4\\boss.stg4", 4, "data\\stg4\\boss.", 0},
      {"empty path", {{0, 2}}, "", 4, "", 1},
      {"world clear", {{0, 3}}, "", 0, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({MakeFlow(TRIG_ALWAYS, {Command(CMD_STAGE_CLEAR, 9, c.params, c.text)})});
    ASSERT_FALSE(HasFatalFailure());
    g_SaveData.m_nSequenceNo = 4;
    H().Frame();
    EXPECT_EQ(H().State(), PLAY_STAGE_END);
    EXPECT_EQ(H().Scene().m_nNextStage, c.nextStage);
    EXPECT_EQ(H().Scene().m_strNextStage, c.nextName);
    EXPECT_EQ(H().Boxes().Boxes().size(), c.boxes);
  }
}

TEST_F(CmdControlPlay, StageClearKeepsTheMapPositionOnTheMapAndSetsTheRestart) {
  ScopedRestore<int32_t> width(g_WorldMap.m_nWidth), height(g_WorldMap.m_nHeight);
  struct Case {
    int32_t x, y;
    int32_t mapX, mapY;
  } cases[] = {{2, 3, 2, 3}, {-3, 99, 0, 3}, {7, -1, 4, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    Start({MakeFlow(TRIG_ALWAYS, {Command(CMD_STAGE_CLEAR, 9,
                                          {{0, 0}, {2, 1}, {3, c.x}, {4, c.y}, {5, 1}, {6, 2}, {7, 3}, {8, 2}})})});
    ASSERT_FALSE(HasFatalFailure());
    g_WorldMap.m_nWidth = 5;
    g_WorldMap.m_nHeight = 4;
    g_SaveData.m_nMapDir = 7;
    H().Hero().m_bRight = 1;
    H().Frame();
    EXPECT_EQ(g_SaveData.m_nMapX, c.mapX);
    EXPECT_EQ(g_SaveData.m_nMapY, c.mapY);
    EXPECT_EQ(g_SaveData.m_nMapDir, 0);
    EXPECT_EQ(g_SaveData.m_bNextStart, 1);
    EXPECT_EQ(g_SaveData.m_nNextStartX, 2);
    EXPECT_EQ(g_SaveData.m_nNextStartY, 3);
    EXPECT_EQ(g_SaveData.m_nNextStartDir, 1) << "the hero's facing at the clear";
  }
  // Without a restart position the stored one is forgotten.
  Start({MakeFlow(TRIG_ALWAYS, {Command(CMD_STAGE_CLEAR, 9, {{0, 0}})})});
  g_SaveData.m_bNextStart = 1;
  H().Frame();
  EXPECT_EQ(g_SaveData.m_bNextStart, 0);
}

TEST_F(CmdControlPlay, GameWaitFreezesTheStageForItsTime) {
  Start({MakeFlow(TRIG_ALWAYS, {Command(CMD_GAME_WAIT, 1, {{0, 5}}), WaitCommand(10)})});
  ASSERT_FALSE(HasFatalFailure());
  const int presented = H().Presented();
  const int32_t frame = H().Scene().m_nPlayFrame;
  int windowsSeen = -1;
  H().OnPresent([&](int, const platform::Frame&) {
    if (windowsSeen < 0) windowsSeen = static_cast<int>(H().Scene().m_MessageWindows.size());
  });
  H().Frame();
  H().OnPresent(nullptr);
  EXPECT_EQ(H().Presented() - presented, 30);
  EXPECT_EQ(H().Scene().m_nPlayFrame, frame + 1);
  EXPECT_EQ(windowsSeen, 1) << "the wait's window while the stage stands";
  EXPECT_TRUE(H().Scene().m_MessageWindows.empty());
  EXPECT_EQ(HeroFlow(0).m_nCurrent, 1);
}

// Freezing messages: the pause thread shows the stage while the player reads; button 1 is
// pressed and let go by script after given frames of the pause thread.
class MessageWaitPlay : public CmdControlPlay {
 protected:
  struct KeyEvent {
    int afterFrame;
    bool down;
  };
  // One play frame; returns the frames the pause thread showed.
  int RunFrame(std::vector<KeyEvent> keys = {}) {
    const int base = H().Presented();
    H().OnPresent([this, base, keys](int count, const platform::Frame&) {
      for (const KeyEvent& k : keys)
        if (count - base == k.afterFrame) platform::SetKeyDown('Z', k.down);
      if (onPauseFrame) onPauseFrame();
    });
    H().Frame();
    H().OnPresent(nullptr);
    platform::SetKeyDown('Z', false);
    return H().Presented() - base;
  }
  std::function<void()> onPauseFrame;
};

TEST_F(MessageWaitPlay, WaitsForAFreshPressOfButton1AfterItsLock) {
  struct Case {
    const char* name;
    std::vector<KeyEvent> keys;
    int shown;
  } cases[] = {
      // The press read after frame 12 is the first one past the ten locked frames.
      {"pressed after the lock", {{12, true}}, 12},
      {"a press in the lock is ignored, also while held", {{3, true}, {13, false}, {15, true}}, 15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({MakeFlow(TRIG_ALWAYS, {MessageCommand("はい", {{8, 1}}), WaitCommand(100)})});
    ASSERT_FALSE(HasFatalFailure());
    ThreadedMainWindow window;
    size_t windowsWhileShown = 0;
    onPauseFrame = [&] { windowsWhileShown = H().Scene().m_MessageWindows.size(); };
    EXPECT_EQ(RunFrame(c.keys), c.shown);
    EXPECT_EQ(windowsWhileShown, 1u);
    EXPECT_TRUE(H().Scene().m_MessageWindows.empty()) << "taken away once read";
    EXPECT_EQ(window.Sounds(), (std::vector<int>{11, 12}));
    EXPECT_EQ(H().Scene().m_bButtonLock, 1);
    EXPECT_EQ(HeroFlow(0).m_bMessageWait, 1);
  }
}

TEST_F(MessageWaitPlay, ASecondWaitingMessageOpensAtOnceWithoutSound) {
  Start({MakeFlow(TRIG_ALWAYS, {MessageCommand("一", {{8, 1}}), MessageCommand("二", {{8, 1}}), WaitCommand(100)})});
  ASSERT_FALSE(HasFatalFailure());
  ScopedGameFonts fonts;
  ThreadedMainWindow window;
  EXPECT_EQ(RunFrame({{12, true}}), 12);
  int appear = -1;
  onPauseFrame = [&] { appear = H().Scene().m_MessageWindows.back().m_bAppear; };
  // No lock: the press after the first frame answers.
  EXPECT_EQ(RunFrame({{1, true}}), 1);
  EXPECT_EQ(appear, 0);
  EXPECT_EQ(window.Sounds(), (std::vector<int>{11, 12, 12}));
}

TEST_F(MessageWaitPlay, UntilTheStageEndsFreezesWithTheWaitRecordAsItStands) {
  // The message sets no wait and plays no sound 11: the record an earlier wait left decides.
  struct Case {
    const char* name;
    int mode, button, frames;
    std::vector<KeyEvent> keys;
    int shown;
    std::vector<int> sounds;
  } cases[] = {
      {"4 frames of a timed wait left", WAIT_GAME, 0, 4, {}, 4, {}},
      {"a timed wait that has run out", WAIT_GAME, 0, -1, {}, 0, {}},
      {"a key wait left, without its lock", WAIT_MESSAGE, 1, 0, {{3, true}}, 3, {12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start({MakeFlow(TRIG_ALWAYS, {MessageCommand("まて", {{8, 1}, {6, MSGWIN_UNTIL_END}}), WaitCommand(100)})});
    ASSERT_FALSE(HasFatalFailure());
    ThreadedMainWindow window;
    H().Scene().m_Wait.Set(c.mode, c.button, c.frames, 1);
    // A wait for a key nobody presses would not end: cut it after 60 frames.
    const int base = H().Presented();
    onPauseFrame = [&] {
      if (H().Presented() - base >= 60) H().Scene().m_Wait.Set(WAIT_GAME, 0, 0, 1);
    };
    EXPECT_EQ(RunFrame(c.keys), c.shown);
    EXPECT_EQ(window.Sounds(), c.sounds);
    EXPECT_TRUE(H().Scene().m_MessageWindows.empty()) << "taken away after the freeze";
  }
}

TEST_F(MessageWaitPlay, ATimedFreezeShowsItsFramesWithoutAKey) {
  Start({MakeFlow(TRIG_ALWAYS, {MessageCommand("とき", {{8, 1}, {6, MSGWIN_TIMED}, {7, 1}}), WaitCommand(100)})});
  ASSERT_FALSE(HasFatalFailure());
  ThreadedMainWindow window;
  int remaining = -1;
  onPauseFrame = [&] { remaining = H().Scene().m_MessageWindows.back().m_nRemaining; };
  EXPECT_EQ(RunFrame(), 6);
  EXPECT_EQ(remaining, 0) << "counted down while the stage stood";
  EXPECT_TRUE(H().Scene().m_MessageWindows.empty());
  EXPECT_TRUE(window.Sounds().empty());
}

TEST_F(MessageWaitPlay, OnlyTheWindowItShowedIsTakenAway) {
  Start({MakeFlow(TRIG_ALWAYS, {MessageCommand("ずっと", {{6, MSGWIN_UNTIL_END}, {12, 1}, {13, 4}}),
                                MessageCommand("よんで", {{8, 1}}), WaitCommand(100)})});
  ASSERT_FALSE(HasFatalFailure());
  ThreadedMainWindow window;
  H().Frame();
  ASSERT_EQ(H().Scene().m_MessageWindows.size(), 1u);
  // The shown window ends while the stage stands (as one over a character that is gone would).
  onPauseFrame = [&] {
    auto& list = H().Scene().m_MessageWindows;
    if (list.size() == 2) RemoveMessageWindow(list, list.back().m_nSerial);
  };
  RunFrame({{12, true}});
  ASSERT_EQ(H().Scene().m_MessageWindows.size(), 1u);
  EXPECT_EQ(H().Scene().m_MessageWindows.front().m_nMsgId, 4);
}

TEST_F(CmdControlPlay, MessagesFoundByTheirId) {
  const std::map<int, int32_t> shown = {{6, MSGWIN_UNTIL_END}, {12, 1}, {13, 7}};
  const std::map<int, int32_t> remove = {{12, 1}, {13, 7}, {15, 1}};
  const std::map<int, int32_t> removeOther = {{12, 1}, {13, 8}, {15, 1}};
  Start({MakeFlow(TRIG_ALWAYS, {MessageCommand("before", {{6, MSGWIN_UNTIL_END}}), MessageCommand("abcd", shown),
                                MessageCommand("after", {{6, MSGWIN_UNTIL_END}}), MessageCommand("wxyz", shown),
                                MessageCommand("longer text", shown), MessageCommand("", removeOther),
                                MessageCommand("", remove), WaitCommand(100)})});
  ASSERT_FALSE(HasFatalFailure());
  ScopedGameFonts fonts;
  auto& list = H().Scene().m_MessageWindows;
  auto texts = [&list] {
    std::vector<std::string> t;
    for (const cMessageWindow& w : list) t.push_back(w.m_strText);
    return t;
  };
  H().Frames(3);
  ASSERT_EQ(texts(), (std::vector<std::string>{"before", "abcd", "after"}));
  const uint32_t serial = std::next(list.begin())->m_nSerial;
  const DDSURFACEDATA* surface = std::next(list.begin())->m_lpSurface;
  H().Frame();  // the same size: the window is used again with its surface
  EXPECT_EQ(texts(), (std::vector<std::string>{"before", "wxyz", "after"}));
  EXPECT_EQ(std::next(list.begin())->m_nSerial, serial);
  EXPECT_EQ(std::next(list.begin())->m_lpSurface, surface);
  H().Frame();  // a longer text replaces it at its place in the list
  EXPECT_EQ(texts(), (std::vector<std::string>{"before", "longer text", "after"}));
  EXPECT_NE(std::next(list.begin())->m_nSerial, serial);
  EXPECT_EQ(Off_Msg.size(), 3u);
  H().Frame();  // removing an ID that no window has does nothing
  EXPECT_EQ(list.size(), 3u);
  H().Frame();
  EXPECT_EQ(texts(), (std::vector<std::string>{"before", "after"}));
  EXPECT_EQ(Off_Msg.size(), 2u) << "its surface went with it";
}

}  // namespace
}  // namespace t4::test
