// The route of the menus window test, walked headless from a frame-stamped key stream: the same
// keys on exact frames, the cursor row checked after each one, and the same outcomes (the options
// kept, the challenge list with its records, its first stage started). The window test itself
// only shows that keys reach the menus in a real window; the routes are exact here.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "app/menu_scene.h"
#include "audio/bgm.h"
#include "data/stage_file.h"
#include "menu_driver.h"
#include "persist/project_layout.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/user_records.h"
#include "scene_test_util.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/scene_play.h"

namespace {

using t4::test::CHALLENGE_SELECT;
using t4::test::MenuDriver;
using t4::test::OPTION_MENU;
using t4::test::TITLE_MENU;

// Plays `stream` from the current frame: "F:KEY" presses KEY (Up, Down, z or x) for the one frame
// F frames from now, "F:KEY>R" also wants the cursor on row R the frame after. Frames with no key
// pass without one.
void PlayStamped(MenuDriver& d, const std::string& stream) {
  std::istringstream in(stream);
  std::string token;
  int frame = 0;
  while (in >> token) {
    int at = 0;
    int row = -1;
    char key[8] = "";
    const int n = std::sscanf(token.c_str(), "%d:%7[^>]>%d", &at, key, &row);
    ASSERT_GE(n, 2) << token;
    ASSERT_GE(at, frame) << token << ": the stamps must not go back";
    for (; frame < at; ++frame) d.Frame();
    const std::string k = key;
    const int16_t dir = k == "Up" ? INPUT_UP : k == "Down" ? INPUT_DOWN : 0;
    const int16_t buttons = k == "z" ? MENU_BUTTON_1 : k == "x" ? MENU_BUTTON_2 : 0;
    ASSERT_TRUE(dir || buttons) << token;
    d.Frame(dir, buttons);
    d.Frame();
    frame += 2;
    if (n == 3) {
      ASSERT_EQ(d.Row(), row) << token;
    }
  }
}

TEST(MenuRoutes, TheWindowTestsKeysOnExactFramesKeepTheOptionsAndReachAChallengeStage) {
  MenuDriver d(SCENE_TITLE);
  cSaveData earlier;
  earlier.Reset(g_SystemData.m_nChallengeCount);
  earlier.m_ChallengeResults.At(1).m_bCleared = 1;
  earlier.m_ChallengeResults.At(1).m_nBest = 1200;
  earlier.m_nChallengeOpen = 2;
  ASSERT_TRUE(earlier.SaveChallenge());
  g_OptionData.m_bBgm = 1;
  g_OptionData.m_nSoundVolume = 7;

  // The title: down to the options (sixth row) and in.
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  ASSERT_EQ(d.Row(), 0);
  PlayStamped(d, "4:Down>1 8:Down>2 12:Down>3 16:Down>4 20:Down>5 24:z");
  ASSERT_TRUE(d.RunUntilScene(SCENE_OPTION, OPTION_MENU));
  // The music (second row) switched off and kept; button 2 leaves and writes Option.dat.
  PlayStamped(d, "0:Down>1 4:z 8:Down 12:z>1 16:x");
  ASSERT_TRUE(d.RunUntilScene(SCENE_TITLE, TITLE_MENU));
  EXPECT_EQ(d.Row(), 5);
  cOptionData saved;
  ASSERT_TRUE(saved.LoadFromFile(g_Paths[PATH_OPTION]));
  EXPECT_EQ(saved.m_bBgm, 0);
  EXPECT_EQ(saved.m_nSoundVolume, 7);
  // Up to the challenge item and into challenge select.
  PlayStamped(d, "0:Up>4 4:Up>3 8:Up>2 12:z");
  ASSERT_TRUE(d.RunUntilScene(SCENE_CHALLENGE, CHALLENGE_SELECT));
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_nBest, 1200);
  // Its first stage starts (played to its clear by the challenge path test).
  PlayStamped(d, "0:z");
  ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 400));
  EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\c01-1.stg4_001");
  g_Bgm.Release();
}

}  // namespace
