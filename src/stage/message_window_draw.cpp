// One frame of a message window: its countdown, the refresh of its variables, its place on the
// screen and its picture.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "gfx/dd.h"
#include "gfx/font.h"
#include "gfx/image_slots.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/graphic_source.h"
#include "stage/message_window.h"
#include "stage/scene_play.h"
#include "stage/scroll.h"
#include "stage/stage_globals.h"

namespace {

constexpr int64_t GRID_BORDER_DOTS = 10 * 32;
constexpr int STATUS_LINE_HEIGHT = 20;
// The pictures rise a quarter dot a frame over their 30 frames.
constexpr int RISE_FRAMES = 30;
constexpr int ICON_CELL_X = 0, ICON_CELL_Y = 48;
constexpr double APPEAR_FRAMES = 10.0;

int SaturatingTrunc(double v) {
  if (!(v == v)) return 0;
  return static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0));
}

int ToInt(int64_t v) {
  return static_cast<int>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

bool cMessageWindow::Place(int& x, int& y) {
  const double sx = ScrollX().m_dPos;
  const double sy = ScrollY().m_dPos;
  const int64_t w = m_nWidth, h = m_nHeight;
  const int64_t offX = m_nOffsetX, offY = m_nOffsetY;
  if (m_nPlacement >= 1 && m_nPlacement <= 6) {
    const cCharaBase* c = FindCharaById(m_nCharaId);
    if (!c) return false;
    const int64_t cx = SaturatingTrunc(c->m_dX - SaturatingTrunc(sx));
    const int64_t cy = SaturatingTrunc(c->m_dY - SaturatingTrunc(sy));
    x = ToInt(cx + c->m_nDrawWidth / 2 + offX - w / 2 - c->m_nDrawOffsetX);
    switch (m_nPlacement) {
      case 1:
      case 4: y = ToInt(cy - c->m_nDrawOffsetY - h + offY); break;
      case 2:
      case 5: y = ToInt(cy + c->m_nDrawHeight - c->m_nDrawOffsetY + 1 + offY); break;
      default: y = ToInt(cy + c->m_nDrawHeight / 2 - h / 2 - c->m_nDrawOffsetY + offY); break;
    }
    return true;
  }
  const int64_t block = m_nUnit == 0 ? 32 : 1;
  const int64_t centre = m_nUnit == 0 ? 16 : 0;
  switch (m_nPlacement) {
    case 0:
      x = ToInt(offX - w / 2 + 320);
      y = ToInt(offY - h / 2 + 240);
      break;
    case 7:
    case 8:
      x = ToInt(offX + m_nPosX * block);
      y = ToInt(offY + m_nPosY * block);
      if (m_nPlacement == 8) {
        x = ToInt(int64_t{x} - w / 2 + centre);
        y = ToInt(int64_t{y} - h / 2 + centre);
      }
      break;
    case 9:
    case 10: {
      // In stage dots, counted from the grid's border.
      const double px = static_cast<double>(GRID_BORDER_DOTS + m_nPosX * block + offX);
      const double py = static_cast<double>(GRID_BORDER_DOTS + m_nPosY * block + offY);
      x = SaturatingTrunc(px - sx);
      y = SaturatingTrunc(py - sy);
      if (m_nPlacement == 10) {
        x = ToInt(int64_t{x} - w / 2 + centre);
        y = ToInt(int64_t{y} - h / 2 + centre);
      }
      break;
    }
    default:
      // Placements the editor does not make leave the window where it was.
      x = m_nX;
      y = m_nY;
      return true;
  }
  return true;
}

void cMessageWindow::Refresh() {
  std::string text = m_strTemplate;
  InsertVariables(text);
  if (text == m_strText) return;
  m_strText = text;
  int w = 0, h = 0;
  MeasureText(w, h, m_strText);
  if (w != m_nWidth || h != m_nHeight) {
    m_nWidth = w;
    m_nHeight = h;
    if (!RecreateSurface()) return;
  }
  RenderText();
}

int cMessageWindow::Draw(DDSURFACEDATA* dst, int frozen) {
  // A window of f frames is drawn f + 1 times: it ends on the call that finds its count already
  // below 0.
  if (m_nDuration == MSGWIN_TIMED && (!frozen || m_bCountFrozen)) {
    if (m_nRemaining-- < 0) {
      ReleaseSurface();
      return 1;
    }
  }
  if (m_bRefresh && m_nRefreshPeriod > 0 && m_nKind == MSGWIN_TEXT && m_bVariables && g_lpScenePlay &&
      g_lpScenePlay->m_nFrameCounter % m_nRefreshPeriod == 0)
    Refresh();

  int x = m_nX, y = m_nY;
  const bool placed = m_nPlacement >= 0 && m_nPlacement <= MSGWIN_PLACEMENT_LAST;
  if (!Place(x, y)) {
    // A text over a character that has gone goes with it; a picture stays where it was.
    if (m_nKind == MSGWIN_TEXT) {
      ReleaseSurface();
      return 1;
    }
    x = m_nX;
    y = m_nY;
  } else if (placed) {
    const bool screenPlacement = m_nPlacement == 0 || m_nPlacement == 7 || m_nPlacement == 8;
    const double sx = ScrollX().m_dPos, sy = ScrollY().m_dPos;
    if (screenPlacement && !m_bFixed) {
      // Put down in the stage at its first place, then carried along by the scrolling.
      if (!m_bLatched) {
        m_bLatched = 1;
        m_nLatchedX = ToInt(int64_t{x} + SaturatingTrunc(sx + 0.5));
        m_nLatchedY = ToInt(int64_t{y} + SaturatingTrunc(sy + 0.5));
      }
      x = SaturatingTrunc(m_nLatchedX - (sx - 0.5));
      y = SaturatingTrunc(m_nLatchedY - (sy - 0.5));
    } else if (!screenPlacement && m_bFixed) {
      if (!m_bLatched) {
        m_bLatched = 1;
        m_nLatchedX = x;
        m_nLatchedY = y;
      }
      x = m_nLatchedX;
      y = m_nLatchedY;
    }
    if (m_bKeepInside) {
      if (x < 0) x = 0;
      if (int64_t{x} + m_nWidth > 638) x = 640 - m_nWidth;
      if (y < STATUS_LINE_HEIGHT) y = STATUS_LINE_HEIGHT;
      if (int64_t{y} + m_nHeight > 478) y = 480 - m_nHeight;
    }
  }
  m_nX = x;
  m_nY = y;

  const int rise = (RISE_FRAMES - m_nRemaining) / 4;
  switch (m_nKind) {
    case MSGWIN_TEXT: {
      if (!m_lpSurface) return 0;
      if (m_lpSurface->bLost) RenderText();
      if (m_strText.empty()) return 0;
      if (m_bAppear) {
        m_dAppear += 1.0;
        if (m_dAppear < APPEAR_FRAMES) {
          if (m_bBox) {
            const double s = m_dAppear * 0.1;
            const int w = SaturatingTrunc(s * m_nWidth), h = SaturatingTrunc(s * m_nHeight);
            g_Fonts[1].DrawBox(dst, x + m_nWidth / 2 - w / 2, y + m_nHeight / 2 - h / 2, w, h);
          }
          return 0;
        }
        m_bAppear = 0;
      }
      DDBlt(dst, x, y, m_lpSurface->nWidth, m_lpSurface->nHeight, m_lpSurface, 0, 0, 1);
      break;
    }
    case MSGWIN_GRAPHIC: DrawGraphicHalf(dst, x, y - rise, m_nGraphicKind, m_nGraphicNo, m_nGraphicFrame); break;
    case MSGWIN_ICON:
      DDBlt(dst, x, y - rise, 16, 16, &g_SurfaceTable[IMAGE_ACCESSORY_SHEET], ICON_CELL_X, ICON_CELL_Y, 1);
      break;
    default: break;
  }
  return 0;
}
