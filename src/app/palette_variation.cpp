#include "app/palette_variation.h"

#include <cstdio>

#include "core/message_box.h"
#include "core/report_log.h"
#include "gfx/dd.h"
#include "gfx/dd_effects.h"
#include "gfx/image_slots.h"
#include "persist/system_data.h"

int ApplyPaletteVariation(int n) {
  if (lpDTCon || g_nBpp != 8) return 1;
  if (n < 0 || n > 23) n = 0;
  char path[64];
  std::snprintf(path, sizeof(path), "bmp\\hbt\\hbt%02d.dat", n);
  if (!DDLoadColorTable(g_HbtTable, path)) {
    ErrorBoxf("%s の読み込みに失敗！", path);
    return 0;
  }
  if (!DDLoadPaletteFromFile(g_Palette, g_ImageSlotTable[IMAGE_PALETTE].szFile)) {
    DebugLogf("DDLoadPaletteFromFile失敗");
    return 0;
  }
  if (n < 12) {
    DDRotatePalette(g_Palette, 16, 207, 16 * n, 1, g_Palette);
  } else {
    PALETTEENTRY block[16];
    for (int i = 0; i < 16; ++i) block[i] = g_Palette[16 * (n - 11) + i];
    for (int b = 1; b <= 12; ++b)
      for (int i = 0; i < 16; ++i) g_Palette[16 * b + i] = block[i];
  }
  for (int i = 0; i < 256; ++i) g_PaletteWork[i] = g_Palette[i];
  DDSetPaletteEntries(0, 255, g_PaletteWork);
  return 1;
}
