#include "stage/screen_effect.h"

#include <cmath>
#include <utility>

#include "data/database.h"
#include "stage/effect_states.h"

namespace {

const cScrEffect* PreparedScrEffect(int n, int reversed) {
  const cSafeVector<cScrEffect>& list = reversed ? g_ScrEffectsRev : g_ScrEffects;
  if (n < 0 || n >= static_cast<int>(list.size())) return nullptr;
  return &list[static_cast<size_t>(n)];
}

const int32_t NO_PARAMS[5] = {};

}  // namespace

int cScrEffect::Kind() const { return m_lpDef ? m_lpDef->m_nKind : SCREFFECT_NONE; }

const int32_t* cScrEffect::Params() const { return m_lpDef ? m_lpDef->m_nParam : NO_PARAMS; }

void cScrEffect::Clear() {
  m_nEffect = 0;
  m_lpDef = nullptr;
  m_bLoop = 0;
  m_bReversed = 0;
  m_bTimer = 0;
}

void cScrEffect::Prepare(int n, int backward) {
  m_nEffect = static_cast<int16_t>(n);
  m_bTimer = 0;
  cSafeVector<cScrEffectDef>& defs = backward ? g_Database.m_ScrEffectsBack : g_Database.m_ScrEffects;
  cScrEffectDef& def = defs.At(n);
  m_lpDef = &def;
  int32_t* p = def.m_nParam;
  switch (def.m_nKind) {
    case SCREFFECT_MOVE:
      // The backward copy keeps its exchanged ends for the whole run of the program.
      if (backward) {
        std::swap(p[1], p[3]);
        std::swap(p[2], p[4]);
      }
      m_dValue = 0.0;
      m_dStep = 1.0 / 6;
      m_nKind1 = p[1];
      m_nKind2 = p[2];
      break;
    case SCREFFECT_SHAKE_X:
    case SCREFFECT_SHAKE_Y:
      m_dValue = 0.0;
      m_dValue2 = 0.0;
      m_dStep = 1.0 / 6;
      m_nKind1 = 0;
      break;
    case SCREFFECT_BLINK:
      m_dValue = 0.0;
      m_dStep = 1.0 / 6;
      m_nKind1 = m_nKind2 = 0;
      break;
    case SCREFFECT_SPLIT_X:
    case SCREFFECT_SPLIT_Y:
    case SCREFFECT_WAVE_X:
    case SCREFFECT_WAVE_Y:
    case SCREFFECT_ROTATE:
    case SCREFFECT_CIRCLE:
    case SCREFFECT_ZOOM:
    case SCREFFECT_LENS:
    case SCREFFECT_MOSAIC:
      if (backward) std::swap(p[1], p[2]);
      if (def.m_nKind == SCREFFECT_WAVE_X || def.m_nKind == SCREFFECT_WAVE_Y) m_nKind1 = 0;
      m_dValue = p[1];
      // A run time of nothing has no step; the drawing ends such an effect on its first frame.
      m_dStep = p[0] > 0 ? std::fabs(static_cast<double>(p[2]) - static_cast<double>(p[1])) / (p[0] * 6.0) : 0.0;
      if (p[1] == p[2]) {
        m_bTimer = 1;
        m_dStep = 1.0 / 6;
        m_dElapsed = 0.0;
        m_nTime = p[0];
      }
      break;
    default: break;
  }
}

void cScrEffect::CopyFrom(const cScrEffect& s) {
  m_lpDef = s.m_lpDef;
  m_dValue = s.m_dValue;
  m_dStep = s.m_dStep;
  m_dElapsed = s.m_dElapsed;
  m_nTime = s.m_nTime;
  m_nKind1 = s.m_nKind1;
  m_nKind2 = s.m_nKind2;
  m_bTimer = s.m_bTimer;
}

void cScrEffect::Start(int n, int run, int loop) {
  const cScrEffect* prepared = n > 0 ? PreparedScrEffect(n, run == 1) : nullptr;
  if (!prepared) {
    Clear();
    return;
  }
  CopyFrom(*prepared);
  // A new shake swings from the middle, not from where an earlier effect left the picture; a
  // restart in a loop keeps swinging from where it is.
  m_dValue2 = prepared->m_dValue2;
  m_bReversed = run == 1;
  m_nEffect = static_cast<int16_t>(n);
  m_nRun = run;
  m_bLoop = loop;
  m_nCounter = 0;
}

void cScrEffect::Restart() {
  if (m_nRun == 2) m_bReversed = !m_bReversed;
  if (const cScrEffect* prepared = PreparedScrEffect(m_nEffect, m_bReversed)) CopyFrom(*prepared);
  m_nCounter = 0;
}

int cScrEffect::Step(int from, int to, double speed) {
  if (m_bTimer) {
    m_dElapsed += m_dStep;
    if (m_dElapsed <= m_nTime) return 0;
  } else if (from <= to) {
    m_dValue += speed;
    if (std::trunc(m_dValue) <= to) return 0;
  } else {
    m_dValue -= speed;
    if (std::trunc(m_dValue) >= to) return 0;
  }
  if (!m_bLoop && (m_nRun != 2 || m_bReversed)) return 1;
  Restart();
  return 0;
}
