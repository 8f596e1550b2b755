// Per-sub-step bookkeeping of the play scene: which characters are active, the play clock, the
// time limit and deaths by hit points.
#include "data/stage_file.h"
#include "stage/chara.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

void cScenePlay::UpdateActive() {
  m_GroupActive.assign(ACT_GROUP_COUNT, 0);
  for (cChara& c : g_CharaList)
    if (!c.m_bDead) c.TestView(m_GroupActive);
  for (cChara& c : g_CharaList)
    if (!c.m_bDead) c.m_bActive = c.ShouldActivate(m_GroupActive);
}

void cScenePlay::CountPlayTime() { ++m_nPlayTime; }

int cScenePlay::CountTimeLimit(int nDelta) {
  if (m_bNoTimeLimit) return 0;
  // One stage second is 60 frames.
  if (++m_nFrameCounter >= 60) {
    m_nFrameCounter = 0;
    m_nTimeLeft += nDelta;
  }
  return m_nTimeLeft <= 0 ? 1 : 0;
}

int cScenePlay::CheckHpDeaths() {
  m_bHpChanged = 0;
  return 0;
}
