// The run state of a character effect, and the ready-made states of every character and screen
// effect definition (forward and backward) that starting an effect copies from.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "stage/screen_effect.h"

class cCharaEffectDef;

// The character effect being shown; effect number 0 = none.
struct cCharaEffect {
  int16_t m_nEffect = 0;
  const cCharaEffectDef* m_lpDef = nullptr;
  int32_t m_nRun = 0;  // 0 forward, 1 backward, 2 forward then backward
  int32_t m_bLoop = 0;
  int32_t m_bReversed = 0;
  int32_t m_nCounter = 0;
  int32_t m_nStart = 0;
  int32_t m_nEnd = 0;
  double m_dValue = 0.0;
  double m_dStep = 0.0;
  double m_dElapsed = 0.0;  // tenths of a second, when start and end are equal
  int32_t m_nTime = 0;
  int32_t m_nKind1 = 0;
  int32_t m_nKind2 = 0;

  // No effect (a character being built).
  void Clear();
  // Fills the state from definition n of the database's list, or of its backward copy.
  void Prepare(int n, int backward);
  // The prepared values only: not the number, run type, loop, reversed flag or counter.
  void CopyFrom(const cCharaEffect& prepared);
  // A number without a prepared state starts nothing.
  void Start(int n, int run, int loop);
  void Restart();
  // One drawn frame: 1 when the effect is over.
  int Step();
  // The running definition (the backward copy's for a backward run); null without an effect.
  const cCharaEffectDef* Def() const { return m_nEffect != 0 ? m_lpDef : nullptr; }
};

extern cSafeVector<cCharaEffect> g_CharaEffects;
extern cSafeVector<cCharaEffect> g_CharaEffectsRev;
extern cSafeVector<cScrEffect> g_ScrEffects;
extern cSafeVector<cScrEffect> g_ScrEffectsRev;

// After the database is loaded: the backward copies of the two definition lists, then the
// prepared states of every definition.
void PrepareEffectStates();
