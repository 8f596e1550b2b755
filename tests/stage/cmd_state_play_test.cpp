// The commands that change state at once, in a played stage: the second status command, vanish,
// get-item, graphic, animation set, animation, code and arrange. One sub-step a frame.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/stage_file.h"
#include "flow/cmd_state.h"
#include "flow/flow_runner.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/scroll.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"

#include "cmd_builders.h"
#include "play_constants.h"

namespace t4::test {
namespace {

class StateCommandPlay : public ::testing::Test {
 protected:
  // Starts `rows` with the hero's and the characters' flows, after `adjust` has seen the stage.
  void Start(const std::vector<std::string>& rows, std::vector<cFlow> heroFlows = {},
             std::vector<cFlow> charaFlows = {}, const std::function<void(cStage&)>& adjust = {}) {
    cStage stage = StageFromRows(rows);
    stage.m_nCollisionLevel = 11;
    for (cCharaDef& d : stage.m_CharaPlaces)
      for (const cFlow& f : d.m_cController == 0 ? heroFlows : charaFlows) d.m_Flows.push_back(f);
    if (adjust) adjust(stage);
    hp.reset();
    hp = std::make_unique<StageHarness>();
    hp->Start(stage);
    ASSERT_GE(hp->RunUntilState(PLAY_PLAY), 0);
  }
  StageHarness& H() { return *hp; }
  cChara& Chara(size_t i) { return *H().Charas().at(i); }
  std::vector<cChara*> Charas() { return H().Charas(); }

  std::unique_ptr<StageHarness> hp;
};

const std::vector<std::string> ONE_EACH = {
    "..........",
    ".H...w....",
    "##########",
};

TEST_F(StateCommandPlay, Status2FlagsChangeTheExecutingCharacter) {
  ScopedValue<int32_t> footFree(g_SystemData.m_bCompat831, 0);
  struct Case {
    int flag;
    int32_t value;
    std::function<void(cChara&)> check;
  };
  const std::vector<Case> cases = {
      {STATUS2_TRANSPARENT, 1, [](cChara& c) { EXPECT_EQ(c.m_Def.m_cTransparent, 1); }},
      {STATUS2_FIXED_FACING, 0, [](cChara& c) { EXPECT_EQ(c.m_Def.m_cFixedFacing, 0); }},
      {STATUS2_INVINCIBLE, 2, [](cChara& c) { EXPECT_EQ(c.m_Def.m_cInvincible, 2); }},
      {STATUS2_SCROLL_SYNC, 200,
       [](cChara& c) {
         EXPECT_EQ(c.m_Def.m_cScrollSync, static_cast<int8_t>(200));
         EXPECT_EQ(c.m_bScrollRide, 200);
       }},
      {STATUS2_GIANT, 2,
       [](cChara& c) {
         EXPECT_EQ(c.m_Def.m_cSize, 2);
         EXPECT_EQ(c.m_nHitWidth, 2 * c.m_nBaseHitWidth);
         EXPECT_EQ(c.m_nDrawHeight, 64);
       }},
      // Sizes outside the editor's 1..10 are held to it.
      {STATUS2_GIANT, 0,
       [](cChara& c) {
         EXPECT_EQ(c.m_Def.m_cSize, 1);
         EXPECT_EQ(c.m_nDrawHeight, 32);
       }},
      {STATUS2_GIANT, 50, [](cChara& c) { EXPECT_EQ(c.m_nDrawHeight, 320); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flag " << c.flag << " value " << c.value);
    cFlow f = TriggeredFlow(TRIG_ALWAYS, {Command(CMD_STATUS2, {0, c.flag, c.value, 0, 0}), Command(CMD_WAIT, {})});
    f.m_Cmds.At(1).m_sTime = 100;
    Start(ONE_EACH, {}, {f});
    ASSERT_FALSE(HasFatalFailure());
    H().Frame();
    c.check(Chara(0));
  }
}

TEST_F(StateCommandPlay, GiantStopsTheCharacterOnlyWhenItsSizeChanges) {
  ScopedValue<int32_t> footFree(g_SystemData.m_bCompat831, 0);
  Start(ONE_EACH);
  cChara& c = Chara(0);
  cFlowCommand same = Command(CMD_STATUS2, {0, STATUS2_GIANT, 1, 0, 0});
  ExecStatus2(&c, &same);
  EXPECT_EQ(c.m_nStopCount, 0);
  cFlowCommand twice = Command(CMD_STATUS2, {0, STATUS2_GIANT, 2, 0, 0});
  ExecStatus2(&c, &twice);
  EXPECT_EQ(c.m_nStopCount, 2);
  // The older rule keeps the feet in place without a stop.
  c.m_nStopCount = 0;
  ScopedValue<int32_t> footFixed(g_SystemData.m_bCompat831, 1);
  cFlowCommand thrice = Command(CMD_STATUS2, {0, STATUS2_GIANT, 3, 0, 0});
  ExecStatus2(&c, &thrice);
  EXPECT_EQ(c.m_nStopCount, 0);
  EXPECT_EQ(c.m_Def.m_cSize, 3);
}

TEST_F(StateCommandPlay, Status2ReachesTargetsTheHeroAndTheSystem) {
  Start(ONE_EACH);
  cChara& c = Chara(0);
  cHero& hero = H().Hero();
  // Slot 1 holds the hero; slot 2 is empty.
  cFlowCommand onHero = Command(CMD_STATUS2, {1, STATUS2_TRANSPARENT, 1, 0, 0});
  ExecStatus2(&c, &onHero);
  EXPECT_EQ(hero.m_Def.m_cTransparent, 1);
  EXPECT_EQ(c.m_Def.m_cTransparent, 0);
  cFlowCommand onEmpty = Command(CMD_STATUS2, {2, STATUS2_TRANSPARENT, 1, 0, 0});
  ExecStatus2(&c, &onEmpty);
  EXPECT_EQ(c.m_Def.m_cTransparent, 0);
  // Flight changes the main hero's form, asked by a hero-side owner only.
  cFlowCommand fly = Command(CMD_STATUS2, {0, STATUS2_FLIGHT, 1, 0, 0});
  ExecStatus2(&c, &fly);
  EXPECT_EQ(hero.m_bFly, 0);
  cFlowCommand heroFlies = Command(CMD_STATUS2, {1, STATUS2_FLIGHT, 1, 0, 0});
  ExecStatus2(&c, &heroFlies);
  EXPECT_EQ(hero.m_Def.m_cFlight, 1);
  EXPECT_EQ(hero.m_bFly, 1);
  // The system: the horizontal auto-scroll at the stage's speed.
  g_Stage.m_nAutoScrollX = 30;
  cFlowCommand scroll = Command(CMD_STATUS2, {5, 0, 1, 0, 0});
  ExecStatus2(&c, &scroll);
  EXPECT_EQ(g_Stage.m_nScrollModeX, 1);
  EXPECT_EQ(ScrollX().m_bAuto, 1);
  EXPECT_EQ(g_Stage.m_nScrollModeY, 0);
}

TEST_F(StateCommandPlay, Status2VanishRemovesEnemiesAndKillsTheHeroSide) {
  // The character's own flow makes it vanish in the first frame.
  Start(ONE_EACH, {}, {TriggeredFlow(TRIG_ALWAYS, {Command(CMD_STATUS2, {0, STATUS2_VANISH, 0, 0, 0})})});
  cChara& c = Chara(0);
  cHero& hero = H().Hero();
  cScenePlay& scene = H().Scene();
  // The hero on itself: HP 0 without asking for the HP check.
  cFlowCommand self = Command(CMD_STATUS2, {0, STATUS2_VANISH, 0, 0, 0});
  scene.m_bHpChanged = 0;
  ExecStatus2(&hero, &self);
  EXPECT_EQ(hero.m_nHp, 0);
  EXPECT_EQ(hero.m_bVanish, 0);
  EXPECT_EQ(scene.m_bHpChanged, 0);
  // Another character on it: the check is asked for.
  hero.m_nHp = 3;
  cFlowCommand onHero = Command(CMD_STATUS2, {1, STATUS2_VANISH, 0, 0, 0});
  ExecStatus2(&c, &onHero);
  EXPECT_EQ(hero.m_nHp, 0);
  EXPECT_EQ(scene.m_bHpChanged, 1);
  hero.m_nHp = 3;
  scene.m_bHpChanged = 0;
  // An enemy leaves through its vanish flag, without its death.
  ExecStatus2(&c, &self);
  EXPECT_EQ(c.m_bVanish, 1);
  EXPECT_EQ(c.m_nHp, 3);
  c.m_bVanish = 0;
  H().Frame();
  EXPECT_TRUE(Charas().empty());
  EXPECT_EQ(hero.m_bDead, 0);
}

// Rows 48 blocks wide: characters from column 25 on stand outside the 20-block view.
std::vector<std::string> WideRows(const std::string& middle) {
  std::string row = middle + std::string(48 - middle.size(), '.');
  return {std::string(48, '.'), row, std::string(48, '#')};
}

TEST_F(StateCommandPlay, VanishGroupTakesActiveCharactersOnScreenOrEverywhere) {
  // Faction 2: on screen, off screen, and one whose condition fails (inactive); faction 3 on screen.
  for (int offScreenToo : {0, 1}) {
    SCOPED_TRACE(offScreenToo);
    Start(WideRows(".H..w..w" + std::string(20, '.') + "w..w"), {}, {}, [](cStage& s) {
      const int8_t factions[] = {2, 3, 2, 2};
      for (size_t i = 1; i < s.m_CharaPlaces.size(); ++i)
        s.m_CharaPlaces.At(static_cast<int>(i)).m_cLayer = factions[i - 1];
      cCond never;
      never.m_cKind = COND_STAGE_VAR;
      never.m_sIndex = 1;
      never.m_nValue = 1;
      s.m_CharaPlaces.At(4).m_Conds.push_back(never);
    });
    ASSERT_FALSE(HasFatalFailure());
    std::vector<cChara*> cs = Charas();
    ASSERT_EQ(cs.size(), 4u);
    ASSERT_EQ(cs[2]->m_bOnScreen, 0);
    ASSERT_EQ(cs[3]->m_bActive, 0);
    cFlowCommand vanish = Command(CMD_VANISH, {VANISH_GROUP_CHARAS, 2, offScreenToo});
    ExecVanish(&H().Hero(), &vanish);
    EXPECT_EQ(cs[0]->m_bVanish, 1);
    EXPECT_EQ(cs[1]->m_bVanish, 0);
    EXPECT_EQ(cs[2]->m_bVanish, offScreenToo);
    EXPECT_EQ(cs[3]->m_bVanish, 0);
    EXPECT_EQ(H().Scene().m_bHpChanged, 1);
  }
}

// A shot of `faction` at (x, y) fired by `shooter`, added to the scene's lists.
cShot& AddShotAt(cScenePlay& scene, int faction, double x, double y, cCharaBase* shooter) {
  cShot s;
  s.m_nLayer = faction;
  s.m_dX = x;
  s.m_dY = y;
  s.m_pShooter = shooter;
  scene.AddShot(s);
  cShot& added = scene.m_Shots.back();
  // As the activity pass leaves them: everything within the first 640 dots is on screen.
  added.m_bActive = 1;
  added.m_bOnScreen = x < 640 ? 1 : 0;
  return added;
}

TEST_F(StateCommandPlay, VanishGroupShotsErasesThemOrOnlyFlagsThemDuringContacts) {
  for (int contacts : {0, 1}) {
    SCOPED_TRACE(contacts);
    Start(ONE_EACH);
    ASSERT_FALSE(HasFatalFailure());
    cScenePlay& scene = H().Scene();
    cChara& c = Chara(0);
    AddShotAt(scene, 4, 400, 360, &c);
    AddShotAt(scene, 4, 5000, 360, &c);  // off screen
    AddShotAt(scene, 5, 400, 360, &c);
    scene.m_bContactRunning = contacts;
    cFlowCommand vanish = Command(CMD_VANISH, {VANISH_GROUP_SHOTS, 4, 0});
    ExecVanish(&c, &vanish);
    scene.m_bContactRunning = 0;
    std::vector<int> left;
    for (const cShot& s : scene.m_Shots) left.push_back(s.m_nLayer * 10 + s.m_bVanish);
    EXPECT_EQ(left, contacts ? std::vector<int>({41, 40, 50}) : std::vector<int>({40, 50}));
    EXPECT_EQ(scene.m_ShotLayers.At(4).size(), contacts ? 2u : 1u);
    EXPECT_EQ(c.m_ShotLinks.size(), contacts ? 3u : 2u);
  }
}

TEST_F(StateCommandPlay, VanishFollowsTheLineOfSummonsAndTheirShots) {
  // c0 summoned c1, which summoned c2; c3 stands apart. Each has one shot.
  struct Case {
    int rule;
    int c1Active;
    std::vector<int> vanished;  // c0..c3
    std::vector<int> shooters;  // of the shots left
  };
  const std::vector<Case> cases = {
      {VANISH_DESCENDANTS, 1, {0, 1, 1, 0}, {0, 1, 2, 3}},     {VANISH_DESCENDANTS, 0, {0, 0, 0, 0}, {0, 1, 2, 3}},
      {VANISH_OWN_SHOTS, 1, {0, 0, 0, 0}, {1, 2, 3}},          {VANISH_ALL_OF_LINE, 1, {0, 1, 1, 0}, {3}},
      {VANISH_DESCENDANTS_AND_SHOTS, 1, {0, 1, 1, 0}, {0, 3}}, {9, 1, {0, 0, 0, 0}, {0, 1, 2, 3}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "rule " << k.rule << " active " << k.c1Active);
    Start(ONE_EACH, {}, {}, [](cStage& s) {
      for (int x : {6, 7, 8}) {
        cCharaDef d = s.m_CharaPlaces.At(1);
        d.m_sBlockX = static_cast<int16_t>(x);
        s.m_CharaPlaces.push_back(d);
      }
    });
    ASSERT_FALSE(HasFatalFailure());
    std::vector<cChara*> cs = Charas();
    ASSERT_EQ(cs.size(), 4u);
    cs[1]->InitLinks(cs[0]);
    cs[2]->InitLinks(cs[1]);
    cs[1]->m_bActive = k.c1Active;
    cScenePlay& scene = H().Scene();
    for (cChara* c : cs) AddShotAt(scene, 4, c->m_dX, c->m_dY, c);
    cFlowCommand vanish = Command(CMD_VANISH, {k.rule, 0, 0});
    ExecVanish(cs[0], &vanish);
    std::vector<int> vanished, shooters;
    for (cChara* c : cs) vanished.push_back(c->m_bVanish);
    for (const cShot& s : scene.m_Shots)
      for (size_t i = 0; i < cs.size(); ++i)
        if (s.m_pShooter == cs[i]) shooters.push_back(static_cast<int>(i));
    EXPECT_EQ(vanished, k.vanished);
    EXPECT_EQ(shooters, k.shooters);
  }
}

TEST_F(StateCommandPlay, CommandsRunFromFlowsChangeTheGraphicAndRunCode) {
  cFlow f =
      TriggeredFlow(TRIG_ALWAYS, {Command(CMD_CHANGE_GRAPHIC, {2, 7, 3}), Code("S1 = 6 * 7"), Command(CMD_WAIT, {})});
  f.m_Cmds.At(2).m_sTime = 100;
  Start(ONE_EACH, {}, {f});
  ASSERT_FALSE(HasFatalFailure());
  cChara& c = Chara(0);
  H().Frame();
  EXPECT_EQ(c.m_Def.m_cGraphicKind, 2);
  EXPECT_EQ(c.m_Def.m_sGraphicNo, 7);
  EXPECT_EQ(c.m_nGraphic, 7);
  EXPECT_EQ(c.m_Def.m_sGraphicOffset, 3);
  EXPECT_EQ(H().Scene().m_StageVars.At(1), 0);
  H().Frame();
  EXPECT_EQ(H().Scene().m_StageVars.At(1), 42);
}

TEST_F(StateCommandPlay, PlayAnimeStartsAnAnimationTaggedWithItsFlowAndStopRemovesIt) {
  Start(ONE_EACH, {}, {TriggeredFlow(TRIG_NONE, {Command(CMD_WAIT, {})})});
  ASSERT_FALSE(g_AnimeTable.empty());
  cChara& c = Chara(0);
  cFlowCommand play = Command(CMD_PLAY_ANIME, {0, 0});
  ExecPlayAnime(&c, &play);
  SetCurrentFlow(&c.m_FlowStates.At(0));
  ExecPlayAnime(&c, &play);
  SetCurrentFlow(nullptr);
  std::vector<int> serials;
  for (const RUNNINGANIME& a : c.m_RunningAnimes) serials.push_back(a.m_nFlowSerial);
  // The newest first; without a running flow the tag is -1.
  EXPECT_EQ(serials, (std::vector<int>{c.m_FlowStates.At(0).m_nSerial, -1}));
  cFlowCommand stop = Command(CMD_PLAY_ANIME, {0, 1});
  ExecPlayAnime(&c, &stop);
  EXPECT_TRUE(c.m_RunningAnimes.empty());
  EXPECT_EQ(H().CloseRequests(), 0);
}

TEST_F(StateCommandPlay, AnimationSetNumberIsTakenAsUnsigned16Bits) {
  Start(ONE_EACH);
  cChara& c = Chara(0);
  ASSERT_FALSE(g_Database.m_AnimeSets.empty());
  g_Database.m_AnimeSets.push_back(g_Database.m_AnimeSets.At(0));
  cFlowCommand change = Command(CMD_CHANGE_ANIMESET, {65536 + 1});
  ExecChangeAnimeSet(&c, &change);
  EXPECT_EQ(c.m_Def.m_sAnimeSet, 1);
  EXPECT_EQ(H().CloseRequests(), 0);
}

TEST_F(StateCommandPlay, GetItemRunsTheItemOnTheHeroAndKeepsAnEarlierEndRequest) {
  // Stage palette item 1 sets S1; item 2 ends the stage after setting S2.
  Start(ONE_EACH, {}, {}, [](cStage& s) {
    s.m_Palette.m_Items.resize(4);
    s.m_Palette.m_Items.At(3).m_Cmds.push_back(ItemCommand(CMD_LOOP - ITEMCMD_KIND_OFFSET, {3, 1}));
    s.m_Palette.m_Items.At(3).m_Cmds.push_back(
        ItemCommand(CMD_STATUS - ITEMCMD_KIND_OFFSET, StageVarOp(1, CALC_ADD, 2)));
    s.m_Palette.m_Items.At(1).m_Cmds.push_back(
        ItemCommand(CMD_STATUS - ITEMCMD_KIND_OFFSET, StageVarOp(1, CALC_SET, 5)));
    s.m_Palette.m_Items.At(2).m_Cmds.push_back(
        ItemCommand(CMD_STATUS - ITEMCMD_KIND_OFFSET, StageVarOp(2, CALC_SET, 9)));
    s.m_Palette.m_Items.At(2).m_Cmds.push_back(
        ItemCommand(CMD_STAGE_CLEAR - ITEMCMD_KIND_OFFSET, std::vector<int32_t>(9, 0)));
  });
  cScenePlay& scene = H().Scene();
  cChara& c = Chara(0);
  struct Case {
    int32_t palette, item, before, after, s1, s2;
  };
  for (const Case& k : {Case{1, 1, 0, 0, 5, 0}, Case{1, 1, 2, 2, 5, 0}, Case{1, 2, 0, 1, 0, 9}, Case{7, 2, 2, 2, 0, 0},
                        Case{1, 3, 0, 0, 6, 0}}) {
    SCOPED_TRACE(testing::Message() << k.palette << "/" << k.item << " before " << k.before);
    scene.m_StageVars.At(1) = scene.m_StageVars.At(2) = 0;
    scene.m_nEndRequest = k.before;
    cFlowCommand get = Command(CMD_GET_ITEM, {k.palette, k.item});
    ExecGetItem(&c, &get);
    EXPECT_EQ(scene.m_nEndRequest, k.after);
    EXPECT_EQ(scene.m_StageVars.At(1), k.s1);
    EXPECT_EQ(scene.m_StageVars.At(2), k.s2);
  }
  scene.m_nEndRequest = 0;
}

TEST_F(StateCommandPlay, GetItemFromAFlowEndsTheStage) {
  cFlow f = TriggeredFlow(TRIG_ALWAYS, {Command(CMD_GET_ITEM, {1, 1})});
  Start(ONE_EACH, {}, {f}, [](cStage& s) {
    s.m_Palette.m_Items.resize(2);
    s.m_Palette.m_Items.At(1).m_Cmds.push_back(
        ItemCommand(CMD_STAGE_CLEAR - ITEMCMD_KIND_OFFSET, std::vector<int32_t>(9, 0)));
  });
  ASSERT_FALSE(HasFatalFailure());
  // Asked in the characters' pass, acted on after the hero's flows of the next sub-step.
  H().Frame();
  EXPECT_EQ(H().Scene().m_nEndRequest, 1);
  H().Frame();
  EXPECT_NE(H().State(), PLAY_PLAY);
}

TEST_F(StateCommandPlay, ArrangeQueuesOnTheRunningFlowOrForItemsOnTheMainHero) {
  Start(ONE_EACH, {}, {TriggeredFlow(TRIG_NONE, {Command(CMD_WAIT, {})})});
  cChara& c = Chara(0);
  cHero& hero = H().Hero();
  cFlowState& running = c.m_FlowStates.At(0);
  cFlowCommand flowArrange = Command(CMD_ARRANGE, {CMD_STATUS, 1, CALC_ADD, 1, 3});
  ExecArrange(&c, &flowArrange);  // no flow runs: nothing is queued
  EXPECT_TRUE(running.m_Arranges.empty());
  SetCurrentFlow(&running);
  ExecArrange(&c, &flowArrange);
  // An item's arrange goes to the main hero whoever runs it.
  cFlowCommand itemArrange = ItemCommand(CMD_ARRANGE - ITEMCMD_KIND_OFFSET, {CMD_STATUS, 1, CALC_ADD, 1, 4});
  ExecArrange(&c, &itemArrange);
  SetCurrentFlow(nullptr);
  ASSERT_EQ(running.m_Arranges.size(), 1u);
  EXPECT_EQ(running.m_Arranges.front().At(4), 3);
  ASSERT_EQ(hero.m_PendingArranges.size(), 1u);
  EXPECT_EQ(hero.m_PendingArranges.front().At(4), 4);
  running.m_Arranges.clear();
  hero.m_PendingArranges.clear();
}

}  // namespace
}  // namespace t4::test
