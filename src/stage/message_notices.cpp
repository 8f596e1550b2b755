// The small rising pictures that the stage shows through message windows: a taken item over the
// hero, and the life icon of an extra life at the stage's end.
#include "stage/chara_items.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/message_window.h"
#include "stage/scene_play.h"
#include "stage/stage_end.h"

namespace {

constexpr int32_t NOTICE_FRAMES = 30;
constexpr int32_t ABOVE_MAIN_HERO = 4;

}  // namespace

void ShowItemNotice(cHero& hero, int imageKind, int graphic, int column) {
  if (!g_lpScenePlay) return;
  MSGWINDOWPARAM p;
  p.nKind = MSGWIN_GRAPHIC;
  p.nGraphicKind = imageKind;
  p.nGraphicNo = graphic;
  p.nGraphicFrame = column;
  p.nPlacement = ABOVE_MAIN_HERO;
  p.bFixed = 1;
  p.nDuration = MSGWIN_TIMED;
  p.nFrames = NOTICE_FRAMES;
  p.nCharaId = hero.m_nId;
  AddMessageWindow(g_lpScenePlay->m_MessageWindows, p);
}

uint32_t ShowExtraLifeNotice(cScenePlay& scene, int heroId) {
  MSGWINDOWPARAM p;
  p.nKind = MSGWIN_ICON;
  p.nPlacement = ABOVE_MAIN_HERO;
  p.bFixed = 1;
  p.nDuration = MSGWIN_TIMED;
  p.nFrames = NOTICE_FRAMES;
  p.bCountFrozen = 1;
  p.nCharaId = heroId;
  return AddMessageWindow(scene.m_MessageWindows, p).m_nSerial;
}

void HideExtraLifeNotice(cScenePlay& scene, uint32_t serial) { RemoveMessageWindow(scene.m_MessageWindows, serial); }
