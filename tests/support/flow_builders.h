// Flow commands and flows built in code: the tests, the benchmark's stages and the demo-project
// builder make theirs here.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "data/ed_move.h"
#include "data/flow.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"

namespace t4::test {

// A command of `kind` in `category` with `params` first and the rest of the kind's parameters 0
// (a kind outside the tables keeps just `params`).
inline cFlowCommand Command(int kind, std::vector<int32_t> params = {}, int category = CMDCAT_FLOW) {
  cFlowCommand cmd;
  cmd.m_cCategory = static_cast<int8_t>(category);
  cmd.m_cKind = static_cast<int8_t>(kind);
  const int count = GetCmdParamCount(category, kind);
  if (count > static_cast<int>(params.size())) params.resize(static_cast<size_t>(count), 0);
  cmd.m_Params.assign(params.begin(), params.end());
  return cmd;
}

// A movement in `dir` for `tenths` of a second at `speed` tenths of a dot per frame.
inline cFlowCommand Move(int kind, int dir, int16_t speed, int16_t tenths) {
  cFlowCommand cmd = Command(kind);
  MakeEdMove(cmd.m_pMove);
  cmd.m_pMove->m_cDir = static_cast<int8_t>(dir);
  cmd.m_pMove->m_sSpeed = speed;
  cmd.m_sTime = tenths;
  return cmd;
}

// A flow that `trigger` starts, running `cmds`, in activation group `group`.
inline cFlow Flow(int trigger, std::vector<cFlowCommand> cmds, int8_t group = 0) {
  cFlow flow;
  flow.m_cTrigger = static_cast<int8_t>(trigger);
  flow.m_cGroup = group;
  flow.m_Cmds.assign(cmds.begin(), cmds.end());
  return flow;
}

}  // namespace t4::test
