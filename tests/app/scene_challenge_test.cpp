#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/menu_scene.h"
#include "app/scene_challenge.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/project_layout.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/menu.h"

namespace {

using t4::test::CHALLENGE_FADE_OUT;
using t4::test::CHALLENGE_SELECT;
using t4::test::List;
using t4::test::MenuDriver;

// The demo has three challenge stages; a test that needs a longer list makes the project one of
// `n` stages, with fresh records to match.
void ProjectWithChallenges(int n) {
  g_SystemData.m_nChallengeCount = n;
  g_SaveData.Reset(n);
}

TEST(ChallengeScene, StageFilesAreNumberedFromOne) {
  EXPECT_EQ(ChallengeStageFile(1), "data\\stg4\\c01-1.stg4");
  EXPECT_EQ(ChallengeStageFile(12), "data\\stg4\\c12-1.stg4");
}

TEST(ChallengeScene, ElevenOpenStagesScrollAndPageWithoutWrapping) {
  MenuDriver d(SCENE_CHALLENGE);
  ProjectWithChallenges(40);
  g_SystemData.m_bAllChallengesOpen = 0;
  g_SaveData.m_nChallengeOpen = 11;
  ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
  EXPECT_EQ(List().m_nListCount, 11);
  struct Step {
    int16_t dir;
    int row, scroll;
  } steps[] = {
      {INPUT_UP, 0, 0},                          // no wrap at the top
      {INPUT_DOWN, 1, 0},   {INPUT_LEFT, 0, 0},  // first page: to the first
      {INPUT_RIGHT, 9, 1},                       // a page on, clamped to 1
      {INPUT_RIGHT, 10, 1},                      // last page: to the last
      {INPUT_DOWN, 10, 1},                       // no wrap at the bottom
      {INPUT_LEFT, 1, 0},
  };
  for (const Step& s : steps) {
    d.Press(s.dir);
    EXPECT_EQ(d.Row(), s.row);
    EXPECT_EQ(List().m_nScroll, s.scroll);
    EXPECT_EQ(g_MenuCursor.m_lpCurrent->nY, 160 + 32 * (s.row - s.scroll));
  }
  // The stage under the cursor is the current one.
  EXPECT_EQ(g_SaveData.m_strStageName, "data\\stg4\\c02.");
}

TEST(ChallengeScene, WithNothingClearedAndNoOpenAllOnlyTheFirstStageIsListed) {
  MenuDriver d(SCENE_CHALLENGE);
  g_SystemData.m_bAllChallengesOpen = 0;
  ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
  d.Press(INPUT_DOWN);
  EXPECT_EQ(List().m_nListCount, 1);
  EXPECT_EQ(d.Row(), 0);
}

TEST(ChallengeScene, AMissingStageFileBuzzesAndTheListStays) {
  MenuDriver d(SCENE_CHALLENGE);
  std::filesystem::remove(d.ProjectDir() / "data/stg4/c01-1.stg4_001");
  ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
  d.ClearSounds();
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.Sounds(), std::vector<int>{3});
  ASSERT_EQ(d.Boxes().Boxes().size(), 1u);
  EXPECT_EQ(d.Boxes().Boxes()[0].text, "ステージファイル data\\stg4\\c01-1.stg4 が読み込めません！");
  EXPECT_EQ(d.State(), CHALLENGE_SELECT);
  EXPECT_EQ(d.CloseRequests(), 0);
}

TEST(ChallengeScene, AStartedStageRemembersItsRowForTheReturn) {
  int32_t row = -1;
  int32_t scroll = -1;
  {
    MenuDriver d(SCENE_CHALLENGE);
    ProjectWithChallenges(40);
    // The third challenge stage is a copy of the demo's first stage, in a newer numbered version.
    std::filesystem::copy_file(d.ProjectDir() / "data/stg4/demo1-1.stg4_001",
                               d.ProjectDir() / "data/stg4/c03-1.stg4_002");
    g_SystemData.m_InfiniteLives.At(GAME_MODE_CHALLENGE) = 0;
    g_SystemData.m_InitialLives.At(GAME_MODE_CHALLENGE) = 5;
    ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
    d.Press(INPUT_DOWN);
    d.Press(INPUT_DOWN);
    d.ClearSounds();
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.Sounds(), std::vector<int>{1});
    EXPECT_EQ(d.State(), CHALLENGE_FADE_OUT);
    EXPECT_EQ(g_Game.m_nNextScene, SCENE_PLAY);
    EXPECT_EQ(g_SaveData.m_nStageNo, 3);
    EXPECT_EQ(g_SaveData.m_nSequenceNo, 1);
    EXPECT_EQ(g_SaveData.m_strStageName, "data\\stg4\\c03.");
    EXPECT_EQ(g_SaveData.m_bSequence, 1);
    EXPECT_EQ(g_SaveData.m_nLivesAtStart, 5);
    EXPECT_EQ(g_SaveData.m_nLives, 4);
    row = g_Game.m_nChallengeRow;
    scroll = g_Game.m_nChallengeScroll;
    EXPECT_EQ(row, 2);
    EXPECT_EQ(scroll, 0);
  }
  // A new list object (as after the stage) starts where the stage was started.
  MenuDriver d(SCENE_CHALLENGE);
  ProjectWithChallenges(40);
  g_Game.m_nChallengeRow = 12;
  g_Game.m_nChallengeScroll = 5;
  ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
  EXPECT_EQ(d.Row(), 12);
  EXPECT_EQ(List().m_nScroll, 5);
  EXPECT_EQ(g_SaveData.m_strStageName, "data\\stg4\\c13.");
}

TEST(ChallengeScene, ButtonThreeWithoutRankingClearsThePanelFlag) {
  MenuDriver d(SCENE_CHALLENGE);
  g_SystemData.m_RankingRules.At(GAME_MODE_CHALLENGE).m_bEnabled = 0;
  g_SaveData.m_bRankingPanel = 1;
  ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
  d.Button(MENU_BUTTON_3);
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 0);
  d.Button(MENU_BUTTON_3);
  EXPECT_EQ(g_SaveData.m_bRankingPanel, 0);
  EXPECT_TRUE(d.Sounds().empty());
}

TEST(ChallengeScene, ARecordFromAProjectWithFewerStagesIsListedWhole) {
  MenuDriver d(SCENE_TITLE);
  // A record saved when the project had three challenge stages.
  cSaveData old;
  old.Reset(3);
  old.m_ChallengeResults.At(1).m_bCleared = 1;
  old.m_ChallengeResults.At(1).m_nBest = 1200;
  ASSERT_TRUE(old.SaveChallenge());
  g_SystemData.m_nChallengeCount = 40;
  ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_CHALLENGE, CHALLENGE_SELECT));
  EXPECT_EQ(g_SaveData.m_ChallengeResults.size(), 40u);
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_nBest, 1200);
  EXPECT_EQ(List().m_nListCount, 40);
  for (int i = 0; i < 39; ++i) d.Press(INPUT_DOWN);
  EXPECT_EQ(d.Row(), 39);
  EXPECT_EQ(d.CloseRequests(), 0);
}

}  // namespace

namespace {

TEST(ChallengeScene, ADamagedRecordIsToldAboutAndFreshRecordsAreListed) {
  for (bool damaged : {false, true}) {
    SCOPED_TRACE(damaged);
    MenuDriver d(SCENE_TITLE);
    g_SystemData.m_nChallengeCount = 40;
    if (damaged) {
      std::ofstream(d.ProjectDir() / "user_data/challenge/Challenge.dat", std::ios::binary) << "damaged";
    }
    g_SaveData.m_nWorldTotal = 5;
    ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
    d.Press(INPUT_DOWN);
    d.Press(INPUT_DOWN);
    d.Button(MENU_BUTTON_1);
    ASSERT_TRUE(d.RunUntilScene(SCENE_CHALLENGE, CHALLENGE_SELECT));
    const auto boxes = d.Boxes().Boxes();
    ASSERT_EQ(boxes.size(), damaged ? 1u : 0u);
    if (damaged) {
      EXPECT_EQ(boxes[0].text, "user_data\\challenge\\Challenge.dat の読み込みに失敗しました！");
    }
    EXPECT_EQ(g_SaveData.m_nWorldTotal, 0);
    EXPECT_EQ(g_SaveData.m_ChallengeResults.size(), 40u);
  }
}

// The demo's own challenge stages: all three are listed (every challenge stage is open in the
// demo) and each starts.
TEST(ChallengeScene, TheDemoChallengeStagesAreListedAndStart) {
  for (int row : {0, 1, 2}) {
    SCOPED_TRACE(row);
    MenuDriver d(SCENE_CHALLENGE);
    ASSERT_TRUE(d.RunUntilState(CHALLENGE_SELECT));
    EXPECT_EQ(List().m_nListCount, 3);
    for (int i = 0; i < row; ++i) d.Press(INPUT_DOWN);
    EXPECT_EQ(d.Row(), row);
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.State(), CHALLENGE_FADE_OUT);
    EXPECT_TRUE(d.Boxes().Boxes().empty());
    EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\c0" + std::to_string(row + 1) + "-1.stg4_001");
    EXPECT_EQ(g_SaveData.m_nStageNo, row + 1);
  }
}

}  // namespace
