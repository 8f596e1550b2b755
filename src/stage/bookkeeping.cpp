// Per-sub-step bookkeeping of the play scene: which objects are active, acting and on screen, the
// play clock, the time limit, deaths by hit points, and how a death ends a pass.
#include "stage/bookkeeping.h"

#include "core/sound_request.h"
#include "core/timing.h"
#include "flow/conditions.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"

namespace {

constexpr int TIME_LIMIT_MAX = 999;
constexpr int32_t PLAY_TIME_MAX = 599999;
constexpr unsigned FRAMES_PER_SECOND = 60;

int PlainAppearCheck(const cSafeVector<cCond>& conds, int mode, int latch, int8_t& latched, cCharaBase& subject) {
  return CheckLatchedConds(conds, mode, latch, latched, &subject);
}

AppearCondCheck g_AppearCheck = PlainAppearCheck;

}  // namespace

AppearCondCheck SetAppearCondCheck(AppearCondCheck check) {
  const AppearCondCheck previous = g_AppearCheck;
  g_AppearCheck = check ? check : PlainAppearCheck;
  return previous;
}

int AppearCondsHold(const cSafeVector<cCond>& conds, int mode, int latch, int8_t& latched, cCharaBase& subject) {
  // The latch is only consulted where the list enables it; it is set whenever the list holds.
  if (conds.empty() || (latch && latched)) return 1;
  return g_AppearCheck(conds, mode, latch, latched, subject);
}

void cScenePlay::UpdateActive() {
  cHero& hero = g_Heroes.At(0);
  hero.m_bActive = 1;
  hero.m_bOnScreen = 1;
  m_GroupActive.assign(ACT_GROUP_COUNT, 0);
  for (cChara& c : g_CharaList) {
    if (AppearCondsHold(c.m_Def.m_Conds, c.m_Def.m_cCondMode, c.m_Def.m_cCondLatch, c.m_bCondLatched, c)) {
      c.m_bActive = 1;
      c.m_bOnScreen = c.IsOnScreen();
      c.TestView(m_GroupActive);
    } else {
      c.m_bActive = c.m_bOnScreen = 0;
    }
  }
  // Every view test has set its group flag before any character decides.
  for (cChara& c : g_CharaList) c.m_bActing = c.m_bActive && c.ShouldActivate(m_GroupActive) ? 1 : 0;
  for (cItem& item : g_ItemList) {
    if (AppearCondsHold(item.m_Def.m_Conds, item.m_Def.m_cCondMode, item.m_Def.m_cCondLatch, item.m_bCondLatched,
                        hero)) {
      item.m_bActive = 1;
      item.m_bOnScreen = item.IsOnScreen();
    } else {
      item.m_bActive = item.m_bOnScreen = 0;
    }
  }
  for (cShot& shot : m_Shots) {
    shot.m_bActive = 1;
    shot.m_bOnScreen = shot.IsOnScreen();
  }
}

void cScenePlay::CountPlayTime() {
  if (m_nPlayTime >= PLAY_TIME_MAX) return;
  ++m_nFrameCounter;
  const int64_t t = static_cast<int64_t>(m_nFrameCounter) * 100 / 60;
  m_nPlayTime = t > PLAY_TIME_MAX ? PLAY_TIME_MAX : static_cast<int32_t>(t);
}

int cScenePlay::CountTimeLimit(int nDelta) {
  if (m_bNoTimeLimit) return 0;
  if (!CountFrameTick(1, FRAMES_PER_SECOND)) return 0;
  const int64_t left = static_cast<int64_t>(m_nTimeLeft) + nDelta;
  if (left > TIME_LIMIT_MAX) {
    m_nTimeLeft = TIME_LIMIT_MAX;
    return 0;
  }
  if (left <= 0) {
    m_nTimeLeft = 0;
    return 1;
  }
  m_nTimeLeft = static_cast<int32_t>(left);
  return 0;
}

int cScenePlay::CheckHpDeaths() {
  m_bHpChanged = 0;
  cHero& hero = g_Heroes.At(0);
  if (hero.m_nHp <= 0) {
    HeroDies(nullptr);
    return 1;
  }
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& c = *it;
    if (c.m_bVanish) {
      // Leaves without its death routine, score or item.
      it = EraseChara(it);
      continue;
    }
    // A character already dead is showing its death: counting it again would play its death sound
    // once more, or cut its death display short by removing it.
    if (c.m_nHp > 0 || c.m_bDead) {
      ++it;
      continue;
    }
    const int r = KillChara(c);
    if (g_SystemData.KeepKilledChara() && r != 1) {
      PlaySystemSound(9);
      if (r != 0) return 1;
      ++it;
      continue;
    }
    it = EraseChara(it);
    if (r != 0) return 1;
  }
  return 0;
}

int cScenePlay::KillCharaCore(cCharaBase& chara) {
  if (chara.m_nSide == 0) return PASS_HERO_DIES;
  if (chara.m_bDead != 1) return chara.Die();
  return PASS_GO_ON;
}
