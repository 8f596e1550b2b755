// Where the picture of a graphic comes from: the sheet surfaces by image kind (block, character,
// item, shot, exclusive bitmap), the cell in them, and the half-size drawing of a graphic.
#pragma once

#include <cstdint>

#include "gfx/dd.h"
#include "gfx/image_slots.h"

class cBlock;
class cStageObject;

// The fixed surface of image number n.
inline DDSURFACEDATA* SurfaceSlot(int n) { return &g_SurfaceTable[n]; }

// Image slots the stage drawing uses.
constexpr int IMAGE_BLOCKS = 2;
constexpr int IMAGE_BLOCKS_MIRROR = 3;
constexpr int IMAGE_CHARAS = 4;
constexpr int IMAGE_SHOTS = 20;
constexpr int IMAGE_SECOND_SET = 22;
constexpr int IMAGE_ITEMS = 40;
constexpr int IMAGE_ITEMS_MIRROR = 41;
constexpr int IMAGE_ITEMS_SMALL = 42;
constexpr int IMAGE_MARKS = 43;
constexpr int IMAGE_MARKS_STRETCH = 44;
constexpr int IMAGE_STATUS_PICTURE = 47;
constexpr int IMAGE_ACCESSORY_SHEET = 50;
constexpr int IMAGE_WORD_SHEET = 52;
constexpr int IMAGE_BACKGROUND_FIRST = 56;
constexpr int IMAGE_SHOTS_PADDED = 64;
constexpr int IMAGE_SHOTS_PADDED_MIRROR = 65;
constexpr int IMAGE_SIGHT_MASK = 66;
constexpr int IMAGE_SIGHT_HOLE = 67;
constexpr int IMAGE_WORK_A = 68;
constexpr int IMAGE_WORK_B = 69;
constexpr int IMAGE_WORK_C = 71;

// A shot's cell in the shot sheets.
constexpr int SHOT_CELL = 16;
constexpr int CHARA_SHEET_COUNT = 8;
constexpr int CELLS_PER_COLUMN = 15;
constexpr int PALETTE_EMPTY = 16;

// Image kinds of a graphic.
constexpr int GRAPHIC_BLOCK = 0;
constexpr int GRAPHIC_CHARA = 1;
constexpr int GRAPHIC_ITEM = 2;
constexpr int GRAPHIC_SHOT = 3;
constexpr int GRAPHIC_EXCLUSIVE = 4;

// What SelectGraphicSource fills, plus the colour a character is drawn with.
struct DRAWDESC {
  DDSURFACEDATA* lpSrc = nullptr;      // plain draws
  DDSURFACEDATA* lpStretch = nullptr;  // stretched draws
  DDSURFACEDATA* lpMirror = nullptr;   // the other facing's plain twin
  DDSURFACEDATA* lpStretchMirror = nullptr;
  int32_t bExclusive = 0;
  int32_t nCellScale = 1;
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t bColor = 0;
  D3DCOLOR dwColor = 0xFFFFFFFF;
  D3DTEXTUREOP nColorOp = D3DTOP_MODULATE;

  // The {colour, operation} pair the state blits take.
  const int* State() const;

 private:
  mutable int m_State[2] = {};
};

// Whether the surface holds a picture (it may have failed to load, or been released).
bool HasPixels(const DDSURFACEDATA* sd);
// The slot to draw from for image n (stretched: for a stretched draw).
int SelectSourceImage(int n, int stretched);
// Fills `desc` for graphic `n` of `kind`. `type` 1: a character facing as `object` does, the cell
// column extra + frame; type 2: an item, its column offset extra. Out-of-range numbers fall back
// to the first cell of the second-set sheet; unknown kinds leave no source (nothing is drawn).
void SelectGraphicSource(DRAWDESC& desc, int type, int kind, int n, int frame, const cStageObject* object, int extra);
// A 16 x 16 picture of a graphic at (x, y).
void DrawGraphicHalf(DDSURFACEDATA* dst, int x, int y, int kind, int n, int frame);
// True when the source is drawn stretched for an object of `scale`.
bool IsScaledDraw(const DRAWDESC& desc, int scale);
// A map block's picture and badge at (x, y).
void DrawBlock(cBlock& block, DDSURFACEDATA* dst, int x, int y);
// The fill colour that leaves a surface's pixels transparent.
DWORD TransparentFillColor(const DDSURFACEDATA* sd);
