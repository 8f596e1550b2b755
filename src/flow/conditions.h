// Conditions: lists of variable, status, state and distance tests that guard flows, characters,
// items and blocks, with the latch that keeps a list true once it has held.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/cond.h"
#include "flow/flow_stage.h"
#include "stage/flow_hooks.h"

class cCharaBase;
class cBlock;
class cItem;

// Mode 0: every condition holds (empty: true); mode 1: one holds (empty: false); else false.
// Evaluation stops at the deciding condition.
int CheckCondList(const cSafeVector<cCond>& conds, int mode, cCharaBase* chara);
int CheckCond(const cCond& cond, cCharaBase* chara);

// The holders' check (CheckLatchedConds) is one of the stage's hooks (stage/flow_hooks.h).
// A flow's start conditions, evaluated for the character that owns it.
int CheckFlowCond(cFlowState& state, cCharaBase* chara);
// A character's own activity conditions (its definition copy), evaluated for itself.
int CheckCharaCond(cCharaBase& chara);
// An item's activity conditions (its definition copy), evaluated for the main hero.
int CheckItemCond(cItem& item);
// A block's conditions (CheckMapCellCond) are tested through the stage's hooks.

// The status condition, reading through `stage`.
int CheckStatusCond(cFlowStage& stage, const cCond& cond, cCharaBase* chara);
int CheckStatusCond2(const cCond& cond, cCharaBase* chara);
int CheckStatusCond3(const cCond& cond, cCharaBase* chara);
int CheckDistanceCond(const cCond& cond, cCharaBase* chara);

// The stage the status conditions read through: the running stage, unless one is set (null puts
// the running stage back).
void SetConditionStage(cFlowStage* stage);
cFlowStage* GetConditionStage();
