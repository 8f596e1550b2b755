// Command dispatch: the set-up handler that prepares a command state when the flow states are
// built, and the execution handler that runs the command each sub-step, chosen by the kind.
#pragma once

#include <cstdint>

#include "data/flow_kinds.h"
#include "stage/flow_hooks.h"

class cCharaBase;

// The set-up handler of the command's kind, if any.
void InitCommand(cFlowCommandState& state, cCharaBase& chara);
// One sub-step of the command's handler; a kind outside the command kinds runs nothing.
void ExecCommand(cCharaBase& chara, cFlowCommandState& state);

// Works out the speed (solve mode 1) or the duration (solve mode 2) of a move from its distance.
// Returns the duration.
int32_t SolveMove(cFlowCommandState& state, const cFlowCommand& cmd, int cloneValue);

void CmdInitMove(cFlowCommandState* state, cCharaBase* chara);
void CmdInitCircleMove(cFlowCommandState* state, cCharaBase* chara);
void CmdInitHomingMove(cFlowCommandState* state, cCharaBase* chara);
void CmdInitJump(cFlowCommandState* state, cCharaBase* chara);
