// The flow runner: building a character's flow states, the loop expansion, running a flow one
// sub-step at a time, removing flows, and the scene's record of what runs at the moment.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/flow_command.h"
#include "stage/flow_hooks.h"

class cCharaBase;

// A flow's command list never grows past this by loop expansion; a loop that would pass it keeps
// its body once, and the fault is reported.
constexpr int MAX_EXPANDED_COMMANDS = 65536;

// Expands the first loop command of `cmds`: 1 when there was one, else 0.
int UnrollFirstLoop(cSafeVector<cFlowCommand>& cmds);
// UnrollLoops, which expands every loop, is one of the stage's hooks (stage/flow_hooks.h).

// Sub-steps of a command: (time + per-clone time x clone) x 6 x n, clamped to int32.
int32_t CommandTotal(const cFlowCommand& cmd, int cloneValue, int subSteps);

void RemoveFlow(cCharaBase& chara, int index);
// Removes the flows of ID `id` (0: all); the index of the first removed, -1 when none (0 for 0).
int RemoveFlowsById(cCharaBase& chara, int8_t id);
// Re-points every state at the character's own definitions, with its index.
void RelinkFlows(cCharaBase& chara);

// The play scene's current character, flow state and command state, saved when the scope opens
// and restored when it closes, so that nested runs leave them as they found them.
class cFlowScope {
 public:
  cFlowScope();
  ~cFlowScope();
  cFlowScope(const cFlowScope&) = delete;
  cFlowScope& operator=(const cFlowScope&) = delete;

 private:
  cCharaBase* m_lpChara = nullptr;
  cFlowState* m_lpFlow = nullptr;
  cFlowCommandState* m_lpCommand = nullptr;
};

// The scene's pointers (null without a play scene).
cCharaBase* CurrentChara();
cFlowState* CurrentFlow();
void SetCurrentChara(cCharaBase* chara);
void SetCurrentFlow(cFlowState* flow);
void SetCurrentCommand(cFlowCommandState* command);
