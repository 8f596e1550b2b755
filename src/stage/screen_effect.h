// The screen effect a stage runs (move, shake, split, wave, blink, rotation, circle, zoom, lens,
// mosaic over the whole drawn frame): its run state, started from a ScrEffect.dat definition.
#pragma once

#include <cstdint>

class cScrEffectDef;

constexpr int SCREFFECT_NONE = 0;
constexpr int SCREFFECT_MOVE = 1;
constexpr int SCREFFECT_SHAKE_X = 2;
constexpr int SCREFFECT_SHAKE_Y = 3;
constexpr int SCREFFECT_SPLIT_X = 4;
constexpr int SCREFFECT_SPLIT_Y = 5;
constexpr int SCREFFECT_WAVE_X = 6;
constexpr int SCREFFECT_WAVE_Y = 7;
constexpr int SCREFFECT_BLINK = 8;
constexpr int SCREFFECT_ROTATE = 9;
constexpr int SCREFFECT_CIRCLE = 10;
constexpr int SCREFFECT_ZOOM = 11;
constexpr int SCREFFECT_LENS = 12;
constexpr int SCREFFECT_MOSAIC = 13;
constexpr int SCREFFECT_KIND_COUNT = 14;

struct cScrEffect {
  int16_t m_nEffect = 0;
  const cScrEffectDef* m_lpDef = nullptr;
  int32_t m_nRun = 0;  // 0 forward, 1 backward, 2 forward then backward
  int32_t m_bLoop = 0;
  int32_t m_bReversed = 0;
  int32_t m_nCounter = 0;
  double m_dValue = 0.0;
  double m_dValue2 = 0.0;  // the shakes' displacement
  double m_dStep = 0.0;
  int32_t m_nKind1 = 0;  // move: the start point; others: phase or counter
  int32_t m_nKind2 = 0;  // move: the start point; blink: the toggle
  int32_t m_bTimer = 0;
  double m_dElapsed = 0.0;
  int32_t m_nTime = 0;

  // No effect: number, definition, loop, reversed flag and timer mode are cleared, the rest
  // keeps its values.
  void Clear();
  // Fills the state from definition n of the database's list, or of its backward copy.
  void Prepare(int n, int backward);
  // The prepared values only: not the number, run type, loop, reversed flag or counter.
  void CopyFrom(const cScrEffect& prepared);
  // Starts definition n (run type 0 forward, 1 backward, 2 back and forth); a number without a
  // prepared state starts nothing.
  void Start(int n, int run, int loop);
  void Restart();
  // One frame, moving the value from `from` toward `to` by `speed`: 1 when the run is over.
  int Step(int from, int to, double speed);

  // The running definition's kind and parameters (the backward copy's for a backward run); none
  // and zeros without a definition.
  int Kind() const;
  const int32_t* Params() const;
};
