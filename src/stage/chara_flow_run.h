// The once-a-frame flow run that characters and heroes share: the frame's base speed and
// per-frame fields, stepping the running flows, the clean-up after them and the base animation.
#pragma once

class cCharaBase;

// Running character, base speed of the frame, per-frame fields, scheduled animations. `hero`
// selects the hero's base-speed rule.
void BeginFlowRun(cCharaBase& chara, bool hero);
// Steps every running flow in order; 1 when the run must end at once (vanished, or out of HP
// outside the death flows; `stopOnVanish` 0 lets a vanishing character run on).
int StepFlows(cCharaBase& chara, int deathOnly, bool stopOnVanish);
// No running character any more; flagged flows removed; ended groups released.
void EndFlowRun(cCharaBase& chara);
// The requested move animation, else the standing or flying one unless inertia carries it.
void ApplyBaseAnime(cCharaBase& chara);
