// Contacts between objects of different factions: shots against characters, characters against
// characters, shots against shots; and the main hero taking the items it touches.
#include <algorithm>

#include "core/sound_request.h"
#include "data/flow_kinds.h"
#include "data/palette.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/chara_damage.h"
#include "stage/chara_items.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"

namespace {

// Inclusive edges: touching boxes overlap.
bool Overlap(double l1, double t1, double r1, double b1, double l2, double t2, double r2, double b2) {
  return l1 <= r2 && r1 >= l2 && t1 <= b2 && b1 >= t2;
}

bool Overlap(const HITBOX& a, const HITBOX& b) {
  return Overlap(a.dLeft, a.dTop, a.dRight, a.dBottom, b.dLeft, b.dTop, b.dRight, b.dBottom);
}

bool ShotHits(const cShot& s, const HITBOX& b) {
  return Overlap(s.m_dHitLeft, s.m_dHitTop, s.m_dHitRight, s.m_dHitBottom, b.dLeft, b.dTop, b.dRight, b.dBottom);
}

bool OwnBoxesOverlap(const cStageObject& a, const cStageObject& b) {
  return Overlap(a.m_dX, a.m_dY, a.m_dRight, a.m_dBottom, b.m_dX, b.m_dY, b.m_dRight, b.m_dBottom);
}

bool Live(const cCharaBase& c) { return !c.m_bDead && c.m_bActive; }

bool IsBlockChara(const cCharaBase& c) { return c.m_Def.m_cBlockChara != 0; }

// Clears the contact-running flag on every way out of the pass.
class ContactRunningScope {
 public:
  explicit ContactRunningScope(int32_t& flag) : m_Flag(flag) { m_Flag = 1; }
  ~ContactRunningScope() { m_Flag = 0; }
  ContactRunningScope(const ContactRunningScope&) = delete;
  ContactRunningScope& operator=(const ContactRunningScope&) = delete;

 private:
  int32_t& m_Flag;
};

// The character contact triggers of `victim` touched by `other` (or by its owner when it attacks
// for it).
void FireCharaContact(cCharaBase& victim, cCharaBase& other) {
  if (other.m_pOwner && other.m_bOwnerAttack) {
    cCharaBase& owner = *other.m_pOwner;
    FireStageTrigger(victim, TRIG_HIT_CHARA, &owner, 0);
    FireStageTrigger(owner, TRIG_ATTACK_HIT, &victim, other.m_nOwnerFlowId);
  } else {
    FireStageTrigger(victim, TRIG_HIT_CHARA, &other, 0);
  }
}

bool HasBodyAttack(const cCharaBase& c) { return c.m_Def.m_nBodyPower != 0 || c.m_Def.m_cBodyImpact != 0; }

}  // namespace

int cScenePlay::CheckContacts() {
  ContactRunningScope running(m_bContactRunning);
  if (int r = ShotsAgainstCharas()) return r;
  for (auto it = m_Shots.begin(); it != m_Shots.end();)
    it = it->m_bVanish ? EraseShot(it) : std::next(it);
  if (int r = CharasAgainstCharas()) return r;
  ShotsAgainstShots();
  return PASS_GO_ON;
}

int cScenePlay::ShotsAgainstCharas() {
  const int k = static_cast<int>(m_ContactSchedule.size());
  if (g_Stage.m_nContactChecks != 0 && m_nSubStep >= 1 && m_nSubStep <= k && !m_ContactSchedule.At(m_nSubStep - 1))
    return PASS_GO_ON;
  const bool onScreenOnly = g_Stage.m_nTargetFlag != 0;
  for (int i = 0; i < FACTION_COUNT; ++i) {
    for (int j = 0; j < FACTION_COUNT; ++j) {
      if (j == i) continue;
      cSafeList<cShot*>& shots = m_ShotLayers.At(i);
      for (auto si = shots.begin(); si != shots.end();) {
        cShot& s = **si;
        ++si;
        if (s.m_bVanish || (onScreenOnly && !s.m_bOnScreen)) continue;
        bool remove = false;
        if (int r = ShotAgainstFaction(s, j, onScreenOnly, remove)) return r;
        if (remove && !s.m_bVanish) {
          for (auto it = m_Shots.begin(); it != m_Shots.end(); ++it) {
            if (&*it != &s) continue;
            // The walk goes on from the next shot, which the erase leaves in place.
            EraseShot(it);
            break;
          }
        }
      }
    }
  }
  return PASS_GO_ON;
}

int cScenePlay::ShotAgainstFaction(cShot& s, int faction, bool onScreenOnly, bool& remove) {
  for (cCharaBase* pc : m_CharaLayers.At(faction)) {
    cCharaBase& c = *pc;
    if ((onScreenOnly && !c.m_bOnScreen) || !Live(c) || c.m_Def.m_cInvincible == 2 || !ShotHits(s, c.m_BoxB) ||
        std::find(s.m_HitList.begin(), s.m_HitList.end(), &c) != s.m_HitList.end())
      continue;
    const bool attack = s.m_Def.m_nPower != 0 || s.m_Def.m_cImpact != 0 || s.m_Def.m_cItemKind != 0;
    if (attack && c.IsInvincible()) continue;
    const bool hurt = attack || !g_SystemData.HarmlessShotsPass();
    FireStageTrigger(c, TRIG_HIT_SHOT, s.m_pShooter, 0);
    if (s.m_pShooter && s.m_bHitTrigger) FireStageTrigger(*s.m_pShooter, TRIG_ATTACK_HIT, &c, s.m_nFlowId);
    if (!hurt) continue;
    int damage = 0;
    int impact = 0;
    const int dead = c.ApplyShotDamage(s, damage, impact);
    c.FireShotHitTriggers(s, damage, impact);
    if (dead) {
      if (c.m_nSide == 1) PlaySystemSound(9);
      if (int r = KillCharaCore(c)) return r;
    } else {
      PlaySystemSound(7);
      // A shot that is no attack hurts without making the character invincible.
      if (attack) c.StartInvincible();
    }
    const bool pierce = IsBlockChara(c) ? s.m_Def.m_cPierceBlockChara != 0 : s.m_Def.m_cPierce != 0;
    if (!s.m_bShot || pierce)
      s.m_HitList.push_back(&c);
    else
      remove = true;
    if (s.m_Def.m_cItemKind != 0) {
      if (cItemDef* def = GetPaletteItemDef(s.m_Def.m_cItemKind, s.m_Def.m_sItem)) {
        if (int r = TakeItemFromDef(g_Heroes.At(0), *def)) return r;
      }
    }
  }
  return PASS_GO_ON;
}

int cScenePlay::CharasAgainstCharas() {
  const bool onScreenOnly = g_Stage.m_nTargetFlag != 0;
  auto takesPart = [&](const cCharaBase& c) {
    return (!onScreenOnly || c.m_bOnScreen) && !IsBlockChara(c) && Live(c);
  };
  for (int i = 0; i < FACTION_COUNT; ++i) {
    for (int j = i + 1; j < FACTION_COUNT; ++j) {
      for (cCharaBase* pa : m_CharaLayers.At(i)) {
        for (cCharaBase* pb : m_CharaLayers.At(j)) {
          cCharaBase& a = *pa;
          cCharaBase& b = *pb;
          if (!takesPart(a) || !takesPart(b) || !Overlap(a.m_BoxA, b.m_BoxA)) continue;
          if (int r = CharaPair(a, b)) return r;
        }
      }
    }
  }
  return PASS_GO_ON;
}

int cScenePlay::CharaPair(cCharaBase& a, cCharaBase& b) {
  const bool hitA = !a.IsInvincibleAgainst(b.m_nId);
  const bool hitB = !b.IsInvincibleAgainst(a.m_nId);
  if (hitA) FireCharaContact(a, b);
  if (hitB) FireCharaContact(b, a);
  const bool atOnce = g_SystemData.ContactTriggersAtOnce() != 0;
  const bool damageA = hitA && HasBodyAttack(b);
  const bool damageB = hitB && HasBodyAttack(a);
  int dA = 0, iA = 0, dB = 0, iB = 0;
  int deadA = 0, deadB = 0;
  if (damageA) {
    deadA = a.ApplyCharaDamage(b, dA, iA);
    if (atOnce) a.FireCharaHitTriggers(b, dA, iA);
  }
  if (damageB) {
    deadB = b.ApplyCharaDamage(a, dB, iB);
    if (atOnce) b.FireCharaHitTriggers(a, dB, iB);
  }
  if (!atOnce) {
    if (damageA) a.FireCharaHitTriggers(b, dA, iA);
    if (damageB) b.FireCharaHitTriggers(a, dB, iB);
  }
  if (!damageA && !damageB) return PASS_GO_ON;
  PlaySystemSound(7);
  const struct {
    bool damaged;
    int dead;
    cCharaBase& victim;
    cCharaBase& other;
  } sides[2] = {{damageA, deadA, a, b}, {damageB, deadB, b, a}};
  for (const auto& side : sides) {
    if (!side.damaged) continue;
    if (side.dead) {
      if (side.victim.m_nSide == 1) PlaySystemSound(9);
      if (int r = KillCharaCore(side.victim)) return r;
    } else {
      side.victim.StartInvincibleAndCooldown(side.other.m_nId);
    }
  }
  return PASS_GO_ON;
}

void cScenePlay::ShotsAgainstShots() {
  auto eraseShot = [&](cShot* shot) {
    for (auto it = m_Shots.begin(); it != m_Shots.end(); ++it) {
      if (&*it == shot) {
        EraseShot(it);
        return;
      }
    }
  };
  for (int i = 0; i < FACTION_COUNT; ++i) {
    for (int j = i + 1; j < FACTION_COUNT; ++j) {
      cSafeList<cShot*>& ps = m_ShotLayers.At(i);
      for (auto pi = ps.begin(); pi != ps.end();) {
        cShot* p = *pi;
        ++pi;
        bool removeP = false;
        cSafeList<cShot*>& qs = m_ShotLayers.At(j);
        for (auto qi = qs.begin(); qi != qs.end();) {
          cShot* q = *qi;
          ++qi;
          const int cp = p->m_Def.m_cCancelShots != 0;
          const int cq = q->m_Def.m_cCancelShots != 0;
          if ((!cp && !cq) || !OwnBoxesOverlap(*p, *q)) continue;
          bool removeQ = false;
          if (cp && cq) {
            const int8_t sp = p->m_Def.m_cCancelValue;
            const int8_t sq = q->m_Def.m_cCancelValue;
            removeP = removeP || sp <= sq;
            removeQ = sq <= sp;
          } else {
            removeP = removeP || cp;
            removeQ = cq;
          }
          if (removeQ) eraseShot(q);
        }
        // The shot still met every shot of the other faction before it goes.
        if (removeP) eraseShot(p);
      }
    }
  }
}

int cScenePlay::HeroTouchItems() {
  cHero& hero = g_Heroes.At(0);
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    cItem& item = *it;
    const int mode = item.m_Def.m_cTakeMode;
    if (!item.m_bActive || item.m_bTaken || mode == ITEM_TAKE_NEVER) {
      ++it;
      continue;
    }
    const HITBOX& c = hero.m_BoxC;
    if (!Overlap(c.dLeft, c.dTop, c.dRight, c.dBottom, item.m_dX, item.m_dY, item.m_dRight, item.m_dBottom)) {
      if (mode == ITEM_TAKE_AGAIN) hero.ForgetTouch(item.m_nId);
      ++it;
      continue;
    }
    FireStageTrigger(hero, TRIG_HIT_ITEM, nullptr, 0);
    if (mode == ITEM_TAKE_AGAIN) {
      if (!hero.IsNewTouch(item.m_nId)) {
        ++it;
        continue;
      }
      hero.m_TouchedItems.push_back(item.m_nId);
    }
    if (mode == ITEM_TAKE_ONCE) item.m_bTaken = 1;
    const int r = TakeItem(&item, &hero);
    if (mode == ITEM_TAKE_ONCE)
      it = g_ItemList.erase(it);
    else
      ++it;
    if (r != 0) return r;
  }
  return PASS_GO_ON;
}
