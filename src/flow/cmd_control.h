// The flow-control, stage-clear, game-wait and message commands. The bodies that take a command
// also serve the item commands of the same kinds.
#pragma once

#include <cstdint>

class cCharaBase;
class cFlowCommand;
class cFlowCommandState;

// Flow-control operations and scopes (parameters 0 and 1).
constexpr int32_t FLOWOP_START = 0;
constexpr int32_t FLOWOP_END = 1;
constexpr int32_t FLOWOP_PAUSE = 2;
constexpr int32_t FLOWOP_RESUME = 3;
constexpr int32_t FLOWOP_DELETE = 4;
constexpr int32_t FLOWOP_HALT = 5;
constexpr int32_t FLOWSCOPE_THIS = 0;
constexpr int32_t FLOWSCOPE_OTHERS = 1;
constexpr int32_t FLOWSCOPE_ID = 2;

void CmdFlowControl(cCharaBase* chara, cFlowCommandState* state);
void CmdStageClear(cCharaBase* chara, cFlowCommandState* state);
void CmdGameWait(cCharaBase* chara, cFlowCommandState* state);
void CmdMessage(cCharaBase* chara, cFlowCommandState* state);

// Sets where the game goes after the clear; returns the end request (1, the stage is cleared).
int ExecStageClear(cCharaBase& chara, cFlowCommand& command);
// Freezes the game for the command's time while the pause thread shows the stage.
void ExecGameWait(cCharaBase& chara, cFlowCommand& command);
// Shows, replaces or removes a message window, freezing the game while it is read when asked
// to. `wait`: the message follows another waiting message (no opening and no sound).
void ExecMessage(cCharaBase& chara, cFlowCommand& command, int wait);
