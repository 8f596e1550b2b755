// The status command: changes one variable, one character status or one system status by one
// value operation whose operand is a constant, a random number, another status or a variable.
#pragma once

#include "flow/flow_stage.h"

class cFlowCommand;

// Parameter indexes of the status command.
enum : int {
  STP_LEFT_CLASS = 0,
  STP_LEFT_SCOPE,
  STP_LEFT_VAR,
  STP_LEFT_OWNER,
  STP_LEFT_KIND,
  STP_OPERATION,
  STP_RIGHT_TYPE,
  STP_CONSTANT,
  STP_RAND_A,
  STP_RAND_B,
  STP_RIGHT_SCOPE,
  STP_RIGHT_VAR,
  STP_RIGHT_OWNER,
  STP_RIGHT_KIND,
  STP_PERCENT,
  STP_HPSP_CALC,
  STP_GAUGE,
  STP_SKIP_INVINCIBLE,
  STP_LEFT_COORD,
  STP_RIGHT_COORD,
  STP_LEFT_YPOINT,
  STP_RIGHT_YPOINT,
  STP_COUNT
};

// Owners of a status: 0 the executing character, 1-4 its target slots, 5 the system.
constexpr int OWNER_SELF = 0;
constexpr int OWNER_SYSTEM = 5;

// What the left side names and what kind the right operand is.
constexpr int LEFT_STATUS = 0;
constexpr int LEFT_VARIABLE = 1;
enum : int { RIGHT_CONSTANT = 0, RIGHT_RANDOM, RIGHT_STATUS, RIGHT_VARIABLE };

// Applies the command for the executing character `e`. A command with fewer parameters than
// the status command has does nothing.
void ExecStatus(cFlowStage& stage, cCharaBase* e, const cFlowCommand& command);

// The character an owner number names for `e`: itself, a target slot (null when empty), or null
// for the system and for numbers outside 0..5.
cCharaBase* ResolveOwner(cFlowStage& stage, cCharaBase* e, int owner);
