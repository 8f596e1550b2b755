// One scroll axis of the play scene: where the 640 x 480 view stands on that axis, the limits it
// may not leave, the map grid's geometry along the axis and the axis's automatic scrolling.
#pragma once

#include <cstdint>

// Border of the map grid on every side of the stage, in tiles.
constexpr int32_t GRID_BORDER_TILES = 10;

class cScroll {
 public:
  // Keeps the position inside the limits and tells in the at-edge flag whether a limit was met.
  void Clamp(int unused = 0);
  // One automatic step.
  void Step();
  // `nSpeed` in 0.1 dot per frame, spread over the installed stage's sub-steps. Returns 0.
  int SetAutoScroll(int bOn, int nSpeed);
  void SetLimits(int nLowerTile, int nUpperTile, int bLower, int bUpper);
  // Axis set-up of a stage start: `nTiles` stage tiles on this axis, `nExtent` the stage's extent
  // setting in dots, `nPitchShift` the row shift of the X axis (0 for Y).
  void Setup(int nAxis, int nTiles, int nExtent, int nPitchShift);

  double m_dPos = 0.0;
  int32_t m_bAtEdge = 0;
  int32_t m_nAxis = 0;
  int32_t m_nView = 0;
  int32_t m_nLowerLimit = 0;
  int32_t m_nUpperLimit = 0;
  int32_t m_nStageStart = 0;
  int32_t m_nStageEnd = 0;
  int32_t m_nBorder = 0;
  int32_t m_nGridExtent = 0;
  int32_t m_nGridTiles = 0;
  int32_t m_nPitch = 0;
  int32_t m_nPitchShift = 0;
  double m_dAutoSpeed = 0.0;
  int32_t m_bAuto = 0;
};

// Number of binary digits of `value` (0 for 0): the grid's row pitch is 1 << BitCount(W + 19).
int32_t BitCount(uint32_t value);
