// What a running stage keeps outside the play scene's own members: the map grid, the object
// containers that SetStage fills and the stage logic walks, and the two scroll axes.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/block.h"
#include "stage/scroll.h"

class cHero;
class cChara;
class cItem;

// Cell of grid column c and row r: c + (r << ScrollX().m_nPitchShift).
extern cSafeVector<cMapCell> g_MapGrid;
// Element 0 is the main hero.
extern cSafeVector<cHero> g_Heroes;
extern cSafeList<cChara> g_CharaList;
extern cSafeList<cItem> g_ItemList;

// The play scene's two axes; objects reach them here so that they work without a scene too.
cScroll& ScrollX();
cScroll& ScrollY();
