// The stage end in a played stage: totals and extra lives, ranking positions and their entry
// into the ranking file, the clear display's timing, the next stage of a numbered series and the
// scene that follows a clear in each game mode.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "core/globals.h"
#include "core/thread.h"
#include "platform/window/input_devices.h"
#include "platform/winapi.h"
#include "data/data_refs.h"
#include "data/stage_file.h"
#include "persist/ranking.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/system_data_records.h"
#include "persist/user_records.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "draw_probe.h"
#include "play_constants.h"

namespace t4::test {
namespace {

cStage Floor() {
  cStage stage = StageFromRows({
      "..............................",
      "....H.........................",
      "##############################",
  });
  stage.m_nCollisionLevel = 11;
  return stage;
}

struct Started {
  StageHarness h;
  explicit Started(const cStage& stage = Floor()) {
    h.Start(stage);
    EXPECT_GE(h.RunUntilState(PLAY_STATE), 0);
  }
};

TEST(StageEndPlayTest, ExtraLivesByScoreStopAtNinetyNineButEveryStepIsAnnounced) {
  struct Case {
    const char* name;
    int32_t step;
    int32_t lives;
    int32_t livesAfter;
    int notices;
  };
  const Case cases[] = {
      // 9,990 + 20,020 = 30,010 crosses 10,000, 20,000 and 30,000.
      {"three steps", 10000, 5, 8, 3},
      {"only up to 99", 10000, 98, 99, 3},
      {"already at 99", 10000, 99, 99, 3},
      // 30,010 / 100 - 9,990 / 100 = 201 steps: notices stop after 99.
      {"a tiny step", 100, 5, 99, 99},
      {"unlimited lives", 10000, 999999, 999999, 0},
      {"no step", 0, 5, 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s;
    int notices = 0;
    s.h.OnSystemSound([&](int sound) { notices += sound == 15; });
    g_SystemData.m_bExtraLifeByScore = 1;
    g_SystemData.m_nExtraLifeScore = c.step;
    g_SaveData.m_nLives = c.lives;
    g_SaveData.m_nResultScore = 9990;
    g_SaveData.m_nStageScore = 20020;
    const int presented = s.h.Presented();
    s.h.Scene().AddStageTotals();
    EXPECT_EQ(g_SaveData.m_nResultScore, 30010);
    EXPECT_EQ(g_SaveData.m_nLives, c.livesAfter);
    EXPECT_EQ(notices, c.notices);
    // Each notice holds the stage for 30 frames drawn by the pause thread.
    EXPECT_GE(s.h.Presented() - presented, 30 * c.notices);
  }
}

TEST(StageEndPlayTest, TotalsAddTheStageAndTimeOnlyWithATimeLimit) {
  for (int noLimit : {0, 1}) {
    SCOPED_TRACE(noLimit);
    Started s;
    g_SaveData.m_nResultTime = 100;
    g_SaveData.m_nResultClearTime = 1000;
    g_SaveData.m_nResultHp = 7;
    s.h.Scene().m_bNoTimeLimit = noLimit;
    s.h.Scene().m_nTimeLeft = 25;
    s.h.Scene().m_nPlayTime = 333;
    s.h.Hero().m_nHp = 3;
    g_SaveData.m_nResultScore = 2147483000;
    g_SaveData.m_nStageScore = 5000;
    s.h.Scene().AddStageTotals();
    EXPECT_EQ(g_SaveData.m_nResultTime, noLimit ? 100 : 125);
    EXPECT_EQ(g_SaveData.m_nResultClearTime, 1333);
    EXPECT_EQ(g_SaveData.m_nResultHp, 10);
    // The total stops at the largest score instead of wrapping.
    EXPECT_EQ(g_SaveData.m_nResultScore, 2147483647);
  }
}

// Rankings on for the free mode, every kind enabled by the rule; the stage takes part in all
// kinds but kind 1.
void EnableRankings() {
  g_Game.m_bRanking = 1;
  cRankingRule& rule = g_SystemData.m_RankingRules.At(g_Game.m_nGameMode);
  rule.m_bEnabled = 1;
  rule.m_Kinds.assign(5, 1);
  g_Stage.m_RankingKinds.assign(5, 1);
  g_Stage.m_RankingKinds.At(1) = 0;
  g_Ranking.Reset();
}

TEST(StageEndPlayTest, ClearTakesRankingPositionsExceptInATestPlay) {
  for (int testPlay : {0, 1}) {
    SCOPED_TRACE(testPlay);
    Started s;
    g_bTestPlay = testPlay;
    EnableRankings();
    g_SaveData.m_nResultScore = 0;
    g_SaveData.m_nStageScore = 1234;
    s.h.Scene().m_nEndRequest = 1;
    s.h.Frame();
    ASSERT_EQ(s.h.State(), PLAY_STAGE_END);
    EXPECT_EQ(s.h.Scene().m_RankValue.At(0), 1234);
    if (testPlay) {
      EXPECT_EQ(s.h.Scene().m_bRanked, 0);
      EXPECT_EQ(s.h.Scene().m_RankPos.At(0), -1);
    } else {
      EXPECT_EQ(s.h.Scene().m_bRanked, 1);
      EXPECT_EQ(s.h.Scene().m_RankPos.At(0), 0);
      // The stage does not take part in kind 1.
      EXPECT_EQ(s.h.Scene().m_RankPos.At(1), -1);
    }
  }
}

TEST(StageEndPlayTest, AutomaticEntryWritesTheRankingFileOnLeaving) {
  cStage stage = Floor();
  stage.m_nShowClearCaption = 0;
  Started s(stage);
  g_bTestPlay = 0;
  EnableRankings();
  g_OptionData.m_nRankingMode = 3;
  g_OptionData.m_strFixedRankingName = "abc";
  g_SaveData.m_strStageName = "entry.";
  g_SaveData.m_nStageScore = 500;
  s.h.Scene().m_nEndRequest = 1;
  s.h.Frame();
  ASSERT_EQ(s.h.Scene().m_bRanked, 1);
  // The caption-less clear display accepts button 1 from its second frame; leaving registers the
  // results and shows the rankings on their own thread, ended here from outside (the window
  // thread of the harness is the waiting game thread, so no sound may be asked for meanwhile).
  std::filesystem::create_directories(s.h.ProjectDir() / "user_data" / "free");
  s.h.Frame();
  std::atomic<bool> done{false};
  std::thread closer([&] {
    while (!done) {
      if (thRanking.m_dwThreadId) PostThreadMessage(thRanking.m_dwThreadId, WM_QUIT, 0, 0);
      usleep(5000);
    }
  });
  s.h.Frame(0, BUTTON_1);
  done = true;
  closer.join();
  EXPECT_EQ(s.h.State(), PLAY_FADE_OUT);
  EXPECT_EQ(s.h.Scene().m_bRankEntered, 1);
  std::string path;
  ASSERT_TRUE(GetRankingPath(path, g_Game.m_nGameMode, "entry.", 0, 0, 0));
  cRanking stored;
  ASSERT_TRUE(stored.LoadFromFile(path.c_str()));
  ASSERT_GE(stored.m_Lists.size(), 1u);
  EXPECT_EQ(stored.m_Lists.At(0).m_Rows.At(0).m_strName, "abc");
  EXPECT_EQ(stored.m_Lists.At(0).m_Rows.At(0).m_nValue, 500);
  // Written through a temporary file that is renamed: nothing else is left beside it.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(s.h.ProjectDir() / "user_data" / "free"))
    files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

// Runs `step` while the rankings shown on their own thread are ended from outside (the harness's
// window thread is the waiting game thread, so the display cannot ask for its leaving sound).
template <class F>
void WithRankingsEnded(F step) {
  std::atomic<bool> done{false};
  std::thread closer([&] {
    while (!done) {
      if (thRanking.m_dwThreadId) PostThreadMessage(thRanking.m_dwThreadId, WM_QUIT, 0, 0);
      usleep(5000);
    }
  });
  step();
  done = true;
  closer.join();
}

// A cleared, ranked stage without caption in registration mode `mode`, whose name dialog answers
// "xyz"; sounds asked for are recorded.
struct RankedClear {
  Started s;
  std::vector<int> sounds;
  explicit RankedClear(int mode) : s(NoCaption()) {
    g_bTestPlay = 0;
    EnableRankings();
    g_OptionData.m_nRankingMode = mode;
    g_SaveData.m_strStageName = "entry.";
    g_SaveData.m_strRankingName = "old";
    g_SaveData.m_nStageScore = 700;
    std::filesystem::create_directories(s.h.ProjectDir() / "user_data" / "free");
    s.h.OnSystemSound([this](int sound) { sounds.push_back(sound); });
    s.h.OnNameEntry([this] {
      EXPECT_EQ(s.h.Scene().m_strRankName, "old");
      s.h.Scene().m_strRankName = "xyz";
    });
    s.h.Scene().m_nEndRequest = 1;
    s.h.Frame();
    EXPECT_EQ(s.h.Scene().m_bRanked, 1);
    sounds.clear();
  }
  static cStage NoCaption() {
    cStage stage = Floor();
    stage.m_nShowClearCaption = 0;
    return stage;
  }
  // The name at the top of the stored score ranking.
  std::string StoredName() {
    std::string path;
    if (!GetRankingPath(path, g_Game.m_nGameMode, "entry.", 0, 0, 0)) return "";
    cRanking stored;
    if (!stored.LoadFromFile(path.c_str()) || stored.m_Lists.empty()) return "";
    return stored.m_Lists.At(0).m_Rows.At(0).m_strName;
  }
};

constexpr int VK_F3_KEY = VK_F1 + 2;

TEST(StageEndPlayTest, NameEntryByF3OpensTheDialogOnce) {
  // Mode 0: F3 during the clear display asks for the name once and registers it; F3 again does
  // nothing; leaving with button 1 then only plays the leaving sound.
  RankedClear c(0);
  c.s.h.SetKey(VK_F3_KEY, true);
  WithRankingsEnded([&] { c.s.h.Frame(); });
  EXPECT_EQ(c.s.h.NameEntries(), 1);
  EXPECT_EQ(c.s.h.Scene().m_bRankEntered, 1);
  EXPECT_EQ(g_SaveData.m_strRankingName, "xyz");
  EXPECT_EQ(c.StoredName(), "xyz");
  EXPECT_EQ(c.sounds, std::vector<int>{16});
  WithRankingsEnded([&] { c.s.h.Frame(); });
  EXPECT_EQ(c.s.h.NameEntries(), 1);
  c.s.h.SetKey(VK_F3_KEY, false);
  c.sounds.clear();
  c.s.h.Frame(0, BUTTON_1);
  EXPECT_EQ(c.s.h.State(), PLAY_FADE_OUT);
  EXPECT_EQ(c.s.h.NameEntries(), 1);
  EXPECT_EQ(c.sounds, std::vector<int>{1});
}

TEST(StageEndPlayTest, NameEntryOnLeavingRegistersThenFadesOut) {
  // Mode 2: F3 does nothing; leaving with button 1 asks for the name, registers it with its own
  // sound, shows the rankings and fades out.
  RankedClear c(2);
  c.s.h.SetKey(VK_F3_KEY, true);
  c.s.h.Frame();
  c.s.h.SetKey(VK_F3_KEY, false);
  EXPECT_EQ(c.s.h.NameEntries(), 0);
  EXPECT_EQ(c.s.h.Scene().m_bRankEntered, 0);
  WithRankingsEnded([&] { c.s.h.Frame(0, BUTTON_1); });
  EXPECT_EQ(c.s.h.State(), PLAY_FADE_OUT);
  EXPECT_EQ(c.s.h.NameEntries(), 1);
  EXPECT_EQ(c.s.h.Scene().m_bRankEntered, 1);
  EXPECT_EQ(g_SaveData.m_strRankingName, "xyz");
  EXPECT_EQ(c.StoredName(), "xyz");
  EXPECT_EQ(c.sounds, std::vector<int>{16});
}

TEST(StageEndPlayTest, ClearDisplayTiming) {
  // Without results and without the caption the scene fades out on the second frame of the clear.
  {
    cStage stage = Floor();
    stage.m_nAutoEnd = 1;
    stage.m_nShowClearCaption = 0;
    Started s(stage);
    s.h.Scene().m_nEndRequest = 1;
    s.h.Frame();
    ASSERT_EQ(s.h.State(), PLAY_STAGE_END);
    s.h.Frame();
    EXPECT_EQ(s.h.State(), PLAY_STAGE_END);
    s.h.Frame();
    EXPECT_EQ(s.h.State(), PLAY_FADE_OUT);
  }
  // With the caption, 4 a frame up to 200: button 1 is taken from the 51st frame on.
  {
    cStage stage = Floor();
    stage.m_nShowClearCaption = 1;
    Started s(stage);
    s.h.Scene().m_nEndRequest = 1;
    s.h.Frame();
    ASSERT_EQ(s.h.State(), PLAY_STAGE_END);
    for (int i = 0; i < 25; ++i) {
      s.h.Frame(0, BUTTON_1);
      s.h.Frame();
    }
    EXPECT_EQ(s.h.State(), PLAY_STAGE_END);
    EXPECT_EQ(s.h.Scene().m_nCaptionCount, 200);
    s.h.Frame(0, BUTTON_1);
    EXPECT_EQ(s.h.State(), PLAY_FADE_OUT);
  }
  // Button 1 held as the stage ends (a jump onto the goal): held on it does nothing, let go and
  // pressed again it leaves.
  {
    cStage stage = Floor();
    stage.m_nShowClearCaption = 1;
    Started s(stage);
    s.h.Frame(0, BUTTON_1);
    s.h.Scene().m_nEndRequest = 1;
    s.h.Frame(0, BUTTON_1);
    ASSERT_EQ(s.h.State(), PLAY_STAGE_END);
    for (int i = 0; i < 60; ++i) s.h.Frame(0, BUTTON_1);
    EXPECT_EQ(s.h.State(), PLAY_STAGE_END);
    s.h.Frame();
    EXPECT_EQ(s.h.State(), PLAY_STAGE_END);
    s.h.Frame(0, BUTTON_1);
    EXPECT_EQ(s.h.State(), PLAY_FADE_OUT);
  }
}

TEST(StageEndPlayTest, SavingAReplayDuringTheClearDisplayKeepsItGoing) {
  // F1 held through five frames of the clear display: each frame saves the play and still counts
  // and draws the caption, 4 a frame.
  cStage stage = Floor();
  stage.m_nShowClearCaption = 1;
  Started s(stage);
  ScopedValue<int32_t> recording(g_SystemData.m_bReplay, 1);
  s.h.Frames(3, INPUT_RIGHT);  // a play to save
  s.h.Scene().m_nEndRequest = 1;
  s.h.Frame();
  ASSERT_EQ(s.h.State(), PLAY_STAGE_END);
  int saves = 0;
  s.h.OnFileRequest([&](UINT msg, WPARAM wParam) {
    saves += msg == WM_USER + 4 && wParam == 0;
    g_bFileRequestOk = 1;
  });
  s.h.SetKey(VK_F1, true);
  constexpr uint32_t MARK = 0x123456;  // a colour the stage does not use, wiped by a drawn frame
  Paint(&BackBuffer, 0, 0, 640, 480, MARK);
  s.h.Frames(5);
  s.h.SetKey(VK_F1, false);
  EXPECT_EQ(saves, 5);
  EXPECT_EQ(s.h.Scene().m_nCaptionCount, 20);
  EXPECT_NE(At(320, 240), MARK);
  EXPECT_EQ(s.h.State(), PLAY_STAGE_END);
}

TEST(StageEndPlayTest, NextStageNamesOfANumberedSeries) {
  Started s;
  cScenePlay& scene = s.h.Scene();
  g_SaveData.SetStageFile("data\\stg4\\demo1-1.stg4", 0, 0, 0);
  ASSERT_EQ(g_SaveData.m_bSequence, 1);
  std::string name;
  scene.m_nNextStage = 2;
  EXPECT_EQ(scene.MakeNextStageName(name, 2), 1);
  EXPECT_NE(name.find("demo1-2"), std::string::npos) << name;
  EXPECT_EQ(scene.IsLastStage(2), 0);
  EXPECT_EQ(scene.MakeNextStageName(name, 3), 0);
  EXPECT_EQ(name, "");
  EXPECT_EQ(scene.IsLastStage(3), 1);
  // A named next stage: its newest numbered version.
  scene.m_strNextStage = "data\\stg4\\demo2-1.";
  EXPECT_EQ(scene.MakeNextStageName(name, 7), 1);
  EXPECT_NE(name.find("demo2-1"), std::string::npos) << name;
  // A series without a base name has no next stage (and must not cut an empty name).
  scene.m_strNextStage.clear();
  g_SaveData.m_strStageName.clear();
  EXPECT_EQ(scene.MakeNextStageName(name, 2), 0);
  EXPECT_EQ(scene.IsLastStage(2), 1);
}

TEST(StageEndPlayTest, NextSceneByTitleChoice) {
  struct Case {
    const char* name;
    int titleChoice;
    int nextStage;
    int scene;
    int sequenceAfter;
  };
  const Case cases[] = {
      {"story, next stage loaded in place", 0, 2, SCENE_PLAY, 2},
      {"story, end of the series", 0, 0, SCENE_WORLDMAP, 1},
      {"story, missing next file", 0, 5, SCENE_WORLDMAP, 1},
      {"free play from a stage file", TITLE_CHOICE_FREE, 2, SCENE_PLAY, 1},
      {"challenge", 2, 0, SCENE_CHALLENGE, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s;
    std::filesystem::create_directories(s.h.ProjectDir() / "user_data" / "challenge");
    g_Game.m_nTitleChoice = c.titleChoice;
    g_SaveData.SetStageFile("data\\stg4\\demo1-1.stg4", 0, 0, 0);
    g_SaveData.m_nSequenceNo = 1;
    g_SaveData.m_nResultScore = 500;
    g_SaveData.m_ChallengeResults.assign(3, cIntPair());
    g_SaveData.m_ChallengeResults.At(1).m_nBest = 100;
    g_SaveData.m_nWorldTotal = 100;
    g_SaveData.m_nStageNo = 2;
    g_SaveData.m_nChallengeOpen = 2;
    g_SystemData.m_nChallengeCount = 3;
    const std::string before = g_Stage.m_strPath;
    s.h.Scene().m_nNextStage = c.nextStage;
    EXPECT_EQ(s.h.Scene().NextScene(), c.scene);
    EXPECT_EQ(g_SaveData.m_nSequenceNo, c.sequenceAfter);
    if (c.titleChoice == 0 && c.scene == SCENE_PLAY) {
      EXPECT_NE(g_Stage.m_strPath.find("demo1-2"), std::string::npos) << g_Stage.m_strPath;
    } else {
      EXPECT_EQ(g_Stage.m_strPath, before);
    }
    if (c.titleChoice == 0 && c.scene == SCENE_WORLDMAP) {
      EXPECT_EQ(g_SaveData.WorldFlag(2), 1);
    }
    if (c.titleChoice == 2) {
      EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_bCleared, 1);
      EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_nBest, 500);
      EXPECT_EQ(g_SaveData.m_nWorldTotal, 500);
      EXPECT_EQ(g_SaveData.m_nChallengeOpen, 3);
    }
  }
}

}  // namespace
}  // namespace t4::test
