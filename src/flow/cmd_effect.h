// The presentation commands: effects placed in the stage, character and screen effects,
// pictures, the screen colour, background layers, sounds and the stage music. The item commands
// run the same bodies.
#pragma once

#include <cstdint>

class cCharaBase;
class cFlowCommand;
class cFlowCommandState;

void ExecEffect(cCharaBase* chara, cFlowCommand& cmd);
void ExecCharaEffect(cCharaBase* chara, cFlowCommand& cmd);
void ExecScrEffect(cCharaBase* chara, cFlowCommand& cmd);
void ExecPicture(cCharaBase* chara, cFlowCommand& cmd);
void ExecScreenColor(cCharaBase* chara, cFlowCommand& cmd);
void ExecBackground(cCharaBase* chara, cFlowCommand& cmd);
void ExecSound(cFlowCommand& cmd, cCharaBase* chara);
void ExecBgm(cFlowCommand& cmd);

// The execution handlers of the eight kinds.
void CmdEffect(cCharaBase* chara, cFlowCommandState* state);
void CmdCharaEffect(cCharaBase* chara, cFlowCommandState* state);
void CmdScreenEffect(cCharaBase* chara, cFlowCommandState* state);
void CmdPicture(cCharaBase* chara, cFlowCommandState* state);
void CmdScreenColor(cCharaBase* chara, cFlowCommandState* state);
void CmdBackground(cCharaBase* chara, cFlowCommandState* state);
void CmdSound(cCharaBase* chara, cFlowCommandState* state);
void CmdBgm(cCharaBase* chara, cFlowCommandState* state);

// The top-left corner, in stage dots, of a w x h effect at a placement (0..6) with X and Y in
// blocks (unit 0) or dots (unit 1); false, and nothing written, for a placement or unit outside
// the tables.
bool CalcEffectPosition(double* x, double* y, int32_t w, int32_t h, cCharaBase* chara, int32_t placement, int32_t unit,
                        int32_t X, int32_t Y, int32_t offsetX, int32_t offsetY);
