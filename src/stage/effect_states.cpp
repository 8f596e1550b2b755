#include "stage/effect_states.h"

#include "data/database.h"

cSafeVector<cCharaEffect> g_CharaEffects;
cSafeVector<cCharaEffect> g_CharaEffectsRev;
cSafeVector<cScrEffect> g_ScrEffects;
cSafeVector<cScrEffect> g_ScrEffectsRev;

void PrepareEffectStates() {
  // The backward copies are rewritten by the preparation (start and end exchanged); the
  // database's own records never are.
  g_Database.m_CharaEffectsBack.assign(g_Database.m_CharaEffects.begin(), g_Database.m_CharaEffects.end());
  g_Database.m_ScrEffectsBack.assign(g_Database.m_ScrEffects.begin(), g_Database.m_ScrEffects.end());
  g_CharaEffects.clear();
  g_CharaEffectsRev.clear();
  g_ScrEffects.clear();
  g_ScrEffectsRev.clear();
  BuildCharaEffectStates(g_CharaEffects, g_CharaEffectsRev);
  BuildScrEffectStates(g_ScrEffects, g_ScrEffectsRev);
}
