// The main hero: element 0 of the heroes.
#pragma once

#include "stage/hero.h"
#include "stage/stage_globals.h"

// For code that runs only while a stage is set up, which always has its main hero.
inline cHero& MainHero() { return g_Heroes.At(0); }
// Null before a stage has set its heroes up.
inline cHero* MainHeroOrNull() { return g_Heroes.empty() ? nullptr : &g_Heroes.front(); }
