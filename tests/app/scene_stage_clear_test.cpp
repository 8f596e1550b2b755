// A stage from its menu scene to its clear and back: the play scene's stage end and the menu
// scenes meet through the progress. Story: world flag, stage result and auto-save, and a continued
// game finds the same progress. Challenge: the record of the stage, the next stage opened and
// Challenge.dat.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/menu_scene.h"
#include "app/scene_challenge.h"
#include "app/scene_worldmap.h"
#include "data/world_map.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/scene_play.h"

namespace {

using t4::test::CHALLENGE_SELECT;
using t4::test::Map;
using t4::test::MAP_CONFIRM;
using t4::test::MAP_WALK;
using t4::test::MenuDriver;
using t4::test::TITLE_MENU;

constexpr int STAGE_SCORE = 1234;
constexpr int SLOT = 4;

// Clears the stage being played as a goal does, then answers the result panel with button 1
// until `scene` takes input in `state` again.
bool ClearAndReturn(MenuDriver& d, int scene = SCENE_WORLDMAP, int state = MAP_WALK) {
  if (!d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 200)) return false;
  auto& play = *static_cast<cScenePlay*>(g_Game.GetScene(SCENE_PLAY));
  g_SaveData.m_nResultScore = 0;
  g_SaveData.m_nStageScore = STAGE_SCORE;
  play.EndStage();
  play.m_nStep = 0;
  play.m_nState = PLAY_STAGE_END;
  for (int i = 0; i < 400 && !(d.Scene() == scene && d.State() == state); ++i)
    d.Frame(0, d.Scene() == SCENE_PLAY && i % 2 == 0 ? MENU_BUTTON_1 : 0);
  return d.Scene() == scene && d.State() == state;
}

// Entries name their stage file with or without a numbered series, and with or without a
// world-map reference that keeps results apart per reference.
TEST(StoryClear, TheClearedPointKeepsItsMarkBestRecordAndTotal) {
  struct Case {
    const char* entryFile;
    const char* copyAs;  // the demo's cave stage copied under this name, or null
    int separate, key1, key2;
    const char* playName;
  } cases[] = {
      {"data\\stg4\\demo2-1.stg4", nullptr, 0, 0, 0, "data\\stg4\\demo2."},
      {"data\\stg4\\demo2-1.stg4", nullptr, 1, 7, 3, "data\\stg4\\demo2_c007_3."},
      {"data\\stg4\\boss.stg4", "data/stg4/boss.stg4_004", 0, 0, 0, "data\\stg4\\boss."},
      {"data\\stg4\\boss.stg4", "data/stg4/boss.stg4_004", 1, 12, 0, "data\\stg4\\boss_c012_0."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.entryFile) + " " + std::to_string(c.separate));
    MenuDriver d(SCENE_WORLDMAP);
    if (c.copyAs) std::filesystem::copy_file(d.ProjectDir() / "data/stg4/demo2-1.stg4_001", d.ProjectDir() / c.copyAs);
    cWorldMapStage& entry = g_WorldMap.m_Points.At(0).m_Entries.At(0);
    entry.m_strStageFile = c.entryFile;
    entry.m_nSeparate = c.separate;
    entry.m_nKey1 = c.key1;
    entry.m_nKey2 = c.key2;
    g_SaveData.m_bAutoSave = 1;
    g_SaveData.m_nSlot = SLOT;
    g_SaveData.m_nMapX = 8;
    g_SaveData.m_nMapY = 5;
    g_Game.m_nPrevScene = SCENE_TITLE;
    g_Game.m_nTitleChoice = TITLE_CHOICE_NEW_GAME;
    g_Game.m_nGameMode = GAME_MODE_STORY;

    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    d.Frame(INPUT_RIGHT);
    ASSERT_EQ(d.State(), MAP_CONFIRM);
    d.Frame();
    d.Press(INPUT_UP);
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(g_SaveData.m_strPlayName, c.playName);
    if (c.separate) {
      // The reference sets its common variable when the stage starts.
      ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 200));
      EXPECT_EQ(g_SaveData.CommonVar(c.key1), c.key2);
    }
    ASSERT_TRUE(ClearAndReturn(d));

    // Back on the cleared point, with its best record and the total the map works out anew.
    EXPECT_EQ(g_Game.m_nPrevScene, SCENE_PLAY);
    EXPECT_EQ(g_MenuCursor.m_States.At(0).nColumn, 9);
    EXPECT_EQ(g_SaveData.WorldFlag(1), 1);
    EXPECT_TRUE(cSceneWorldMap::IsCleared(entry));
    EXPECT_EQ(Map().m_nBest, STAGE_SCORE);
    EXPECT_EQ(g_SaveData.m_nWorldTotal, STAGE_SCORE);
    // A cleared point no longer starts by itself.
    d.Frames(5);
    EXPECT_EQ(d.State(), MAP_WALK);

    // Auto-save wrote the slot on arrival; continuing it finds the same progress.
    cSaveData saved;
    ASSERT_TRUE(saved.LoadSlot(SLOT));
    EXPECT_EQ(saved.WorldFlag(1), 1);
    EXPECT_EQ(saved.GetStageResult(c.playName), STAGE_SCORE);
    EXPECT_EQ(saved.m_nMapX, 9);
    saved.CalcTotal();
    EXPECT_EQ(saved.m_nWorldTotal, STAGE_SCORE);
  }
}

// The entry's after-clear action: none goes back to the map; "2周目へ突入" starts the next round
// (flags cleared but the first, the walker on the map's start); "タイトルへ戻る" goes to the title.
TEST(StoryClear, TheEntrysAfterClearActionDecidesWhereTheStoryGoesOn) {
  struct Case {
    int32_t action;
    int scene, state;
    int32_t flag, lap, x;
  } cases[] = {
      {0, SCENE_WORLDMAP, MAP_WALK, 1, 0, 9},
      {1, SCENE_WORLDMAP, MAP_WALK, 0, 1, 5},
      {2, SCENE_TITLE, 1, 1, 0, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    MenuDriver d(SCENE_WORLDMAP);
    cWorldMapStage& entry = g_WorldMap.m_Points.At(0).m_Entries.At(0);
    entry.m_strStageFile = "data\\stg4\\demo2-1.stg4";
    entry.m_nValue6 = c.action;
    g_SaveData.m_nMapX = 8;
    g_SaveData.m_nMapY = 5;
    g_Game.m_nPrevScene = SCENE_TITLE;
    g_Game.m_nTitleChoice = TITLE_CHOICE_NEW_GAME;
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    d.Frame(INPUT_RIGHT);
    d.Frame();
    d.Press(INPUT_UP);
    d.Button(MENU_BUTTON_1);
    ASSERT_TRUE(ClearAndReturn(d, c.scene, c.state));
    EXPECT_EQ(g_SaveData.WorldFlag(0), 1);
    EXPECT_EQ(g_SaveData.WorldFlag(1), c.flag);
    EXPECT_EQ(g_SaveData.m_nLap, c.lap);
    EXPECT_EQ(g_SaveData.m_nMapX, c.x);
    if (c.scene == SCENE_TITLE) {
      EXPECT_EQ(d.Row(), 0);
    }
  }
}

// From the title to the demo's first challenge stage and back: the list shows it cleared with its
// best record, the second stage is open, and the record is on disk for the next visit.
TEST(ChallengeClear, TheListShowsTheRecordAndOpensTheNextStage) {
  MenuDriver d(SCENE_TITLE);
  g_SystemData.m_bAllChallengesOpen = 0;
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_CHALLENGE, CHALLENGE_SELECT));
  auto& list = *static_cast<cSceneChallenge*>(g_Game.GetScene(SCENE_CHALLENGE));
  EXPECT_EQ(list.m_nListCount, 1);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(ClearAndReturn(d, SCENE_CHALLENGE, CHALLENGE_SELECT));

  auto& again = *static_cast<cSceneChallenge*>(g_Game.GetScene(SCENE_CHALLENGE));
  EXPECT_EQ(again.m_nListCount, 2);
  EXPECT_EQ(d.Row(), 0);
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(0).m_bCleared, 1);
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(0).m_nBest, STAGE_SCORE);
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_bCleared, 0);
  EXPECT_EQ(g_SaveData.m_nWorldTotal, STAGE_SCORE);
  d.Press(INPUT_DOWN);
  EXPECT_EQ(d.Row(), 1);

  cSaveData saved;
  ASSERT_TRUE(saved.LoadChallenge());
  EXPECT_EQ(saved.m_nChallengeOpen, 2);
  EXPECT_EQ(saved.m_ChallengeResults.At(0).m_nBest, STAGE_SCORE);
  EXPECT_EQ(saved.m_nWorldTotal, STAGE_SCORE);
}

}  // namespace
