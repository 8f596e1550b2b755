#include <gtest/gtest.h>

#include <filesystem>

#include "app/menu_scene.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "stage/game.h"
#include "stage/input.h"

namespace {

using t4::test::MAPMENU_AUTO_SAVE;
using t4::test::MAPMENU_FADE_OUT;
using t4::test::MAPMENU_MENU;
using t4::test::MAPMENU_SAVE_SLOT;
using t4::test::MAPMENU_TO_TITLE;
using t4::test::MenuDriver;

bool SlotFileExists(const MenuDriver& d, int slot) {
  char name[40];
  std::snprintf(name, sizeof name, "user_data/story/Story%02d.dat", slot + 1);
  return std::filesystem::exists(d.ProjectDir() / name);
}

TEST(MapMenuScene, SavesToTheChosenSlotAfterTheConfirmation) {
  MenuDriver d(SCENE_MAPMENU);
  g_SaveData.m_nMapX = 9;
  ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
  d.Button(MENU_BUTTON_1);
  ASSERT_EQ(d.State(), MAPMENU_SAVE_SLOT);
  d.Frame();
  EXPECT_EQ(d.Row(), 0) << "no slot chosen yet: the list starts on the first";
  d.Press(INPUT_DOWN);
  d.Press(INPUT_DOWN);
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.Row(), 1) << "the question starts on its cancel choice";
  // Cancel: nothing written, back in the list on the same slot.
  d.Button(MENU_BUTTON_1);
  EXPECT_FALSE(SlotFileExists(d, 2));
  EXPECT_EQ(d.Row(), 2);
  d.Button(MENU_BUTTON_1);
  d.Press(INPUT_UP);
  d.ClearSounds();
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.Sounds(), std::vector<int>{5});
  EXPECT_TRUE(SlotFileExists(d, 2));
  EXPECT_EQ(g_SaveData.m_nSlot, 2);
  EXPECT_TRUE(g_StorySlots.At(2).m_bUsed);
  EXPECT_EQ(d.State(), MAPMENU_SAVE_SLOT);
  EXPECT_EQ(d.Row(), 2);
  cSaveData saved;
  ASSERT_TRUE(saved.LoadSlot(2));
  EXPECT_EQ(saved.m_nMapX, 9);
  // Button 2 in the list goes back to the menu.
  d.Button(MENU_BUTTON_2);
  EXPECT_EQ(d.State(), MAPMENU_MENU);
}

TEST(MapMenuScene, AutoSaveNeedsASlotAndSavesAtOnceWhenSwitchedOn) {
  {
    MenuDriver d(SCENE_MAPMENU);
    g_SaveData.m_nSlot = -1;
    ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
    d.Press(INPUT_DOWN);
    d.Button(MENU_BUTTON_1);
    ASSERT_EQ(d.State(), MAPMENU_AUTO_SAVE);
    d.Press(INPUT_UP);  // the message has no choices
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.State(), MAPMENU_MENU);
    EXPECT_EQ(g_SaveData.m_bAutoSave, 0);
  }
  {
    MenuDriver d(SCENE_MAPMENU);
    g_SaveData.m_nSlot = 6;
    g_SaveData.m_bAutoSave = 0;
    ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
    d.Press(INPUT_DOWN);
    d.Button(MENU_BUTTON_1);
    d.Frame();
    EXPECT_EQ(d.Row(), 1) << "off is where the cursor starts";
    d.Press(INPUT_UP);
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.State(), MAPMENU_MENU);
    EXPECT_EQ(g_SaveData.m_bAutoSave, 1);
    EXPECT_TRUE(SlotFileExists(d, 6));
    // Written before the switch is turned on: the slot holds it as it was.
    cSaveData saved;
    ASSERT_TRUE(saved.LoadSlot(6));
    EXPECT_EQ(saved.m_bAutoSave, 0);
  }
}

TEST(MapMenuScene, ToTitleAsksFirstAndBackReturnsToTheMap) {
  MenuDriver d(SCENE_MAPMENU);
  ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
  d.Press(INPUT_UP);  // wraps onto the fourth item
  d.Button(MENU_BUTTON_1);
  ASSERT_EQ(d.State(), MAPMENU_TO_TITLE);
  d.Button(MENU_BUTTON_1);  // the cancel choice
  EXPECT_EQ(d.State(), MAPMENU_MENU);
  EXPECT_EQ(d.Row(), 3) << "the menu keeps its row";
  d.Button(MENU_BUTTON_1);
  d.Press(INPUT_UP);
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.State(), MAPMENU_FADE_OUT);
  ASSERT_TRUE(d.RunUntilScene(SCENE_TITLE, 0, 30));
  EXPECT_EQ(g_Game.m_nPrevScene, SCENE_MAPMENU);
}

TEST(MapMenuScene, WithOnlyBackEnabledButtonOneReturnsToTheMap) {
  MenuDriver d(SCENE_MAPMENU);
  for (cCmd& cmd : g_SystemData.m_MapMenu) cmd.m_bEnabled = 0;
  g_SystemData.m_MapMenu.At(2).m_bEnabled = 1;
  ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
  d.Press(INPUT_DOWN);
  EXPECT_EQ(d.Row(), 0);
  d.Button(MENU_BUTTON_1);
  ASSERT_TRUE(d.RunUntilScene(SCENE_WORLDMAP, 0, 30));
  // The menu and the map play the same piece in the same slot: the map does not ask for it
  // again, so the piece goes on.
  EXPECT_EQ(d.MusicSlots(), (std::vector<int>{1}));
}

// Entries past the four items have no state of their own (index + 2 would be the fade-out with
// no next scene): they are not shown.
TEST(MapMenuScene, EntriesPastTheFourItemsAreNotShown) {
  MenuDriver d(SCENE_MAPMENU);
  for (int i = 0; i < 3; ++i) g_SystemData.m_MapMenu.push_back(cCmd(1, "extra"));
  ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
  d.Press(INPUT_UP);
  EXPECT_EQ(d.Row(), 3);
  d.Button(MENU_BUTTON_1);
  EXPECT_EQ(d.State(), MAPMENU_TO_TITLE);
}

// Story03.dat cannot be written (a folder stands in its place): the player is told, the slot list
// keeps showing the slot free, and the slot does not become the one auto-save writes to.
TEST(MapMenuScene, ASlotThatCannotBeWrittenIsToldAbout) {
  const std::string message = "user_data\\story\\Story03.dat の書き込みに失敗しました！";
  {
    MenuDriver d(SCENE_MAPMENU);
    std::filesystem::create_directories(d.ProjectDir() / "user_data/story/Story03.dat");
    ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
    d.Button(MENU_BUTTON_1);
    d.Press(INPUT_DOWN);
    d.Press(INPUT_DOWN);
    d.Button(MENU_BUTTON_1);
    d.Press(INPUT_UP);
    d.ClearSounds();
    d.Button(MENU_BUTTON_1);
    EXPECT_EQ(d.Sounds(), std::vector<int>{3});
    ASSERT_EQ(d.Boxes().Boxes().size(), 1u);
    EXPECT_EQ(d.Boxes().Boxes()[0].text, message);
    EXPECT_EQ(g_SaveData.m_nSlot, -1);
    EXPECT_FALSE(g_StorySlots.At(2).m_bUsed);
    EXPECT_EQ(d.State(), MAPMENU_SAVE_SLOT);
    EXPECT_EQ(d.Row(), 2);
  }
  {
    MenuDriver d(SCENE_MAPMENU);
    std::filesystem::create_directories(d.ProjectDir() / "user_data/story/Story03.dat");
    g_SaveData.m_nSlot = 2;
    ASSERT_TRUE(d.RunUntilState(MAPMENU_MENU));
    d.Press(INPUT_DOWN);
    d.Button(MENU_BUTTON_1);
    d.Press(INPUT_UP);
    d.Button(MENU_BUTTON_1);
    ASSERT_EQ(d.Boxes().Boxes().size(), 1u);
    EXPECT_EQ(d.Boxes().Boxes()[0].text, message);
    // The switch is the player's choice; the next stage's auto-save tries again.
    EXPECT_EQ(g_SaveData.m_bAutoSave, 1);
    EXPECT_EQ(d.State(), MAPMENU_MENU);
  }
}

}  // namespace
