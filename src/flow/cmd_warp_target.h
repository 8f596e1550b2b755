// The warp command (and the warp of the status operations on X and Y) and the target-setting
// command with the slot update that keeps the target back-links.
#pragma once

class cCharaBase;
class cFlowCommand;
class cFlowCommandState;

// Moves the character at once to the place the command's movement record gives; a place outside
// the stage or inside a solid block is not taken. `fromStatus` is 1 for the status operations.
// Returns 1 when the move was undone.
int ExecWarp(cCharaBase& c, cFlowCommand& cmd, int fromStatus);
// Chooses a character by the command's rule into one of the four target slots. Returns 0.
int ExecSetTarget(cCharaBase& c, cFlowCommand& cmd);
// Puts `other` into target slot `slot`, moving the back-link from the old holder to the new one.
// A null `other` empties the slot when `clearWhenNull` is set and changes nothing otherwise.
void SetTargetSlot(cCharaBase& c, int slot, cCharaBase* other, int clearWhenNull);

void CmdWarp(cCharaBase* c, cFlowCommandState* cs);
void CmdSetTarget(cCharaBase* c, cFlowCommandState* cs);
