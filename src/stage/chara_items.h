// Items handed to the hero by the stage: a block's item and the notice of an item taken.
#pragma once

class cHero;
class cItemDef;

// Builds a temporary item from `def` and has the main hero take it; 0, or the result of the
// item's commands (1 the stage ends, 2 the hero died).
int TakeItemFromDef(cHero& hero, cItemDef& def);
