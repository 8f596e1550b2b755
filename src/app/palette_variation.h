// The palette work of the menus and the options: the colour variations of 256-colour mode and the
// menu colour animation.
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

int ApplyPaletteVariation(int n);
bool StepPulse(int& value, int& direction, int step, int min, int max);
void AnimateMenuColors();
