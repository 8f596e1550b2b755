// HP and SP with their gauges, damage of body contacts against the defence, the damage and impact
// triggers, invincibility with per-attacker cool-downs, and the death routine.
#include "stage/chara_damage.h"

#include <algorithm>
#include <climits>

#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "persist/save_data.h"
#include "stage/chara_base.h"
#include "stage/chara_items.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"

namespace {

constexpr int GAUGE_FRAMES = 120;
constexpr int GAUGE_LENGTH = 50;
constexpr int32_t DAMAGE_MAX = 999999;

void PlainTrigger(cCharaBase& chara, int kind, cCharaBase* other, int flowId) {
  FireTriggerWith(chara, kind, other, flowId);
}

TriggerWithHandler g_TriggerWith = PlainTrigger;

// `value` + `delta` within lo..hi, in 64 bits so that no sum overflows on the way.
int32_t AddClamped(int32_t value, int64_t delta, int32_t lo, int32_t hi) {
  return static_cast<int32_t>(std::clamp<int64_t>(value + delta, lo, hi));
}

// Invincibility and cool-down lengths are set in frames and counted in sub-steps.
int HeroSide(const cCharaBase& c) { return c.m_nSide == 0; }

// `frames` of the stage file in sub-steps; a length no counter can hold stays at the longest one.
int32_t SubStepsOf(int32_t frames) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{g_Stage.m_nSubSteps} * frames, INT_MIN, INT_MAX));
}

void StartGauge(GAUGEANIME& gauge, int delta, int32_t value, int32_t max) {
  // A maximum of 0 or less has no bar to show (the expression code calls this directly).
  if (delta == 0 || max <= 0) return;
  gauge.nFrames = GAUGE_FRAMES;
  gauge.nLength = static_cast<int32_t>(static_cast<int64_t>(value) * GAUGE_LENGTH / max);
  // The moving part is in fractions of a dot: a loss of 1 of 3 moves 16.67 dots, not 16.
  gauge.dMoving = static_cast<double>(delta) * GAUGE_LENGTH / max;
  gauge.dDecrease = gauge.dMoving * (1.0 / 60.0);
}

// The power of an attack after the victim's defence; power 0 or below is used unchanged.
int32_t PowerAgainst(int32_t power, int32_t defence) {
  if (power <= 0) return power;
  return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(power) - defence, 0, DAMAGE_MAX));
}

// The damage triggers (when the attack has power) and the impact triggers (when it has impact) of
// one hit: the victim is told with `other`, the attacking side (when there is one) with the
// victim and `flowId`; the second trigger of each pair only when damage or impact was done.
void FireHitTriggers(cCharaBase& victim, cCharaBase* other, cCharaBase* attackerSide, int flowId, bool hasPower,
                     bool hasImpact, int damage, int impact) {
  struct Pair {
    bool on, done;
    int victimSetting, victimDone, attackSetting, attackDone;
  } pairs[2] = {
      {hasPower, damage >= 1, TRIG_DAMAGED_SETTING, TRIG_DAMAGED, TRIG_ATTACK_DAMAGE_SETTING, TRIG_ATTACK_DAMAGE},
      {hasImpact, impact != 0, TRIG_IMPACTED_SETTING, TRIG_IMPACTED, TRIG_ATTACK_IMPACT_SETTING, TRIG_ATTACK_IMPACT},
  };
  for (const Pair& p : pairs) {
    if (!p.on) continue;
    FireStageTrigger(victim, p.victimSetting, other, 0);
    if (p.done) FireStageTrigger(victim, p.victimDone, other, 0);
    if (!attackerSide) continue;
    FireStageTrigger(*attackerSide, p.attackSetting, &victim, flowId);
    if (p.done) FireStageTrigger(*attackerSide, p.attackDone, &victim, flowId);
  }
}

}  // namespace

void FireStageTrigger(cCharaBase& chara, int kind, cCharaBase* other, int flowId) {
  g_TriggerWith(chara, kind, other, flowId);
}

TriggerWithHandler SetTriggerWithHandler(TriggerWithHandler handler) {
  const TriggerWithHandler previous = g_TriggerWith;
  g_TriggerWith = handler ? handler : PlainTrigger;
  return previous == PlainTrigger ? nullptr : previous;
}

int32_t AddClampedScore(int32_t score, int32_t points) { return AddClamped(score, points, 0, SCORE_MAX); }

int cCharaBase::AddHp(int delta, int force, int showGauge) {
  if (!force && delta <= 0 && m_Def.m_cInvincible) return 0;
  const int32_t max = m_Def.m_nMaxHp;
  // The change is kept in 64 bits: -INT_MIN must not overflow.
  int64_t d = delta;
  if (d > 0) d = std::min<int64_t>(d, static_cast<int64_t>(max) - m_nHp);
  m_nHp = AddClamped(m_nHp, d, 0, std::max(max, 0));
  if (m_nHp <= 0) {
    m_nHp = 0;
    return 1;
  }
  if (showGauge) StartHpGauge(static_cast<int>(std::clamp<int64_t>(d, INT_MIN, INT_MAX)));
  return 0;
}

int cCharaBase::AddSp(int delta, int showGauge) {
  const int32_t max = m_Def.m_nMaxSp;
  int64_t d = delta;
  if (d > 0) d = std::min<int64_t>(d, static_cast<int64_t>(max) - m_nSp);
  m_nSp = AddClamped(m_nSp, d, 0, std::max(max, 0));
  if (max <= 0) return 1;
  if (showGauge) StartSpGauge(static_cast<int>(std::clamp<int64_t>(d, INT_MIN, INT_MAX)));
  return 0;
}

void cCharaBase::StartHpGauge(int delta) { StartGauge(m_HpGauge, delta, m_nHp, m_Def.m_nMaxHp); }

void cCharaBase::StartSpGauge(int delta) { StartGauge(m_SpGauge, delta, m_nSp, m_Def.m_nMaxSp); }

void cCharaBase::StartInvincible() {
  const int frames = HeroSide(*this) ? g_Stage.m_nHeroDamagePause : g_Stage.m_nEnemyDamagePause;
  m_nInvincible = SubStepsOf(frames);
}

void cCharaBase::StartInvincibleAndCooldown(int attackerId) {
  StartInvincible();
  const int frames = HeroSide(*this) ? g_Stage.m_nHeroHitInterval : g_Stage.m_nEnemyHitInterval;
  m_Cooldowns.push_back(HITCOOLDOWN{attackerId, SubStepsOf(frames)});
}

void cCharaBase::CountDownInvincible() {
  if (--m_nInvincible <= 0) m_nInvincible = 0;
  for (auto it = m_Cooldowns.begin(); it != m_Cooldowns.end();)
    it = --it->nLeft <= 0 ? m_Cooldowns.erase(it) : std::next(it);
}

int cCharaBase::IsInvincible() const { return m_nInvincible > 0; }

int cCharaBase::IsInvincibleAgainst(int attackerId) const {
  if (m_nInvincible > 0) return 1;
  for (const HITCOOLDOWN& c : m_Cooldowns)
    if (c.nAttackerId == attackerId) return 1;
  return 0;
}

// The HP part of a hit of `power`: the damage the victim reports (0 while its definition makes it
// invincible) and 1 when its HP reached 0.
static int TakeHit(cCharaBase& victim, int32_t power, int& damageOut) {
  const int32_t d = PowerAgainst(power, victim.m_Def.m_nDefence);
  damageOut = victim.m_Def.m_cInvincible == 0 ? d : 0;
  return victim.AddHp(d == INT_MIN ? INT_MAX : -d, 0, 1);
}

int cCharaBase::ApplyCharaDamage(cCharaBase& attacker, int& damageOut, int& impactOut) {
  const int result = TakeHit(*this, attacker.m_Def.m_nBodyPower, damageOut);
  if (attacker.m_Def.m_sBodyHitEffect != 0 && g_lpScenePlay) {
    const double a[4] = {m_BoxA.dLeft, m_BoxA.dTop, m_BoxA.dRight, m_BoxA.dBottom};
    const double b[4] = {attacker.m_BoxA.dLeft, attacker.m_BoxA.dTop, attacker.m_BoxA.dRight, attacker.m_BoxA.dBottom};
    g_lpScenePlay->AddAttackEffect(attacker.m_Def.m_sBodyHitEffect, a, b, attacker.m_Def.m_cSize);
  }
  ApplyBodyImpact(attacker, impactOut);
  return result;
}

void cCharaBase::FireCharaHitTriggers(cCharaBase& attacker, int damage, int impact) {
  cCharaBase* owner = attacker.m_pOwner && attacker.m_bOwnerAttack ? attacker.m_pOwner : nullptr;
  FireHitTriggers(*this, owner ? owner : &attacker, owner, owner ? attacker.m_nOwnerFlowId : 0,
                  attacker.m_Def.m_nBodyPower != 0, attacker.m_Def.m_cBodyImpact != 0, damage, impact);
}

int cCharaBase::ApplyShotDamage(cShot& shot, int& damageOut, int& impactOut) {
  const int result = TakeHit(*this, shot.m_Def.m_nPower, damageOut);
  if (shot.m_Def.m_sEffect != 0 && g_lpScenePlay) {
    const double a[4] = {m_BoxB.dLeft, m_BoxB.dTop, m_BoxB.dRight, m_BoxB.dBottom};
    const double b[4] = {shot.m_dHitLeft, shot.m_dHitTop, shot.m_dHitRight, shot.m_dHitBottom};
    g_lpScenePlay->AddAttackEffect(shot.m_Def.m_sEffect, a, b, shot.m_Def.m_cSize);
  }
  ApplyShotImpact(shot, impactOut);
  return result;
}

void cCharaBase::FireShotHitTriggers(cShot& shot, int damage, int impact) {
  cCharaBase* shooter = shot.m_pShooter;
  FireHitTriggers(*this, shooter, shooter && shot.m_bHitTrigger ? shooter : nullptr, shot.m_nFlowId,
                  shot.m_Def.m_nPower != 0, shot.m_Def.m_cImpact != 0, damage, impact);
}

int cCharaBase::Die() {
  FireTrigger(TRIG_DEATH);
  RunFlows(1);
  g_SaveData.m_nStageScore = AddClampedScore(g_SaveData.m_nStageScore, m_Def.m_nScore);
  int r = 0;
  if (cItem* item = GetItem(); item && !g_Heroes.empty()) r = TakeItem(item, &g_Heroes.At(0));
  if ((g_lpScenePlay && g_lpScenePlay->m_nEndRequest == 1) || r == 1) return 1;
  DetachLinks();
  m_bDead = 1;
  m_Effect.Start(m_Def.m_sDeathEffect, m_Def.m_cDeathEffectRun, 0);
  return 0;
}
