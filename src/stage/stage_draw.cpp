// One frame of a running or frozen stage: backgrounds, blocks, the display layers with the hero,
// items and characters, the front layers, darkness, the screen effect, the status line, the time
// limit, the notice and the screen colour. Drawing also decides about the dead: a character
// whose death display has ended leaves the stage here, and the end of the hero's ends the life.
#include "core/globals.h"
#include "data/stage_file.h"
#include "gfx/batch.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/menu_colors.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/chara_draw.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

int DisplayLayer(const cCharaBase& c) { return c.m_Def.m_cZOrder; }

void DrawItems(DDSURFACEDATA* dst, int frozen) {
  DDBeginBatch(1);
  DDBatchOrder(&g_SurfaceTable[IMAGE_MARKS]);
  for (cItem& item : g_ItemList) {
    if (item.m_bCarried || !item.IsOnScreen()) continue;
    item.UpdateScreenRect();
    item.Draw(dst, frozen);
  }
  DDEndBatch();
}

void BeginCharaBatch() {
  DDBeginBatch(1);
  DDBatchOrder(&g_SurfaceTable[IMAGE_BLOCKS]);
  DDBatchOrder(&g_SurfaceTable[IMAGE_BLOCKS_MIRROR]);
  // Exclusive bitmaps come between the block and the character sheets.
  for (DDSURFACEDATA& sd : Off_CharaExc)
    if (HasPixels(&sd)) DDBatchOrder(&sd);
  for (int i = IMAGE_CHARAS; i < IMAGE_CHARAS + 2 * CHARA_SHEET_COUNT; ++i) DDBatchOrder(&g_SurfaceTable[i]);
  for (int i : {20, IMAGE_SHOTS_PADDED, 21, IMAGE_SHOTS_PADDED_MIRROR, IMAGE_ITEMS, IMAGE_MARKS, IMAGE_ITEMS_SMALL})
    DDBatchOrder(&g_SurfaceTable[i]);
  for (int x : {0, 64})
    for (int y = 208; y <= 216; y += 2) DDBatchOrderRect(&g_SurfaceTable[IMAGE_ACCESSORY_SHEET], x, y);
}

}  // namespace

void cScenePlay::Draw(int bLive, int bHoldAnime, int bTickStatus, int bKeyHint) {
  if (g_Heroes.empty()) {
    DDClearPal(&BackBuffer, PALETTE_EMPTY);
    return;
  }
  DDSURFACEDATA* dst = &BackBuffer;
  const int frozen = bHoldAnime;
  m_bShotsByZ = m_bCharasByZ = false;
  if (g_SurfaceTable[IMAGE_SHOTS_PADDED].bLost || g_SurfaceTable[IMAGE_SHOTS_PADDED_MIRROR].bLost)
    BuildPaddedShotSheets();
  if (m_Draw.m_ScrEffect.m_nEffect != 0) DDSetVirtualBackBuffer(true);
  // Layers scroll on their own on every drawn frame, frozen ones included; only the pause menu
  // holds them (ScrollBackgrounds tests that itself).
  ScrollBackgrounds();
  DrawBackgrounds(dst, 0);
  if (!bLive && m_nState == PLAY_PAUSE && !g_SystemData.m_bPauseDrawsStage) {
    DrawBackgrounds(dst, 1);
    m_Draw.m_ScreenColor.Draw(frozen);
    return;
  }
  DrawPictures(dst, 0, frozen);
  DrawMapBlocks(dst, 0);

  const bool layered = g_Stage.m_nUseLayers != 0;
  const int layers = layered ? DISPLAY_LAYER_COUNT : 1;
  // The end of the hero's death may set the stage up again, so the hero is looked up afresh.
  auto heroLayer = [] { return g_Heroes.empty() ? -1 : DisplayLayer(g_Heroes.At(0)); };
  const bool batchCharas = g_bUseD3D && !g_SystemData.NoCharaBatch();
  for (int i = 0; i < layers; ++i) {
    if (!layered || heroLayer() == i) DrawHero(frozen);
    if (!layered || i == 0) DrawItems(dst, frozen);
    if (batchCharas) BeginCharaBatch();
    if (layered)
      DrawCharaLayer(i, frozen);
    else
      DrawCharasFrom(g_CharaList.begin(), -1, frozen);
    if (batchCharas) DDEndBatch();
    DrawShots(dst, layered ? i : -1, frozen);
  }
  if (layered) {
    // A hero outside the eight layers is drawn over them all, so that its death is seen and
    // ends the life. Other characters there are not drawn, but their deaths still run their
    // course and end with their removal.
    if (!InLayerRange(heroLayer())) DrawHero(frozen);
    for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
      if (InLayerRange(DisplayLayer(*it)) || !it->m_bDead || frozen) {
        ++it;
        continue;
      }
      it->UpdateScreenRect();
      if (it->DrawDying(nullptr, 0))
        it = EraseChara(it);
      else
        ++it;
    }
  }

  DrawMapBlocks(dst, 1);
  DrawBackgrounds(dst, 1);
  DrawDistanceRanges(dst, m_Draw.m_nRangeCounter);
  if (!g_Heroes.empty()) g_Heroes.At(0).DrawSightMask(dst);
  DrawPictures(dst, 1, frozen);
  DrawEffects(dst, frozen);
  DrawMessageWindows(m_MessageWindows, dst, frozen);
  DrawScrEffect(frozen);
  DrawStatusLine(dst);
  DrawTimeLimit(dst, bTickStatus);
  if (bKeyHint) DrawNotice(dst);
  AnimateMenuColors();
  m_Draw.m_ScreenColor.Draw(frozen);
}

void cScenePlay::DrawCharasFrom(cSafeList<cChara>::iterator it, int z, int frozen) {
  while (it != g_CharaList.end()) {
    if (z >= 0 && DisplayLayer(*it) != z)
      ++it;
    else
      it = DrawChara(*it, frozen) ? EraseChara(it) : std::next(it);
  }
}

void cScenePlay::DrawCharaLayer(int z, int frozen) {
  if (!m_bCharasByZ || m_nCharasByZAt != g_nCharaListChanges) {
    for (auto& layer : m_CharasByZ) layer.clear();
    for (auto it = g_CharaList.begin(); it != g_CharaList.end(); ++it)
      if (InLayerRange(DisplayLayer(*it))) m_CharasByZ[static_cast<size_t>(DisplayLayer(*it))].push_back(it);
    m_nCharasByZAt = g_nCharaListChanges;
    m_bCharasByZ = true;
  }
  const std::vector<cSafeList<cChara>::iterator>& layer = m_CharasByZ[static_cast<size_t>(z)];
  for (size_t k = 0; k < layer.size(); ++k) {
    const auto it = layer[k];
    const bool ended = DrawChara(*it, frozen) != 0;
    if (m_nCharasByZAt != g_nCharaListChanges) {
      // Drawing changed the list: the rest of the layer is walked as the list now stands.
      m_bCharasByZ = false;
      DrawCharasFrom(ended ? EraseChara(it) : std::next(it), z, frozen);
      return;
    }
    if (ended) {
      // Its own removal leaves the gathered lists of the other characters as they were.
      EraseChara(it);
      m_nCharasByZAt = g_nCharaListChanges;
    }
  }
}

void cScenePlay::DrawHero(int frozen) {
  if (g_Heroes.empty()) return;
  DDSURFACEDATA* dst = &BackBuffer;
  cHero& hero = g_Heroes.At(0);
  hero.DisplayUpkeep();
  if (!hero.m_bDead) {
    hero.Draw(dst, frozen);
    hero.DrawHpGauge(dst);
    hero.DrawSpGauge(dst);
    if (!frozen) CountCharaGauges(hero);
    return;
  }
  if (hero.DrawDying(dst, frozen)) {
    hero.m_nDeathFrames = 0;
    OnHeroDeathShown();
  }
}

int cScenePlay::DrawChara(cChara& c, int frozen) {
  DDSURFACEDATA* dst = &BackBuffer;
  if (c.m_bDead) {
    c.UpdateScreenRect();
    // A frozen frame shows the dead but leaves their removal to the next played frame.
    return c.DrawDying(dst, frozen) && !frozen ? 1 : 0;
  }
  if (c.IsOnScreen()) {
    c.UpdateScreenRect();
    if (c.m_Def.m_cTransparent) {
      c.StepEffectOnly(frozen);
    } else {
      c.DrawChara(dst, frozen);
    }
    c.DrawHpGauge(dst);
    c.DrawSpGauge(dst);
    if (!c.m_Def.m_cTransparent) c.DrawItemIcon(dst);
    if (!frozen) CountCharaGauges(c);
    return 0;
  }
  if (c.m_Effect.m_nEffect != 0) c.StepEffectOnly(frozen);
  return 0;
}
