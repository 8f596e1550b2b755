// The screen colour: the whole picture tinted toward a colour, gradually, held, repeated as a
// blink, or brought back to what it was before the last change.
#include "gfx/dd_effects.h"
#include "gfx/image_slots.h"
#include "stage/graphic_source.h"
#include "stage/stage_draw.h"
#include "stage/stage_object.h"

namespace {

void Tint(int alpha, uint8_t r, uint8_t g, uint8_t b) {
  if (alpha >= 255) return;
  if (g_bUseD3D && lpDTCon && lpDTCon->bVirtualBackBuffer) {
    // The colour change would read the very picture it draws into (the virtual back buffer is a
    // texture) and multiply instead of tinting: lay a surface of the plain colour over it. The
    // screen effect's work surface is free again once the effect has drawn this frame.
    DDSURFACEDATA* work = &g_SurfaceTable[IMAGE_WORK_A];
    DDFillRect(work, 0, 0, 640, 480, 0xFF000000u | static_cast<DWORD>(r) << 16 | static_cast<DWORD>(g) << 8 | b);
    DDBltTrans(&BackBuffer, 0, 0, 640, 480, work, 0, 0, BLT_OPAQUE, nullptr, alpha < 0 ? 0 : alpha);
    return;
  }
  if (g_bUseD3D) {
    DDChangeColor(&BackBuffer, 0, 0, 640, 480, alpha < 0 ? 0 : alpha, r, g, b);
    return;
  }
  DDBlendPalette(g_PaletteWork, 0, 255, alpha <= 0 ? 0 : alpha * 256 / 255, r, g, b, g_Palette);
  DDSetPaletteEntries(0, 256, g_PaletteWork);
}

void Untint() {
  if (g_bUseD3D) return;
  for (int i = 0; i < 256; ++i) g_PaletteWork[i] = g_Palette[i];
  DDSetPaletteEntries(0, 256, g_PaletteWork);
}

}  // namespace

void cScreenColor::Set(const int32_t* p) {
  const bool restore = p[4] != 0;
  // Nothing to go back to.
  if (restore && (g_bUseD3D ? !m_bActive : !m_bReached)) return;
  m_cPrevRed = m_cRed;
  m_cPrevGreen = m_cGreen;
  m_cPrevBlue = m_cBlue;
  m_nPrevPercent = m_nPercent;
  m_nPrevAlpha = m_nAlpha;
  m_cRed = static_cast<uint8_t>(p[0]);
  m_cGreen = static_cast<uint8_t>(p[1]);
  m_cBlue = static_cast<uint8_t>(p[2]);
  m_nPercent = p[3];
  m_bRestore = restore;
  m_nDuration = p[5] * 6;
  m_bBlink = p[6];
  m_nBlinkCount = p[7];
  m_bActive = 1;
  m_nProgress = 0;
  m_nRepetition = 0;
  if (m_nPercent == 0) {
    m_nAlpha = 0;
    m_bReached = 1;
  } else if (restore) {
    m_cRed = m_cPrevRed;
    m_cGreen = m_cPrevGreen;
    m_cBlue = m_cPrevBlue;
    m_nPercent = m_nPrevPercent;
    m_nAlpha = m_nPrevAlpha;
  }
}

void cScreenColor::Draw(int frozen) {
  if (!m_bActive) return;
  // The blit mode tints through the 8-bit palette only, and a frozen frame leaves it as it is.
  if (!g_bUseD3D && (g_nBpp != 8 || frozen)) {
    if (g_nBpp != 8) m_bActive = 0;
    return;
  }
  const double ratio = m_nDuration > 0 ? static_cast<double>(m_nProgress) / m_nDuration : 1.0;
  int alpha = 0;
  if (m_bRestore)
    alpha = m_nDuration > 0 ? TruncToInt(ratio * (255 - m_nPrevAlpha) + m_nPrevAlpha) : 255;
  else
    alpha = TruncToInt(255 - ratio * m_nPercent * 2.55);
  const bool atEnd = m_nProgress >= m_nDuration;
  if (m_bBlink && atEnd) {
    Untint();
  } else {
    Tint(alpha, m_cRed, m_cGreen, m_cBlue);
    m_nAlpha = alpha;
    if (!g_bUseD3D && alpha >= 255) Untint();
  }
  if (frozen) return;
  if (m_bBlink) {
    if (atEnd) {
      m_nProgress = 0;
      if (++m_nRepetition >= m_nBlinkCount) m_bActive = 0;
    } else {
      ++m_nProgress;
    }
    return;
  }
  if (!atEnd) {
    ++m_nProgress;
    return;
  }
  m_bReached = 1;
  // A reached change stays on the screen, unless it had no strength or went back to none. The
  // 8-bit palette keeps the blended colours by itself; blending it again every frame would undo
  // the menu colour cycling.
  if (m_bRestore || m_nPercent == 0 || !g_bUseD3D) m_bActive = 0;
}
