// Drawing of the stage into the back buffer, and what the drawing decides about the dead. For
// now the map blocks, items, characters and the hero, each as its sheet cell.
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

// Frames the dead main hero stays on screen before play goes on.
constexpr int HERO_DEATH_FRAMES = 60;
constexpr int IMAGE_BLOCKS = 2;
constexpr int IMAGE_CHARAS = 4;
constexpr int IMAGE_ITEMS = 40;
constexpr int SHEET_ROWS = 15;
constexpr int CHARA_SHEETS = 8;

int Trunc(double v) { return static_cast<int>(v); }

void DrawBlocks(const cScroll& sx, const cScroll& sy) {
  const int x0 = Trunc(sx.m_dPos);
  const int y0 = Trunc(sy.m_dPos);
  const int k = sx.m_nPitchShift;
  for (int r = 0; r < 16; ++r) {
    const int row = (y0 >> 5) + r;
    if (row < 0 || row >= sy.m_nGridTiles) continue;
    for (int c = 0; c < 21; ++c) {
      const int column = (x0 >> 5) + c;
      if (column < 0 || column >= sx.m_nGridTiles) continue;
      const cMapCell& cell = g_MapGrid.At(column + (row << k));
      const int n = cell.m_sGraphicNo;
      if (n <= 0 || cell.m_cDrawPass != 0 || cell.m_cHidden) continue;
      DDBlt(&BackBuffer, c * 32 - (x0 & 31), r * 32 - (y0 & 31), 32, 32, &g_SurfaceTable[IMAGE_BLOCKS],
            (n / SHEET_ROWS) * 32, (n % SHEET_ROWS) * 32, BLT_TRANSPARENT);
    }
  }
}

void DrawCell(const cStageObject& o, int pattern) {
  const int n = o.m_nGraphic;
  const int sheet = n / SHEET_ROWS;
  if (n <= 0 || sheet >= CHARA_SHEETS || pattern < 0) return;
  DDSURFACEDATA* src = &g_SurfaceTable[IMAGE_CHARAS + 2 * sheet + (o.m_bRight ? 1 : 0)];
  DDBlt(&BackBuffer, o.m_rcScreen[0], o.m_rcScreen[1], 32, 32, src, pattern * 32, (n % SHEET_ROWS) * 32,
        BLT_TRANSPARENT);
}

}  // namespace

void cScenePlay::Draw(int bLive, int bHoldAnime, int, int) {
  DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  if (g_Heroes.empty()) return;
  cHero& hero = g_Heroes.At(0);
  DrawBlocks(m_ScrollX, m_ScrollY);
  for (cItem& item : g_ItemList) {
    item.UpdateScreenRect();
    const int n = item.m_Def.m_sGraphicNo;
    if (n > 0)
      DDBlt(&BackBuffer, item.m_rcScreen[0], item.m_rcScreen[1], 32, 32, &g_SurfaceTable[IMAGE_ITEMS],
            (n / SHEET_ROWS) * 64, (n % SHEET_ROWS) * 32, BLT_TRANSPARENT);
  }
  for (cChara& c : g_CharaList) {
    c.UpdateScreenRect();
    DrawCell(c, bHoldAnime || c.m_bDead ? c.m_Anime.GetPattern() : c.m_Anime.Update());
  }
  hero.UpdateHeroScreenRect();
  DrawCell(hero, bHoldAnime ? hero.m_Anime.GetPattern() : hero.m_Anime.Update());
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
