// The 72 fixed surfaces of the game by image number, and the load record of each.
#pragma once

#include "gfx/dd_types.h"

constexpr int IMAGE_SLOT_COUNT = 72;
constexpr int IMAGE_PALETTE = 0;
constexpr int IMAGE_DEBUG = 1;
constexpr int IMAGE_LOADING = 45;
constexpr int IMAGE_WINDOW = 46;
constexpr int IMAGE_ACCESSORY = 50;
constexpr int IMAGE_SYMBOL = 51;

extern DDSURFACEDATA g_SurfaceTable[IMAGE_SLOT_COUNT];
extern IMAGESLOT g_ImageSlotTable[IMAGE_SLOT_COUNT];

// Puts the table back into its start-up state (the scenes change rows while they run).
void ResetImageSlotTable(IMAGESLOT* lpSlots);
