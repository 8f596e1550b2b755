// The run of a character effect: its values prepared from the definition, and one step per
// drawn frame.
#include <cmath>

#include "data/database.h"
#include "stage/chara_base.h"

namespace {

bool IsRampKind(int kind) { return kind >= 1 && kind <= 16 && kind != 6 && kind != 14; }

}  // namespace

const cCharaEffectDef* cCharaEffect::Def() {
  if (m_nEffect <= 0) return nullptr;
  if (m_lpDef) return static_cast<const cCharaEffectDef*>(m_lpDef);
  const auto& defs = g_Database.m_CharaEffects;
  if (m_nEffect >= static_cast<int>(defs.size())) return nullptr;
  const cCharaEffectDef& def = defs[static_cast<size_t>(m_nEffect)];
  m_lpDef = &def;
  const int kind = def.m_nKind;
  const int p0 = def.m_nParam[0];
  m_nCounter = 0;
  m_nKind1 = m_nKind2 = 0;
  m_dElapsed = 0.0;
  m_nTime = p0;
  if (IsRampKind(kind)) {
    // A backward run goes from the end value to the start value.
    m_nStart = m_bReversed ? def.m_nParam[2] : def.m_nParam[1];
    m_nEnd = m_bReversed ? def.m_nParam[1] : def.m_nParam[2];
    m_dValue = m_nStart;
    m_dStep = p0 > 0 ? std::abs(m_nEnd - m_nStart) / (p0 * 6.0) : 0.0;
  } else if (kind == 6 || kind == 14) {
    m_nStart = 0;
    m_nEnd = p0;
    m_dValue = 0.0;
    m_dStep = 1.0 / 6;
  } else {
    m_nStart = m_nEnd = 0;
    m_dValue = 0.0;
    m_dStep = 0.0;
  }
  if (kind != 0 && m_nStart == m_nEnd) m_dStep = 1.0 / 6;
  return &def;
}

void cCharaEffect::Restart() {
  if (m_nRun == 2) m_bReversed = !m_bReversed;
  m_lpDef = nullptr;
  Def();
}

int cCharaEffect::Step() {
  const cCharaEffectDef* def = Def();
  if (!def) return 1;
  // A run time of nothing has no frames to show.
  if (m_nTime <= 0) return 1;
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
