// Focused contact cases, independent of any recorded play: a shot hurts only characters of other
// factions than its own, and boxes whose edges just touch count as overlapping (the edges are
// inclusive), for shots against characters and for character bodies.
#include <gtest/gtest.h>

#include <string>

#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "support/stage_harness.h"
#include "play_constants.h"

namespace t4::test {
namespace {

// The hero (faction 0), a walker of the hero's faction and a walker of faction 1, far apart; every
// one with HP for many hits, no invincibility after a hit and no defence.
cStage ThreeFactionsStage() {
  cStage stage = StageFromRows({
      "....................",
      ".H......w.......w...",
      "####################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_nEnemyDamagePause = stage.m_nHeroDamagePause = 0;
  stage.m_nEnemyHitInterval = stage.m_nHeroHitInterval = 0;
  int walker = 0;
  for (cCharaDef& c : stage.m_CharaPlaces) {
    c.m_cActiveRange = 3;
    c.m_nMaxHp = 100;
    c.m_nDefence = 0;
    c.m_cLayer = c.m_cController == 0 ? 0 : static_cast<int8_t>(walker++);
  }
  return stage;
}

// A still shot of power 1 from `shooter` whose 16 x 16 hit box starts at (x, y).
cShot& StillShot(cScenePlay& scene, cCharaBase& shooter, double x, double y) {
  cEdShot p;
  p.m_nPower = 1;
  FIREPARAM f;
  f.nX = static_cast<int>(x);
  f.nY = static_cast<int>(y);
  cShot shot;
  shot.Setup(scene.m_nShotIdCount++, &shooter, CMD_KIND_SHOT, p, f);
  scene.AddShot(shot);
  cShot& added = scene.m_Shots.back();
  added.m_dHitLeft = x;
  added.m_dHitTop = y;
  added.m_dHitRight = x + 15;
  added.m_dHitBottom = y + 15;
  // Contacts may be limited to what is on the screen; the frame that would say so is not run.
  added.m_bOnScreen = 1;
  return added;
}

class ContactEdges : public ::testing::Test {
 protected:
  void SetUp() override {
    h.Start(ThreeFactionsStage());
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    ASSERT_EQ(h.Charas().size(), 2u);
    ASSERT_EQ(Friend().m_nLayer, 0);
    ASSERT_EQ(Enemy().m_nLayer, 1);
    // The hero takes its HP from elsewhere; enough for every hit of a test.
    h.Hero().m_nHp = 100;
  }
  cChara& Friend() { return *h.Charas().at(0); }
  // The shots of a case leave before the next: vanished, they take no part and the next contact
  // pass removes them.
  void Done() {
    for (cShot& s : h.Scene().m_Shots) s.m_bVanish = 1;
  }
  cChara& Enemy() { return *h.Charas().at(1); }

  StageHarness h;
};

TEST_F(ContactEdges, AShotHurtsOnlyCharactersOfAnotherFaction) {
  struct Case {
    const char* name;
    bool heroShoots;
    int target;  // 0 the hero, 1 the friend, 2 the enemy
    bool hurt;
  };
  const Case cases[] = {
      {"hero's shot on the hero", true, 0, false},  {"hero's shot on its faction", true, 1, false},
      {"hero's shot on the enemy", true, 2, true},  {"enemy's shot on itself", false, 2, false},
      {"enemy's shot on the hero", false, 0, true}, {"enemy's shot on the friend", false, 1, true},
  };
  for (const Case& c : cases) {
    cCharaBase* targets[] = {&h.Hero(), &Friend(), &Enemy()};
    cCharaBase& target = *targets[c.target];
    cCharaBase& shooter = c.heroShoots ? static_cast<cCharaBase&>(h.Hero()) : Enemy();
    const int hp = target.m_nHp;
    StillShot(h.Scene(), shooter, target.m_BoxB.dLeft + 2, target.m_BoxB.dTop + 2);
    h.Scene().CheckContacts();
    EXPECT_EQ(target.m_nHp < hp, c.hurt) << c.name;
    Done();
    target.m_nInvincible = 0;
  }
}

TEST_F(ContactEdges, AShotWhoseEdgeTouchesACharacterHitsIt) {
  // Where the shot's 16 x 16 box starts, from the enemy's box: touching on each side, and one
  // dot away.
  const HITBOX& box = Enemy().m_BoxB;
  struct Case {
    const char* name;
    double x, y;
    bool hit;
  };
  const Case cases[] = {
      {"its right edge on the left edge", box.dLeft - 15, box.dTop, true},
      {"its left edge on the right edge", box.dRight, box.dTop, true},
      {"its bottom edge on the top edge", box.dLeft, box.dTop - 15, true},
      {"its top edge on the bottom edge", box.dLeft, box.dBottom, true},
      {"a dot to the left", box.dLeft - 16, box.dTop, false},
      {"a dot below", box.dLeft, box.dBottom + 1, false},
  };
  for (const Case& c : cases) {
    const int hp = Enemy().m_nHp;
    StillShot(h.Scene(), h.Hero(), c.x, c.y);
    h.Scene().CheckContacts();
    EXPECT_EQ(Enemy().m_nHp < hp, c.hit) << c.name;
    Done();
    Enemy().m_nInvincible = 0;
  }
}

TEST_F(ContactEdges, BodiesWhoseEdgesTouchHurtEachOther) {
  cChara& enemy = Enemy();
  enemy.m_Def.m_nBodyPower = 1;
  h.Hero().m_Def.m_nBodyPower = 1;
  const HITBOX hero = h.Hero().m_BoxA;
  const double width = enemy.m_BoxA.dRight - enemy.m_BoxA.dLeft;
  const double height = enemy.m_BoxA.dBottom - enemy.m_BoxA.dTop;
  struct Case {
    const char* name;
    double left, top;
    bool hurt;
  };
  const Case cases[] = {
      {"the enemy's left edge on the hero's right", hero.dRight, hero.dTop, true},
      {"the enemy's bottom edge on the hero's top", hero.dLeft, hero.dTop - height, true},
      {"a dot to the right", hero.dRight + 1, hero.dTop, false},
  };
  for (const Case& c : cases) {
    const int heroHp = h.Hero().m_nHp;
    const int enemyHp = enemy.m_nHp;
    enemy.m_BoxA.dLeft = c.left;
    enemy.m_BoxA.dRight = c.left + width;
    enemy.m_BoxA.dTop = c.top;
    enemy.m_BoxA.dBottom = c.top + height;
    h.Scene().CheckContacts();
    EXPECT_EQ(h.Hero().m_nHp < heroHp, c.hurt) << c.name;
    EXPECT_EQ(enemy.m_nHp < enemyHp, c.hurt) << c.name;
    // No invincibility and no cool-down left for the next case.
    h.Hero().m_nInvincible = enemy.m_nInvincible = 0;
    h.Hero().m_Cooldowns.clear();
    enemy.m_Cooldowns.clear();
  }
}

}  // namespace
}  // namespace t4::test
