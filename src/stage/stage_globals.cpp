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

void ResetStageWorld() {
  // Characters first, since their links lead into items and heroes.
  g_CharaList.clear();
  ++g_nCharaListChanges;
  g_bBlockCharaMade = 0;
  g_ItemList.clear();
  g_Heroes.clear();
  g_MapGrid.clear();
  s_ScrollX = cScroll();
  s_ScrollY = cScroll();
}
