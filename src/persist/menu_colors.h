// The pulsing highlight colours that the menus and the stage share: the menu texts and cursors
// glow with them, and an invincible character is drawn with one of them in the render mode.
#pragma once

#include <cstdint>

#include "gfx/dd_types.h"

struct PULSECOLOR {
  D3DCOLOR dwColor = 0;
  D3DTEXTUREOP nColorOp = 0;
};

// Read by a character's colour byte 1 to 9; entry 0 is never drawn with.
constexpr int PULSE_COLOR_COUNT = 10;
extern PULSECOLOR g_PulseColors[PULSE_COLOR_COUNT];

// One step of a value swinging between min and max; true when it turned at the bottom.
bool StepPulse(int& value, int& direction, int step, int min, int max);
// One frame of the highlight colours (render mode) or of the 256-colour palette cycle.
void AnimateMenuColors();
