// Drawing of the stage into the back buffer, and what the drawing decides about the dead.
#include "gfx/dd.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

// Frames the dead main hero stays on screen before play goes on.
constexpr int HERO_DEATH_FRAMES = 60;

}  // namespace

void cScenePlay::Draw(int bLive, int bHoldAnime, int, int) {
  DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  if (g_Heroes.empty()) return;
  cHero& hero = g_Heroes.At(0);
  if (!bHoldAnime) {
    hero.m_Anime.Update();
    for (cChara& c : g_CharaList)
      if (!c.m_bDead) c.m_Anime.Update();
  }
  if (!bLive) return;
  // A dead character leaves once it has been drawn dead.
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    if (it->m_bDead)
      it = EraseChara(it);
    else
      ++it;
  }
  if (hero.m_bDead && ++m_nDeathShown >= HERO_DEATH_FRAMES) {
    m_nDeathShown = 0;
    OnHeroDeathShown();
  }
}
