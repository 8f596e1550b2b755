// Item commands: the handler table that runs an item's command list on its taker, and the change
// of flows that only items have.
#pragma once

#include <cstdint>

#include "data/flow_kinds.h"
#include "stage/flow_hooks.h"

class cCharaBase;
class cFlowCommand;

// Operations of the change of flows (p0) and its every-flow ID (p1).
enum : int { CHANGE_FLOW_ADD = 0, CHANGE_FLOW_REPLACE, CHANGE_FLOW_DELETE };
constexpr int CHANGE_FLOW_ALL = 0;

// The handler table g_ItemCmdExecTable is declared with the stage's hooks (stage/flow_hooks.h).

// Adds, replaces or deletes flows of `h` by the command's flows. Run from the main hero's own flow
// pass (and not `deferred`), the change waits in the hero's pending list until that pass has
// walked its flows.
int ExecChangeFlow(cCharaBase* h, cFlowCommand* cmd, int deferred);
