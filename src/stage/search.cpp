#include "stage/search.h"

#include <cstdlib>

#include "data/stage_file.h"

namespace {

struct Filter {
  int byId, charaId, byVar, varNo, value, op, excludeIdOn, excl1, excl2, exclBlock, excludedId;

  bool Passes(const cCharaBase& c) const {
    if (byId && c.m_Def.m_cCharaId != charaId) return false;
    if (c.m_bDead) return false;
    if (excludeIdOn && c.m_nId == excludedId) return false;
    if (excl1 && c.m_Def.m_cInvincible == 1) return false;
    if (excl2 && c.m_Def.m_cInvincible == 2) return false;
    if (exclBlock && c.m_Def.m_cBlockChara) return false;
    if (byVar && !CompareValue(const_cast<cCharaBase&>(c).m_Vars.At(varNo), value, op)) return false;
    return true;
  }
};

double CentreX(const cCharaBase& c) { return c.m_rcScreen[0] + (c.m_nDrawWidth >> 1); }
double CentreY(const cCharaBase& c) { return c.m_rcScreen[1] + (c.m_nDrawHeight >> 1); }

cCharaBase* Nearest(double x, double y, const cSafeList<cCharaBase*>& list, const Filter& f, int onScreen) {
  cCharaBase* best = nullptr;
  double bestDistance = 0;
  for (cCharaBase* c : list) {
    if (!c || !c->m_bActive || !f.Passes(*c)) continue;
    if (onScreen >= 0 && (c->m_bOnScreen != 0) != (onScreen != 0)) continue;
    const double d = std::abs(CentreX(*c) - x) + std::abs(CentreY(*c) - y);
    if (!best || d < bestDistance) {
      best = c;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace

int CompareValue(int v, int value, int op) {
  // The magnitude in 64 bits: |INT_MIN| does not fit an int.
  const int64_t mag = std::llabs(static_cast<int64_t>(v));
  switch (op) {
    case 0: return v == value;
    case 1: return v != value;
    case 2: return v >= value;
    case 3: return v <= value;
    case 4: return v > value;
    case 5: return v < value;
    case 6: return value == 0 || mag % value == 0;
    case 7: return value != 0 && mag % value != 0;
    default: return 0;
  }
}

cCharaBase* FindCharaByCond(const cSafeList<cCharaBase*>& list, int byId, int charaId, int byVar, int varNo, int value,
                            int op, int excludeIdOn, int excl1, int excl2, int exclBlock, int excludedId) {
  const Filter f{byId, charaId, byVar, varNo, value, op, excludeIdOn, excl1, excl2, exclBlock, excludedId};
  for (cCharaBase* c : list)
    if (c && f.Passes(*c)) return c;
  return nullptr;
}

cCharaBase* FindLinkedCharaByCond(const cSafeVector<TARGETLINK>& links, int kind, int faction, int anyFaction, int byId,
                                  int charaId, int byVar, int varNo, int value, int op, int excludeIdOn, int excl1,
                                  int excl2, int exclBlock, int excludedId) {
  const Filter f{byId, charaId, byVar, varNo, value, op, excludeIdOn, excl1, excl2, exclBlock, excludedId};
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    const cCharaBase* c = it->pChara;
    if (it->nSlot == kind && c && (anyFaction || c->m_nLayer == faction) && f.Passes(*c)) return it->pChara;
  }
  return nullptr;
}

cCharaBase* FindNearestChara(double x, double y, const cSafeList<cCharaBase*>& list, int mode, int byId, int charaId,
                             int byVar, int varNo, int value, int op, int excludeIdOn, int excl1, int excl2,
                             int exclBlock, int excludedId) {
  const Filter f{byId, charaId, byVar, varNo, value, op, excludeIdOn, excl1, excl2, exclBlock, excludedId};
  switch (mode) {
    case 1: return Nearest(x, y, list, f, -1);
    case 2: return Nearest(x, y, list, f, 1);
    case 0:
      if (cCharaBase* c = Nearest(x, y, list, f, 1)) return c;
      return Nearest(x, y, list, f, 0);
    default: return nullptr;
  }
}

cCharaBase* FindNearestCharaDefault(double x, double y, const cSafeList<cCharaBase*>& list) {
  return FindNearestChara(x, y, list, g_Stage.m_nTargetFlag ? 2 : 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0);
}

cCharaBase* FindNearestCharaToCentre(const cStageObject& obj, const cSafeList<cCharaBase*>& list) {
  return FindNearestCharaDefault(obj.m_rcScreen[0] + (obj.m_nDrawWidth >> 1),
                                 obj.m_rcScreen[1] + (obj.m_nDrawHeight >> 1), list);
}
