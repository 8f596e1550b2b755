#include "stage/chara_flow_run.h"

#include "data/flow_kinds.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "stage/sub_steps.h"

void BeginFlowRun(cCharaBase& c, bool hero) {
  SetRunningChara(&c);
  // The HP check after a flow run looks only at what that run changed.
  if (g_lpScenePlay) g_lpScenePlay->m_bHpChanged = 0;
  const cScroll& ax = ScrollX();
  const cScroll& ay = ScrollY();
  if (g_SystemData.AimAddsScroll()) {
    if (hero && c.m_bFly) {
      c.m_dSpeedX = RideSpeed(ax);
      c.m_dSpeedY = RideSpeed(ay);
    } else {
      c.m_dSpeedX = 0;
      if (!hero && c.m_bFly) c.m_dSpeedY = 0;
    }
  } else {
    c.m_dSpeedX = c.m_bScrollRide ? RideSpeed(ax) : 0.0;
    if (c.m_bFly) c.m_dSpeedY = c.m_bScrollRide ? RideSpeed(ay) : 0.0;
  }
  c.m_bNoGravity = 0;
  c.m_bFrictionX = c.m_bFrictionY = 1;
  c.m_bHidden = 0;
  c.m_bMoveAnimeRequest = 0;
  c.m_nMoveAnime = 0;
  c.m_nMoveAnimePriority = 0;
  if (c.m_nStopCount > 0) c.m_nStopCount--;
  StartScheduledAnimes(c);
}

int StepFlows(cCharaBase& c, int deathOnly, bool stopOnVanish) {
  // By index: a step may add flow states.
  for (size_t i = 0; i < c.m_FlowStates.size(); ++i) {
    cFlowState& state = c.m_FlowStates[i];
    if (!state.m_bRunning) continue;
    if (!state.m_pFlow || state.m_pFlow->m_Cmds.empty()) {
      state.Stop(&c);
      continue;
    }
    const int trigger = state.m_pFlow->m_cTrigger;
    if (state.m_bPaused || state.m_bHalted || (deathOnly && trigger != TRIG_DEATH)) continue;
    if (state.Step(&c) == 1) c.m_FlowStates[i].Stop(&c);
    if (stopOnVanish && c.m_bVanish) return 1;
    if (!deathOnly && trigger != TRIG_DEATH && c.m_nHp <= 0) return 1;
  }
  return 0;
}

void EndFlowRun(cCharaBase& c) {
  SetRunningChara(nullptr);
  if (c.m_bFlowRemovalPending) {
    RemoveFlaggedFlows(c);
    c.m_bFlowRemovalPending = 0;
  }
  if (c.m_bGroupEndPending) {
    for (size_t g = 0; g < c.m_GroupEnded.size() && g < c.m_GroupRunning.size(); ++g)
      if (c.m_GroupEnded[g]) c.m_GroupRunning[g] = c.m_GroupEnded[g] = 0;
    c.m_bGroupEndPending = 0;
  }
}

void ApplyBaseAnime(cCharaBase& c) {
  int anime = 0;
  if (c.m_bMoveAnimeRequest)
    anime = c.m_nMoveAnime;
  else if (c.m_dInertiaX != 0 || c.m_dInertiaY != 0)
    return;
  else
    anime = c.m_bFly ? 2 : 0;
  c.m_Anime.Change(anime, 1);
}
