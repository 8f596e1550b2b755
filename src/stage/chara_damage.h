// Helpers of the damage and death code that are not members of a character.
#pragma once

#include <cstdint>

class cCharaBase;

// Fires `kind` on `chara` with `other` as the other character and `flowId` as the flow ID the
// trigger carries, through the flow runner's FireTriggerWith unless a handler is installed
// (tests record the triggers of contacts and damage that way).
void FireStageTrigger(cCharaBase& chara, int kind, cCharaBase* other, int flowId);
using TriggerWithHandler = void (*)(cCharaBase& chara, int kind, cCharaBase* other, int flowId);
// Installs `handler` (null: the flow runner's trigger); returns the one it replaces.
TriggerWithHandler SetTriggerWithHandler(TriggerWithHandler handler);

// Highest score the save data keeps.
constexpr int32_t SCORE_MAX = 999999;
// `score` + `points` limited to 0..SCORE_MAX, computed without overflow.
int32_t AddClampedScore(int32_t score, int32_t points);
