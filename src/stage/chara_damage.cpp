// Death and the damage bookkeeping of a character.
#include "stage/chara_base.h"

void cCharaBase::CountDownInvincible() {
  if (m_nInvincible > 0) m_nInvincible--;
  for (auto it = m_Cooldowns.begin(); it != m_Cooldowns.end();)
    it = --it->nLeft <= 0 ? m_Cooldowns.erase(it) : std::next(it);
}

int cCharaBase::Die() {
  m_bDead = 1;
  return 0;
}
