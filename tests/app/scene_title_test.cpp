#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/menu_scene.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "data/world_map.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/private_messages.h"

namespace {

using t4::test::MenuDriver;
using t4::test::Pixel;
using t4::test::TITLE_CONTINUE_SLOT;
using t4::test::TITLE_FADE_OUT;
using t4::test::TITLE_MENU;
using t4::test::TITLE_NEW_GAME_SLOT;

void EnableOnly(std::initializer_list<int> items) {
  for (cCmd& cmd : g_SystemData.m_TitleMenu) cmd.m_bEnabled = 0;
  for (int i : items) g_SystemData.m_TitleMenu.At(i).m_bEnabled = 1;
}

// Shown rows of the title menu, the keys pressed in it, and the item chosen with button 1.
TEST(TitleScene, ShownItemsDecideRowsAndTheChosenItem) {
  struct Case {
    const char* name;
    std::vector<int> enabled;
    int extraEnabled;  // further enabled entries past the seven items
    std::vector<int16_t> keys;
    int row;
    int chosen;
  } cases[] = {
      {"new game and quit: up wraps to quit", {0, 6}, 0, {INPUT_UP}, 1, 6},
      {"new game and quit: two downs wrap back", {0, 6}, 0, {INPUT_DOWN, INPUT_DOWN}, 0, 0},
      {"nothing enabled shows item 0", {}, 0, {INPUT_DOWN}, 0, 0},
      {"entries past the seventh are not shown", {0, 1, 2, 3, 4, 5, 6}, 3, {INPUT_UP}, 6, 6},
      {"challenge and options only", {2, 5}, 0, {INPUT_DOWN}, 1, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MenuDriver d(SCENE_TITLE);
    EnableOnly({});
    for (int i : c.enabled) g_SystemData.m_TitleMenu.At(i).m_bEnabled = 1;
    for (int i = 0; i < c.extraEnabled; ++i) g_SystemData.m_TitleMenu.push_back(cCmd(1, "extra"));
    ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
    for (int16_t k : c.keys) d.Press(k);
    EXPECT_EQ(d.Row(), c.row);
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(g_Game.m_nTitleChoice, c.chosen);
    EXPECT_EQ(d.Sounds().front(), 1);
    // Quit asks the main window to close; the scene stays in its menu.
    if (c.chosen == TITLE_CHOICE_QUIT) {
      EXPECT_EQ(d.CloseRequests(), 1);
      EXPECT_EQ(d.State(), TITLE_MENU);
    }
  }
}

TEST(TitleScene, NewGameWithoutSlotsGoesToTheWorldMapAtItsStart) {
  MenuDriver d(SCENE_TITLE);
  g_SystemData.m_bAskSlotAtNewGame = 0;
  g_SystemData.m_InfiniteLives.At(GAME_MODE_STORY) = 0;
  g_SystemData.m_InitialLives.At(GAME_MODE_STORY) = 3;
  g_SaveData.m_nMapX = 1;
  g_SaveData.m_nLap = 4;
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_WORLDMAP, 0, 30));
  EXPECT_EQ(g_Game.m_nGameMode, GAME_MODE_STORY);
  EXPECT_EQ(g_Game.m_nPrevScene, SCENE_TITLE);
  // The demo map starts the walker on the road at column 5, row 5.
  EXPECT_EQ(g_SaveData.m_nMapX, 5);
  EXPECT_EQ(g_SaveData.m_nMapY, 5);
  EXPECT_EQ(g_SaveData.m_nLap, 0);
  EXPECT_EQ(g_SaveData.m_nLivesAtStart, 3);
  EXPECT_EQ(g_SaveData.m_nLives, 2);
  EXPECT_EQ(g_SaveData.m_nSlot, -1);
}

// Slot 3 (Story04.dat) is used; the others are free.
void WriteUsedSlot(int slot) {
  cSaveData data;
  data.Reset(g_SystemData.m_nChallengeCount);
  data.m_nMapX = 9;
  data.m_nMapY = 5;
  data.m_nLives = 7;
  ASSERT_TRUE(data.SaveSlot(slot));
}

TEST(TitleScene, NewGameTakesOnlyAFreeSlotAndContinueOnlyAUsedOne) {
  MenuDriver d(SCENE_TITLE);
  g_SystemData.m_bAskSlotAtNewGame = 1;
  WriteUsedSlot(3);
  g_SaveData.Reset(g_SystemData.m_nChallengeCount);
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));

  // New game: the used slot buzzes, button 2 goes back to the menu on the same row.
  d.Button(MENU_BUTTON_1);
  ASSERT_EQ(d.State(), TITLE_NEW_GAME_SLOT);
  for (int i = 0; i < 3; ++i) d.Press(INPUT_DOWN);
  EXPECT_EQ(d.Row(), 3);
  d.ClearSounds();
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.Sounds(), std::vector<int>{3});
  EXPECT_EQ(d.State(), TITLE_NEW_GAME_SLOT);
  d.Button(MENU_BUTTON_2);
  EXPECT_EQ(d.State(), TITLE_MENU);
  EXPECT_EQ(d.Row(), 0);

  // Continue: a free slot buzzes, the used one is loaded.
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  ASSERT_EQ(d.State(), TITLE_CONTINUE_SLOT);
  d.ClearSounds();
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.Sounds(), std::vector<int>{3});
  for (int i = 0; i < 3; ++i) d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.State(), TITLE_FADE_OUT);
  EXPECT_EQ(g_Game.m_nNextScene, SCENE_WORLDMAP);
  EXPECT_EQ(g_SaveData.m_nMapX, 9);
  EXPECT_EQ(g_Game.m_nTitleChoice, TITLE_CHOICE_CONTINUE);
}

TEST(TitleScene, NewGameInAFreeSlotSavesThereFromNowOn) {
  MenuDriver d(SCENE_TITLE);
  g_SystemData.m_bAskSlotAtNewGame = 1;
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  d.Button(MENU_BUTTON_1);
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.State(), TITLE_FADE_OUT);
  EXPECT_EQ(g_SaveData.m_nSlot, 2);
  EXPECT_EQ(g_SaveData.m_bAutoSave, 1);
}

TEST(TitleScene, ASlotThatBreaksAfterTheListWasReadIsRefusedAndNothingPlays) {
  MenuDriver d(SCENE_TITLE);
  WriteUsedSlot(0);
  g_SaveData.Reset(g_SystemData.m_nChallengeCount);
  g_SaveData.m_nMapX = 2;
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  ASSERT_EQ(d.State(), TITLE_CONTINUE_SLOT);
  ASSERT_TRUE(g_StorySlots.At(0).m_bUsed);
  char path[MAX_PATH];
  GetSlotPath(path, 0);
  std::string unix(path);
  for (char& ch : unix)
    if (ch == '\\') ch = '/';
  std::filesystem::resize_file(d.ProjectDir() / unix, 10);
  d.ClearSounds();
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.Sounds(), std::vector<int>{3});
  EXPECT_EQ(d.State(), TITLE_CONTINUE_SLOT);
  ASSERT_EQ(d.Boxes().Boxes().size(), 1u);
  EXPECT_NE(d.Boxes().Boxes()[0].text.find("Story01.dat"), std::string::npos);
  // The slot now shows as free, and the progress in memory was not replaced.
  EXPECT_FALSE(g_StorySlots.At(0).m_bUsed);
  EXPECT_EQ(g_SaveData.m_nMapX, 2);
}

TEST(TitleScene, CursorStartsOnTheLastChoiceOrTheFirstRowAfterADirectStage) {
  {
    MenuDriver d(SCENE_TITLE);
    EnableOnly({0, 2, 5, 6});
    g_Game.m_nTitleChoice = TITLE_CHOICE_OPTION;
    ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
    d.Frame();
    EXPECT_EQ(d.Row(), 2);
  }
  {
    MenuDriver d(SCENE_TITLE);
    g_Game.m_nTitleChoice = TITLE_CHOICE_OPTION;
    g_bReturnToTitle = 1;
    g_bFreeStageStart = 1;
    ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
    EXPECT_EQ(d.Row(), 0);
    EXPECT_EQ(g_bReturnToTitle, 0);
    EXPECT_EQ(g_bFreeStageStart, 0);
  }
}

TEST(TitleScene, FreePlayAndReplayLeaveOnlyWhenAFileWasLoaded) {
  for (int item : {TITLE_CHOICE_FREE, TITLE_CHOICE_REPLAY}) {
    for (bool loaded : {false, true}) {
      SCOPED_TRACE(item * 10 + loaded);
      MenuDriver d(SCENE_TITLE);
      EnableOnly({item});
      unsigned asked = 0;
      d.OnFileRequest([&](unsigned msg) {
        asked = msg;
        return loaded;
      });
      ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
      d.Button(MENU_BUTTON_1);
      EXPECT_EQ(asked, item == TITLE_CHOICE_FREE ? WM_USER_LOAD_STAGE : WM_USER_LOAD_REPLAY);
      EXPECT_EQ(g_Game.m_nGameMode, item == TITLE_CHOICE_FREE ? GAME_MODE_FREE : GAME_MODE_REPLAY);
      EXPECT_EQ(d.State(), loaded ? TITLE_FADE_OUT : TITLE_MENU);
      if (loaded) {
        EXPECT_EQ(g_Game.m_nNextScene, SCENE_PLAY);
      }
    }
  }
}

}  // namespace

namespace {

// The cursor is the top-left cell of the accessory picture, drawn on the row of the menu (32 dots
// a row from y 240, at the menu's x 192); the title picture shows everywhere the menu does not.
TEST(TitleScene, DrawsTheCursorCellOnItsRow) {
  MenuDriver d(SCENE_TITLE);
  g_SystemData.m_bPlainTitleMenu = 0;
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  const uint32_t cursor = Pixel(&g_SurfaceTable[50], 0, 0);
  const uint32_t title = Pixel(&g_SurfaceTable[48], 100, 100);
  EXPECT_EQ(Pixel(&BackBuffer, 192, 240 + 64), cursor);
  EXPECT_EQ(Pixel(&BackBuffer, 192 + 31, 240 + 64 + 31), Pixel(&g_SurfaceTable[50], 31, 31));
  EXPECT_NE(Pixel(&BackBuffer, 192, 240), cursor);
  EXPECT_EQ(Pixel(&BackBuffer, 100, 100), title);
}

}  // namespace
