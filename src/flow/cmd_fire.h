// The shot, sword and summon commands: each creates objects from the command's shot record.
#pragma once

class cCharaBase;
class cFlowCommandState;

// Fire (or summon) at the start of the command and again every tenth of a second while it runs.
void CmdShot(cCharaBase* c, cFlowCommandState* cs);
void CmdSummonBlock(cCharaBase* c, cFlowCommandState* cs);
void CmdSummonChara(cCharaBase* c, cFlowCommandState* cs);
void CmdSummonItem(cCharaBase* c, cFlowCommandState* cs);
// One sword per run of the command, built in its first sub-step.
void CmdSword(cCharaBase* c, cFlowCommandState* cs);
