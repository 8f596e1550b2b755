#include "flow/exec_status.h"

#include <algorithm>
#include <cstdint>

#include "core/rand_range.h"
#include "data/chara_def.h"
#include "data/flow_command.h"
#include "flow/operate.h"
#include "flow/status_position.h"
#include "flow/status_table.h"
#include "persist/save_data.h"

namespace {

enum : int { HPSP_NORMAL = 0, HPSP_PERCENT_OF_MAX, HPSP_PERCENT_OF_CURRENT };

// A common (scope 0) or stage (scope 1) variable; null for other scopes and empty lists. A bad
// number goes through the checked access.
int32_t* ScopedVar(cFlowStage& stage, int scope, int n) {
  cSafeVector<int32_t>* vars = scope == 0 ? &g_SaveData.m_CommonVars : (scope == 1 ? &stage.StageVars() : nullptr);
  if (!vars || vars->empty()) return nullptr;
  return &vars->At(n);
}

void OperatePlace(const cStatusPlace& place, int32_t operand, int op, const cStatusLimits& lim) {
  switch (place.nWidth) {
    case STATUS_WIDTH_BYTE: OperateByte(static_cast<int8_t*>(place.p), operand, op, lim.nMin, lim.nMax); break;
    case STATUS_WIDTH_SHORT: OperateShort(static_cast<int16_t*>(place.p), operand, op, lim.nMin, lim.nMax); break;
    default: OperateValue(static_cast<int32_t*>(place.p), operand, op, lim.nMin, lim.nMax); break;
  }
}

// The right operand; false ends the command without change.
bool ReadRightOperand(cFlowStage& stage, cCharaBase* e, const cSafeVector<int32_t>& p, int32_t* r) {
  *r = 0;
  switch (p.At(STP_RIGHT_TYPE)) {
    case RIGHT_CONSTANT: *r = p.At(STP_CONSTANT); return true;
    case RIGHT_RANDOM: *r = RandRange(p.At(STP_RAND_A), p.At(STP_RAND_B)); return true;
    case RIGHT_VARIABLE: {
      if (int32_t* var = ScopedVar(stage, p.At(STP_RIGHT_SCOPE), p.At(STP_RIGHT_VAR))) *r = *var;
      return true;
    }
    case RIGHT_STATUS: break;
    default: return true;
  }
  const int owner = p.At(STP_RIGHT_OWNER);
  const int kind = p.At(STP_RIGHT_KIND);
  if (owner == OWNER_SYSTEM) {
    *r = ReadSystemStatusOperand(stage, kind, true);
    return true;
  }
  cCharaBase* c = ResolveOwner(stage, e, owner);
  if (!c) return false;
  switch (kind) {
    case CSTAT_X: return GetStatusX(stage, r, c, p.At(STP_RIGHT_COORD), e) != 0;
    case CSTAT_Y: return GetStatusY(stage, r, c, p.At(STP_RIGHT_COORD), p.At(STP_RIGHT_YPOINT), e) != 0;
    case CSTAT_SIGHT:
      if (stage.Side(c) != 0) return false;
      break;
    case CSTAT_STOPPING: stage.RefreshFriction(c); break;
    default: break;
  }
  cStatusPlace place = CharaStatusPlace(stage, c, kind, p.At(STP_RIGHT_VAR));
  if (kind == CSTAT_VAR && !place.p) return false;
  *r = ReadStatusPlace(place);
  return true;
}

void ChangeSystemStatus(cFlowStage& stage, const cSafeVector<int32_t>& p, int32_t r) {
  const int kind = p.At(STP_LEFT_KIND);
  int32_t* v = SystemStatusPlace(stage, kind);
  if (!v) return;
  if (kind == SSTAT_LIVES && *v == LIVES_INFINITE) return;
  int32_t operand = (p.At(STP_PERCENT) & 0xFF) ? PercentOf(*v, r) : r;
  const cStatusLimits& lim = g_SystemStatusTable[kind].limits;
  OperateValue(v, operand, p.At(STP_OPERATION), lim.nMin, lim.nMax);
  AfterSystemStatusChange(stage, kind);
}

// HP or SP: the operand by the HP / SP calculation, the change handed to AddHp / AddSp.
void ChangeHpSp(cFlowStage& stage, cCharaBase* c, const cSafeVector<int32_t>& p, int32_t r, bool bHp) {
  const int32_t old = bHp ? stage.Hp(c) : stage.Sp(c);
  const int32_t maximum = bHp ? stage.Def(c).m_nMaxHp : stage.Def(c).m_nMaxSp;
  int32_t now = old;
  switch (p.At(STP_HPSP_CALC)) {
    case HPSP_NORMAL: OperateValue(&now, r, p.At(STP_OPERATION), 0, 999999); break;
    case HPSP_PERCENT_OF_MAX: OperateValue(&now, PercentOf(maximum, r), p.At(STP_OPERATION), 0, 999999); break;
    case HPSP_PERCENT_OF_CURRENT: OperateValue(&now, PercentOf(old, r), p.At(STP_OPERATION), 0, 999999); break;
    default: break;
  }
  if (bHp)
    stage.AddHp(c, SaturatedDelta(now, old), 1, p.At(STP_GAUGE));
  else
    stage.AddSp(c, SaturatedDelta(now, old), p.At(STP_GAUGE));
}

// X and Y start from 0 in the relative mode (the warp moves by the result) and from the
// character's own reading in the absolute and screen modes, so that adding moves it by the
// operand in every mode.
void ChangePosition(cFlowStage& stage, cCharaBase* e, cCharaBase* c, const cSafeVector<int32_t>& p, int32_t r,
                    bool bX) {
  const int mode = p.At(STP_LEFT_COORD);
  const int point = p.At(STP_LEFT_YPOINT);
  int32_t v = 0;
  if (mode != POS_MODE_RELATIVE) {
    if (bX)
      GetStatusX(stage, &v, c, mode, e);
    else
      GetStatusY(stage, &v, c, mode, point, e);
  }
  int32_t operand = (p.At(STP_PERCENT) & 0xFF) ? PercentOf(v, r) : r;
  const cStatusLimits& lim = g_CharaStatusTable[bX ? CSTAT_X : CSTAT_Y].cmd;
  OperateValue(&v, operand, p.At(STP_OPERATION), lim.nMin, lim.nMax);
  if (bX)
    SetStatusX(stage, v, c, mode);
  else
    SetStatusY(stage, v, c, mode, point);
}

void ChangeCharaStatus(cFlowStage& stage, cCharaBase* e, cCharaBase* c, const cSafeVector<int32_t>& p, int32_t r) {
  const int kind = p.At(STP_LEFT_KIND);
  switch (kind) {
    case CSTAT_HP:
    case CSTAT_SP: ChangeHpSp(stage, c, p, r, kind == CSTAT_HP); return;
    case CSTAT_X:
    case CSTAT_Y: ChangePosition(stage, e, c, p, r, kind == CSTAT_X); return;
    case CSTAT_SIGHT:
      if (stage.Side(c) != 0) return;
      break;
    default:
      if (kind < 0 || kind >= CSTAT_COUNT) return;
      break;
  }
  cStatusPlace place = CharaStatusPlace(stage, c, kind, p.At(STP_LEFT_VAR));
  if (!place.p) return;
  int32_t operand = (p.At(STP_PERCENT) & 0xFF) ? PercentOf(ReadStatusPlace(place), r) : r;
  OperatePlace(place, operand, p.At(STP_OPERATION), g_CharaStatusTable[kind].cmd);
  cCharaDef& def = stage.Def(c);
  switch (kind) {
    case CSTAT_MAX_HP: stage.Hp(c) = std::min(stage.Hp(c), def.m_nMaxHp); break;
    case CSTAT_MAX_SP: stage.Sp(c) = std::min(stage.Sp(c), def.m_nMaxSp); break;
    case CSTAT_SIGHT: stage.SetSightRadius(c, def.m_cSightRange * HBL_DOTS); break;
    case CSTAT_STOPPING: stage.RefreshFriction(c); break;
    default: break;
  }
}

}  // namespace

cCharaBase* ResolveOwner(cFlowStage& stage, cCharaBase* e, int owner) {
  if (owner == OWNER_SELF) return e;
  if (owner >= 1 && owner <= 4 && e) return stage.Target(e, owner - 1);
  return nullptr;
}

void ExecStatus(cFlowStage& stage, cCharaBase* e, const cFlowCommand& command) {
  const cSafeVector<int32_t>& p = command.m_Params;
  if (static_cast<int>(p.size()) < STP_COUNT) return;
  int32_t r = 0;
  if (!ReadRightOperand(stage, e, p, &r)) return;

  if (p.At(STP_LEFT_CLASS) == LEFT_VARIABLE) {
    int32_t* v = ScopedVar(stage, p.At(STP_LEFT_SCOPE), p.At(STP_LEFT_VAR));
    if (!v) return;
    int32_t operand = (p.At(STP_PERCENT) & 0xFF) ? PercentOf(*v, r) : r;
    const cStatusLimits& lim = g_CharaStatusTable[CSTAT_VAR].cmd;
    OperateValue(v, operand, p.At(STP_OPERATION), lim.nMin, lim.nMax);
    return;
  }
  if (p.At(STP_LEFT_CLASS) != LEFT_STATUS) return;
  if (p.At(STP_LEFT_OWNER) == OWNER_SYSTEM) {
    ChangeSystemStatus(stage, p, r);
    return;
  }
  cCharaBase* c = ResolveOwner(stage, e, p.At(STP_LEFT_OWNER));
  if (!c) return;
  if (p.At(STP_SKIP_INVINCIBLE) && stage.IsInvincible(c)) return;
  ChangeCharaStatus(stage, e, c, p, r);
  const int kind = p.At(STP_LEFT_KIND);
  if ((kind == CSTAT_HP || kind == CSTAT_MAX_HP) && c != e && stage.Hp(c) <= 0) stage.RequestHpCheck();
}
