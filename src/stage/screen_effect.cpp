#include "stage/screen_effect.h"

#include <cmath>
#include <utility>

#include "data/database.h"

namespace {

void Prepare(cScrEffect& e) {
  const cScrEffectDef& def = *e.m_lpDef;
  e.m_nKind = def.m_nKind;
  for (int i = 0; i < 5; ++i) e.m_nParam[i] = def.m_nParam[i];
  int* p = e.m_nParam;
  e.m_bTimer = 0;
  e.m_dElapsed = 0.0;
  e.m_nTime = p[0];
  e.m_dValue2 = 0.0;
  e.m_nKind1 = e.m_nKind2 = 0;
  switch (e.m_nKind) {
    case SCREFFECT_MOVE:
      if (e.m_bReversed) {
        std::swap(p[1], p[3]);
        std::swap(p[2], p[4]);
      }
      e.m_dValue = 0.0;
      e.m_dStep = 1.0 / 6;
      e.m_nKind1 = p[1];
      e.m_nKind2 = p[2];
      break;
    case SCREFFECT_SHAKE_X:
    case SCREFFECT_SHAKE_Y:
    case SCREFFECT_BLINK:
      e.m_dValue = 0.0;
      e.m_dStep = 1.0 / 6;
      break;
    case SCREFFECT_NONE:
      e.m_dValue = 0.0;
      e.m_dStep = 0.0;
      break;
    default:
      if (e.m_bReversed) std::swap(p[1], p[2]);
      e.m_dValue = p[1];
      e.m_dStep = p[0] > 0 ? std::abs(p[2] - p[1]) / (p[0] * 6.0) : 0.0;
      if (p[1] == p[2]) {
        e.m_bTimer = 1;
        e.m_dStep = 1.0 / 6;
      }
      break;
  }
}

}  // namespace

void cScrEffect::Clear() { *this = cScrEffect(); }

void cScrEffect::Start(int n, int run, int loop) {
  const auto& defs = g_Database.m_ScrEffects;
  if (n <= 0 || n >= static_cast<int>(defs.size())) {
    Clear();
    return;
  }
  m_lpDef = &defs[static_cast<size_t>(n)];
  m_nEffect = static_cast<int16_t>(n);
  m_nRun = run;
  m_bLoop = loop;
  m_bReversed = run == 1;
  m_nCounter = 0;
  Prepare(*this);
}

void cScrEffect::Restart() {
  if (m_nRun == 2) m_bReversed = !m_bReversed;
  m_nCounter = 0;
  if (m_lpDef) Prepare(*this);
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
