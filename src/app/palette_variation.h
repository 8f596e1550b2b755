// The palette work of the menus and the options: the colour variations of 256-colour mode; the
// menu colour animation, which the stage shares, lives with the game data.
#pragma once

#include "persist/menu_colors.h"

int ApplyPaletteVariation(int n);
