// The status condition: a variable or a character or system status compared with a constant, a
// random number, another status or a variable.
#include <cstdint>

#include "core/rand_range.h"
#include "data/chara_def.h"
#include "data/flow_kinds.h"
#include "flow/conditions.h"
#include "flow/exec_status.h"
#include "flow/operate.h"
#include "flow/status_position.h"
#include "flow/status_table.h"
#include "persist/save_data.h"
#include "persist/system_data.h"

namespace {

bool IsCharaOwner(int owner) { return owner >= 0 && owner <= 4; }

// A common (0) or stage (1) variable; null for other scopes.
const int32_t* ConditionVar(cFlowStage& stage, int scope, int n) {
  if (scope == 0) return &g_SaveData.m_CommonVars.At(n);
  if (scope == 1) return &stage.StageVars().At(n);
  return nullptr;
}

// A character status of `c` as the conditions read it; false when it cannot be read.
bool ReadCharaStatus(cFlowStage& stage, cCharaBase* c, int kind, int var, int coord, int yPoint, cCharaBase* viewer,
                     int32_t* out) {
  if (kind == CSTAT_X) return GetStatusX(stage, out, c, coord, viewer) != 0;
  if (kind == CSTAT_Y) return GetStatusY(stage, out, c, coord, yPoint, viewer) != 0;
  const cStatusPlace place = CharaStatusPlace(stage, c, kind, var);
  if (!place.p) return false;
  *out = ReadStatusPlace(place);
  return true;
}

// The right-hand value; false makes the condition fail.
bool ReadRight(cFlowStage& stage, const cCond& k, cCharaBase* c, int32_t* r) {
  *r = 0;
  switch (k.m_cRightKind) {
    case RIGHT_CONSTANT: *r = k.m_nValue; return true;
    case RIGHT_RANDOM: *r = RandRange(k.m_nRandMin, k.m_nRandMax); return true;
    case RIGHT_VARIABLE:
      if (const int32_t* v = ConditionVar(stage, k.m_cRightScope, k.m_sRightIndex)) *r = *v;
      return true;
    case RIGHT_STATUS: break;
    default: return true;
  }
  const int owner = k.m_cRightOwner;
  const int kind = k.m_cRightItem;
  if (owner == OWNER_SYSTEM) {
    *r = ReadSystemStatusOperand(stage, kind, true);
    return true;
  }
  if (!IsCharaOwner(owner)) return false;
  cCharaBase* o = ResolveOwner(stage, c, owner);
  if (!o) return false;
  if (kind < 0 || kind >= CSTAT_COUNT) return true;
  if (kind == CSTAT_SIGHT && stage.Side(o) != 0) return false;
  if (kind == CSTAT_STOPPING) stage.RefreshFriction(o);
  return ReadCharaStatus(stage, o, kind, k.m_sRightIndex, k.m_cCoordR, k.m_cYPointR, c, r);
}

int CompareAtWidth(int32_t a, int32_t b, int width, int op) {
  if (width == STATUS_WIDTH_BYTE) return CompareByOperator(static_cast<int8_t>(a), static_cast<int8_t>(b), op);
  if (width == STATUS_WIDTH_SHORT) return CompareByOperator(static_cast<int16_t>(a), static_cast<int16_t>(b), op);
  return CompareByOperator(a, b, op);
}

}  // namespace

int CheckStatusCond(cFlowStage& stage, const cCond& k, cCharaBase* c) {
  int32_t r = 0;
  if (!ReadRight(stage, k, c, &r)) return 0;
  const bool percent = k.m_cRightMode != 0;
  if (k.m_cLeftKind == LEFT_VARIABLE) {
    const int32_t* v = ConditionVar(stage, k.m_cLeftScope, k.m_sIndex);
    if (!v) return 0;
    return CompareByOperator(*v, percent ? 0 : r, k.m_cOperator);
  }
  const int owner = k.m_cOwner;
  const int kind = k.m_cItem;
  if (owner == OWNER_SYSTEM) {
    int32_t* place = SystemStatusPlace(stage, kind);
    if (!place) return 0;
    if (kind == SSTAT_LIVES && *place == LIVES_INFINITE && g_SystemData.CompatLivesZero()) return 0;
    const int32_t a = ReadSystemStatusOperand(stage, kind, false);
    int32_t b = r;
    if (percent) {
      b = PercentOf(0, r);
      ClampValue(&b, g_SystemStatusTable[kind].limits.nMin, g_SystemStatusTable[kind].limits.nMax);
    }
    return CompareByOperator(a, b, k.m_cOperator);
  }
  if (!IsCharaOwner(owner) || kind < 0 || kind >= CSTAT_COUNT) return 0;
  cCharaBase* o = ResolveOwner(stage, c, owner);
  if (!o) return 0;
  int32_t a = 0;
  if (!ReadCharaStatus(stage, o, kind, k.m_sIndex, k.m_cCoordL, k.m_cYPointL, c, &a)) return 0;
  int32_t b = r;
  if (percent) {
    const int32_t base = kind == CSTAT_HP ? stage.Def(o).m_nMaxHp : (kind == CSTAT_SP ? stage.Def(o).m_nMaxSp : 0);
    b = PercentOf(base, r);
    ClampValue(&b, g_CharaStatusTable[kind].cond.nMin, g_CharaStatusTable[kind].cond.nMax);
  }
  // 8-bit and 16-bit statuses compare at their own width, the compared value narrowed with them.
  return CompareAtWidth(a, b, g_CharaStatusTable[kind].nWidth, k.m_cOperator);
}
