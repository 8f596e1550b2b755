// The options through the menu driver, from the title: every value changed and kept, the music
// switched when the scene is left, and Option.dat read again by a new run as start-up reads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/menu_scene.h"
#include "audio/bgm.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/project_layout.h"
#include "persist/system_data.h"
#include "persist/user_records.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/private_messages.h"

namespace {

using t4::test::MenuDriver;
using t4::test::OPTION_MENU;
using t4::test::ReadFile;
using t4::test::TITLE_MENU;

// On the options menu's row `row`: opens the item, presses `keys` and keeps the value, then moves
// the cursor back to the first row.
void Change(MenuDriver& d, int row, const std::vector<int16_t>& keys) {
  for (int i = 0; i < row; ++i) d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  for (int16_t k : keys) d.Press(k);
  if (!keys.empty()) d.Button(MENU_BUTTON_1);
  for (int i = 0; i < row; ++i) d.Press(INPUT_UP);
}

void TitleToOptions(MenuDriver& d) {
  ASSERT_TRUE(d.RunUntilState(TITLE_MENU));
  for (int i = 0; i < 5; ++i) d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_OPTION, OPTION_MENU));
}

TEST(OptionsPath, ChangedOptionsAreKeptInOptionDatAndReadByTheNextRun) {
  std::string file;
  {
    MenuDriver d(SCENE_TITLE);
    g_OptionData.m_nColourVariation = 0;
    g_OptionData.m_bBgm = 1;
    g_OptionData.m_nSoundVolume = 10;
    g_OptionData.m_nRankingMode = 0;
    g_OptionData.m_strFixedRankingName = "aaa";
    unsigned asked = 0;
    d.OnFileRequest([&](unsigned msg) {
      asked = msg;
      g_OptionData.m_strFixedRankingName = "kit";
      return true;
    });
    TitleToOptions(d);
    Change(d, 0, {INPUT_UP, INPUT_UP});
    Change(d, 1, {INPUT_DOWN});
    Change(d, 2, {INPUT_DOWN, INPUT_DOWN, INPUT_DOWN});
    Change(d, 3, {INPUT_UP});
    Change(d, 4, {});
    EXPECT_EQ(asked, static_cast<unsigned>(WM_USER_NAME_ENTRY));
    EXPECT_EQ(d.State(), OPTION_MENU);
    // Nothing is written while the scene is open.
    EXPECT_FALSE(std::filesystem::exists(d.ProjectDir() / "user_data/Option.dat"));
    // The last item returns to the title, which starts on the options row.
    for (int i = 0; i < 5; ++i) d.Press(INPUT_DOWN);
    d.Button(MENU_BUTTON_1);
    ASSERT_TRUE(d.RunUntilScene(SCENE_TITLE, TITLE_MENU));
    EXPECT_EQ(g_Game.m_nPrevScene, SCENE_OPTION);
    EXPECT_EQ(d.Row(), 5);
    EXPECT_FALSE(g_Bgm.IsInitialised());
    file = ReadFile(d.ProjectDir() / "user_data/Option.dat");
    ASSERT_FALSE(file.empty());
  }

  MenuDriver d(SCENE_TITLE);
  std::ofstream(d.ProjectDir() / "user_data/Option.dat", std::ios::binary) << file;
  ASSERT_TRUE(g_OptionData.LoadFromFile(g_Paths[PATH_OPTION]));
  EXPECT_EQ(g_OptionData.m_nColourVariation, 2);
  EXPECT_EQ(g_OptionData.m_bBgm, 0);
  EXPECT_EQ(g_OptionData.m_nSoundVolume, 7);
  EXPECT_EQ(g_OptionData.m_nRankingMode, 1);
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "kit");
  // Editing starts from the kept values; music back on starts a fresh music object when the
  // scene is left, and the title asks for its music again.
  TitleToOptions(d);
  Change(d, 0, {INPUT_DOWN, INPUT_DOWN, INPUT_DOWN});
  EXPECT_EQ(g_OptionData.m_nColourVariation, 23);
  Change(d, 1, {INPUT_UP});
  EXPECT_EQ(g_OptionData.m_bBgm, 1);
  // As if the title's looping piece were playing: only a fresh music object asks for it again.
  g_SystemData.m_SceneBgmLoop.At(0) = 1;
  g_Game.m_nLastBgm = g_SystemData.m_SceneBgm.At(0);
  g_Game.m_bLastBgmLoop = 1;
  const size_t requests = d.MusicSlots().size();
  d.Button(MENU_BUTTON_2);
  ASSERT_TRUE(d.RunUntilScene(SCENE_TITLE, TITLE_MENU));
  ASSERT_EQ(d.MusicSlots().size(), requests + 1) << "the title's music request was skipped";
  EXPECT_EQ(d.MusicSlots().back(), 0);
  cOptionData saved;
  ASSERT_TRUE(saved.LoadFromFile(g_Paths[PATH_OPTION]));
  EXPECT_EQ(saved.m_nColourVariation, 23);
  EXPECT_EQ(saved.m_bBgm, 1);
  g_Bgm.Release();
}

}  // namespace
