// The run of a character effect: the states prepared from each definition, starting and
// restarting from them, and one step per drawn frame.
#include <cmath>
#include <utility>

#include "data/database.h"
#include "stage/effect_states.h"

namespace {

bool IsRampKind(int kind) { return kind >= 1 && kind <= 16 && kind != 6 && kind != 14; }
bool IsBlinkKind(int kind) { return kind == 6 || kind == 14; }

// The change per frame of a ramp over p0 tenths of a second; a run time of nothing has none
// (such an effect is over on its first step).
double RampStep(int32_t from, int32_t to, int32_t p0) {
  if (p0 <= 0) return 0.0;
  return std::fabs(static_cast<double>(to) - static_cast<double>(from)) / (p0 * 6.0);
}

const cCharaEffect* Prepared(int n, int reversed) {
  const cSafeVector<cCharaEffect>& list = reversed ? g_CharaEffectsRev : g_CharaEffects;
  if (n < 0 || n >= static_cast<int>(list.size())) return nullptr;
  return &list[static_cast<size_t>(n)];
}

}  // namespace

void cCharaEffect::Clear() {
  m_nEffect = 0;
  m_lpDef = nullptr;
  m_bLoop = 0;
  m_bReversed = 0;
}

void cCharaEffect::Prepare(int n, int backward) {
  m_nEffect = static_cast<int16_t>(n);
  cSafeVector<cCharaEffectDef>& defs = backward ? g_Database.m_CharaEffectsBack : g_Database.m_CharaEffects;
  cCharaEffectDef& def = defs.At(n);
  m_lpDef = &def;
  const int kind = def.m_nKind;
  int32_t* p = def.m_nParam;
  if (IsRampKind(kind)) {
    m_nTime = p[0];
    // The backward copy keeps start and end exchanged for the whole run of the program.
    if (backward) std::swap(p[1], p[2]);
    m_nStart = p[1];
    m_nEnd = p[2];
    m_dValue = p[1];
    m_dStep = RampStep(p[1], p[2], p[0]);
    if (kind == 4 || kind == 5) m_nKind1 = 0;
  } else if (IsBlinkKind(kind)) {
    m_nStart = 0;
    m_nEnd = p[0];
    m_dValue = 0.0;
    m_dStep = 1.0 / 6;
    m_nTime = p[0];
    m_nKind1 = m_nKind2 = 0;
  }
  // Equal ends run on the timer.
  if (kind != 0 && m_nStart == m_nEnd) {
    m_dStep = 1.0 / 6;
    m_dElapsed = 0.0;
  }
}

void cCharaEffect::CopyFrom(const cCharaEffect& s) {
  m_lpDef = s.m_lpDef;
  m_nStart = s.m_nStart;
  m_nEnd = s.m_nEnd;
  m_dValue = s.m_dValue;
  m_dStep = s.m_dStep;
  m_dElapsed = s.m_dElapsed;
  m_nTime = s.m_nTime;
  m_nKind1 = s.m_nKind1;
  m_nKind2 = s.m_nKind2;
}

void cCharaEffect::Start(int n, int run, int loop) {
  const cCharaEffect* prepared = n > 0 ? Prepared(n, run == 1) : nullptr;
  if (!prepared) {
    Clear();
    return;
  }
  CopyFrom(*prepared);
  m_bReversed = run == 1;
  m_nEffect = static_cast<int16_t>(n);
  m_nRun = run;
  m_bLoop = loop;
  m_nCounter = 0;
}

void cCharaEffect::Restart() {
  if (m_nRun == 2) m_bReversed = !m_bReversed;
  if (const cCharaEffect* prepared = Prepared(m_nEffect, m_bReversed)) CopyFrom(*prepared);
  m_nCounter = 0;
}

int cCharaEffect::Step() {
  if (!m_lpDef) return 1;
  // A run time of nothing is over at once, looping or not.
  const int kind = m_lpDef->m_nKind;
  if (kind >= 1 && kind <= 16 && m_nTime <= 0) return 1;
  if (m_nStart == m_nEnd) {
    m_dElapsed += m_dStep;
    if (m_dElapsed <= m_nTime) return 0;
  } else if (m_nEnd < m_nStart) {
    m_dValue -= m_dStep;
    if (m_dValue >= m_nEnd) return 0;
  } else {
    m_dValue += m_dStep;
    if (m_dValue <= m_nEnd) return 0;
  }
  if (!m_bLoop && (m_nRun != 2 || m_bReversed)) return 1;
  Restart();
  return 0;
}
