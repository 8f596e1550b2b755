// A picture shown by the picture command: one Picture.dat bitmap at one of seven placements,
// until the advance key, the stage end or the end of its time.
#pragma once

#include <cstdint>

#include "gfx/dd_types.h"

// Placements of pictures and effects.
constexpr int32_t PLACE_SCREEN_CENTRE = 0;
constexpr int32_t PLACE_CHARA = 1;
constexpr int32_t PLACE_HERO = 2;
constexpr int32_t PLACE_SCREEN_CORNER = 3;
constexpr int32_t PLACE_SCREEN_POINT = 4;
constexpr int32_t PLACE_STAGE_CORNER = 5;
constexpr int32_t PLACE_STAGE_POINT = 6;

// Duration modes.
constexpr int32_t PICTURE_UNTIL_KEY = 0;
constexpr int32_t PICTURE_UNTIL_END = 1;
constexpr int32_t PICTURE_TIMED = 2;

class cPictureObj {
 public:
  void Set(int picture, int placement, int unit, int x, int y, int offsetX, int offsetY, int imageWidth,
           int imageHeight, int fix, int front, int scale, int mode, int countdown, int countFrozen, int charaId,
           int hasId, int pictureId);
  // 1 when the picture's time is up (the caller removes it and its surface).
  int Draw(DDSURFACEDATA* dst, DDSURFACEDATA* picture, int frozen);
  // Placements 1 and 2: the top-left corner in stage dots from the followed character's centre,
  // or from its last known centre when it is gone.
  void GetPosition(int32_t* x, int32_t* y);

  int16_t m_nPicture = 0;
  int32_t m_nPlacement = 0;
  int32_t m_nUnit = 0;
  int32_t m_nX = 0;
  int32_t m_nY = 0;
  int32_t m_nOffsetX = 0;
  int32_t m_nOffsetY = 0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_bScaled = 0;
  int32_t m_bFront = 0;
  int32_t m_nMode = 0;
  int32_t m_nCharaId = 0;
  int32_t m_nCountdown = 0;
  int32_t m_bCountFrozen = 0;
  int32_t m_bFix = 0;
  int32_t m_bStored = 0;
  int32_t m_nStoredX = 0;
  int32_t m_nStoredY = 0;
  int32_t m_bHasId = 0;
  int32_t m_nPictureId = 0;
  double m_dCentreX = 0.0;
  double m_dCentreY = 0.0;

 private:
  // The screen position by placement; false for a placement or unit outside the tables.
  bool ScreenPosition(int32_t& x, int32_t& y);
};

// The size of an image at a scale in percent, rounded half away from zero, within int32.
int32_t ScaledSize(int32_t size, int32_t percent);
