// The play state: one stage frame of input, clocks and n physics sub-steps, then the drawing.
#include "core/globals.h"
#include "core/report_log.h"
#include "core/sound_request.h"
#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/block_collision.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "stage/main_hero.h"

namespace {

constexpr int MOVE_LEFT_STAGE = 4;
constexpr int MOVE_FELL_OUT = 7;
constexpr int MOVE_LEFT_VERTICALLY = 8;

bool Squeezed(const cCharaBase& c) {
  return (c.m_bBlockedLeft && c.m_bBlockedRight) || (c.m_bBlockedTop && c.m_bBlockedBottom);
}

}  // namespace

void cScenePlay::Play() {
  if (m_bClosing.load()) {
    PostCloseToMainWindow();
    return;
  }
  if (CheckPause()) {
    m_nStep = 0;
    m_nState = PLAY_PAUSE;
    return;
  }
  if (ReplayKeyHandled()) return;
  ++m_nPlayFrame;
  if (!ApplyInput()) return;
  CountPlayTime();
  cHero& hero = MainHero();
  if (CountTimeLimit(-1) && !hero.m_bDead) {
    HeroDies(nullptr);
    return;
  }
  hero.ClearTriggerFlags();
  hero.m_bFixScreenX = hero.m_bFixScreenY = 0;
  for (cChara& c : g_CharaList) {
    if (!c.m_bDead) c.ClearTriggerFlags();
    c.m_bFixScreenX = c.m_bFixScreenY = 0;
  }
  const int n = g_Stage.m_nSubSteps;
  for (int i = 1; i <= n; ++i)
    if (RunSubStep(i)) return;
  Draw(1, 0, 1, 1);
}

int cScenePlay::ApplyInput() {
  cInput& in = g_Input.At(0);
  if (g_Game.m_nTitleChoice != TITLE_CHOICE_REPLAY) {
    const cHero& hero = MainHero();
    if (hero.m_bDirLock) in.ClearDir();
    if (hero.m_bButtonLock) in.ClearButton();
    // After a menu choice the buttons stay silent until every one has been let go.
    if (in.m_sButton == 0)
      m_bButtonLock = 0;
    else if (m_bButtonLock)
      in.m_sButton = 0;
    in.UpdateHistory();
    in.UpdateEventLists();
    if (g_SystemData.m_bReplay) {
      const int16_t words[2] = {in.m_sDir, in.m_sButton};
      g_Replay.Record(words);
    }
    return 1;
  }
  in.ClearDir();
  in.ClearButton();
  int16_t words[2] = {0, 0};
  if (g_Replay.Play(words)) {
    g_SaveData.RestoreVariables(1, g_Game.m_nGameMode);
    SetStage(1, 1);
    m_nState = PLAY_START;
    return 0;
  }
  in.m_sDir = words[0];
  in.m_sButton = words[1];
  in.m_nDirNum = cInput::GetDirNum(words[0]);
  in.UpdateHistory();
  in.UpdateEventLists();
  return 1;
}

int cScenePlay::RunSubStep(int i) {
  m_nSubStep = i;
  ++m_nSubStepCount;
  UpdateActive();
  cHero& hero = MainHero();
  if (!hero.m_bDead) {
    for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
      if (!it->m_bDead && it->m_nLife != UNLIMITED_LIFE && --it->m_nLife < 0)
        it = EraseChara(it);
      else
        ++it;
    }
    for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
      if (it->m_nLife != UNLIMITED_LIFE && --it->m_nLife < 0)
        it = g_ItemList.erase(it);
      else
        ++it;
    }
  }
  for (cChara& c : g_CharaList) {
    c.CountDownInvincible();
    c.ClearBlockedFlags();
    c.SavePrevPos();
  }
  hero.CountDownInvincible();
  hero.ClearBlockedFlags();
  hero.SavePrevPos();
  hero.SaveFacing();
  // The block-item wait ends when the hero lands on another block: compare with this sub-step's start.
  hero.KeepLandBlock();
  m_ScrollX.Step();
  m_ScrollY.Step();
  // Each pass looks at the hero afresh: one that went on after the hero died stops the rest.
  if (!hero.m_bDead && BlockCharaPass()) return 1;
  if (!hero.m_bDead && HeroPass()) return 1;
  if (!hero.m_bDead && OtherCharaPass()) return 1;
  ShotPass();
  if (i == 1 && !hero.m_bDead) OutOfAreaPass();
  for (int pass = 0; pass < 3; ++pass) {
    // The block-item and contact tests go together; the item touch looks at the hero again.
    if (pass != 1 && hero.m_bDead) return 0;
    const int r = pass == 0 ? TakeBlockItem(hero) : pass == 1 ? CheckContacts() : HeroTouchItems();
    if (r == PASS_STAGE_END) {
      EndStage();
      m_nState = PLAY_STAGE_END;
      return 1;
    }
    if (r == PASS_HERO_DIES) {
      HeroDies(nullptr);
      return 1;
    }
  }
  return 0;
}

int cScenePlay::KilledByFlows(cSafeList<cChara>::iterator& it, bool& removed) {
  const int r = KillChara(*it);
  removed = false;
  if (g_SystemData.KeepKilledChara()) {
    if (r == 1) {
      it = EraseChara(it);
      removed = true;
      return 1;
    }
    PlaySystemSound(9);
    return r == 2;
  }
  it = EraseChara(it);
  removed = true;
  return r == 1 || r == 2;
}

int cScenePlay::BlockCharaPass() {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& c = *it;
    if (!c.m_Def.m_cBlockChara || c.m_bDead || !c.m_bActing) {
      ++it;
      continue;
    }
    c.FireTrigger(TRIG_ALWAYS);
    if (c.RunFlows(0)) {
      bool removed = false;
      if (KilledByFlows(it, removed)) return 1;
      if (!removed) ++it;
      continue;
    }
    if (m_bHpChanged && CheckHpDeaths()) return 1;
    bool bDeath = false;
    bool bRemove = false;
    MoveAndCollide(c, bDeath, bRemove);
    if (EndCharaStep(it, bDeath, bRemove)) return 1;
  }
  return 0;
}

int cScenePlay::HeroPass() {
  cHero& h = MainHero();
  h.FireTrigger(TRIG_ALWAYS);
  if (h.RunFlows(0)) return HeroDies(nullptr), 1;
  if (m_nEndRequest == 1) {
    EndStage();
    m_nState = PLAY_STAGE_END;
    return 1;
  }
  if (m_nEndRequest == 2) return HeroDies(nullptr), 1;
  if (m_bHpChanged && CheckHpDeaths()) return 1;
  const int floor = ApplyFloorEffect(h);
  if (floor == PASS_STAGE_END) {
    EndStage();
    m_nState = PLAY_STAGE_END;
    return 1;
  }
  if (floor == PASS_HERO_DIES) return HeroDies(nullptr), 1;
  if (h.m_bRideChara) RideBlockChara(h);
  h.MoveX();
  PushByScreenX(h);
  if (CollideMapX(h) == PASS_HERO_DIES) return HeroDies("Dead 1"), 1;
  PushByScreenX(h);
  h.ApplyGravity();
  if (h.MoveY() == MOVE_FELL_OUT) return HeroDies("Dead 2"), 1;
  if (PushByScreenY(h) == PASS_HERO_DIES) return HeroDies("Dead 3"), 1;
  if (CollideMapY(h) == PASS_HERO_DIES) return HeroDies("Dead 4"), 1;
  if (PushByScreenY(h) == PASS_HERO_DIES) return HeroDies("Dead 5"), 1;
  if (Squeezed(h) && !h.IsStopped()) {
    h.RestorePrevPos();
    return HeroDies("Dead SP"), 1;
  }
  // The block characters push the hero even when it is stopped; only the death depends on it.
  if (CollideBlockCharas(h) == PASS_HERO_DIES && !h.m_bDead && !h.IsStopped()) return HeroDies("Dead 6"), 1;
  if ((h.m_bBlockedLeft || h.m_bBlockedRight) && CollideMapXBoth(h) == PASS_HERO_DIES && !h.m_bDead) {
    // A stopped hero pressed by a wall lives; only this frame ends.
    if (h.IsStopped()) return 1;
    return HeroDies("Dead 7"), 1;
  }
  if ((h.m_bBlockedTop || h.m_bBlockedBottom) && CollideMapYBoth(h) == PASS_HERO_DIES && !h.m_bDead && !h.IsStopped())
    return HeroDies("Dead 8"), 1;
  if (Squeezed(h) && !h.IsStopped()) {
    h.RestorePrevPos();
    return HeroDies("Dead 9"), 1;
  }
  h.DecayImpactX();
  h.DecayImpactY();
  return 0;
}

int cScenePlay::OtherCharaPass() {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& c = *it;
    if (c.m_Def.m_cBlockChara || c.m_bDead || !c.m_bActing) {
      ++it;
      continue;
    }
    c.FireTrigger(TRIG_ALWAYS);
    if (c.RunFlows(0)) {
      if (c.m_bVanish) {
        it = EraseChara(it);
        continue;
      }
      bool removed = false;
      if (KilledByFlows(it, removed)) return 1;
      if (!removed) ++it;
      continue;
    }
    if (m_bHpChanged && CheckHpDeaths()) return 1;
    if (c.m_bRideChara) RideBlockChara(c);
    bool bDeath = false;
    bool bRemove = false;
    MoveAndCollide(c, bDeath, bRemove);
    if (CollideBlockCharas(c) == PASS_HERO_DIES) bDeath = true;
    CollideMapXBoth(c);
    CollideMapYBoth(c);
    if (EndCharaStep(it, bDeath || Squeezed(c), bRemove)) return 1;
  }
  return 0;
}

void cScenePlay::MoveAndCollide(cChara& c, bool& bDeath, bool& bRemove) {
  if (c.MoveX() == MOVE_LEFT_STAGE) bRemove = true;
  if (CollideMapX(c) == PASS_HERO_DIES) bDeath = true;
  c.ApplyGravity();
  const int y = c.MoveY();
  if (y == MOVE_FELL_OUT) bDeath = true;
  if (y == MOVE_LEFT_VERTICALLY) bRemove = true;
  if (CollideMapY(c) == PASS_HERO_DIES) bDeath = true;
}

int cScenePlay::EndCharaStep(cSafeList<cChara>::iterator& it, bool bDeath, bool bRemove) {
  cChara& c = *it;
  // A death wins over leaving the stage.
  if (bDeath) {
    PlaySystemSound(9);
    const int r = KillChara(c);
    if (r == 1) {
      EraseChara(it);
      return 1;
    }
    if (r == 2) return 1;
    ++it;
  } else if (bRemove) {
    it = EraseChara(it);
  } else {
    c.DecayImpactX();
    c.DecayImpactY();
    ++it;
  }
  return 0;
}

void cScenePlay::OutOfAreaPass() {
  if (m_bOutOfAreaChara || m_bOutOfAreaBlockChara) {
    for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
      const bool bBlock = it->m_Def.m_cBlockChara != 0;
      const bool bTested = bBlock ? m_bOutOfAreaBlockChara : m_bOutOfAreaChara;
      if (bTested && !it->m_bDead && it->m_bActive &&
          it->IsOutOfArea(g_Stage.m_Areas[bBlock ? STAGE_AREA_BLOCK_CHARA : STAGE_AREA_CHARA]))
        it = EraseChara(it);
      else
        ++it;
    }
  }
  if (m_bOutOfAreaItem) {
    for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
      if (it->IsOutOfArea(g_Stage.m_Areas[STAGE_AREA_ITEM]))
        it = g_ItemList.erase(it);
      else
        ++it;
    }
  }
}

void cScenePlay::HeroDies(const char* label) {
  if (label) DebugLogf("%s", label);
  PlaySystemSound(8);
  if (MainHero().Die() == 1) {
    EndStage();
    m_nState = PLAY_STAGE_END;
  }
}

cSafeList<cChara>::iterator cScenePlay::EraseChara(cSafeList<cChara>::iterator it) {
  cChara& c = *it;
  c.DetachLinks();
  // Every faction list lets go of it, so that no list keeps a pointer to a destroyed character.
  for (cSafeList<cCharaBase*>& layer : m_CharaLayers) layer.remove(&c);
  ++g_nCharaListChanges;
  return g_CharaList.erase(it);
}

void cScenePlay::RemoveChara(cChara& chara) {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end(); ++it) {
    if (&*it == &chara) {
      EraseChara(it);
      return;
    }
  }
}
