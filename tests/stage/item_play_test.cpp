// Items in a played stage: the hero takes them by touch in the three take modes, items of the
// same kind of touch are taken again only after the hero left them, and an item command that
// empties the hero's HP ends the list.
#include <gtest/gtest.h>

#include <vector>

#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "stage/chara_items.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "stage_hooks.h"
#include "play_constants.h"

namespace t4::test {
namespace {

std::vector<int> g_Taken;
// Records the command's time field, which the tests use as the item's mark.
int RecordTake(cCharaBase&, cFlowCommand& command) { return g_Taken.push_back(command.m_sTime), 0; }
int LoseAllHp(cCharaBase& c, cFlowCommand&) { return c.AddHp(-1000, 1, 0), 0; }

cFlowCommand Cmd(int kind, int mark) {
  cFlowCommand c;
  c.m_cCategory = 1;
  c.m_cKind = static_cast<int8_t>(kind);
  c.m_sTime = static_cast<int16_t>(mark);
  return c;
}

cStage PrepareItems(cStage stage) {
  stage.m_dGravity = 1.0;
  stage.m_nCollisionLevel = 11;
  for (int i = 0; i < 4; ++i) stage.m_HeroBoxC[i] = 16;
  stage.m_ItemBox[0] = stage.m_ItemBox[1] = 28;
  for (int i = 0; i < 4; i += 2) {
    stage.m_HeroBoxA[i] = 24;
    stage.m_HeroBoxA[i + 1] = 28;
  }
  stage.m_HeroBoxAAlign[0] = stage.m_HeroBoxAAlign[1] = 1;
  return stage;
}

// Puts the hero's box over stage tile column `tx` (its row stays).
void MoveHeroTo(cHero& hero, int tx) {
  hero.m_dX = (tx + 10) * 32 + 4.5;
  hero.AfterMoveX();
}

TEST(ItemPlayTest, TheThreeTakeModes) {
  // Items at columns 4, 8 and 12 of the hero's row with take modes 0, 1 and 2.
  cStage stage = PrepareItems(StageFromRows({
      "................",
      ".H..c...c...c...",
      "################",
  }));
  for (int i = 0; i < 3; ++i) {
    cItemDef& item = stage.m_ItemPlaces.At(i);
    item.m_cTakeMode = static_cast<int8_t>(i);
    item.m_Cmds.push_back(Cmd(2, i));
  }
  g_Taken.clear();
  ScopedItemCmd recording(2, RecordTake);
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  ASSERT_EQ(g_ItemList.size(), 3u);
  cHero& hero = h.Hero();
  const int path[] = {4, 6, 4, 4, 8, 8, 6, 8, 12, 10, 12};
  for (int tx : path) {
    MoveHeroTo(hero, tx);
    h.Frame();
  }
  // Mode 0 once and gone; mode 1 at each new touch (twice, not while standing on it); mode 2 never.
  EXPECT_EQ(g_Taken, (std::vector<int>{0, 1, 1}));
  ASSERT_EQ(g_ItemList.size(), 2u);
  EXPECT_EQ(g_ItemList.front().m_Def.m_cTakeMode, 1);
  EXPECT_EQ(g_ItemList.back().m_Def.m_cTakeMode, 2);
}

TEST(ItemPlayTest, CommandThatEmptiesTheHpStopsTheListAndKillsTheHero) {
  cStage stage = PrepareItems(StageFromRows({
      "................",
      ".H..c...........",
      "################",
  }));
  cItemDef& item = stage.m_ItemPlaces.At(0);
  item.m_Cmds.push_back(Cmd(3, 0));
  item.m_Cmds.push_back(Cmd(2, 7));
  g_Taken.clear();
  ScopedItemCmd recording(2, RecordTake);
  ScopedItemCmd killing(3, LoseAllHp);
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  MoveHeroTo(h.Hero(), 4);
  h.Frame();
  EXPECT_TRUE(g_Taken.empty());
  EXPECT_EQ(h.Hero().m_nHp, 0);
  EXPECT_EQ(h.Hero().m_bDead, 1);
}

TEST(ItemPlayTest, UnknownCommandKindsDoNothing) {
  // Kinds from a damaged file: outside the handler table they are skipped, the rest runs.
  cStage stage = PrepareItems(StageFromRows({
      "................",
      ".H..c...........",
      "################",
  }));
  cItemDef& item = stage.m_ItemPlaces.At(0);
  item.m_Cmds.push_back(Cmd(25, 0));
  item.m_Cmds.push_back(Cmd(-3, 0));
  item.m_Cmds.push_back(Cmd(2, 9));
  g_Taken.clear();
  ScopedItemCmd recording(2, RecordTake);
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  MoveHeroTo(h.Hero(), 4);
  h.Frame();
  EXPECT_EQ(g_Taken, (std::vector<int>{9}));
  EXPECT_EQ(h.CloseRequests(), 0);
  EXPECT_TRUE(g_ItemList.empty());
}

TEST(ItemPlayTest, LoopsOfTheCommandListRepeatTheirBody) {
  // A loop of 3 over the next command, then one command of its own.
  cStage stage = PrepareItems(StageFromRows({
      "................",
      ".H..c...........",
      "################",
  }));
  cFlowCommand loop = Cmd(CMD_LOOP - ITEMCMD_KIND_OFFSET, 0);
  loop.m_Params = {3, 1};
  cItemDef& item = stage.m_ItemPlaces.At(0);
  item.m_Cmds = {loop, Cmd(2, 4), Cmd(2, 6)};
  g_Taken.clear();
  ScopedItemCmd recording(2, RecordTake);
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  MoveHeroTo(h.Hero(), 4);
  h.Frame();
  EXPECT_EQ(g_Taken, (std::vector<int>{4, 4, 4, 6}));
}

}  // namespace
}  // namespace t4::test
