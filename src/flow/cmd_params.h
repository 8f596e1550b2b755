// The command parameters that the arrange command can change: their descriptors per command kind,
// reading and writing them inside a command record, and applying queued arrange entries.
#pragma once

#include <cstdint>
#include <string>

#include "core/safe_containers.h"
#include "data/flow_command.h"
#include "stage/flow_hooks.h"

class cCharaBase;
class cHero;

class cCmdParamInfo {
 public:
  void Set(const char* name, int32_t nMin, int32_t nMax);

  std::string m_strName;
  int32_t m_nMin = 0;
  int32_t m_nMax = 0;
};

// Indexed by command kind: the changeable parameters of that kind in parameter order.
extern cSafeVector<cSafeVector<cCmdParamInfo>> g_CmdParamTable;
void InitCmdParamTable();

// Parameter `index` of the command as stored; one the command does not have reads as 0.
int32_t CmdParam(const cFlowCommand& command, int index);
// Frames of a time given in tenths of a second. Every negative time means the same (a window or
// wait that ends on its first count), so it is kept at -1 tenth, where counting down cannot
// overflow; a time too long for the frame counter gets the longest it holds.
int32_t TenthsToFrames(int64_t tenths);
// Reads parameter `index` of a command of flow kind `kind` widened to int32; false when the kind
// has no such parameter or the command lacks the record that holds it.
bool GetCmdParam(int kind, int index, const cFlowCommand& cmd, int32_t* value);
// Writes it narrowed to the field's width; false as for GetCmdParam.
bool SetCmdParam(int kind, int index, cFlowCommand& cmd, int32_t value);

// Applies one arrange entry (kind, parameter, operation, variable scope, variable number) to the
// command, the operand read from the variables `chara` sees.
void ApplyArrange(cFlowCommand& cmd, const ARRANGEENTRY& entry, cCharaBase* chara);
// Applies the flow's queued entries in queue order (null flow: nothing).
void ApplyFlowArranges(cFlowCommand& cmd, cCharaBase* chara, cFlowState* flow);
// ApplyItemArranges, for the hero's queued entries, is one of the stage's hooks (stage/flow_hooks.h).
