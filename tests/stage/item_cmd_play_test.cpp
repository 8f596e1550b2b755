// Item commands in a played stage: the list runs in order on the hero when it takes an item, a
// stage clear ends it, arranges reach the next item command, flows of the hero change (after the
// hero's own flow pass when it asked for the item), and the conditions of blocks and characters.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/stage_file.h"
#include "flow/flow_runner.h"
#include "flow/item_cmd.h"
#include "stage/chara.h"
#include "stage/chara_items.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

#include "cmd_builders.h"
#include "play_constants.h"

namespace t4::test {
namespace {

constexpr int ITEM_STATUS = CMD_STATUS - ITEMCMD_KIND_OFFSET;
constexpr int ITEM_STATUS2 = CMD_STATUS2 - ITEMCMD_KIND_OFFSET;
constexpr int ITEM_STAGE_CLEAR = CMD_STAGE_CLEAR - ITEMCMD_KIND_OFFSET;
constexpr int ITEM_ARRANGE = CMD_ARRANGE - ITEMCMD_KIND_OFFSET;
constexpr int ITEM_LOOP = CMD_LOOP - ITEMCMD_KIND_OFFSET;

cFlowCommand ItemCode(const std::string& text) { return Code(text, CMDCAT_ITEM); }

cFlowCommand ChangeFlow(int op, int id, std::vector<cFlow> flows = {}) {
  cFlowCommand c = ItemCommand(ITEMCMD_CHANGE_FLOW, {op, id});
  for (const cFlow& f : flows) c.m_Flows.push_back(f);
  return c;
}

class ItemCommandPlay : public ::testing::Test {
 protected:
  void Start(const std::vector<std::string>& rows, const std::function<void(cStage&)>& adjust = {}) {
    cStage stage = StageFromRows(rows);
    stage.m_nCollisionLevel = 11;
    if (adjust) adjust(stage);
    hp.reset();
    hp = std::make_unique<StageHarness>();
    hp->Start(stage);
    ASSERT_GE(hp->RunUntilState(PLAY_PLAY), 0);
  }
  StageHarness& H() { return *hp; }
  int32_t& S(int n) { return H().Scene().m_StageVars.At(n); }
  std::vector<int> HeroFlowIds() {
    std::vector<int> ids;
    cHero& hero = H().Hero();
    EXPECT_EQ(hero.m_FlowStates.size(), hero.m_Def.m_Flows.size());
    for (size_t i = 0; i < hero.m_FlowStates.size(); ++i) {
      EXPECT_EQ(hero.m_FlowStates[i].m_pFlow, &hero.m_Def.m_Flows[i]);
      ids.push_back(hero.m_Def.m_Flows[i].m_cId);
    }
    return ids;
  }

  std::unique_ptr<StageHarness> hp;
};

const std::vector<std::string> HERO_ONLY = {
    "..........",
    ".H........",
    "##########",
};

TEST_F(ItemCommandPlay, TakenItemRunsItsCommandsInListOrderOnTheHero) {
  // The item lies where the hero stands; empty, loop and status commands mixed with code.
  Start({"..........", ".H........", "##########"}, [](cStage& s) {
    cItemDef item;
    item.m_sGraphicNo = 1;
    item.m_sBlockX = 1;
    item.m_sBlockY = 1;
    for (const cFlowCommand& c :
         {ItemCode("S1 = 1"), ItemCommand(ITEM_STATUS, StageVarOp(1, CALC_MUL, 10)), ItemCommand(ITEMCMD_NONE, {}),
          ItemCommand(ITEM_LOOP, {3, 1}), ItemCode("S1 = S1 + 1"), ItemCommand(ITEM_STATUS2, {0, 1, 1, 0, 0}),
          ItemCode("S1 = S1 * 10 + 3")})
      item.m_Cmds.push_back(c);
    s.m_ItemPlaces.push_back(item);
  });
  ASSERT_EQ(g_ItemList.size(), 1u);
  H().Frame();
  EXPECT_EQ(S(1), 133);
  EXPECT_EQ(H().Hero().m_Def.m_cTransparent, 1);
  EXPECT_TRUE(g_ItemList.empty());
}

TEST_F(ItemCommandPlay, StageClearEndsTheListWithOne) {
  Start(HERO_ONLY);
  cItemDef def;
  def.m_sGraphicNo = 1;
  for (const cFlowCommand& c :
       {ItemCode("S1 = 1"), ItemCommand(ITEM_STAGE_CLEAR, std::vector<int32_t>(9, 0)), ItemCode("S1 = 2")})
    def.m_Cmds.push_back(c);
  EXPECT_EQ(TakeItemFromDef(H().Hero(), def), 1);
  EXPECT_EQ(S(1), 1);
}

TEST_F(ItemCommandPlay, PresentationKindsRunTheBodiesOfTheirFlowTwins) {
  Start(HERO_ONLY);
  std::vector<int> played;
  H().OnSystemSound([&](int id) { played.push_back(id); });
  const size_t music = H().MusicRequests().size();
  cItemDef def;
  def.m_sGraphicNo = 1;
  for (const cFlowCommand& c :
       {ItemCommand(CMD_SOUND - ITEMCMD_KIND_OFFSET, {3}), ItemCommand(CMD_BGM - ITEMCMD_KIND_OFFSET, {2, 1}),
        ItemCommand(CMD_SOUND - ITEMCMD_KIND_OFFSET, {5})})
    def.m_Cmds.push_back(c);
  EXPECT_EQ(TakeItemFromDef(H().Hero(), def), 0);
  H().Frame();
  EXPECT_EQ(played, (std::vector<int>{3 + 16, 5 + 16}));
  ASSERT_EQ(H().MusicRequests().size(), music + 1);
  EXPECT_EQ(H().MusicRequests()[music], 2);
}

TEST_F(ItemCommandPlay, KindsOutsideTheTableAndTheEmptyKindDoNothing) {
  Start(HERO_ONLY);
  for (int kind : {ITEMCMD_NONE, ITEM_LOOP, ITEMCMD_KIND_COUNT, -1}) {
    SCOPED_TRACE(kind);
    cFlowCommand c = ItemCommand(kind, {});
    EXPECT_EQ(RunItemCmd(H().Hero(), c), 0);
  }
  EXPECT_EQ(H().CloseRequests(), 0);
}

TEST_F(ItemCommandPlay, ArrangeOfAnItemChangesOnlyTheNextItemCommand) {
  // S3 is added to the status command's constant that S2 is set to.
  const cFlowCommand arrange = ItemCommand(ITEM_ARRANGE, {CMD_STATUS, 1, CALC_ADD, 1, 3});
  const cFlowCommand setS2 = ItemCommand(ITEM_STATUS, StageVarOp(2, CALC_SET, 5));
  struct Case {
    std::vector<cFlowCommand> cmds;
    int32_t s2;
  };
  const std::vector<Case> cases = {
      {{arrange, setS2}, 15},
      {{arrange, arrange, setS2}, 25},
      // Another command in between drops the entry.
      {{arrange, ItemCode("S9 = 0"), setS2}, 5},
  };
  Start(HERO_ONLY);
  for (const Case& k : cases) {
    cItemDef def;
    def.m_sGraphicNo = 1;
    for (const cFlowCommand& c : k.cmds) def.m_Cmds.push_back(c);
    S(2) = 0;
    S(3) = 10;
    TakeItemFromDef(H().Hero(), def);
    EXPECT_EQ(S(2), k.s2);
    EXPECT_TRUE(H().Hero().m_PendingArranges.empty());
  }
}

TEST_F(ItemCommandPlay, ArrangeOfAnItemAnotherCharacterGetsIsQueuedOnTheHero) {
  cFlow get = TriggeredFlow(TRIG_ALWAYS, {Command(CMD_GET_ITEM, {1, 1})});
  get.m_Cmds.At(0).m_sTime = 100;
  Start({"..........", ".H...w....", "##########"}, [&](cStage& s) {
    s.m_CharaPlaces.At(1).m_Flows.push_back(get);
    s.m_Palette.m_Items.resize(2);
    s.m_Palette.m_Items.At(1).m_Cmds.push_back(ItemCommand(ITEM_ARRANGE, {CMD_STATUS, 1, CALC_ADD, 2, 0}));
    s.m_Palette.m_Items.At(1).m_Cmds.push_back(ItemCommand(ITEM_STATUS, StageVarOp(2, CALC_SET, 5)));
  });
  ASSERT_FALSE(HasFatalFailure());
  // The operand is the hero's own variable 0, not the character's.
  H().Hero().m_Vars.At(0) = 30;
  H().Charas().at(0)->m_Vars.At(0) = 70;
  H().Frame();
  EXPECT_EQ(S(2), 35);
}

TEST_F(ItemCommandPlay, ChangeOfFlowsAddsReplacesOrDeletesTheHerosFlows) {
  cFlow added = TriggeredFlow(TRIG_ALWAYS, {Command(CMD_WAIT, {})}, 3);
  added.m_Cmds.At(0).m_sTime = 100;
  struct Case {
    int op, id;
    std::vector<int> ids;
  };
  const std::vector<Case> cases = {
      {CHANGE_FLOW_ADD, 0, {1, 2, 1, 3}},
      {CHANGE_FLOW_REPLACE, 1, {3, 2}},
      {CHANGE_FLOW_REPLACE, 9, {1, 2, 1, 3}},
      {CHANGE_FLOW_REPLACE, 0, {3}},
      {CHANGE_FLOW_DELETE, 2, {1, 1}},
      {CHANGE_FLOW_DELETE, 0, {}},
      {7, 1, {1, 2, 1}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "op " << k.op << " id " << k.id);
    Start(HERO_ONLY, [](cStage& s) {
      for (int8_t id : {1, 2, 1})
        s.m_CharaPlaces.At(0).m_Flows.push_back(TriggeredFlow(TRIG_NONE, {Command(CMD_WAIT, {})}, id));
    });
    ASSERT_FALSE(HasFatalFailure());
    cHero& hero = H().Hero();
    hero.m_RunningAnimes.emplace_back();
    cItemDef def;
    def.m_sGraphicNo = 1;
    def.m_Cmds.push_back(ChangeFlow(k.op, k.id, {added}));
    EXPECT_EQ(TakeItemFromDef(hero, def), 0);
    EXPECT_EQ(HeroFlowIds(), k.ids);
    // Every flow going takes the running animations with it.
    EXPECT_EQ(hero.m_RunningAnimes.empty(), k.op != CHANGE_FLOW_ADD && k.op != 7 && k.id == 0);
    // Added flows run like the hero's own.
    if (k.op == CHANGE_FLOW_ADD) {
      H().Frame();
      EXPECT_EQ(hero.m_FlowStates.back().m_bRunning, 1);
    }
  }
}

TEST_F(ItemCommandPlay, ChangeOfFlowsAskedByTheHerosOwnFlowWaitsForItsFlowPass) {
  // The hero's running flow gets an item that deletes every flow of the hero and sets S1.
  cFlow get = TriggeredFlow(TRIG_ALWAYS, {Command(CMD_GET_ITEM, {1, 1}), Code("S2 = 1")});
  Start(HERO_ONLY, [&](cStage& s) {
    s.m_CharaPlaces.At(0).m_Flows.push_back(get);
    s.m_Palette.m_Items.resize(2);
    s.m_Palette.m_Items.At(1).m_Cmds.push_back(ChangeFlow(CHANGE_FLOW_DELETE, 0));
    s.m_Palette.m_Items.At(1).m_Cmds.push_back(ItemCode("S1 = 1"));
  });
  ASSERT_FALSE(HasFatalFailure());
  cHero& hero = H().Hero();
  ASSERT_EQ(hero.m_FlowStates.size(), 1u);
  H().Frame();
  EXPECT_EQ(S(1), 1);
  EXPECT_EQ(S(2), 0);
  EXPECT_TRUE(hero.m_FlowStates.empty());
  EXPECT_TRUE(hero.m_PendingItemCmds.empty());
}

TEST_F(ItemCommandPlay, ChangeOfFlowsWaitsOnlyWhileTheMainHerosFlowsRun) {
  Start({"..........", ".H...w....", "##########"}, [](cStage& s) {
    s.m_CharaPlaces.At(0).m_Flows.push_back(TriggeredFlow(TRIG_NONE, {Command(CMD_WAIT, {})}, 1));
  });
  ASSERT_FALSE(HasFatalFailure());
  cHero& hero = H().Hero();
  cFlowCommand remove = ChangeFlow(CHANGE_FLOW_DELETE, 1);
  SetRunningChara(&hero);
  ExecChangeFlow(&hero, &remove, 0);
  EXPECT_EQ(HeroFlowIds(), std::vector<int>{1});
  ASSERT_EQ(hero.m_PendingItemCmds.size(), 1u);
  ExecPendingItemCommands(hero, hero.m_PendingItemCmds);
  hero.m_PendingItemCmds.clear();
  EXPECT_TRUE(HeroFlowIds().empty());
  // Another character's flow getting the item changes the hero at once.
  cFlowCommand add = ChangeFlow(CHANGE_FLOW_ADD, 0, {TriggeredFlow(TRIG_NONE, {Command(CMD_WAIT, {})}, 4)});
  SetRunningChara(H().Charas().at(0));
  ExecChangeFlow(&hero, &add, 0);
  SetRunningChara(nullptr);
  EXPECT_EQ(HeroFlowIds(), std::vector<int>{4});
  EXPECT_TRUE(hero.m_PendingItemCmds.empty());
}

TEST_F(ItemCommandPlay, ItemTakenOnceIsNotTakenAgain) {
  Start({"..........", ".H........", "##########"}, [](cStage& s) {
    cItemDef item;
    item.m_sGraphicNo = 1;
    item.m_sBlockX = 1;
    item.m_sBlockY = 1;
    item.m_Cmds.push_back(ItemCode("S1 = S1 + 1"));
    s.m_ItemPlaces.push_back(item);
  });
  ASSERT_EQ(g_ItemList.size(), 1u);
  g_ItemList.front().m_bTaken = 1;
  H().Frame();
  EXPECT_EQ(S(1), 0);
  EXPECT_EQ(g_ItemList.size(), 1u);
}

TEST_F(ItemCommandPlay, BlockExistsWhileItsConditionsHoldOrOnceTheyHeldWhenLatched) {
  // The floor exists while S1 is 0; then S1 becomes 1.
  for (int latch : {0, 1}) {
    SCOPED_TRACE(latch);
    Start(HERO_ONLY, [latch](cStage& s) {
      for (cBlock& b : s.m_BlockPlaces) {
        b.m_Conds.push_back(StageVarIs(1, 0));
        b.CondLatch() = static_cast<int8_t>(latch);
      }
    });
    ASSERT_FALSE(HasFatalFailure());
    // Standing, the hero's feet settle within a dot of the floor.
    H().Frames(5);
    const double y = H().Hero().m_dY;
    H().Frames(5);
    EXPECT_NEAR(H().Hero().m_dY, y, 1.0);
    S(1) = 1;
    H().Frames(10);
    if (latch)
      EXPECT_NEAR(H().Hero().m_dY, y, 1.0);
    else
      EXPECT_GT(H().Hero().m_dY, y + 8);
  }
}

TEST_F(ItemCommandPlay, CharacterIsActiveWhileItsConditionsHoldOrOnceTheyHeldWhenLatched) {
  for (int latch : {0, 1}) {
    SCOPED_TRACE(latch);
    Start({"..........", ".H...w....", "##########"}, [latch](cStage& s) {
      s.m_CharaPlaces.At(1).m_Conds.push_back(StageVarIs(1, 1));
      s.m_CharaPlaces.At(1).m_cCondLatch = static_cast<int8_t>(latch);
    });
    ASSERT_FALSE(HasFatalFailure());
    cChara& c = *H().Charas().at(0);
    H().Frame();
    EXPECT_EQ(c.m_bActive, 0);
    S(1) = 1;
    H().Frame();
    EXPECT_EQ(c.m_bActive, 1);
    S(1) = 0;
    H().Frame();
    EXPECT_EQ(c.m_bActive, latch);
  }
}

}  // namespace
}  // namespace t4::test
