#include "stage/graphic_source.h"

#include <algorithm>

#include "data/database.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/system_ini.h"
#include "stage/stage_object.h"

namespace {

constexpr int SECOND_SET_OFFSET = 18;

// The stretch-ready twins of the blit mode with video stretching.
bool UseTwins() { return !g_bUseD3D && g_SystemIni.m_nDDVideoStretch; }

void SetPair(DRAWDESC& d, int plain, int mirror, bool mirrored) {
  const int a = mirrored ? mirror : plain;
  const int b = mirrored ? plain : mirror;
  d.lpSrc = SurfaceSlot(SelectSourceImage(a, 0));
  d.lpStretch = SurfaceSlot(SelectSourceImage(a, 1));
  d.lpMirror = SurfaceSlot(SelectSourceImage(b, 0));
  d.lpStretchMirror = SurfaceSlot(SelectSourceImage(b, 1));
}

// The exclusive bitmap's cell size in blocks, 0 when it has none; a size the cell arithmetic
// cannot use is brought into 1..16.
int ExclusiveCellSize(const cBmpCharaExc& bmp) {
  if (!bmp.m_nCellSizeFlag) return 0;
  return std::clamp(bmp.m_nCellSize, 1, 16);
}

void SelectExclusive(DRAWDESC& d, int n, int frame, bool mirrored) {
  const int count = static_cast<int>(g_Database.m_CharaExcs.size());
  const size_t base = static_cast<size_t>(n - 1) * 4;
  if (n < 1 || n >= count || base + 3 >= Off_CharaExc.size()) return;
  const int size = ExclusiveCellSize(g_Database.m_CharaExcs[static_cast<size_t>(n)]);
  const size_t video = base + (mirrored ? 1 : 0);
  const size_t system = base + 2 + (mirrored ? 1 : 0);
  const size_t videoOther = base + (mirrored ? 0 : 1);
  const size_t systemOther = base + 2 + (mirrored ? 0 : 1);
  const bool twins = UseTwins();
  d.lpSrc = &Off_CharaExc[twins ? system : video];
  d.lpStretch = &Off_CharaExc[system];
  d.lpMirror = &Off_CharaExc[twins ? systemOther : videoOther];
  d.lpStretchMirror = &Off_CharaExc[systemOther];
  d.bExclusive = 1;
  if (size == 0) {
    d.nCellScale = 1;
    d.sx = (frame & 15) * 32;
    d.sy = (frame & ~15) * 2;
  } else {
    const int perRow = 16 / size;
    d.nCellScale = size;
    d.sx = (frame % perRow) * size * 32;
    d.sy = (frame / perRow) * size * 32;
  }
}

}  // namespace

bool HasPixels(const DDSURFACEDATA* sd) {
  if (sd->nWidth <= 0 || sd->nHeight <= 0) return false;
  return sd->lpDT ? sd->lpDT->lpSurface != nullptr : sd->lpDDPart && sd->lpDDPart->lpDDS;
}

const int* DRAWDESC::State() const {
  m_State[0] = static_cast<int>(dwColor);
  m_State[1] = nColorOp;
  return m_State;
}

int SelectSourceImage(int n, int stretched) {
  if (g_bUseD3D || n < 0 || n + SECOND_SET_OFFSET >= IMAGE_SLOT_COUNT) return n;
  if (!stretched) return HasPixels(SurfaceSlot(n)) ? n : n + SECOND_SET_OFFSET;
  return HasPixels(SurfaceSlot(n + SECOND_SET_OFFSET)) ? n + SECOND_SET_OFFSET : n;
}

void SelectGraphicSource(DRAWDESC& d, int type, int kind, int n, int frame, const cStageObject* object, int extra) {
  d.lpSrc = d.lpStretch = d.lpMirror = d.lpStretchMirror = nullptr;
  d.bExclusive = 0;
  d.nCellScale = 1;
  d.sx = d.sy = 0;
  const bool mirrored = object && object->m_bRight;
  switch (kind) {
    case GRAPHIC_BLOCK:
      SetPair(d, IMAGE_BLOCKS, IMAGE_BLOCKS_MIRROR, false);
      d.sx = (n / CELLS_PER_COLUMN) * 32;
      d.sy = (n % CELLS_PER_COLUMN) * 32;
      break;
    case GRAPHIC_CHARA: {
      const int sheet = n / CELLS_PER_COLUMN;
      const int column = type == 1 ? extra + frame : frame;
      // Numbers past the eight sheets and cells past a sheet's edge have no picture of their
      // own: they show the first cell of the second set.
      if (n < 0 || sheet >= CHARA_SHEET_COUNT || column < 0) {
        SetPair(d, IMAGE_SECOND_SET, IMAGE_SECOND_SET + 1, false);
        break;
      }
      const int plain = IMAGE_CHARAS + 2 * sheet;
      SetPair(d, plain, plain + 1, type == 1 && mirrored);
      d.sx = column * 32;
      d.sy = (n % CELLS_PER_COLUMN) * 32;
      if (d.lpSrc->nWidth > 0 && (d.sx + 32 > d.lpSrc->nWidth || d.sy + 32 > d.lpSrc->nHeight)) {
        SetPair(d, IMAGE_SECOND_SET, IMAGE_SECOND_SET + 1, false);
        d.sx = d.sy = 0;
      }
      break;
    }
    case GRAPHIC_ITEM:
      SetPair(d, IMAGE_ITEMS, IMAGE_ITEMS_MIRROR, mirrored && type == 1);
      d.sx = (n / CELLS_PER_COLUMN) * 64 + (type == 2 ? extra * 32 : 0);
      d.sy = (n % CELLS_PER_COLUMN) * 32;
      break;
    case GRAPHIC_SHOT:
      SetPair(d, IMAGE_SHOTS_PADDED, IMAGE_SHOTS_PADDED_MIRROR, mirrored);
      d.sx = (n / 30) * 64;
      d.sy = (n % 30) * 32;
      break;
    case GRAPHIC_EXCLUSIVE: SelectExclusive(d, n, frame, mirrored); break;
    default: break;
  }
}

bool IsScaledDraw(const DRAWDESC& desc, int scale) { return desc.bExclusive ? desc.nCellScale != scale : scale > 1; }

void DrawGraphicHalf(DDSURFACEDATA* dst, int x, int y, int kind, int n, int frame) {
  switch (kind) {
    case GRAPHIC_BLOCK:
      // The block sheet is 32-dot cells, 15 to a column, as the block drawing reads it.
      DDBltStretch(dst, x, y, 16, 16, SurfaceSlot(IMAGE_BLOCKS), (n / CELLS_PER_COLUMN) * 32,
                   (n % CELLS_PER_COLUMN) * 32, 32, 32, BLT_TRANSPARENT);
      break;
    case GRAPHIC_CHARA: {
      const int sheet = n / CELLS_PER_COLUMN;
      if (n < 0 || sheet >= CHARA_SHEET_COUNT)
        DDBltStretch(dst, x, y, 16, 16, SurfaceSlot(IMAGE_SECOND_SET), 0, 0, 32, 32, BLT_TRANSPARENT);
      else
        DDBltStretch(dst, x, y, 16, 16, SurfaceSlot(IMAGE_SECOND_SET + 2 * sheet), frame * 32,
                     (n % CELLS_PER_COLUMN) * 32, 32, 32, BLT_TRANSPARENT);
      break;
    }
    case GRAPHIC_ITEM:
      DDBlt(dst, x, y, 16, 16, SurfaceSlot(IMAGE_ITEMS_SMALL), (n / CELLS_PER_COLUMN) * 32, (n % CELLS_PER_COLUMN) * 16,
            BLT_TRANSPARENT);
      break;
    case GRAPHIC_SHOT:
      DDBltStretch(dst, x, y, 16, 16, SurfaceSlot(IMAGE_SHOTS_PADDED), (n / 30) * 64, (n % 30) * 32, 32, 32,
                   BLT_TRANSPARENT);
      break;
    case GRAPHIC_EXCLUSIVE: {
      DRAWDESC d;
      SelectExclusive(d, n, frame, false);
      if (!d.lpSrc) break;
      const size_t system = static_cast<size_t>(n - 1) * 4 + 2;
      DDBltStretch(dst, x, y, 16, 16, &Off_CharaExc[system], d.sx, d.sy, 32 * d.nCellScale, 32 * d.nCellScale,
                   BLT_TRANSPARENT);
      break;
    }
    default: break;
  }
}

DWORD TransparentFillColor(const DDSURFACEDATA* sd) {
  if (g_bUseD3D && lpDTCon) return sd == &BackBuffer ? lpDTCon->dwKeyColor : lpDTCon->dwTransmit_32;
  return g_dwColorKey;
}
