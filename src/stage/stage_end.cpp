// The end of a stage: a cleared stage, the result display and the killing of characters.
#include "core/sound_request.h"
#include "stage/chara.h"
#include "stage/input.h"
#include "stage/scene_play.h"

void cScenePlay::EndStage() { PlaySystemSound(14); }

void cScenePlay::StageEnd() {
  if (CheckPause()) {
    m_nStep = 0;
    m_nState = PLAY_PAUSE;
    return;
  }
  if (ReplayKeyHandled()) return;
  if (g_Input.At(0).m_sButton & 1) {
    PlaySystemSound(1);
    g_Game.m_nNextScene = SCENE_TITLE;
    m_nState = PLAY_FADE_OUT;
    return;
  }
  DrawFrozen();
}

int cScenePlay::KillChara(cChara& chara) {
  chara.m_bDead = 1;
  return 0;
}
