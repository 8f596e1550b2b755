// Stages the speed and endurance programs build for themselves: a heavy one that fills the
// screen with characters, shots and background layers, and one whose characters are summoned and
// removed without end.
#pragma once

#include "data/stage.h"

namespace t4::bench {

// About 300 characters that all act wherever they stand, roughly 1,000 shots alive at a time,
// four background layers and a 320 x 60 block map.
cStage HeavyStage();

// The heavy stage with 1,000 such characters, roughly 3,000 shots alive at a time.
cStage CrowdedStage();

// Summoners that keep putting walkers with a short lifetime into the stage, so that characters
// are created and removed every few frames for as long as the stage runs.
cStage ChurnStage();

// A scripted player: runs right, jumps now and then, turns back every so often.
void PlayerInput(int frame, int16_t& dir, int16_t& buttons);

}  // namespace t4::bench
