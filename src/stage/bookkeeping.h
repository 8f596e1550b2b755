// What the per-sub-step bookkeeping needs of the condition code: whether an object's appearance
// conditions hold.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/cond.h"

class cCharaBase;
class cStageObject;

// `subject` is the character the conditions are evaluated for (the main hero for items); `latched`
// the object's latch byte, which a passing latched list sets.
using AppearCondCheck = int (*)(const cSafeVector<cCond>& conds, int mode, int latch, int8_t& latched,
                                cCharaBase& subject);
// Installs the check (null: the built-in one); returns the one it replaces.
AppearCondCheck SetAppearCondCheck(AppearCondCheck check);
// 1 when an empty list, a list latched where its latch is enabled, or the installed check lets the
// object appear.
int AppearCondsHold(const cSafeVector<cCond>& conds, int mode, int latch, int8_t& latched, cCharaBase& subject);
