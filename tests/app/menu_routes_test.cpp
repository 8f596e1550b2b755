// The route of the menus window test, walked headless from a frame-stamped key stream (as the
// stages' key streams and replays feed a stage): the same keys on exact frames, the cursor row
// checked after each one, and the same outcomes (the options kept, the challenge list with its
// records, its first stage started). The window test itself only shows that keys reach the menus
// in a real window; the routes are exact here.
#include <gtest/gtest.h>

#include <initializer_list>

#include "app/menu_scene.h"
#include "audio/bgm.h"
#include "data/stage_file.h"
#include "demo_routes.h"
#include "menu_driver.h"
#include "persist/project_layout.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/user_records.h"
#include "scene_test_util.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "support/demo_plays.h"

namespace {

using t4::test::CHALLENGE_SELECT;
using t4::test::KeyFrame;
using t4::test::KeysFromScript;
using t4::test::MenuDriver;
using t4::test::OPTION_MENU;
using t4::test::SaveEarlierChallengeRecords;
using t4::test::TITLE_MENU;

// One key of a route in the notation of the stages' key streams (support/demo_plays.h: "3 1D" waits
// three frames, then holds down for one; A is button 1, B button 2), and the row the cursor must
// be on the frame after it (-1: not checked).
struct RouteKey {
  const char* keys;
  int row;
};

void Walk(MenuDriver& d, std::initializer_list<RouteKey> route) {
  for (const RouteKey& r : route) {
    for (const KeyFrame& k : KeysFromScript(r.keys)) d.Frame(k.dir, k.buttons);
    d.Frame();  // let go
    if (r.row >= 0) {
      ASSERT_EQ(d.Row(), r.row) << "after " << r.keys;
    }
  }
}

TEST(MenuRoutes, TheWindowTestsKeysOnExactFramesKeepTheOptionsAndReachAChallengeStage) {
  MenuDriver d(SCENE_TITLE);
  ASSERT_TRUE(SaveEarlierChallengeRecords());
  g_OptionData.m_bBgm = 1;
  g_OptionData.m_nSoundVolume = 7;

  // The title: down to the options (sixth row) and in.
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  ASSERT_EQ(d.Row(), 0);
  Walk(d, {{"3 1D", 1}, {"3 1D", 2}, {"3 1D", 3}, {"3 1D", 4}, {"3 1D", 5}, {"3 1A", -1}});
  ASSERT_TRUE(d.RunUntilScene(SCENE_OPTION, OPTION_MENU));
  // The music (second row) switched off and kept; button 2 leaves and writes Option.dat.
  Walk(d, {{"1D", 1}, {"3 1A", -1}, {"3 1D", -1}, {"3 1A", 1}, {"3 1B", -1}});
  ASSERT_TRUE(d.RunUntilScene(SCENE_TITLE, TITLE_MENU));
  EXPECT_EQ(d.Row(), 5);
  cOptionData saved;
  ASSERT_TRUE(saved.LoadFromFile(g_Paths[PATH_OPTION]));
  EXPECT_EQ(saved.m_bBgm, 0);
  EXPECT_EQ(saved.m_nSoundVolume, 7);
  // Up to the challenge item and into challenge select.
  Walk(d, {{"1U", 4}, {"3 1U", 3}, {"3 1U", 2}, {"3 1A", -1}});
  ASSERT_TRUE(d.RunUntilScene(SCENE_CHALLENGE, CHALLENGE_SELECT));
  EXPECT_EQ(g_SaveData.m_ChallengeResults.At(1).m_nBest, 1200);
  // Its first stage starts (played to its clear by the challenge path test).
  Walk(d, {{"1A", -1}});
  ASSERT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 400));
  EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\c01-1.stg4_001");
  g_Bgm.Release();
}

}  // namespace
