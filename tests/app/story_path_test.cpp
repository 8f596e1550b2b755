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
#include "menu_driver.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

using t4::test::MenuDriver;

constexpr int TITLE_MENU = 1;
constexpr int MAP_WALK = 1;
constexpr int MAP_CONFIRM = 2;
constexpr int MAPMENU_MENU = 1;
constexpr int16_t JUMP = MENU_BUTTON_1;
constexpr int16_t RIGHT = INPUT_RIGHT;

// A stretch of frames with the same keys held.
struct Keys {
  int frames;
  int16_t dir;
  int16_t buttons;
};

// The meadow's first stage: a jump onto the floating ledge over the first pit, the spring up to the
// high ledge, a long jump from its end over the spikes, and a short hop at the brick that ends
// below the star. The jump button is let go two frames before the star is touched, so the clear
// display takes the next press of button 1 as fresh.
const std::vector<Keys> MEADOW_1 = {
    {75, RIGHT, 0}, {20, RIGHT, JUMP}, {128, RIGHT, 0}, {40, RIGHT, JUMP}, {150, RIGHT, 0}, {3, RIGHT, JUMP},
};
// The second stage: the long jump over the first pit at its very edge, a hop over the spring, a
// low jump below the ledge over the second pit, onto the long ledge over the third, and up onto
// the ledge by the brick wall that leads to the star.
const std::vector<Keys> MEADOW_2 = {
    {74, RIGHT, 0},    {40, RIGHT, JUMP}, {62, RIGHT, 0},    {40, RIGHT, JUMP}, {22, RIGHT, 0},
    {10, RIGHT, JUMP}, {150, RIGHT, 0},   {40, RIGHT, JUMP}, {100, RIGHT, 0},   {40, RIGHT, JUMP},
};

int PlayState() { return g_lpScenePlay ? g_lpScenePlay->m_nState : -2; }

// Plays `keys` from the first frame of play, then holds right until the stage is cleared; the
// frame of the clear, counted from the first played frame, or -1.
int PlayToClear(MenuDriver& d, const std::vector<Keys>& keys) {
  int frame = 0;
  for (const Keys& k : keys) {
    for (int i = 0; i < k.frames; ++i, ++frame) {
      d.Frame(k.dir, k.buttons);
      if (PlayState() == PLAY_STAGE_END) return frame;
    }
  }
  for (int i = 0; i < 200; ++i, ++frame) {
    d.Frame(RIGHT, 0);
    if (PlayState() == PLAY_STAGE_END) return frame;
  }
  return -1;
}

// Waits out the clear display (the result panel comes with a counter of 200 at 4 a frame) and
// leaves it with button 1.
void LeaveClearDisplay(MenuDriver& d) {
  d.Frames(55);
  d.Button(MENU_BUTTON_1);
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

// The map picture shows at (`x`, `y`) the icon cell of the event sheet at column `cell` (0 open,
// 32 cleared) of icon row 0: every pixel where the two cells differ is the wanted one's.
void ExpectPointIcon(int x, int y, int cell) {
  cSurfaceLock map;
  cSurfaceLock icons;
  ASSERT_TRUE(map.Lock(&g_SurfaceTable[68]));
  ASSERT_TRUE(icons.Lock(&g_SurfaceTable[54]));
  int differing = 0;
  for (int j = 0; j < 32; ++j) {
    for (int i = 0; i < 32; ++i) {
      const uint32_t open = icons.Get(i, j);
      const uint32_t cleared = icons.Get(32 + i, j);
      if (open == cleared) continue;
      ++differing;
      ASSERT_EQ(map.Get(x + i, y + j), cell == 0 ? open : cleared) << i << "," << j;
    }
  }
  EXPECT_GT(differing, 0);
}

cSceneWorldMap& Map() { return *static_cast<cSceneWorldMap*>(g_Game.GetScene(SCENE_WORLDMAP)); }

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
  ExpectPointIcon((9 - 5 + 9) * 32, 7 * 32, 0);
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
    EXPECT_EQ(PlayToClear(d, MEADOW_1), 419);
    EXPECT_EQ(g_SaveData.WorldFlag(1), 0);
    LeaveClearDisplay(d);
    // The series goes on in place with its second stage.
    EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\demo1-2.stg4_001");
    ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 400));
    EXPECT_EQ(g_Game.m_nScene, SCENE_PLAY);
    EXPECT_EQ(PlayToClear(d, MEADOW_2), 611);
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
    ExpectPointIcon(9 * 32, 7 * 32, 32);
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
  ExpectPointIcon(9 * 32, 7 * 32, 32);
  // The cave beyond the meadow is open now: the walker reaches it along the road.
  const int16_t road[] = {INPUT_DOWN, INPUT_DOWN, RIGHT, RIGHT, RIGHT, RIGHT, RIGHT};
  for (int16_t k : road) d.Press(k);
  EXPECT_EQ(g_SaveData.m_nMapX, 14);
  EXPECT_EQ(g_SaveData.m_nMapY, 7);
  EXPECT_EQ(d.State(), MAP_CONFIRM);
}

}  // namespace
