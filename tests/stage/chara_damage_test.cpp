// HP and SP changes with their gauges, body-contact damage against the defence, the damage and
// impact triggers, invincibility and per-attacker cool-downs, and the death routine.
#include <climits>

#include "chara_fixture.h"
#include "data/database.h"
#include "data/flow_kinds.h"
#include "flow/stage_binding.h"
#include "persist/save_data.h"
#include "stage/effect_states.h"
#include "stage_hooks.h"
#include "support/scoped_value.h"

namespace t4::test {
namespace {

class CharaDamageTest : public CharaStage {
 protected:
  void SetUp() override {
    MakeStage(30, 20, 0.4, 1);
    AddHero(WalkerDef(0), TileDot(1), TileDot(5));
  }
  void TearDown() override {
    g_SaveData.m_nStageScore = 0;
    CharaStage::TearDown();
  }
  static cCharaDef Def(int maxHp, int defence, int power, int impact) {
    cCharaDef d = WalkerDef();
    d.m_nMaxHp = maxHp;
    d.m_nDefence = defence;
    d.m_nBodyPower = power;
    d.m_cBodyImpact = static_cast<int8_t>(impact);
    return d;
  }
};

TEST_F(CharaDamageTest, BodyPowerIsReducedByTheDefence) {
  struct Case {
    int power, defence, hpBefore;
    int damage, hpAfter, dead;
  } cases[] = {
      {5, 8, 10, 0, 10, 0},   // no negative damage
      {12, 2, 10, 10, 0, 1},  // exactly the HP left
      {7, 0, 10, 7, 3, 0},
      {-5, 8, 4, -5, 9, 0},             // a negative power heals whatever the defence
      {-5, 0, 8, -5, 10, 0},            // up to the maximum
      {INT_MAX, -5, 10, 999999, 0, 1},  // damage limited, no overflow
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "power " << k.power << " defence " << k.defence);
    cChara& victim = AddChara(Def(10, k.defence, 0, 0), TileDot(5), TileDot(5));
    cChara& attacker = AddChara(Def(10, 0, k.power, 0), TileDot(6), TileDot(5));
    victim.m_nHp = k.hpBefore;
    int damage = 0;
    int impact = 0;
    EXPECT_EQ(victim.ApplyCharaDamage(attacker, damage, impact), k.dead);
    EXPECT_EQ(damage, k.damage);
    EXPECT_EQ(victim.m_nHp, k.hpAfter);
  }
}

TEST_F(CharaDamageTest, AnInvincibleVictimKeepsItsHpButIsPushedAndTold) {
  TriggerRecorder rec;
  cCharaDef vd = Def(10, 0, 0, 0);
  vd.m_cInvincible = 1;
  cChara& victim = AddChara(vd, TileDot(5), TileDot(5));
  cChara& attacker = AddChara(Def(10, 0, 10, 5), TileDot(6), TileDot(5));
  attacker.m_dSpeedX = -2;
  int damage = -1;
  int impact = 0;
  EXPECT_EQ(victim.ApplyCharaDamage(attacker, damage, impact), 0);
  EXPECT_EQ(damage, 0);
  EXPECT_EQ(victim.m_nHp, 10);
  EXPECT_EQ(impact, 5);
  EXPECT_LT(victim.m_dImpactX, 0);
  victim.FireCharaHitTriggers(attacker, damage, impact);
  EXPECT_EQ(TriggerRecorder::KindsOf(victim),
            (std::vector<int>{TRIG_DAMAGED_SETTING, TRIG_IMPACTED_SETTING, TRIG_IMPACTED}));
  // The attacker has no owner that attacks for it: it is told nothing itself.
  EXPECT_TRUE(TriggerRecorder::KindsOf(attacker).empty());
  for (const FiredTrigger& t : TriggerRecorder::Log()) EXPECT_EQ(t.other, &attacker);
}

TEST_F(CharaDamageTest, AnOwnerAttackingThroughItsSummonIsToldWithItsFlowId) {
  TriggerRecorder rec;
  cChara& victim = AddChara(Def(10, 0, 0, 0), TileDot(5), TileDot(5));
  cChara& owner = AddChara(Def(10, 0, 0, 0), TileDot(9), TileDot(5));
  cChara& summon = AddChara(Def(10, 0, 4, 0), TileDot(6), TileDot(5));
  summon.m_pOwner = &owner;
  summon.m_bOwnerAttack = 1;
  summon.m_nOwnerFlowId = 17;
  int damage = 0;
  int impact = 0;
  victim.ApplyCharaDamage(summon, damage, impact);
  victim.FireCharaHitTriggers(summon, damage, impact);
  const std::vector<FiredTrigger> expected = {
      {&victim, TRIG_DAMAGED_SETTING, &owner, 0},
      {&victim, TRIG_DAMAGED, &owner, 0},
      {&owner, TRIG_ATTACK_DAMAGE_SETTING, &victim, 17},
      {&owner, TRIG_ATTACK_DAMAGE, &victim, 17},
  };
  EXPECT_EQ(TriggerRecorder::Log(), expected);
  summon.m_pOwner = nullptr;
}

TEST_F(CharaDamageTest, AddHpRespectsInvincibilityUnlessForcedAndReportsZero) {
  cCharaDef d = Def(10, 0, 0, 0);
  d.m_cInvincible = 1;
  cChara& c = AddChara(d, TileDot(5), TileDot(5));
  EXPECT_EQ(c.AddHp(-3, 0, 1), 0);
  EXPECT_EQ(c.m_nHp, 10);
  EXPECT_EQ(c.AddHp(-3, 1, 1), 0);
  EXPECT_EQ(c.m_nHp, 7);
  // Reaching 0 reports it and starts no gauge; a heal after it does.
  c.m_HpGauge = GAUGEANIME();
  EXPECT_EQ(c.AddHp(-20, 1, 1), 1);
  EXPECT_EQ(c.m_nHp, 0);
  EXPECT_EQ(c.m_HpGauge.nFrames, 0);
  EXPECT_EQ(c.AddHp(4, 0, 1), 0);
  EXPECT_EQ(c.m_nHp, 4);
  EXPECT_EQ(c.m_HpGauge.nFrames, 120);
  // The most negative change does not overflow.
  EXPECT_EQ(c.AddHp(INT_MIN, 1, 0), 1);
  EXPECT_EQ(c.m_nHp, 0);
  EXPECT_EQ(c.AddHp(INT_MAX, 1, 0), 0);
  EXPECT_EQ(c.m_nHp, 10);
}

TEST_F(CharaDamageTest, GaugeOfALossOfThreeFromTen) {
  cChara& c = AddChara(Def(10, 0, 0, 0), TileDot(5), TileDot(5));
  c.AddHp(-3, 0, 1);
  EXPECT_EQ(c.m_HpGauge.nFrames, 120);
  EXPECT_EQ(c.m_HpGauge.nLength, 35);
  EXPECT_EQ(c.m_HpGauge.dMoving, -15.0);
  EXPECT_EQ(c.m_HpGauge.dDecrease, -0.25);
}

TEST_F(CharaDamageTest, GaugeMovingPartKeepsItsFraction) {
  // A loss of 1 from 3 (maximum 3): the bar is 2 x 50 / 3 = 33 whole dots, the moving part -50 / 3.
  cChara& c = AddChara(Def(3, 0, 0, 0), TileDot(5), TileDot(5));
  c.AddHp(-1, 0, 1);
  EXPECT_EQ(c.m_HpGauge.nLength, 33);
  EXPECT_DOUBLE_EQ(c.m_HpGauge.dMoving, -50.0 / 3);
  EXPECT_DOUBLE_EQ(c.m_HpGauge.dDecrease, -50.0 / 3 * (1.0 / 60));
}

TEST_F(CharaDamageTest, StatusOperationsAndCodeChangeHpThroughTheCharacter) {
  // What the flow code reaches: the character's own HP and SP changes, with their gauges and the
  // invincibility rule, and the gauges the code command starts after it changed HP or SP.
  cCharaDef d = Def(10, 0, 0, 0);
  d.m_cInvincible = 1;
  d.m_nMaxSp = 20;
  cChara& c = AddChara(d, TileDot(5), TileDot(5));
  cFlowStage& stage = StageFlowBinding();
  stage.AddHp(&c, -3, 0, 1);
  EXPECT_EQ(c.m_nHp, 10);
  EXPECT_EQ(c.m_HpGauge.nFrames, 0);
  stage.AddHp(&c, -3, 1, 1);
  EXPECT_EQ(c.m_nHp, 7);
  EXPECT_EQ(c.m_HpGauge.nFrames, 120);
  EXPECT_EQ(c.m_HpGauge.nLength, 35);
  c.m_nSp = 0;
  stage.AddSp(&c, 25, 1);
  EXPECT_EQ(c.m_nSp, 20);
  EXPECT_EQ(c.m_SpGauge.nFrames, 120);
  EXPECT_EQ(c.m_SpGauge.dMoving, 50.0);
  c.m_HpGauge = GAUGEANIME();
  stage.StartHpGauge(&c, 2);
  EXPECT_EQ(c.m_HpGauge.nFrames, 120);
  EXPECT_EQ(c.m_HpGauge.dMoving, 10.0);
  // Without a maximum there is no gauge, and no division by it.
  c.m_Def.m_nMaxSp = 0;
  c.m_SpGauge = GAUGEANIME();
  stage.StartSpGauge(&c, 4);
  EXPECT_EQ(c.m_SpGauge.nFrames, 0);
}

TEST_F(CharaDamageTest, NoGaugeAndNoCrashWithoutAMaximum) {
  // The default maximum SP is 0; the expression code starts the gauges directly.
  cChara& c = AddChara(Def(10, 0, 0, 0), TileDot(5), TileDot(5));
  ASSERT_EQ(c.m_Def.m_nMaxSp, 0);
  EXPECT_EQ(c.AddSp(5, 1), 1);
  EXPECT_EQ(c.AddSp(-5, 1), 1);
  EXPECT_EQ(c.m_nSp, 0);
  c.StartSpGauge(5);
  c.m_Def.m_nMaxHp = 0;
  c.StartHpGauge(-2);
  EXPECT_EQ(c.m_SpGauge.nFrames, 0);
  EXPECT_EQ(c.m_HpGauge.nFrames, 0);
}

TEST_F(CharaDamageTest, CoolDownAgainstOneAttackerOutlastsTheInvincibility) {
  // Hero side, 30 frames of hit interval and 5 of invincibility at 2 sub-steps a frame.
  g_Stage.SetCollisionLevel(2);
  g_Stage.m_nHeroHitInterval = 30;
  g_Stage.m_nHeroDamagePause = 5;
  g_Stage.m_nEnemyHitInterval = 1;
  g_Stage.m_nEnemyDamagePause = 1;
  cChara& ally = AddChara(WalkerDef(0), TileDot(5), TileDot(5));
  ally.StartInvincibleAndCooldown(7);
  EXPECT_EQ(ally.m_nInvincible, 10);
  for (int i = 0; i < 10; ++i) ally.CountDownInvincible();
  EXPECT_FALSE(ally.IsInvincible());
  EXPECT_FALSE(ally.IsInvincibleAgainst(8));
  EXPECT_TRUE(ally.IsInvincibleAgainst(7));
  for (int i = 0; i < 49; ++i) ally.CountDownInvincible();
  EXPECT_TRUE(ally.IsInvincibleAgainst(7));
  ally.CountDownInvincible();
  EXPECT_FALSE(ally.IsInvincibleAgainst(7));
  EXPECT_TRUE(ally.m_Cooldowns.empty());
  // The other side uses the character settings.
  cChara& enemy = AddChara(WalkerDef(1), TileDot(8), TileDot(5));
  enemy.StartInvincible();
  EXPECT_EQ(enemy.m_nInvincible, 2);
}

TEST_F(CharaDamageTest, LongestInvincibilityOfAStageFileDoesNotOverflow) {
  g_Stage.SetCollisionLevel(4);
  ScopedValue<int32_t> pause(g_Stage.m_nEnemyDamagePause, INT_MAX);
  ScopedValue<int32_t> interval(g_Stage.m_nEnemyHitInterval, INT_MAX / 2);
  cChara& c = AddChara(WalkerDef(1), TileDot(5), TileDot(5));
  c.StartInvincibleAndCooldown(3);
  EXPECT_EQ(c.m_nInvincible, INT_MAX);
  ASSERT_EQ(c.m_Cooldowns.size(), 1u);
  EXPECT_EQ(c.m_Cooldowns.front().nLeft, INT_MAX);
  c.CountDownInvincible();
  EXPECT_EQ(c.m_nInvincible, INT_MAX - 1);
  EXPECT_EQ(c.m_Cooldowns.front().nLeft, INT_MAX - 1);
}

TEST_F(CharaDamageTest, ScoreSumsAreClampedWithoutOverflow) {
  struct Case {
    int32_t score, points, expected;
  } cases[] = {
      {999799, 500, 999999}, {200, 500, 700}, {INT_MAX, INT_MAX, 999999}, {100, -500, 0}, {0, INT_MIN, 0},
  };
  for (const Case& k : cases) EXPECT_EQ(AddClampedScore(k.score, k.points), k.expected) << k.score << " " << k.points;
}

TEST_F(CharaDamageTest, DeathFiresTheTriggerAddsTheScoreAndDetaches) {
  TriggerRecorder rec;
  cCharaDef d = Def(10, 0, 0, 0);
  d.m_nScore = 500;
  d.m_sDeathEffect = 3;
  // The death effect starts from the states prepared from the database's definitions.
  if (g_Database.m_CharaEffects.size() < 4) g_Database.m_CharaEffects.resize(4);
  PrepareEffectStates();
  cChara& c = AddChara(d, TileDot(5), TileDot(5));
  cChara& watcher = AddChara(Def(10, 0, 0, 0), TileDot(8), TileDot(5));
  watcher.m_Targets[1] = &c;
  c.m_BackLinks.push_back({&watcher, 1});
  g_SaveData.m_nStageScore = 999999 - 200;
  EXPECT_EQ(c.Die(), 0);
  EXPECT_EQ(g_SaveData.m_nStageScore, 999999);
  EXPECT_EQ(c.m_bDead, 1);
  EXPECT_EQ(c.m_Effect.m_nEffect, 3);
  EXPECT_EQ(watcher.m_Targets[1], nullptr);
  EXPECT_FALSE(c.IsLinked());
}

}  // namespace
}  // namespace t4::test
