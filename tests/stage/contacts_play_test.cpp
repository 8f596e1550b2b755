// Contacts in a played stage, frame by frame: shots against characters with defence and
// invincibility frames, a shot whose shooter is gone, death with its routine, the hero's death
// leading to a retry, a continue or the game over, body contacts and their cool-down.
// One sub-step a frame (collision level 11) keeps every count exact.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/flow_kinds.h"
#include "data/palette.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/chara_items.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "stage_hooks.h"
#include "play_constants.h"

namespace t4::test {
namespace {

// Hero on faction 0, the others on faction 1; 24 x 28 boxes at the cell's bottom; 16 x 16 shots;
// invincibility 10 frames for the characters, 4 for the hero side.
cStage PrepareContacts(cStage stage) {
  stage.m_dGravity = 1.0;
  stage.m_nCollisionLevel = 11;
  for (int i = 0; i < 4; i += 2) {
    stage.m_CharaBoxA[i] = stage.m_HeroBoxA[i] = stage.m_CharaBoxB[i] = stage.m_HeroBoxB[i] = 24;
    stage.m_CharaBoxA[i + 1] = stage.m_HeroBoxA[i + 1] = stage.m_CharaBoxB[i + 1] = stage.m_HeroBoxB[i + 1] = 28;
  }
  stage.m_CharaBoxAAlign[0] = stage.m_CharaBoxAAlign[1] = 1;
  stage.m_HeroBoxAAlign[0] = stage.m_HeroBoxAAlign[1] = 1;
  stage.m_CharaBoxBAlign[0] = stage.m_CharaBoxBAlign[1] = 1;
  stage.m_HeroBoxBAlign[0] = stage.m_HeroBoxBAlign[1] = 1;
  for (int i = 0; i < 8; ++i) stage.m_ShotBoxes[i] = 16;
  stage.m_nEnemyDamagePause = 10;
  stage.m_nHeroDamagePause = 4;
  stage.m_nEnemyHitInterval = 0;
  stage.m_nHeroHitInterval = 0;
  for (cCharaDef& c : stage.m_CharaPlaces) {
    c.m_cActiveRange = 3;
    c.m_cLayer = c.m_cController == 0 ? 0 : 1;
  }
  return stage;
}

cStage Row() {
  return PrepareContacts(StageFromRows({
      "................",
      ".H.....w........",
      "################",
      "................",
  }));
}

// A still shot of `shooter` over the centre of `at`.
cShot& AddShot(cScenePlay& scene, cCharaBase& shooter, const cCharaBase& at, int power, int pierce, int cancel = 0,
               int cancelStrength = 0) {
  cEdShot p;
  p.m_nPower = power;
  p.m_cPierce = static_cast<int8_t>(pierce);
  p.m_cCancelShots = static_cast<int8_t>(cancel);
  p.m_cCancelValue = static_cast<int8_t>(cancelStrength);
  FIREPARAM f;
  f.nX = static_cast<int>(at.m_dX) + 4;
  f.nY = static_cast<int>(at.m_dY) + 6;
  cShot shot;
  shot.Setup(scene.m_nShotIdCount++, &shooter, CMD_KIND_SHOT, p, f);
  // Adding it links it back from its shooter.
  scene.AddShot(shot);
  return scene.m_Shots.back();
}

TEST(ContactsPlayTest, ShotDamagesAgainstTheDefenceThenInvincibilityHoldsTenFrames) {
  cStage stage = Row();
  stage.m_CharaPlaces.At(1).m_nMaxHp = 10;
  stage.m_CharaPlaces.At(1).m_nDefence = 2;
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cChara& enemy = *h.Charas().at(0);
  cShot& first = AddShot(h.Scene(), h.Hero(), enemy, 5, 0);
  EXPECT_EQ(first.m_nLayer, 0);
  h.Frame();
  // 5 - 2 = 3; the shot pierces nothing and is gone.
  EXPECT_EQ(enemy.m_nHp, 7);
  EXPECT_EQ(enemy.m_nInvincible, 10);
  EXPECT_TRUE(h.Scene().m_Shots.empty());
  // A second shot waits over the invincible enemy, untouched, until the tenth frame is over.
  AddShot(h.Scene(), h.Hero(), enemy, 5, 0);
  h.Frames(9);
  EXPECT_EQ(enemy.m_nHp, 7);
  EXPECT_EQ(h.Scene().m_Shots.size(), 1u);
  h.Frame();
  EXPECT_EQ(enemy.m_nHp, 4);
  EXPECT_TRUE(h.Scene().m_Shots.empty());
}

TEST(ContactsPlayTest, PiercingShotHitsEachCharacterOnce) {
  cStage stage = Row();
  stage.m_CharaPlaces.At(1).m_nMaxHp = 10;
  stage.m_nEnemyDamagePause = 0;
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cChara& enemy = *h.Charas().at(0);
  cShot& shot = AddShot(h.Scene(), h.Hero(), enemy, 2, 1);
  h.Frames(5);
  EXPECT_EQ(enemy.m_nHp, 8);
  ASSERT_EQ(h.Scene().m_Shots.size(), 1u);
  EXPECT_EQ(shot.m_HitList.size(), 1u);
}

TEST(ContactsPlayTest, RemovedCharacterLeavesTheHitListsOfShots) {
  // A character made later at the same address must not count as already hit.
  StageHarness h;
  h.Start(Row());
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cChara& enemy = *h.Charas().at(0);
  cShot& shot = AddShot(h.Scene(), h.Hero(), enemy, 1, 1);
  h.Frame();
  ASSERT_EQ(shot.m_HitList.size(), 1u);
  h.Scene().RemoveChara(enemy);
  EXPECT_TRUE(shot.m_HitList.empty());
}

TEST(ContactsPlayTest, ShotOfARemovedShooterHitsWithoutItsShooter) {
  StageHarness h;
  h.Start(Row());
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  TriggerRecorder rec;
  cChara& enemy = *h.Charas().at(0);
  cShot& shot = AddShot(h.Scene(), enemy, h.Hero(), 1, 0);
  ASSERT_EQ(shot.m_pShooter, &enemy);
  shot.m_bHitTrigger = 1;
  ASSERT_EQ(shot.m_nLayer, 1);
  // The shooter leaves while its shot flies: the shot forgets it at once.
  h.Scene().RemoveChara(enemy);
  EXPECT_EQ(shot.m_pShooter, nullptr);
  EXPECT_TRUE(h.Charas().empty());
  h.Frame();
  EXPECT_EQ(h.Hero().m_nHp, 2);
  EXPECT_EQ(h.Hero().m_nInvincible, 4);
  ASSERT_FALSE(TriggerRecorder::Log().empty());
  EXPECT_EQ(TriggerRecorder::Log()[0], (FiredTrigger{&h.Hero(), TRIG_HIT_SHOT, nullptr, 0}));
  for (const FiredTrigger& t : TriggerRecorder::Log()) EXPECT_NE(t.kind, TRIG_ATTACK_HIT);
}

int g_TakenItems = 0;
int CountTaken(cCharaBase&, cFlowCommand&) { return ++g_TakenItems, 0; }

TEST(ContactsPlayTest, KilledCharacterRunsItsDeathRoutine) {
  // The enemy carries item placement 0 and gives 300 points.
  cStage stage = Row();
  cItemDef item;
  item.m_sGraphicNo = 1;
  item.m_sBlockX = 12;
  item.m_sBlockY = 0;
  cFlowCommand command;
  command.m_cCategory = 1;
  command.m_cKind = 2;
  item.m_Cmds.push_back(command);
  stage.m_ItemPlaces.push_back(item);
  cCharaDef& enemyDef = stage.m_CharaPlaces.At(1);
  enemyDef.m_nPlaceExtra = 0;
  enemyDef.m_nScore = 300;
  g_TakenItems = 0;
  ScopedItemCmd counting(2, CountTaken);
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  EXPECT_TRUE(g_ItemList.empty());
  cChara& enemy = *h.Charas().at(0);
  AddShot(h.Scene(), h.Hero(), enemy, 10, 0);
  h.Frame();
  // It died in the contact pass and, with no death effect to show, left the list in the same
  // frame's drawing.
  EXPECT_TRUE(h.Charas().empty());
  EXPECT_EQ(g_SaveData.m_nStageScore, 300);
  EXPECT_EQ(g_TakenItems, 1);
  EXPECT_EQ(h.Hero().m_bDead, 0);
}

TEST(ContactsPlayTest, ShotCarryingAnItemHandsItToTheHeroOnItsHit) {
  cItemDef item;
  item.m_sGraphicNo = 1;
  cFlowCommand command;
  command.m_cCategory = 1;
  command.m_cKind = 2;
  item.m_Cmds.push_back(command);
  ScopedValue<cSafeVector<cItemDef>> common(g_CommonPalette.m_Items, cSafeVector<cItemDef>{item});
  g_TakenItems = 0;
  ScopedItemCmd counting(2, CountTaken);
  StageHarness h;
  h.Start(Row());
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  cChara& enemy = *h.Charas().at(0);
  cShot& shot = AddShot(h.Scene(), h.Hero(), enemy, 1, 0);
  shot.m_Def.m_cItemKind = 1;  // the common palette
  shot.m_Def.m_sItem = 0;
  h.Frames(3);
  // One hit: the item is taken once, the shot is gone and the enemy lost 1 HP.
  EXPECT_EQ(g_TakenItems, 1);
  EXPECT_EQ(enemy.m_nHp, 2);
  EXPECT_TRUE(h.Scene().m_Shots.empty());
}

TEST(ContactsPlayTest, HeroDeathLeadsToRetryContinueOrGameOver) {
  struct Case {
    const char* name;
    int freeStart, lives, story, storyContinue;
    int state, livesAfter;
  } cases[] = {
      {"free stage: retry", 1, 0, 0, 0, PLAY_START, 0},
      {"a life left: retry", 0, 2, 0, 0, PLAY_START, 1},
      {"story with continue", 0, 2, 1, 1, PLAY_CONTINUE, 1},
      {"no life left", 0, 0, 0, 0, PLAY_GAME_OVER, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    cStage stage = Row();
    stage.m_CharaPlaces.At(1).m_nBodyPower = 5;
    StageHarness h;
    h.Start(stage);
    ScopedValue<int32_t> freeStart(g_bFreeStageStart, k.freeStart);
    ScopedValue<int32_t> storyContinue(g_SystemData.m_bStoryContinue, k.storyContinue);
    if (k.story) g_Game.m_nGameMode = GAME_MODE_STORY;
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    g_SaveData.m_nLives = k.lives;
    // The enemy steps onto the hero: a body power of 5 takes all 3 HP.
    cChara& enemy = *h.Charas().at(0);
    enemy.m_dX = h.Hero().m_dX;
    enemy.AfterMoveX();
    h.Frame();
    EXPECT_EQ(h.Hero().m_nHp, 0);
    EXPECT_EQ(h.Hero().m_bDead, 1);
    // The contact pass ended early with the hero's death and still let go of its running flag.
    EXPECT_EQ(h.Scene().m_bContactRunning, 0);
    EXPECT_GE(h.RunUntilState(k.state, 120), 0);
    EXPECT_EQ(g_SaveData.m_nLives, k.livesAfter);
    if (k.state == PLAY_START) {
      EXPECT_EQ(h.Hero().m_bDead, 0);
      EXPECT_EQ(h.Hero().m_nHp, 3);
    }
  }
}

TEST(ContactsPlayTest, BodyContactHurtsBothWaysThenTheCoolDownHolds) {
  cStage stage = Row();
  stage.m_nHeroHitInterval = 20;
  stage.m_nHeroDamagePause = 2;
  stage.m_nEnemyHitInterval = 20;
  stage.m_nEnemyDamagePause = 2;
  cCharaDef& hero = stage.m_CharaPlaces.At(0);
  hero.m_nMaxHp = 10;
  hero.m_nBodyPower = 1;
  cCharaDef& enemy = stage.m_CharaPlaces.At(1);
  enemy.m_nMaxHp = 10;
  enemy.m_nBodyPower = 2;
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  TriggerRecorder rec;
  cChara& e = *h.Charas().at(0);
  e.m_dX = h.Hero().m_dX + 10;
  e.AfterMoveX();
  h.Frame();
  EXPECT_EQ(h.Hero().m_nHp, 8);
  EXPECT_EQ(e.m_nHp, 9);
  // Each was told of the other first, then of the damage.
  EXPECT_EQ(TriggerRecorder::KindsOf(e), (std::vector<int>{TRIG_HIT_CHARA, TRIG_DAMAGED_SETTING, TRIG_DAMAGED}));
  // Still touching: nothing more for 20 frames (the cool-down against this one attacker).
  h.Frames(19);
  EXPECT_EQ(h.Hero().m_nHp, 8);
  EXPECT_EQ(e.m_nHp, 9);
  h.Frame();
  EXPECT_EQ(h.Hero().m_nHp, 6);
  EXPECT_EQ(e.m_nHp, 8);
}

TEST(ContactsPlayTest, HarmlessShotTellsEveryFrameButOnlyHurtsWithTheNewRule) {
  // A shot with no power, impact or item: with the old rule it passes and fires its trigger on
  // every frame it overlaps; with the new one it hurts (without damage or invincibility) and goes.
  for (int oldRule : {1, 0}) {
    SCOPED_TRACE(oldRule);
    StageHarness h;
    h.Start(Row());
    ScopedValue<int32_t> rule(g_SystemData.m_bCompat763b, oldRule);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    TriggerRecorder rec;
    cChara& enemy = *h.Charas().at(0);
    AddShot(h.Scene(), h.Hero(), enemy, 0, 0);
    h.Frames(3);
    const std::vector<int> kinds = TriggerRecorder::KindsOf(enemy);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), TRIG_HIT_SHOT), oldRule ? 3 : 1);
    EXPECT_EQ(h.Scene().m_Shots.size(), oldRule ? 1u : 0u);
    EXPECT_EQ(enemy.m_nHp, 3);
    EXPECT_EQ(enemy.m_nInvincible, 0);
  }
}

TEST(ContactsPlayTest, CancellingShotsRemoveTheWeakerOrThemselves) {
  struct Case {
    const char* name;
    int cancelA, strengthA, cancelB, strengthB;
    bool aLeft, bLeft;
  } cases[] = {
      {"stronger wins", 1, 5, 1, 3, true, false},   {"weaker loses", 1, -2, 1, 3, false, true},
      {"equal: both go", 1, 4, 1, 4, false, false}, {"only one cancels: it goes", 1, 9, 0, 0, false, true},
      {"neither cancels", 0, 0, 0, 0, true, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    StageHarness h;
    h.Start(Row());
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    cChara& enemy = *h.Charas().at(0);
    // Both above the enemy's head, where neither touches a character.
    cShot& a = AddShot(h.Scene(), h.Hero(), enemy, 1, 0, k.cancelA, k.strengthA);
    cShot& b = AddShot(h.Scene(), enemy, enemy, 1, 0, k.cancelB, k.strengthB);
    for (cShot* s : {&a, &b}) {
      s->m_dY -= 40;
      s->UpdateEdgesY();
      s->UpdateHitBoxY();
    }
    ASSERT_EQ(a.m_nLayer, 0);
    ASSERT_EQ(b.m_nLayer, 1);
    const int idA = a.m_nId;
    const int idB = b.m_nId;
    h.Frame();
    bool aLeft = false, bLeft = false;
    for (const cShot& s : h.Scene().m_Shots) {
      aLeft = aLeft || s.m_nId == idA;
      bLeft = bLeft || s.m_nId == idB;
    }
    EXPECT_EQ(aLeft, k.aLeft);
    EXPECT_EQ(bLeft, k.bLeft);
    EXPECT_EQ(enemy.m_nHp, 3);
  }
}

}  // namespace
}  // namespace t4::test
