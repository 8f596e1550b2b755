// What the stage drawing keeps between frames: the background layers' auto-scroll offsets, the
// screen colour, the screen effect and the range-line colour counter.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "gfx/dd_types.h"
#include "stage/screen_effect.h"

class cChara;
class cCharaBase;

// The display layers a character or shot can be drawn on (its z order); others are drawn apart.
constexpr int DISPLAY_LAYER_COUNT = 8;
constexpr bool InLayerRange(int z) { return z >= 0 && z < DISPLAY_LAYER_COUNT; }

// A change of the whole picture's colour, held or repeated.
struct cScreenColor {
  int32_t m_bReached = 0;
  uint8_t m_cRed = 0, m_cGreen = 0, m_cBlue = 0;
  int32_t m_nPercent = 0;
  int32_t m_bRestore = 0;
  int32_t m_nDuration = 0;
  int32_t m_bBlink = 0;
  int32_t m_nBlinkCount = 0;
  int32_t m_bActive = 0;
  int32_t m_nProgress = 0;
  int32_t m_nRepetition = 0;
  int32_t m_nAlpha = 255;
  uint8_t m_cPrevRed = 0, m_cPrevGreen = 0, m_cPrevBlue = 0;
  int32_t m_nPrevPercent = 0;
  int32_t m_nPrevAlpha = 255;

  // Parameters: red, green, blue, percent, restore, duration (tenths of a second), blink, count.
  void Set(const int32_t* p);
  void Draw(int frozen);
};

struct cStageDrawState {
  cScreenColor m_ScreenColor;
  cScrEffect m_ScrEffect;
  int32_t m_nRangeCounter = 0;

  // A new stage starts with no screen effect and no colour change.
  void ResetForStage();
};

// The range lines of the characters' distance conditions.
void DrawDistanceRanges(DDSURFACEDATA* dst, int32_t& counter);
