#include "stage/picture_obj.h"

#include <algorithm>
#include <cmath>

#include "gfx/dd.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/scene_play.h"
#include "stage/scroll.h"
#include "stage/stage_object.h"

namespace {

double ScrollPos(int axis) {
  if (!g_lpScenePlay) return 0.0;
  return axis == 0 ? g_lpScenePlay->m_ScrollX.m_dPos : g_lpScenePlay->m_ScrollY.m_dPos;
}

// One axis of placements 3 to 6: `v` the command's X or Y, `size` the drawn width or height.
bool PlaceOnAxis(int placement, int unit, int32_t v, int32_t offset, int32_t size, double scroll, int32_t& out) {
  const int64_t half = size >> 1;
  const int64_t margin = GRID_BORDER_TILES;
  if (unit != 0 && unit != 1) return false;
  switch (placement) {
    case PLACE_SCREEN_CORNER:
      out = static_cast<int32_t>(
          std::clamp<int64_t>(unit == 0 ? int64_t{v} * 32 + offset : int64_t{v} + offset, INT32_MIN, INT32_MAX));
      return true;
    case PLACE_SCREEN_POINT:
      out = static_cast<int32_t>(std::clamp<int64_t>(
          unit == 0 ? int64_t{v} * 32 - half + 16 + offset : int64_t{v} - half + offset, INT32_MIN, INT32_MAX));
      return true;
    case PLACE_STAGE_CORNER:
      out = unit == 0 ? TruncToInt(static_cast<double>((margin + v) * 32 + offset) - scroll)
                      : TruncToInt(static_cast<double>(margin * 32 + offset + v) - scroll);
      return true;
    case PLACE_STAGE_POINT:
      out = unit == 0 ? TruncToInt(static_cast<double>((margin + v) * 32 - half + 16 + offset) - scroll)
                      : TruncToInt(static_cast<double>(margin * 32 - half + offset + v) - scroll);
      return true;
    default: return false;
  }
}

}  // namespace

int32_t ScaledSize(int32_t size, int32_t percent) {
  const double v = std::round(static_cast<double>(int64_t{size} * percent) / 100.0);
  return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

void cPictureObj::Set(int picture, int placement, int unit, int x, int y, int offsetX, int offsetY, int imageWidth,
                      int imageHeight, int fix, int front, int scale, int mode, int countdown, int countFrozen,
                      int charaId, int hasId, int pictureId) {
  m_nPicture = static_cast<int16_t>(picture);
  m_nPlacement = placement;
  m_nUnit = unit;
  m_nX = x;
  m_nY = y;
  m_nOffsetX = offsetX;
  m_nOffsetY = offsetY;
  m_nWidth = ScaledSize(imageWidth, scale);
  m_nHeight = ScaledSize(imageHeight, scale);
  m_bScaled = scale != 100 ? 1 : 0;
  m_bFix = fix;
  m_bFront = front;
  m_nMode = mode;
  m_nCountdown = countdown;
  m_bCountFrozen = countFrozen;
  m_nCharaId = charaId;
  m_bHasId = hasId;
  m_nPictureId = pictureId;
  m_bStored = 0;
  m_nStoredX = m_nStoredY = 0;
}

void cPictureObj::GetPosition(int32_t* x, int32_t* y) {
  if (cCharaBase* c = FindCharaById(m_nCharaId)) {
    m_dCentreX = c->m_dX + (c->m_nHitWidth >> 1);
    m_dCentreY = c->m_dY + (c->m_nHitHeight >> 1);
  }
  *x = TruncToInt(m_dCentreX - (m_nWidth >> 1)) + m_nOffsetX;
  *y = TruncToInt(m_dCentreY - (m_nHeight >> 1)) + m_nOffsetY;
}

bool cPictureObj::ScreenPosition(int32_t& x, int32_t& y) {
  const double sx = ScrollPos(0), sy = ScrollPos(1);
  switch (m_nPlacement) {
    case PLACE_SCREEN_CENTRE:
      x = 320 + m_nOffsetX - (m_nWidth >> 1);
      y = 240 + m_nOffsetY - (m_nHeight >> 1);
      return true;
    case PLACE_CHARA:
    case PLACE_HERO:
      // Older files let the picture follow its character; newer ones keep the stage spot the
      // command worked out.
      if (g_SystemData.CompatPictureFollow()) GetPosition(&m_nX, &m_nY);
      x = m_nX - TruncToInt(sx);
      y = m_nY - TruncToInt(sy);
      return true;
    default:
      return PlaceOnAxis(m_nPlacement, m_nUnit, m_nX, m_nOffsetX, m_nWidth, sx, x) &&
             PlaceOnAxis(m_nPlacement, m_nUnit, m_nY, m_nOffsetY, m_nHeight, sy, y);
  }
}

int cPictureObj::Draw(DDSURFACEDATA* dst, DDSURFACEDATA* picture, int frozen) {
  if (m_nMode == PICTURE_TIMED && (m_bCountFrozen || !frozen)) {
    if (--m_nCountdown < 0) return 1;
  }
  int32_t x = 0, y = 0;
  // A placement or unit outside the tables has no position: nothing is drawn.
  if (!ScreenPosition(x, y)) return 0;
  const double sx = ScrollPos(0), sy = ScrollPos(1);
  const bool screenPlaced =
      m_nPlacement == PLACE_SCREEN_CENTRE || m_nPlacement == PLACE_SCREEN_CORNER || m_nPlacement == PLACE_SCREEN_POINT;
  if (screenPlaced != (m_bFix != 0)) {
    // Screen placements stick to their stage spot unless fixed; anchored ones stay on the screen
    // when fixed.
    if (!m_bStored) {
      m_bStored = 1;
      m_nStoredX = screenPlaced ? TruncToInt(sx + 0.5 + x) : x;
      m_nStoredY = screenPlaced ? TruncToInt(sy + 0.5 + y) : y;
    } else if (screenPlaced) {
      x = TruncToInt(m_nStoredX - (sx - 0.5));
      y = TruncToInt(m_nStoredY - (sy - 0.5));
    } else {
      x = m_nStoredX;
      y = m_nStoredY;
    }
  }
  if (!picture || !dst) return 0;
  if (m_bScaled)
    DDBltStretch(dst, x, y, m_nWidth, m_nHeight, picture, 0, 0, picture->nWidth, picture->nHeight, BLT_TRANSPARENT);
  else
    DDBlt(dst, x, y, m_nWidth, m_nHeight, picture, 0, 0, BLT_TRANSPARENT);
  return 0;
}
