// Triggers that start flows, and the key-input conditions matched against the input history.
#pragma once

#include <cstdint>

#include "data/flow.h"
#include "stage/flow_hooks.h"
#include "stage/input.h"

class cCharaBase;

constexpr int KEY_PATTERN_COUNT = 19;

// Where a key-sequence match looks in each of the 19 pattern histories: run index and the
// position counted in frames from the start of that run.
struct KEYCURSOR {
  int32_t nRun = 0;
  int32_t nPos = 0;
};

// The key-input condition of a flow (1 with none).
int CheckKeyConds(cCharaBase& chara, cFlowState& state);
int MatchKeySequence(cCharaBase& chara, cFlowState& state, const cSafeVector<cKeyCond*>& steps, int gap);
int MatchKeyStep(cCharaBase& chara, const cKeyCond& k, const KEYCURSOR* cursors, int32_t* held, const cInput& input);
int MatchKeyRun(const KEYRUN& run, int32_t pos, const cKeyCond& k, int8_t state);
int ShiftKeyCursors(KEYCURSOR* cursors, const cInput& input, int32_t frames);
// One key condition against the current runs only.
int CheckKeyCondNow(const cInput* input, const cKeyCond& k);
// The first direction pattern (0..9) that is on now; 0 when none is.
int GetFirstHeldKey(const cInput* input);
