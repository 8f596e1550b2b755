#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "app/menu_scene.h"
#include "app/scene_worldmap.h"
#include "data/world_map.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/image_slots.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/menu.h"

namespace {

using t4::test::Map;
using t4::test::MAP_CONFIRM;
using t4::test::MAP_FADE_OUT;
using t4::test::MAP_WALK;
using t4::test::MenuDriver;
using t4::test::Pixel;

// The demo's island: the walker starts on the road at (5, 5); the road runs east to the meadow
// point at (9, 5) (stage entry, world flag 1 when cleared), then south and east to the cave point
// at (14, 7), which is a wall until flag 1 is set. Grass, forest and sea cannot be walked on.
void PlaceWalker(int x, int y, int prevScene = SCENE_TITLE) {
  g_SaveData.m_nMapX = x;
  g_SaveData.m_nMapY = y;
  g_Game.m_nPrevScene = prevScene;
}

// The walker is the bottom cursor state (a confirmation pushes its own above it).
int HeroX() { return g_MenuCursor.m_States.At(0).nColumn; }
int HeroY() { return g_MenuCursor.m_States.At(0).nRow; }

TEST(WorldMapScene, WalksOnTheRoadAndIsStoppedByGrassAndWalls) {
  MenuDriver d(SCENE_WORLDMAP);
  PlaceWalker(5, 5);
  ASSERT_TRUE(d.RunUntilState(MAP_WALK));
  struct Step {
    int16_t dir;
    int x, y, facing;
  } steps[] = {
      {INPUT_RIGHT, 6, 5, 3}, {INPUT_UP, 6, 5, 1},  // grass: refused, the walker only turns
      {INPUT_LEFT, 5, 5, 2},                        // back onto the start
      {INPUT_LEFT, 5, 5, 2},                        // grass again
      {INPUT_DOWN, 5, 5, 0},
  };
  for (const Step& s : steps) {
    d.Press(s.dir);
    EXPECT_EQ(HeroX(), s.x);
    EXPECT_EQ(HeroY(), s.y);
    EXPECT_EQ(Map().m_nFacing, s.facing);
    EXPECT_EQ(d.State(), MAP_WALK);
  }
  // The stored facing is that of the last step taken; the view follows the walker.
  EXPECT_EQ(g_SaveData.m_nMapDir, 2);
  EXPECT_EQ(Map().m_nOriginX, 5 - 9);
  EXPECT_EQ(Map().m_nOriginY, 5 - 7);
}

TEST(WorldMapScene, TheCavePointOpensOnceTheMeadowIsCleared) {
  for (bool cleared : {false, true}) {
    SCOPED_TRACE(cleared);
    MenuDriver d(SCENE_WORLDMAP);
    PlaceWalker(13, 7);
    g_SaveData.WorldFlag(1) = cleared ? 1 : 0;
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    d.Frame(INPUT_RIGHT);
    EXPECT_EQ(HeroX(), cleared ? 14 : 13);
    // An open stage that starts by itself asks at once.
    EXPECT_EQ(d.State(), cleared ? MAP_CONFIRM : MAP_WALK);
  }
}

TEST(WorldMapScene, DecliningAStageThatStartsByItselfStepsTheWalkerBack) {
  MenuDriver d(SCENE_WORLDMAP);
  PlaceWalker(8, 5);
  ASSERT_TRUE(d.RunUntilState(MAP_WALK));
  d.Frame(INPUT_RIGHT);
  EXPECT_EQ(HeroX(), 9);
  ASSERT_EQ(d.State(), MAP_CONFIRM);
  EXPECT_EQ(g_SaveData.m_nMapX, 9);
  d.Frame();
  EXPECT_EQ(d.Row(), 1) << "the cursor starts on the second choice";
  d.Button(MENU_BUTTON_2);
  EXPECT_EQ(d.State(), MAP_WALK);
  EXPECT_EQ(HeroX(), 8);
  EXPECT_EQ(HeroY(), 5);
  EXPECT_EQ(g_MenuCursor.m_States.size(), 1u);
}

TEST(WorldMapScene, ConfirmingAStagePreparesTheProgressAndGoesToPlay) {
  MenuDriver d(SCENE_WORLDMAP);
  g_SystemData.m_bStoryLivesCarry = 0;
  g_SystemData.m_InfiniteLives.At(GAME_MODE_STORY) = 0;
  g_SystemData.m_InitialLives.At(GAME_MODE_STORY) = 4;
  PlaceWalker(8, 5);
  ASSERT_TRUE(d.RunUntilState(MAP_WALK));
  d.Frame(INPUT_RIGHT);
  d.Frame();
  d.Press(INPUT_UP);
  EXPECT_EQ(d.Row(), 0);
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.State(), MAP_FADE_OUT);
  EXPECT_EQ(g_Game.m_nNextScene, SCENE_PLAY);
  EXPECT_EQ(g_SaveData.m_nStageNo, 1);  // the entry's clear flag
  EXPECT_EQ(g_SaveData.m_nSequenceNo, 1);
  EXPECT_EQ(g_SaveData.m_strStageName, "data\\stg4\\demo1.");
  EXPECT_EQ(g_SaveData.m_bSequence, 1);
  EXPECT_EQ(g_SaveData.m_pMapEntry, &g_WorldMap.m_Points.At(0).m_Entries.At(0));
  EXPECT_EQ(g_SaveData.m_nLivesAtStart, 4);
  EXPECT_EQ(g_SaveData.m_nMapDir, 3);
  ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, 0, 30));
  EXPECT_EQ(g_Game.m_nPrevScene, SCENE_WORLDMAP);
}

TEST(WorldMapScene, AClearedStageThatCannotBePlayedAgainIgnoresButtonOne) {
  for (int replayable : {0, 1}) {
    SCOPED_TRACE(replayable);
    MenuDriver d(SCENE_WORLDMAP);
    g_WorldMap.m_Points.At(0).m_Entries.At(0).m_nReplayable = replayable;
    g_SaveData.WorldFlag(1) = 1;
    PlaceWalker(9, 5);
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.State(), replayable ? MAP_CONFIRM : MAP_WALK);
  }
}

TEST(WorldMapScene, ArrivingOnAnOpenStageStartsItUnlessComingFromTheMenu) {
  struct Case {
    int prevScene;
    int state;
  } cases[] = {{SCENE_TITLE, MAP_FADE_OUT}, {SCENE_MAPMENU, MAP_CONFIRM}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prevScene);
    MenuDriver d(SCENE_WORLDMAP);
    PlaceWalker(9, 5, c.prevScene);
    ASSERT_TRUE(d.RunUntilState(c.state));
    if (c.state == MAP_FADE_OUT) {
      EXPECT_EQ(g_Game.m_nNextScene, SCENE_PLAY);
      EXPECT_EQ(g_SaveData.m_nMapMenuX, 9);
    }
  }
}

TEST(WorldMapScene, AnAutomaticStartThatCannotLoadShowsTheErrorAndStaysOnTheMap) {
  MenuDriver d(SCENE_WORLDMAP);
  g_WorldMap.m_Points.At(0).m_Entries.At(0).m_strStageFile = "data\\stg4\\none-1.stg4";
  PlaceWalker(9, 5);
  ASSERT_TRUE(d.RunUntilState(MAP_WALK, 30));
  const auto boxes = d.Boxes().Boxes();
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "ステージファイル data\\stg4\\none-1.stg4 が読み込めません！");
  EXPECT_EQ(d.CloseRequests(), 0);
  EXPECT_EQ(d.Scene(), SCENE_WORLDMAP);
  // The point does not ask again by itself while the walker stands on it: the player can walk
  // away or open the menu instead of meeting the same error every frame.
  d.Frames(10);
  EXPECT_EQ(d.State(), MAP_WALK);
  EXPECT_EQ(d.Boxes().Boxes().size(), 1u);
  // Button 1 still asks (and tells the error again); declining leaves him on the point.
  d.Button(MENU_BUTTON_1);
  ASSERT_EQ(d.State(), MAP_CONFIRM);
  EXPECT_EQ(d.Boxes().Boxes().size(), 2u);
  d.Button(MENU_BUTTON_2);
  EXPECT_EQ(d.State(), MAP_WALK);
  EXPECT_EQ(HeroX(), 9);
  d.Frames(5);
  EXPECT_EQ(d.State(), MAP_WALK);
  d.Press(INPUT_LEFT);
  EXPECT_EQ(HeroX(), 8);
  // Stepping on it again is a new arrival, which asks at once.
  d.Frame(INPUT_RIGHT);
  EXPECT_EQ(HeroX(), 9);
  EXPECT_EQ(d.State(), MAP_CONFIRM);
}

// The stage's clear sets the entry's clear flag and its start the reference's variable: an entry
// of a damaged map whose indexes lie outside the progress is refused before anything is played.
TEST(WorldMapScene, AnEntryWhoseIndexesLieOutsideTheProgressIsNotPlayed) {
  struct Case {
    int32_t clearFlag, separate, key1;
    bool plays;
  } cases[] = {
      {1, 1, 1000, true}, {1000, 0, 0, false}, {-1, 0, 0, false}, {1, 1, 1001, false},
      {1, 1, -2, false},  {1, 0, -2, true},  // without a reference its variable number is never used
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.clearFlag << " " << c.separate << " " << c.key1);
    MenuDriver d(SCENE_WORLDMAP);
    cWorldMapStage& entry = g_WorldMap.m_Points.At(0).m_Entries.At(0);
    entry.m_nClearFlag = c.clearFlag;
    entry.m_nSeparate = c.separate;
    entry.m_nKey1 = c.key1;
    entry.m_nPassable = 1;
    PlaceWalker(9, 5);
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    d.Button(MENU_BUTTON_1);
    ASSERT_EQ(d.State(), MAP_CONFIRM);
    d.Press(INPUT_UP);
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.State(), c.plays ? MAP_FADE_OUT : MAP_WALK);
    const auto boxes = d.Boxes().Boxes();
    ASSERT_EQ(boxes.size(), c.plays ? 0u : 1u);
    if (!c.plays) {
      EXPECT_EQ(boxes[0].text, "data\\WorldMap.dat が破損しています！");
    }
    EXPECT_EQ(d.CloseRequests(), 0);
  }
}

TEST(WorldMapScene, BackToMapPutsTheWalkerOnHisPreviousCell) {
  struct Case {
    int prevX, prevY;
    int x;
  } cases[] = {
      {8, 5, 8},
      {-3, 5, 9},  // a previous cell outside the map (a damaged save) keeps him where he is
      {8, 400, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.prevX << "," << c.prevY);
    MenuDriver d(SCENE_WORLDMAP);
    PlaceWalker(9, 5, SCENE_PLAY);
    g_SaveData.m_nMapMenuX = c.prevX;
    g_SaveData.m_nMapMenuY = c.prevY;
    g_SaveData.m_bMapReturn = 1;
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    EXPECT_EQ(HeroX(), c.x);
    EXPECT_EQ(HeroY(), 5);
    EXPECT_EQ(g_SaveData.m_nMapX, c.x);
    EXPECT_EQ(g_SaveData.m_bMapReturn, 0);
  }
}

uint64_t RegionHash(int x0, int y0, int w, int h) {
  uint64_t hash = 14695981039346656037ull;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) hash = (hash ^ Pixel(&BackBuffer, x, y)) * 1099511628211ull;
  return hash;
}

// A caption is the project's text, never a format: conversions in it read no arguments.
TEST(WorldMapScene, ACaptionWithPercentSignsIsDrawnAsText) {
  MenuDriver d(SCENE_WORLDMAP);
  ASSERT_EQ(DDCreateFonts(g_Fonts, g_FontDescs, 3), 1);
  g_WorldMap.m_Points.At(0).m_Entries.At(0).m_strCaption = "100%s%s%s%s%n";
  g_SaveData.WorldFlag(1) = 1;  // no automatic start
  PlaceWalker(9, 5);
  ASSERT_TRUE(d.RunUntilState(MAP_WALK));
  const uint64_t shown = RegionHash(304 - 16 * 13 / 2, 204, 16 * 13, 16);
  d.Frame();
  EXPECT_EQ(RegionHash(304 - 16 * 13 / 2, 204, 16 * 13, 16), shown);
  for (cFont& f : g_Fonts) f.Release();
}

uint64_t SurfaceHash(DDSURFACEDATA* lpSD) {
  cSurfaceLock lock;
  EXPECT_TRUE(lock.Lock(lpSD));
  uint64_t hash = 14695981039346656037ull;
  for (int y = 0; y < lock.Height(); ++y)
    for (int x = 0; x < lock.Width(); ++x) hash = (hash ^ lock.Get(x, y)) * 1099511628211ull;
  return hash;
}

// A damaged map's far point coordinates, icon rows and chip pictures draw nothing, like any
// picture cell outside its sheet, without overflowing the dot arithmetic.
TEST(WorldMapScene, FarValuesOfADamagedMapDrawLikeCellsOutsideTheSheets) {
  uint64_t hashes[2] = {};
  for (int far : {0, 1}) {
    SCOPED_TRACE(far);
    MenuDriver d(SCENE_WORLDMAP);
    cWorldMapPoint stray;
    stray.m_nX = far ? INT_MIN : -40;
    stray.m_nY = 3;
    stray.m_Entries.resize(1);
    g_WorldMap.m_Points.push_back(stray);
    g_WorldMap.m_Points.At(0).m_Entries.At(0).m_nValue2 = far ? INT_MAX : 1000;
    g_WorldMap.m_Chips.At(1).m_nImage = far ? INT_MAX : 1000;  // the grass
    g_SaveData.WorldFlag(1) = 1;                               // no automatic start
    PlaceWalker(9, 5);
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    hashes[far] = SurfaceHash(&g_SurfaceTable[68]);
  }
  EXPECT_EQ(hashes[1], hashes[0]);
}

// The fade-in of a return to the map shows the map, but not the caption of the stage point the
// walker may be moved off. The point is cleared here, so he stays and both fades end alike.
TEST(WorldMapScene, TheFadeInOfABackToMapShowsTheMapWithoutTheCaption) {
  // The road west of the walker, and the caption box of the meadow (7 characters centred on
  // x 304 at y 204).
  const int road[4] = {96, 224, 160, 32};
  const int box[4] = {248, 204, 112, 16};
  uint64_t blank = 0;
  uint64_t map[2] = {};
  uint64_t caption[2] = {};
  for (int back : {0, 1}) {
    SCOPED_TRACE(back);
    MenuDriver d(SCENE_WORLDMAP);
    // The game fonts as the program makes them, drawn by the fixed-metric face.
    ASSERT_EQ(DDCreateFonts(g_Fonts, g_FontDescs, 3), 1);
    PlaceWalker(9, 5, SCENE_PLAY);
    g_SaveData.WorldFlag(1) = 1;
    g_SaveData.m_bMapReturn = back;
    g_SystemData.m_bMapShowsLives = 0;
    DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
    blank = RegionHash(road[0], road[1], road[2], road[3]);
    // The last frame of the fade-in is drawn by the fade-in.
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    EXPECT_EQ(HeroX(), 9);
    map[back] = RegionHash(road[0], road[1], road[2], road[3]);
    caption[back] = RegionHash(box[0], box[1], box[2], box[3]);
    for (cFont& f : g_Fonts) f.Release();
  }
  EXPECT_NE(map[1], blank);
  EXPECT_EQ(map[1], map[0]);
  EXPECT_NE(caption[1], caption[0]);
}

// Auto-save that cannot write its slot tells the player on arrival; the map goes on.
TEST(WorldMapScene, AnAutoSaveThatCannotWriteIsToldAbout) {
  MenuDriver d(SCENE_WORLDMAP);
  std::filesystem::create_directories(d.ProjectDir() / "user_data/story/Story05.dat");
  g_SaveData.m_bAutoSave = 1;
  g_SaveData.m_nSlot = 4;
  PlaceWalker(6, 5, SCENE_PLAY);
  ASSERT_TRUE(d.RunUntilState(MAP_WALK));
  ASSERT_EQ(d.Boxes().Boxes().size(), 1u);
  EXPECT_EQ(d.Boxes().Boxes()[0].text, "user_data\\story\\Story05.dat の書き込みに失敗しました！");
  EXPECT_EQ(d.CloseRequests(), 0);
}

TEST(WorldMapScene, AutoSaveWritesTheSlotOnlyAfterAStage) {
  for (int prev : {SCENE_PLAY, SCENE_MAPMENU}) {
    SCOPED_TRACE(prev);
    MenuDriver d(SCENE_WORLDMAP);
    g_SaveData.m_bAutoSave = 1;
    g_SaveData.m_nSlot = 4;
    PlaceWalker(6, 5, prev);
    d.Frame();
    EXPECT_EQ(std::filesystem::exists(d.ProjectDir() / "user_data/story/Story05.dat"), prev == SCENE_PLAY);
  }
}

TEST(WorldMapScene, ButtonTwoOpensTheMenu) {
  MenuDriver d(SCENE_WORLDMAP);
  PlaceWalker(6, 5);
  ASSERT_TRUE(d.RunUntilState(MAP_WALK));
  d.ClearSounds();
  d.Button(MENU_BUTTON_2);
  EXPECT_EQ(d.Sounds(), std::vector<int>{4});
  ASSERT_TRUE(d.RunUntilScene(SCENE_MAPMENU, 0, 30));
  EXPECT_EQ(g_Game.m_nPrevScene, SCENE_WORLDMAP);
}

}  // namespace

namespace {

// A stage's best record is kept under the name the progress gives the played file; the map must
// find it again under the name its entry gives, numbered series or not, with or without the
// numbered version the loader took.
TEST(WorldMapScene, TotalsAndBestRecordsFindTheStagesTheirEntriesName) {
  struct Case {
    const char* entryFile;
    const char* playedFile;  // the path the loader left
  } cases[] = {
      {"data\\stg4\\demo1-1.stg4", "data\\stg4\\demo1-1.stg4_001"},
      {"data\\stg4\\demo1-1.stg4", "data\\stg4\\demo1-1.stg4"},
      {"data\\stg4\\boss.stg4", "data\\stg4\\boss.stg4"},
      {"data\\stg4\\boss.stg4", "data\\stg4\\boss.stg4_003"},
      {"data\\stg4-1\\boss.stg4", "data\\stg4-1\\boss.stg4_003"},
      {"data\\stg4\\demo1-10.stg4", "data\\stg4\\demo1-10.stg4_002"},
      {"data\\stg4\\demo1-1", "data\\stg4\\demo1-1_002"},  // an entry named without its extension
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.entryFile) + " / " + c.playedFile);
    MenuDriver d(SCENE_WORLDMAP);
    g_WorldMap.m_Points.At(0).m_Entries.At(0).m_strStageFile = c.entryFile;
    g_SaveData.WorldFlag(1) = 1;  // cleared: no automatic start
    g_SaveData.SetStageFile(c.playedFile, 0, 0, 0);
    g_SaveData.AddStageResult(g_SaveData.m_strStageName, g_SaveData.m_strPlayName, 0, 0, 0, 700);
    g_SaveData.m_nWorldTotal = 0;
    PlaceWalker(9, 5);
    ASSERT_TRUE(d.RunUntilState(MAP_WALK));
    EXPECT_EQ(g_SaveData.m_nWorldTotal, 700);
    EXPECT_EQ(Map().m_nBest, 700);
  }
}

}  // namespace
