#include "stage/chara_items.h"

int TakeItemFromDef(cHero&, cItemDef&) { return 0; }
