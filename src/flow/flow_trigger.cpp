// Firing triggers on a character and matching its flows' key-input conditions.
#include "flow/flow_trigger.h"

#include "data/flow_kinds.h"
#include "flow/cmd_warp_target.h"
#include "flow/conditions.h"
#include "flow/flow_runner.h"
#include "persist/system_data.h"
#include "stage/chara_base.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/stage_globals.h"

namespace {

constexpr int KEY_MODE_ALL = 0;
constexpr int KEY_MODE_ANY = 1;
constexpr int KEY_MODE_ONE = 2;

const cSafeVector<KEYRUN>* PatternRuns(const cInput& input, int pattern) {
  const auto& lists = pattern < DIR_PATTERN_COUNT ? input.m_DirRuns : input.m_ButtonRuns;
  const int i = pattern < DIR_PATTERN_COUNT ? pattern : pattern - DIR_PATTERN_COUNT;
  return i < static_cast<int>(lists.size()) ? &lists.At(i) : nullptr;
}

int32_t RunFrames(const cSafeVector<KEYRUN>* runs, int r) {
  return runs && r >= 0 && r < static_cast<int>(runs->size()) ? runs->At(r).nFrames : 0;
}

KEYRUN RunAt(const cSafeVector<KEYRUN>* runs, int r) {
  return runs && r >= 0 && r < static_cast<int>(runs->size()) ? runs->At(r) : KEYRUN{};
}

int ModeResult(int mode, int trues, int falses) {
  switch (mode) {
    case KEY_MODE_ANY: return trues >= 1;
    case KEY_MODE_ONE: return trues == 1;
    case KEY_MODE_ALL: return falses == 0;
    default: return 1;
  }
}

// Left and right (and the diagonals) trade places for a character facing left.
int MirrorPattern(int k) {
  switch (k) {
    case 1: return 2;
    case 2: return 1;
    case 5: return 7;
    case 7: return 5;
    case 6: return 8;
    case 8: return 6;
    default: return k;
  }
}

const cInput* MainHeroInput() { return g_Heroes.empty() ? nullptr : g_Heroes.front().m_pInput; }

void InitCursors(KEYCURSOR* cursors, const cInput& input) {
  for (int k = 0; k < KEY_PATTERN_COUNT; ++k) cursors[k] = KEYCURSOR{0, RunFrames(PatternRuns(input, k), 0)};
}

// The same checked slot and back-link upkeep as the set-target command; an unchanged slot keeps
// its link where it stands.
void SetTarget(cCharaBase& chara, int slot, cCharaBase* other) {
  if (slot >= 0 && slot < static_cast<int>(chara.m_Targets.size()) && chara.m_Targets.At(slot) == other) return;
  SetTargetSlot(chara, slot, other, 1);
}

// The flow's start and key conditions, tested in that order.
bool FlowConditionsHold(cCharaBase& chara, cFlowState& state) {
  return CheckFlowCond(state, &chara) && CheckKeyConds(chara, state);
}

}  // namespace

int MatchKeyRun(const KEYRUN& run, int32_t pos, const cKeyCond& k, int8_t state) {
  if (state == 1) return run.bOn && (k.m_cAnyLength ? pos > 0 : (k.m_sMinFrames <= pos && pos <= k.m_sMaxFrames));
  if (state == 2) return !run.bOn && pos > 0;
  return 0;
}

int ShiftKeyCursors(KEYCURSOR* cursors, const cInput& input, int32_t d) {
  for (int k = 0; k < KEY_PATTERN_COUNT; ++k) {
    const cSafeVector<KEYRUN>* runs = PatternRuns(input, k);
    const int count = runs ? static_cast<int>(runs->size()) : 0;
    KEYCURSOR& c = cursors[k];
    if (d <= 0) {
      c.nPos += d;
      while (c.nPos < 0) {
        if (++c.nRun >= KEYRUN_COUNT) {
          c.nRun = KEYRUN_COUNT - 1;
          break;
        }
        c.nPos += RunFrames(runs, c.nRun);
      }
      // The start of a run is the end of the one before it.
      if (c.nPos == 0 && c.nRun + 1 < count) {
        c.nRun++;
        c.nPos = RunFrames(runs, c.nRun);
      }
    } else {
      c.nPos += d;
      while (c.nPos > RunFrames(runs, c.nRun)) {
        c.nPos -= RunFrames(runs, c.nRun);
        if (--c.nRun < 0) {
          c.nRun = 0;
          break;
        }
      }
    }
  }
  return 1;
}

int MatchKeyStep(cCharaBase& chara, const cKeyCond& k, const KEYCURSOR* cursors, int32_t* held, const cInput& input) {
  *held = 0;
  int trues = 0;
  int falses = 0;
  for (int key = 0; key < KEY_PATTERN_COUNT; ++key) {
    const int8_t s = k.m_Keys.At(key);
    if (s == 0) continue;
    const int pattern = key < DIR_PATTERN_COUNT && k.m_cMirror == 1 && !chara.m_bRight ? MirrorPattern(key) : key;
    const KEYCURSOR& c = cursors[pattern];
    if (!MatchKeyRun(RunAt(PatternRuns(input, pattern), c.nRun), c.nPos, k, s)) {
      falses++;
      continue;
    }
    trues++;
    if (k.m_cMode == KEY_MODE_ALL) {
      if (*held == 0 || c.nPos < *held) *held = c.nPos;
    } else if (k.m_cMode == KEY_MODE_ANY) {
      if (*held == 0 || c.nPos > *held) *held = c.nPos;
    } else {
      *held = c.nPos;
    }
  }
  return ModeResult(k.m_cMode, trues, falses);
}

int MatchKeySequence(cCharaBase& chara, cFlowState& state, const cSafeVector<cKeyCond*>& steps, int gap) {
  const cInput* input = MainHeroInput();
  if (!input || steps.empty()) return 0;
  KEYCURSOR cursors[KEY_PATTERN_COUNT];
  InitCursors(cursors, *input);
  const bool repeat = state.m_pFlow && state.m_pFlow->m_cKeyRepeat;
  const int last = static_cast<int>(steps.size()) - 1;
  for (int i = last; i >= 0; --i) {
    const cKeyCond& step = *steps.At(i);
    int32_t held = 0;
    if (i == last) {
      if (!MatchKeyStep(chara, step, cursors, &held, *input)) return 0;
      if (repeat && state.m_bKeyMatched) return 1;
    } else if (!MatchKeyStep(chara, step, cursors, &held, *input)) {
      if (gap <= 0) return 0;
      bool found = false;
      int moved = 0;
      while (moved < gap && !found) {
        ShiftKeyCursors(cursors, *input, -1);
        moved++;
        found = MatchKeyStep(chara, step, cursors, &held, *input) != 0;
      }
      if (!found) {
        ShiftKeyCursors(cursors, *input, moved);
        ShiftKeyCursors(cursors, *input, 1);
        if (!MatchKeyStep(chara, step, cursors, &held, *input)) return 0;
        int32_t laterHeld = 0;
        if (!g_SystemData.CompatKeyOverlap() && MatchKeyStep(chara, *steps.At(i + 1), cursors, &laterHeld, *input))
          return 0;
      }
    }
    if (i == 0) return 1;
    ShiftKeyCursors(cursors, *input, -held);
  }
  return 0;
}

int CheckKeyConds(cCharaBase& chara, cFlowState& state) {
  if (state.m_KeyConds.empty() || !state.m_pFlow) return 1;
  const cFlow& flow = *state.m_pFlow;
  if (flow.m_cKeyRepeat) {
    const int result = MatchKeySequence(chara, state, state.m_KeyConds, flow.m_cKeyGap);
    state.m_bKeyMatched = result != 0;
    return result;
  }
  state.m_bKeyMatched = 0;
  int result = MatchKeySequence(chara, state, state.m_KeyConds, flow.m_cKeyGap);
  if (!result) {
    state.m_bKeyEdge = 0;
    return 0;
  }
  if (state.m_bKeyEdge) {
    result = 0;
    // Still held: the group stays blocked for the rest of the sub-step.
    const int g = flow.m_cGroup;
    if (flow.m_cTrigger == TRIG_ALWAYS && g != 0) {
      chara.m_GroupRunning.At(g) = 1;
      chara.m_GroupEnded.At(g) = 1;
      chara.m_bGroupEndPending = 1;
    }
  }
  state.m_bKeyEdge = 1;
  return result;
}

int CheckKeyCondNow(const cInput* input, const cKeyCond& k) {
  if (!input) return 0;
  int trues = 0;
  int falses = 0;
  for (int key = 0; key < KEY_PATTERN_COUNT; ++key) {
    const int8_t s = k.m_Keys.At(key);
    if (s == 0) continue;
    const KEYRUN run = RunAt(PatternRuns(*input, key), 0);
    const bool on = run.bOn != 0;
    if ((s == 1 && on) || (s == 2 && !on)) {
      trues++;
      if (k.m_cMode == KEY_MODE_ANY) break;
    } else {
      falses++;
    }
  }
  return ModeResult(k.m_cMode, trues, falses);
}

namespace {

int LastKeyCondHeld(const cFlow* flow, const cInput* input) { return CheckKeyCondNow(input, flow->m_KeyConds.back()); }

KeyCondCheck g_pfnKeyCondCheck = LastKeyCondHeld;

}  // namespace

void SetKeyCondCheck(KeyCondCheck check) { g_pfnKeyCondCheck = check ? check : LastKeyCondHeld; }

int CheckKeyCond(const cFlow* flow, const cInput* input) {
  if (!flow || flow->m_KeyConds.empty()) return -1;
  return g_pfnKeyCondCheck(flow, input) ? 1 : 0;
}

int GetFirstHeldKey(const cInput* input) {
  if (!input) return 0;
  for (int k = 0; k < DIR_PATTERN_COUNT; ++k)
    if (RunAt(PatternRuns(*input, k), 0).bOn) return k;
  return 0;
}

void cCharaBase::ClearTriggerFlags() {
  for (cFlowState& s : m_FlowStates) s.m_bFired = s.m_bStarted = 0;
  for (uint8_t& g : m_GroupStarted) g = 0;
}

void cCharaBase::FireTrigger(int trigger) { FireTriggerWith(*this, trigger, nullptr, 0); }

void FireTriggerWith(cCharaBase& chara, int kind, cCharaBase* other, int id) {
  // A trigger fired from inside a running command leaves that command's context as it was.
  cFlowScope scope;
  SetCurrentChara(&chara);
  const bool early = g_SystemData.CompatEarlyFiredFlag();
  const bool noFiredCheck = g_SystemData.CompatNoFiredCheck();
  const bool firedBeforeCond = g_SystemData.CompatFiredBeforeCond();
  // By index and with the size read again: a started flow may add or remove flows.
  for (size_t i = 0; i < chara.m_FlowStates.size(); ++i) {
    cFlowState& r = chara.m_FlowStates[i];
    const cFlow* flow = r.m_pFlow;
    if (!flow || flow->m_cTrigger != kind) continue;
    if (early && !noFiredCheck) {
      if (r.m_bFired) continue;
      r.m_bFired = 1;
    }
    if (r.m_bRunning || r.m_bPaused || r.m_bHalted || r.m_bStarted) continue;
    const int g = flow->m_cGroup;
    if (kind == TRIG_ALWAYS && g != 0 && (chara.m_GroupRunning.At(g) || chara.m_GroupStarted.At(g))) continue;
    if (id >= 1 && flow->m_cId != id) continue;
    if (!early && !noFiredCheck) {
      if (r.m_bFired) continue;
      if (firedBeforeCond) r.m_bFired = 1;
    }
    if (flow->m_cTriggerTarget && other) {
      const int slot = flow->m_cTargetSlot;
      cCharaBase* remembered = chara.m_Targets.At(slot);
      SetTarget(chara, slot, other);
      if (!FlowConditionsHold(chara, r)) {
        SetTarget(chara, slot, remembered);
        continue;
      }
    } else if (!FlowConditionsHold(chara, r)) {
      continue;
    }
    if (!firedBeforeCond) r.m_bFired = 1;
    const int player = chara.m_nSide == 0 ? chara.m_Def.m_cPlayerNo : 0;
    r.m_nHeldKey =
        GetFirstHeldKey(player >= 0 && player < static_cast<int>(g_Input.size()) ? &g_Input.At(player) : nullptr);
    r.Start(&chara);
  }
}
