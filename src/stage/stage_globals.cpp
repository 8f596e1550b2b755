#include "stage/stage_globals.h"

#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/item.h"

cSafeVector<cMapCell> g_MapGrid;
cSafeVector<cHero> g_Heroes;
cSafeList<cChara> g_CharaList;
int g_bBlockCharaMade = 1;
uint32_t g_nCharaListChanges = 0;
cSafeList<cItem> g_ItemList;

namespace {
cScroll s_ScrollX;
cScroll s_ScrollY;
}  // namespace

cScroll& ScrollX() { return s_ScrollX; }
cScroll& ScrollY() { return s_ScrollY; }
