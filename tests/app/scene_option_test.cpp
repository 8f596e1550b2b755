#include <gtest/gtest.h>

#include "app/menu_scene.h"
#include "audio/sound_effects.h"
#include "app/scene_option.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/project_layout.h"
#include "persist/system_data.h"
#include "persist/user_records.h"
#include "stage/game.h"
#include "stage/input.h"

namespace {

using t4::test::MenuDriver;
using t4::test::OPTION_FADE_OUT;
using t4::test::OPTION_MENU;

cSceneOption& Options() { return *static_cast<cSceneOption*>(g_Game.GetScene(SCENE_OPTION)); }

// Opens the item on `row` for editing, presses `keys`, then keeps (button 1) or cancels (2).
void Edit(MenuDriver& d, int row, const std::vector<int16_t>& keys, int16_t close) {
  for (int i = 0; i < row; ++i) d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  for (int16_t k : keys) d.Press(k);
  d.Button(close);
  for (int i = 0; i < row; ++i) d.Press(INPUT_UP);
}

TEST(OptionScene, ValuesWrapWithinTheirRangesAndCancelRestores) {
  struct Case {
    const char* name;
    int row;
    std::vector<int16_t> keys;
    int16_t close;
    int32_t cOptionData::*value;
    int32_t before;
    int32_t after;
  } cases[] = {
      {"palette up from 23", 0, {INPUT_UP}, MENU_BUTTON_1, &cOptionData::m_nColourVariation, 23, 0},
      {"palette down from 0", 0, {INPUT_DOWN}, MENU_BUTTON_1, &cOptionData::m_nColourVariation, 0, 23},
      {"music off and on again", 1, {INPUT_UP, INPUT_UP}, MENU_BUTTON_1, &cOptionData::m_bBgm, 1, 1},
      {"music off", 1, {INPUT_DOWN}, MENU_BUTTON_1, &cOptionData::m_bBgm, 1, 0},
      {"volume down from 0", 2, {INPUT_DOWN}, MENU_BUTTON_1, &cOptionData::m_nSoundVolume, 0, 10},
      {"volume cancelled", 2, {INPUT_UP, INPUT_UP, INPUT_UP}, MENU_BUTTON_2, &cOptionData::m_nSoundVolume, 4, 4},
      {"ranking mode up from 3", 3, {INPUT_UP}, MENU_BUTTON_1, &cOptionData::m_nRankingMode, 3, 0},
      {"ranking mode two down", 3, {INPUT_DOWN, INPUT_DOWN}, MENU_BUTTON_1, &cOptionData::m_nRankingMode, 1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MenuDriver d(SCENE_OPTION);
    g_OptionData.*c.value = c.before;
    ASSERT_TRUE(d.RunUntilState(OPTION_MENU));
    Edit(d, c.row, c.keys, c.close);
    EXPECT_EQ(g_OptionData.*c.value, c.after);
    EXPECT_EQ(d.State(), OPTION_MENU);
    EXPECT_EQ(d.Row(), 0);
  }
}

TEST(OptionScene, LeavingWritesTheOptionsFileEvenWithButtonTwo) {
  MenuDriver d(SCENE_OPTION);
  g_OptionData.m_nSoundVolume = 7;
  g_OptionData.m_bBgm = 1;
  ASSERT_TRUE(d.RunUntilState(OPTION_MENU));
  Edit(d, 2, {INPUT_DOWN, INPUT_DOWN}, MENU_BUTTON_1);
  Edit(d, 1, {INPUT_DOWN}, MENU_BUTTON_1);
  d.Button(MENU_BUTTON_2);
  EXPECT_EQ(d.State(), OPTION_FADE_OUT);
  ASSERT_TRUE(d.RunUntilScene(SCENE_TITLE, 0, 30));
  EXPECT_EQ(g_Game.m_nPrevScene, SCENE_OPTION);
  cOptionData saved;
  ASSERT_TRUE(saved.LoadFromFile(g_Paths[PATH_OPTION]));
  EXPECT_EQ(saved.m_nSoundVolume, 5);
  EXPECT_EQ(saved.m_bBgm, 0);
}

TEST(OptionScene, TheBackItemReturnsToTheTitle) {
  MenuDriver d(SCENE_OPTION);
  ASSERT_TRUE(d.RunUntilState(OPTION_MENU));
  d.Press(INPUT_UP);  // wraps onto the sixth item
  EXPECT_EQ(d.Row(), 5);
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.State(), OPTION_FADE_OUT);
  EXPECT_EQ(g_Game.m_nNextScene, SCENE_TITLE);
}

TEST(OptionScene, TheNameItemAsksTheMainWindowForTheNameEntry) {
  MenuDriver d(SCENE_OPTION);
  unsigned asked = 0;
  d.OnFileRequest([&](unsigned msg) {
    asked = msg;
    g_OptionData.m_strFixedRankingName = "bob";
    return true;
  });
  ASSERT_TRUE(d.RunUntilState(OPTION_MENU));
  Edit(d, 4, {}, 0);
  EXPECT_EQ(asked, WM_USER + 1u);
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "bob");
  EXPECT_EQ(d.State(), OPTION_MENU);
}

TEST(OptionScene, OnlyTheSixItemsEnterAndNoneEnabledShowsThePalette) {
  {
    MenuDriver d(SCENE_OPTION);
    for (cCmd& cmd : g_SystemData.m_OptionMenu) cmd.m_bEnabled = 0;
    ASSERT_TRUE(d.RunUntilState(OPTION_MENU));
    EXPECT_EQ(Options().m_nItemCount, 1);
    EXPECT_EQ(Options().m_Items[0], 0);
  }
  {
    MenuDriver d(SCENE_OPTION);
    for (int i = 0; i < 4; ++i) g_SystemData.m_OptionMenu.push_back(cCmd(1, "extra"));
    ASSERT_TRUE(d.RunUntilState(OPTION_MENU));
    EXPECT_EQ(Options().m_nItemCount, 6);
    d.Press(INPUT_UP);
    EXPECT_EQ(d.Row(), 5);
  }
}

// The sound layer over the default headless output, with two sounds made from the demo's file.
struct ScopedSounds {
  ScopedSounds() {
    EXPECT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    g_SoundList.assign(2, DSSOUNDDATA{});
    for (DSSOUNDDATA& sound : g_SoundList) EXPECT_TRUE(DS_CreateSound(&sound, "wave\\accept.wav", 1, 0));
  }
  ~ScopedSounds() {
    DS_Release();
    g_SoundList.clear();
  }
  ScopedSounds(const ScopedSounds&) = delete;
  ScopedSounds& operator=(const ScopedSounds&) = delete;
};

// Every sound follows the volume while it is edited; a cancelled edit sets the old level on every
// sound again.
TEST(OptionScene, TheVolumeActsOnEverySoundAtOnceAndACancelRestoresIt) {
  MenuDriver d(SCENE_OPTION);
  ScopedSounds sounds;
  g_OptionData.m_nSoundVolume = 7;
  ASSERT_TRUE(d.RunUntilState(OPTION_MENU));
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  d.Press(INPUT_DOWN);
  for (DSSOUNDDATA& sound : g_SoundList) EXPECT_EQ(DS_GetVolume(&sound, 0), SE_VOLUME_STEPS[6]);
  d.Press(INPUT_UP);
  d.Press(INPUT_UP);
  for (DSSOUNDDATA& sound : g_SoundList) EXPECT_EQ(DS_GetVolume(&sound, 0), SE_VOLUME_STEPS[8]);
  d.Button(MENU_BUTTON_2);
  EXPECT_EQ(g_OptionData.m_nSoundVolume, 7);
  for (DSSOUNDDATA& sound : g_SoundList) EXPECT_EQ(DS_GetVolume(&sound, 0), SE_VOLUME_STEPS[7]);
}

}  // namespace
