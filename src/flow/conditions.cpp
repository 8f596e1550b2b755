// Lists of conditions and the variable, state and distance conditions.
#include "flow/conditions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "flow/stage_binding.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

// The last file version whose distance condition judged against the target's last drawn place.
constexpr int32_t LAST_VERSION_WITH_STALE_TARGET_RECT = 781;

// The running stage unless a test puts another in its place.
cFlowStage* g_lpConditionStage = nullptr;

// Owners 1-4 name the character's target slots.
bool IsSlotOwner(int owner) { return owner >= 1 && owner <= 4; }

cCharaBase* SlotChara(cCharaBase* c, int owner) { return c->m_Targets.At(owner - 1); }

enum : int { DIST_X = 0, DIST_Y = 3, DIST_BACK_Y = 5, DIST_CIRCLE = 6 };

}  // namespace

void SetConditionStage(cFlowStage* stage) { g_lpConditionStage = stage; }
cFlowStage* GetConditionStage() { return g_lpConditionStage ? g_lpConditionStage : &StageFlowBinding(); }

int CheckCondList(const cSafeVector<cCond>& conds, int mode, cCharaBase* chara) {
  if (mode == 0) {
    for (const cCond& c : conds)
      if (!CheckCond(c, chara)) return 0;
    return 1;
  }
  if (mode == 1) {
    for (const cCond& c : conds)
      if (CheckCond(c, chara)) return 1;
    return 0;
  }
  return 0;
}

int CheckCond(const cCond& cond, cCharaBase* chara) {
  switch (cond.m_cKind) {
    case COND_COMMON_VAR:
      return CompareByOperator(g_SaveData.m_CommonVars.At(cond.m_sIndex), cond.m_nValue, cond.m_cOperator);
    case COND_STAGE_VAR:
      if (!g_lpScenePlay) return 0;
      return CompareByOperator(g_lpScenePlay->m_StageVars.At(cond.m_sIndex), cond.m_nValue, cond.m_cOperator);
    case COND_CHARA_VAR:
      if (!chara) return 0;
      return CompareByOperator(chara->m_Vars.At(cond.m_sIndex), cond.m_nValue, cond.m_cOperator);
    case COND_STATUS: return chara ? CheckStatusCond(*GetConditionStage(), cond, chara) : 0;
    case COND_STATUS2: return chara ? CheckStatusCond2(cond, chara) : 0;
    case COND_STATUS3: return chara ? CheckStatusCond3(cond, chara) : 0;
    case COND_DISTANCE: return chara ? CheckDistanceCond(cond, chara) : 0;
    default: return 0;
  }
}

int CheckLatchedConds(const cSafeVector<cCond>& conds, int mode, int latchEnabled, int8_t& latched, cCharaBase* chara) {
  if (conds.empty()) return 1;
  if (latchEnabled && latched) return 1;
  if (!CheckCondList(conds, mode, chara)) return 0;
  latched = 1;
  return 1;
}

int CheckFlowCond(cFlowState& state, cCharaBase* chara) {
  if (!state.m_pFlow) return 0;
  const cFlow& f = *state.m_pFlow;
  return CheckLatchedConds(f.m_Conds, f.m_cCondMode, f.m_cCondLatch, state.m_bCondLatched, chara);
}

int CheckCharaCond(cCharaBase& chara) {
  return CheckLatchedConds(chara.m_Def.m_Conds, chara.m_Def.m_cCondMode, chara.m_Def.m_cCondLatch, chara.m_bCondLatched,
                           &chara);
}

int CheckItemCond(cItem& item) {
  cCharaBase* hero = g_Heroes.empty() ? nullptr : &g_Heroes.front();
  return CheckLatchedConds(item.m_Def.m_Conds, item.m_Def.m_cCondMode, item.m_Def.m_cCondLatch, item.m_bCondLatched,
                           hero);
}

bool CheckMapCellCond(cBlock& block) {
  // Most cells have no conditions; they hold without the latch lookup, which every block hit test
  // of every object would otherwise pay for.
  if (block.m_Conds.empty()) return true;
  cCharaBase* hero = g_Heroes.empty() ? nullptr : &g_Heroes.front();
  int8_t unlatched = 0;
  auto* cell = dynamic_cast<cMapCell*>(&block);
  int8_t& latched = cell ? cell->m_cState : unlatched;
  return CheckLatchedConds(block.m_Conds, block.CondMode(), block.CondLatch(), latched, hero) != 0;
}

int CheckStatusCond2(const cCond& cond, cCharaBase* c) {
  const int owner = cond.m_cOwner;
  int32_t a = 0;
  if (owner == 5) {
    if (cond.m_cItem == 0)
      a = g_Stage.m_nScrollModeX;
    else if (cond.m_cItem == 1)
      a = g_Stage.m_nScrollModeY;
    else
      return 0;
  } else {
    cCharaBase* o = IsSlotOwner(owner) ? SlotChara(c, owner) : c;
    if (!o) return 0;
    const cCharaDef& d = o->m_Def;
    switch (cond.m_cItem) {
      case 1: a = static_cast<uint8_t>(d.m_cTransparent); break;
      case 2: a = d.m_cFixedFacing; break;
      case 3: a = d.m_cFlight; break;
      case 4: a = d.m_cInvincible; break;
      case 5: a = d.m_cSize; break;
      case 6: a = static_cast<uint8_t>(d.m_cScrollSync); break;
      default: return 0;
    }
  }
  return CompareByOperator(a, cond.m_sIndex, cond.m_cOperator);
}

int CheckStatusCond3(const cCond& cond, cCharaBase* c) {
  const int owner = cond.m_cOwner;
  if (cond.m_cItem == 4) {
    // A character that leaves the stage is cut from every slot, so a filled slot exists.
    const int exists = IsSlotOwner(owner) ? SlotChara(c, owner) != nullptr : 1;
    return cond.m_cOperator == 1 ? !exists : exists;
  }
  cCharaBase* o = IsSlotOwner(owner) ? SlotChara(c, owner) : c;
  if (!o) return 0;
  int result = 0;
  switch (cond.m_cItem) {
    case 0: result = o->m_bRight == 0; break;
    case 1: result = o->m_bRight == 1; break;
    case 2: result = !o->m_bFly && (o->m_bRideChara || (!o->m_bJumping && !o->m_bAirborne)); break;
    case 3: result = o->m_nSide == 0 ? o->IsOnScreen() != 0 : o->m_bOnScreen != 0; break;
    default: result = 0; break;
  }
  return cond.m_cOperator == 1 ? !result : result;
}

int CheckDistanceCond(const cCond& cond, cCharaBase* c) {
  const int owner = cond.m_cOwner;
  cCharaBase* t = nullptr;
  if (owner == 0)
    t = g_Heroes.empty() ? nullptr : &g_Heroes.front();
  else if (IsSlotOwner(owner))
    t = SlotChara(c, owner);
  if (!t) return 0;
  // Kept within +-2^30 dots so that a range read from a file cannot overflow the spans worked out
  // around the character; any range that far covers the whole stage anyway.
  constexpr int64_t RANGE_LIMIT = int64_t{1} << 30;
  const int range = static_cast<int>(
      std::clamp<int64_t>(int64_t{cond.m_nValue} * 16 + cond.m_sRightIndex, -RANGE_LIMIT, RANGE_LIMIT));
  c->UpdateScreenRect();
  // Projects and replays from before the target's rectangle was refreshed here judge against the
  // place where it was last drawn.
  const int32_t replay = g_Game.PlayedReplayVersion();
  if (!g_SystemData.CompatDistanceRect() && !(replay > 0 && replay <= LAST_VERSION_WITH_STALE_TARGET_RECT))
    t->UpdateScreenRect();
  int inRange = 0;
  if (cond.m_cShape >= DIST_X && cond.m_cShape <= DIST_BACK_Y) {
    // Both sides, in front or behind, on the X axis (0-2) or the Y axis (3-5); in front is the
    // side the character faces, which on the Y axis counts as below when it faces right.
    const int vertical = cond.m_cShape >= DIST_Y;
    const int side = cond.m_cShape % 3;
    const int ifLeft = c->m_bRight ? 0 : range;
    const int ifRight = c->m_bRight ? range : 0;
    const int before = side == 0 ? range : (side == 1 ? ifLeft : ifRight);
    const int after = side == 0 ? range : (side == 1 ? ifRight : ifLeft);
    const int a = vertical ? 1 : 0;
    inRange = cStageObject::JudgeRange(
        c->m_rcScreen[a], vertical ? c->m_nDrawHeight : c->m_nDrawWidth, t->m_rcScreen[a], t->m_rcScreen[a + 2],
        vertical ? t->m_nDrawOffsetY : t->m_nDrawOffsetX, before, after, side == 0, vertical, *t);
  }
  if (cond.m_cShape == DIST_CIRCLE) {
    const double dx = (t->m_dX + t->m_nHitWidth / 2.0) - (c->m_dX + c->m_nHitWidth / 2.0);
    const double dy = (t->m_dY + t->m_nHitHeight / 2.0) - (c->m_dY + c->m_nHitHeight / 2.0);
    inRange = std::sqrt(dx * dx + dy * dy) <= range;
  }
  return (inRange && cond.m_cOperator == 0) || (!inRange && cond.m_cOperator == 1);
}
