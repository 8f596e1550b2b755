// The player's whole way through story mode on the demo, frame by frame through the menu driver:
// a new game in a story slot, the world map, the meadow's two stages played by a key stream to
// their clears, the map again with the point cleared, a save from the world-map menu, and a new
// run that continues from that slot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/menu_scene.h"
#include "app/scene_worldmap.h"
#include "data/stage_file.h"
#include "data/world_map.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "demo_routes.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

using t4::test::LeaveClearDisplay;
using t4::test::Map;
using t4::test::MAP_CONFIRM;
using t4::test::MAP_WALK;
using t4::test::MAPMENU_MENU;
using t4::test::MEADOW_1;
using t4::test::MEADOW_2;
using t4::test::MenuDriver;
using t4::test::PlayToClear;
using t4::test::ReadFile;
using t4::test::ShowsCell;
using t4::test::TITLE_MENU;

constexpr int16_t RIGHT = INPUT_RIGHT;

void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

// The map picture shows the meadow's icon (row 0 of the event sheet) at (`x`, `y`): open or
// cleared.
void ExpectMeadowIcon(int x, int y, bool cleared) {
  EXPECT_TRUE(ShowsCell(&g_SurfaceTable[68], x, y, &g_SurfaceTable[54], cleared ? 32 : 0, 0, 32, 32));
  EXPECT_FALSE(ShowsCell(&g_SurfaceTable[68], x, y, &g_SurfaceTable[54], cleared ? 0 : 32, 0, 32, 32));
}

// From the title's new game to the confirmed meadow stage, as the player does it.
void NewGameToTheMeadow(MenuDriver& d) {
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  ASSERT_EQ(d.Row(), 0);
  d.Button(MENU_BUTTON_1);
  d.Frame();  // the slot list reads the slots
  ASSERT_EQ(d.Row(), 0);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_WORLDMAP, MAP_WALK));
  EXPECT_EQ(g_SaveData.m_nSlot, 0);
  EXPECT_EQ(g_SaveData.m_bAutoSave, 1);
  EXPECT_EQ(g_SaveData.m_nMapX, 5);
  EXPECT_EQ(g_SaveData.m_nMapY, 5);
  ExpectMeadowIcon((9 - 5 + 9) * 32, 7 * 32, false);
  // Along the road; the meadow asks at once, on "no".
  for (int i = 0; i < 4; ++i) d.Press(RIGHT);
  ASSERT_EQ(d.State(), MAP_CONFIRM);
  EXPECT_EQ(d.Row(), 1);
  d.Press(INPUT_UP);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 400));
}

TEST(StoryPath, ANewGameClearsTheMeadowSavesAndContinuesFromTheSlot) {
  std::string saved;
  {
    MenuDriver d(SCENE_TITLE);
    NewGameToTheMeadow(d);
    EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\demo1-1.stg4_001");
    EXPECT_EQ(PlayToClear(d, MEADOW_1), 420);
    EXPECT_EQ(g_SaveData.WorldFlag(1), 0);
    LeaveClearDisplay(d);
    // The series goes on in place with its second stage.
    EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\demo1-2.stg4_001");
    ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 400));
    EXPECT_EQ(g_Game.m_nScene, SCENE_PLAY);
    EXPECT_EQ(PlayToClear(d, MEADOW_2), 612);
    d.ClearSounds();
    LeaveClearDisplay(d);
    EXPECT_EQ(d.Sounds(), std::vector<int>{1});
    // The end of the series: the meadow's world flag and its record, and back to the map.
    EXPECT_EQ(g_SaveData.WorldFlag(1), 1);
    ASSERT_TRUE(d.RunUntilScene(SCENE_WORLDMAP, MAP_WALK, 200));
    EXPECT_EQ(g_Game.m_nPrevScene, SCENE_PLAY);
    EXPECT_EQ(g_SaveData.m_nMapX, 9);
    EXPECT_EQ(g_SaveData.m_nMapY, 5);
    EXPECT_EQ(Map().m_lpEntry, &g_WorldMap.m_Points.At(0).m_Entries.At(0));
    // Cleared: the walker stands on it without being asked, and the point shows the cleared icon.
    d.Frames(5);
    EXPECT_EQ(d.State(), MAP_WALK);
    ExpectMeadowIcon(9 * 32, 7 * 32, true);
    // Arriving from a stage with auto-save on wrote the slot of the new game.
    EXPECT_TRUE(std::filesystem::exists(d.ProjectDir() / "user_data/story/Story01.dat"));

    // The world-map menu's save, into the third slot after the question.
    d.Button(MENU_BUTTON_2);
    ASSERT_TRUE(d.RunUntilScene(SCENE_MAPMENU, MAPMENU_MENU));
    d.Button(MENU_BUTTON_1);  // "セーブ"
    d.Frame();
    EXPECT_EQ(d.Row(), 0) << "the slot list starts on the game's own slot";
    d.Press(INPUT_DOWN);
    d.Press(INPUT_DOWN);
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.Row(), 1) << "the question starts on \"no\"";
    d.Press(INPUT_UP);
    d.ClearSounds();
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.Sounds(), std::vector<int>{5});
    EXPECT_EQ(g_SaveData.m_nSlot, 2);
    EXPECT_EQ(g_StorySlots.At(2).m_bUsed, 1);
    saved = ReadFile(d.ProjectDir() / "user_data/story/Story03.dat");
    ASSERT_FALSE(saved.empty());
  }

  // A new run with that slot: continue lands on the map with the meadow cleared.
  MenuDriver d(SCENE_TITLE);
  WriteFile(d.ProjectDir() / "user_data/story/Story03.dat", saved);
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  d.Frame();
  EXPECT_EQ(g_StorySlots.At(2).m_bUsed, 1);
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_WORLDMAP, MAP_WALK));
  EXPECT_EQ(g_SaveData.WorldFlag(1), 1);
  EXPECT_EQ(g_SaveData.m_nMapX, 9);
  EXPECT_EQ(g_SaveData.m_nMapY, 5);
  d.Frames(5);
  EXPECT_EQ(d.State(), MAP_WALK);
  ExpectMeadowIcon(9 * 32, 7 * 32, true);
  // The cave beyond the meadow is open now: the walker reaches it along the road.
  const int16_t road[] = {INPUT_DOWN, INPUT_DOWN, RIGHT, RIGHT, RIGHT, RIGHT, RIGHT};
  for (int16_t k : road) d.Press(k);
  EXPECT_EQ(g_SaveData.m_nMapX, 14);
  EXPECT_EQ(g_SaveData.m_nMapY, 7);
  EXPECT_EQ(d.State(), MAP_CONFIRM);
}

}  // namespace
