// Challenge mode on the demo through the menu driver: the title loads the records, the list shows
// them, the first challenge stage played to its clear records its result, and the list and a new
// run show it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/menu_scene.h"
#include "app/scene_challenge.h"
#include "data/stage_file.h"
#include "demo_routes.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "support/demo_plays.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/scene_play.h"

namespace {

using t4::test::CHALLENGE_SELECT;
using t4::test::DemoPlay;
using t4::test::DemoPlays;
using t4::test::LeaveClearDisplay;
using t4::test::List;
using t4::test::MenuDriver;
using t4::test::PlayToClear;
using t4::test::ReadFile;
using t4::test::SaveEarlierChallengeRecords;
using t4::test::ShowsCell;
using t4::test::TITLE_MENU;

// The cleared sign (cell (96, 0) of the accessory picture) stands after the row label "ワールドn",
// four characters of 32 dots and four more; the rows are 32 dots apart from y 160.
constexpr int SIGN_X = (4 + 4) * 32;

bool ShowsClearedSign(int row) {
  return ShowsCell(&Off_Scene.front(), SIGN_X, 160 + 32 * row, &g_SurfaceTable[50], 96, 0, 32, 32);
}

const DemoPlay& FirstChallengePlay() {
  for (const DemoPlay& p : DemoPlays())
    if (std::string(p.stage) == "data\\stg4\\c01-1.stg4") return p;
  ADD_FAILURE() << "no play of the first challenge stage";
  return DemoPlays().front();
}

void ToChallengeSelect(MenuDriver& d) {
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_CHALLENGE, CHALLENGE_SELECT));
}

TEST(ChallengePath, RecordsAreListedAndAClearedStageAddsItsOwn) {
  std::string record;
  {
    MenuDriver d(SCENE_TITLE);
    // Records from an earlier run: the second stage cleared with 1200.
    ASSERT_TRUE(SaveEarlierChallengeRecords());
    ToChallengeSelect(d);
    EXPECT_EQ(g_Game.m_nGameMode, GAME_MODE_CHALLENGE);
    EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_nBest, 1200);
    EXPECT_EQ(List().m_nListCount, g_SystemData.m_nChallengeCount);  // every stage open
    EXPECT_FALSE(ShowsClearedSign(0));
    EXPECT_TRUE(ShowsClearedSign(1));
    EXPECT_FALSE(ShowsClearedSign(2));

    // The first stage, played to its clear.
    d.Button(MENU_BUTTON_1);
    ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 400));
    EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\c01-1.stg4_001");
    const DemoPlay& play = FirstChallengePlay();
    EXPECT_EQ(PlayToClear(d, play.keys), play.clearFrame);
    EXPECT_EQ(g_SaveData.m_nStageScore, play.stageScore);
    LeaveClearDisplay(d);
    ASSERT_TRUE(d.RunUntilScene(SCENE_CHALLENGE, CHALLENGE_SELECT, 200));
    EXPECT_EQ(g_Game.m_nPrevScene, SCENE_PLAY);
    EXPECT_EQ(g_SaveData.m_ChallengeResults.At(0).m_bCleared, 1);
    EXPECT_EQ(g_SaveData.m_ChallengeResults.At(0).m_nBest, play.stageScore);
    EXPECT_EQ(g_SaveData.m_nWorldTotal, 1200 + play.stageScore);
    EXPECT_EQ(g_SaveData.m_nChallengeOpen, 2);
    // The list comes back on the row the stage was started from, now with its sign.
    EXPECT_EQ(d.Row(), 0);
    EXPECT_TRUE(ShowsClearedSign(0));
    EXPECT_TRUE(ShowsClearedSign(1));
    record = ReadFile(d.ProjectDir() / "user_data/challenge/Challenge.dat");
  }

  // A new run reads the records the clear wrote.
  MenuDriver d(SCENE_TITLE);
  std::filesystem::create_directories(d.ProjectDir() / "user_data/challenge");
  std::ofstream(d.ProjectDir() / "user_data/challenge/Challenge.dat", std::ios::binary) << record;
  ToChallengeSelect(d);
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(0).m_bCleared, 1);
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_nBest, 1200);
  EXPECT_TRUE(ShowsClearedSign(0));
  EXPECT_TRUE(ShowsClearedSign(1));
  EXPECT_FALSE(ShowsClearedSign(2));
  EXPECT_EQ(d.Boxes().Boxes().size(), 0u);
}

}  // namespace
