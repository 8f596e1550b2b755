// The stage's background layers (colour fills and tiled pictures with parallax and auto-scroll)
// and its map blocks, behind and in front of the objects.
#include <cmath>

#include "data/stage_file.h"
#include "gfx/batch.h"
#include "gfx/image_slots.h"
#include "stage/graphic_source.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "stage/stage_object.h"

namespace {

constexpr int MAX_TILES = 1000;

int Trunc(double v) { return TruncToInt(v); }

// The picture of background layer i; null for a layer without one (or an empty one, which
// cannot be tiled).
DDSURFACEDATA* LayerImage(size_t i) {
  if (i >= 8) return nullptr;
  DDSURFACEDATA* sd = &g_SurfaceTable[IMAGE_BACKGROUND_FIRST + i];
  return HasPixels(sd) ? sd : nullptr;
}

double Wrap(double v, int size) {
  v = std::fmod(v, static_cast<double>(size));
  return v < 0 ? v + size : v;
}

int PositiveMod(int v, int m) {
  const int r = v % m;
  return r < 0 ? r + m : r;
}

void TileLayer(DDSURFACEDATA* dst, DDSURFACEDATA* image, double x0, double y0, int flags) {
  const int w = image->nWidth;
  const int h = image->nHeight;
  const int left = -PositiveMod(Trunc(x0), w);
  int y = -PositiveMod(Trunc(y0), h);
  for (int row = 0; row < MAX_TILES && y < 480; ++row, y += h) {
    int x = left;
    for (int col = 0; col < MAX_TILES && x <= 639; ++col, x += w) DDBlt(dst, x, y, w, h, image, 0, 0, flags);
  }
}

}  // namespace

void cStageDrawState::ResetForStage() {
  m_ScreenColor = cScreenColor();
  m_ScrEffect.Clear();
  m_nRangeCounter = 0;
}

void cScenePlay::ScrollBackgrounds() {
  if (m_nState == PLAY_PAUSE) return;
  const size_t n = g_Stage.m_Backgrounds.size();
  for (size_t i = 0; i < n; ++i) {
    cBackground& bg = g_Stage.m_Backgrounds[i];
    DDSURFACEDATA* image = LayerImage(i);
    if (!image) continue;
    if (bg.m_nAutoX) bg.m_dAutoOffsetX = Wrap(bg.m_dAutoOffsetX - bg.m_dAutoSpeedX, image->nWidth);
    if (bg.m_nAutoY) bg.m_dAutoOffsetY = Wrap(bg.m_dAutoOffsetY - bg.m_dAutoSpeedY, image->nHeight);
  }
}

void cScenePlay::DrawBackgrounds(DDSURFACEDATA* dst, int front) {
  const size_t n = g_Stage.m_Backgrounds.size();
  bool anyShown = false;
  for (const cBackground& bg : g_Stage.m_Backgrounds) anyShown = anyShown || bg.m_nVisible;
  if (!front && !anyShown) {
    DDFillRectPal(dst, 0, 0, 640, 480, PALETTE_EMPTY);
    return;
  }
  bool drawn = false;
  for (size_t i = 0; i < n; ++i) {
    const cBackground& bg = g_Stage.m_Backgrounds[i];
    if (!bg.m_nVisible || (bg.m_nFront != 0) != (front != 0)) continue;
    const int flags = !front && !drawn ? BLT_OPAQUE : BLT_TRANSPARENT;
    if (bg.m_nFillOn) {
      DDFillRectPal(dst, 0, 0, 640, 480, static_cast<DWORD>(bg.m_nFillColor));
      drawn = true;
      continue;
    }
    DDSURFACEDATA* image = LayerImage(i);
    if (!image) continue;
    double x0 = (Trunc(m_ScrollX.m_dPos + 0.5) - m_ScrollX.m_nBorder * 32) * bg.m_dRatioX;
    double y0 = (Trunc(m_ScrollY.m_dPos + 0.5) - m_ScrollY.m_nBorder * 32) * bg.m_dRatioY;
    if (bg.m_nAutoX) x0 += bg.m_dAutoOffsetX;
    if (bg.m_nAutoY) y0 += bg.m_dAutoOffsetY;
    TileLayer(dst, image, x0, y0, flags);
    drawn = true;
  }
  if (!front && !drawn) DDFillRectPal(dst, 0, 0, 640, 480, PALETTE_EMPTY);
}

void cScenePlay::DrawMapBlocks(DDSURFACEDATA* dst, int front) {
  const int x0 = Trunc(m_ScrollX.m_dPos);
  const int y0 = Trunc(m_ScrollY.m_dPos);
  const int k = m_ScrollX.m_nPitchShift;
  DDBeginBatch(1);
  DDBatchOrder(&g_SurfaceTable[IMAGE_MARKS]);
  for (int r = 0; r < 16; ++r) {
    const int row = (y0 >> 5) + r;
    if (row < 0 || row >= m_ScrollY.m_nGridTiles) continue;
    for (int c = 0; c < 21; ++c) {
      const int column = (x0 >> 5) + c;
      if (column < 0 || column >= m_ScrollX.m_nGridTiles) continue;
      cMapCell& cell = g_MapGrid.At(column + (row << k));
      if (cell.m_sGraphicNo == 0 || (cell.m_cDrawPass != 0) != (front != 0) || cell.m_cHidden) continue;
      if (!CheckBlockCond(cell)) continue;
      DrawBlock(cell, dst, c * 32 - (x0 & 31), r * 32 - (y0 & 31));
    }
  }
  DDEndBatch();
}

void DrawBlock(cBlock& block, DDSURFACEDATA* dst, int x, int y) {
  DRAWDESC desc;
  SelectGraphicSource(desc, 0, block.m_cGraphicKind, block.m_sGraphicNo, block.m_sGraphicOffset, nullptr, 0);
  if (desc.lpSrc) DDBlt(dst, x, y, 32, 32, desc.lpSrc, desc.sx, desc.sy, BLT_TRANSPARENT);
  if (block.m_cGroup5Byte == 1 && block.m_sGroup5Word >= 0)
    DDBlt(dst, x, y, 32, 32, &g_SurfaceTable[IMAGE_MARKS], (block.m_sGroup5Word / CELLS_PER_COLUMN) * 32,
          (block.m_sGroup5Word % CELLS_PER_COLUMN) * 32, BLT_TRANSPARENT);
}
