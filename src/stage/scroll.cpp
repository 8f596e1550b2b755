#include "stage/scroll.h"

#include "data/stage_file.h"

void cScroll::Clamp(int) {
  if (m_nLowerLimit >= m_dPos) {
    m_dPos = m_nLowerLimit;
    m_bAtEdge = 1;
  } else if (m_dPos + m_nView < m_nUpperLimit) {
    m_bAtEdge = 0;
  } else {
    m_dPos = m_nUpperLimit - m_nView;
    if (m_dPos < m_nLowerLimit) m_dPos = m_nLowerLimit;
    m_bAtEdge = 1;
  }
}

void cScroll::Step() {
  m_dPos += m_dAutoSpeed;
  Clamp(0);
}

int cScroll::SetAutoScroll(int bOn, int nSpeed) {
  const double dSubSteps = g_Stage.m_dSubSteps;
  if (bOn) {
    // A stage without sub-steps never steps the axis; its speed stays 0 rather than infinite.
    m_dAutoSpeed = dSubSteps > 0.0 ? nSpeed * 0.1 / dSubSteps : 0.0;
    m_bAuto = 1;
  } else {
    m_dAutoSpeed = 0.0;
    m_bAuto = 0;
  }
  return 0;
}

void cScroll::SetLimits(int nLowerTile, int nUpperTile, int bLower, int bUpper) {
  m_nLowerLimit = bLower ? m_nStageStart + 32 * nLowerTile : m_nStageStart;
  if (bUpper) {
    m_nUpperLimit = m_nStageStart + 32 * (nUpperTile + 1);
    if (m_nUpperLimit < m_nLowerLimit) m_nUpperLimit = m_nLowerLimit;
  } else {
    m_nUpperLimit = m_nStageEnd;
  }
}

void cScroll::Setup(int nAxis, int nTiles, int nExtent, int nPitchShift) {
  m_nAxis = nAxis;
  m_nView = nAxis == 0 ? 640 : 480;
  m_nBorder = GRID_BORDER_TILES;
  m_nGridExtent = nExtent + 640;
  m_nGridTiles = nTiles + 2 * GRID_BORDER_TILES;
  m_nPitchShift = nAxis == 0 ? nPitchShift : 0;
  m_nPitch = nAxis == 0 ? (1 << nPitchShift) : m_nGridTiles;
  m_nStageStart = GRID_BORDER_TILES * 32;
  m_nStageEnd = (nTiles + GRID_BORDER_TILES) * 32;
  if (m_nStageEnd < 0) m_nStageEnd = 0;
}

int32_t BitCount(uint32_t value) {
  int32_t bits = 0;
  while (value) {
    ++bits;
    value >>= 1;
  }
  return bits;
}
