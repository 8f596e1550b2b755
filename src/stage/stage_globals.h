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
// Counts the additions to and removals from g_CharaList, so that lists of its characters gathered
// before a change are known to be stale.
extern uint32_t g_nCharaListChanges;

// Set whenever a character whose definition makes it a block character is set up or copied, and
// cleared with the character list. While it is clear no character of the list is a block
// character, and the block-character passes, which walk the whole list for each character, have
// nothing to look for.
extern int g_bBlockCharaMade;

// The play scene's two axes; objects reach them here so that they work without a scene too.
cScroll& ScrollX();
cScroll& ScrollY();

// Empties the stage's world kept here: no map grid, heroes, characters or items, the block-character
// flag clear and both axes as new. Stage set-up starts from it, and so does a test harness, so a
// stage plays the same whatever was played before it in the process.
void ResetStageWorld();
