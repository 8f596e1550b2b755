// What the persistence records' own panels draw with: the second game font and, for the ranking
// marker, the accessory picture of the fixed surface table.
#pragma once

#include "gfx/font.h"
#include "gfx/image_slots.h"

constexpr int PANEL_LINE_H = 16;  // one text line and one character cell of the panel font

inline cFont& PanelFont() { return g_Fonts[1]; }
