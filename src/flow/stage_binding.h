// The running stage as the status operations, the status conditions and the expressions see it.
#pragma once

#include "flow/flow_stage.h"

// The play scene's characters and values. Changes of HP and SP are clamped to 0..maximum and
// reported to the scene's HP check; the gauges and the warp are drawn and moved by the stage.
cFlowStage& StageFlowBinding();
