// Commands, flows and conditions built in code for the command and flow tests, beside the shared
// makers of support/flow_builders.h.
#pragma once

#include <string>
#include <vector>

#include "data/cond.h"
#include "data/flow.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "support/flow_builders.h"

namespace t4::test {

inline cFlowCommand ItemCommand(int kind, std::vector<int32_t> params) {
  return Command(kind, std::move(params), CMDCAT_ITEM);
}

inline cFlowCommand Code(const std::string& text, int category = CMDCAT_FLOW) {
  cFlowCommand c = Command(category == CMDCAT_ITEM ? CMD_CODE - ITEMCMD_KIND_OFFSET : CMD_CODE, {}, category);
  c.m_strText = text;
  return c;
}

// A flow that `trigger` starts, with flow ID `id`.
inline cFlow TriggeredFlow(int trigger, std::vector<cFlowCommand> cmds, int8_t id = 0) {
  cFlow f = Flow(trigger, std::move(cmds));
  f.m_cId = id;
  return f;
}

// The condition "stage variable `n` equals `value`".
inline cCond StageVarIs(int n, int32_t value) {
  cCond c;
  c.m_cKind = COND_STAGE_VAR;
  c.m_sIndex = static_cast<int16_t>(n);
  c.m_nValue = value;
  c.m_cOperator = CMP_EQ;
  return c;
}

// The status command's 22 values: stage variable `var` (operation) a constant.
inline std::vector<int32_t> StageVarOp(int var, int operation, int32_t constant) {
  std::vector<int32_t> p(22, 0);
  p[0] = 1;  // a variable
  p[1] = 1;  // of the stage
  p[2] = var;
  p[5] = operation;
  p[6] = 0;  // a constant
  p[7] = constant;
  return p;
}

}  // namespace t4::test
