// Plain flow commands that take only a time, and a flow that runs its commands once.
#pragma once

#include <cstdint>
#include <vector>

#include "data/flow.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"

namespace t4::test {

inline cFlowCommand TimedCommand(int kind, int16_t time, int8_t parallel = 0) {
  cFlowCommand c;
  c.m_cKind = static_cast<int8_t>(kind);
  c.m_sTime = time;
  c.m_cParallel = parallel;
  c.Validate();
  return c;
}

// The commands, then a wait longer than any test plays, so that the flow runs them once.
inline cFlow Once(std::vector<cFlowCommand> cmds) {
  cFlow f;
  f.m_cTrigger = TRIG_ALWAYS;
  for (const cFlowCommand& c : cmds) f.m_Cmds.push_back(c);
  f.m_Cmds.push_back(TimedCommand(CMD_WAIT, 1000));
  return f;
}

}  // namespace t4::test
