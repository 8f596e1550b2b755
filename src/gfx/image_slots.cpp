#include "gfx/image_slots.h"

#include <cstdio>
#include <cstring>

#include "platform/present/display.h"

DDSURFACEDATA g_SurfaceTable[IMAGE_SLOT_COUNT];
IMAGESLOT g_ImageSlotTable[IMAGE_SLOT_COUNT];

namespace {

using t4::platform::SCREEN_HEIGHT;
using t4::platform::SCREEN_WIDTH;

void Set(IMAGESLOT& s, const char* file, int key, int ddMemory, int type, int shared, int optional, int mirrorW,
         int width = 0, int height = 0) {
  s = IMAGESLOT{};
  std::snprintf(s.szFile, sizeof(s.szFile), "%s", file);
  s.bColorKey = key;
  s.nDDMemory = ddMemory;
  s.nMemoryType = type;
  s.bShared = shared;
  s.bOptional = optional;
  s.nMirrorW = mirrorW;
  s.nWidth = width;
  s.nHeight = height;
}

struct TableInit {
  TableInit() { ResetImageSlotTable(g_ImageSlotTable); }
} s_init;

}  // namespace

void ResetImageSlotTable(IMAGESLOT* t) {
  Set(t[0], "bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0);
  Set(t[1], "bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[2], "bmp\\Block.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[3], "bmp\\Block.bmp", 1, 1, 0, 1, 0, 0);
  char name[64];
  for (int n = 1; n <= 8; ++n) {
    std::snprintf(name, sizeof(name), "bmp\\Character%d.bmp", n);
    const int a = 4 + 2 * (n - 1);
    const int optional = n == 1 ? 0 : 1;
    Set(t[a], name, 1, 0, 0, 0, optional, 0);
    Set(t[a + 1], name, 1, 0, 0, 1, optional, 32);
    Set(t[a + 18], name, 1, 1, 0, 1, optional, 0);
    Set(t[a + 19], name, 1, 1, 0, 1, optional, 32);
  }
  Set(t[20], "bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[21], "bmp\\Shot.bmp", 1, 0, 0, 1, 0, 16);
  Set(t[38], "bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0);
  Set(t[39], "bmp\\Shot.bmp", 1, 1, 0, 1, 0, 16);
  Set(t[40], "bmp\\Item.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[41], "bmp\\Item.bmp", 1, 1, 0, 1, 0, 0);
  Set(t[42], "bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[43], "bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[44], "bmp\\Mark.bmp", 1, 1, 0, 1, 0, 0);
  Set(t[45], "bmp\\Loading.bmp", 1, 0, 0, 0, 1, 0);
  Set(t[46], "bmp\\Window.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[47], "bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[48], "bmp\\Title.bmp", 0, 0, 0, 0, 0, 0);
  Set(t[49], "bmp\\GameMode.bmp", 1, 0, 0, 0, 1, 0);
  Set(t[50], "bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[51], "bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[52], "bmp\\Word.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[53], "bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0);
  Set(t[54], "bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0);
  Set(t[55], "bmp\\WorldBack.bmp", 0, 1, 0, 0, 1, 0);
  for (int n = 1; n <= 8; ++n) {
    std::snprintf(name, sizeof(name), "背景その%d.bmp", n);
    Set(t[55 + n], name, 1, 0, 0, 0, 1, 0);
  }
  Set(t[64], "E", 1, 1, 0, 0, 0, 0, 256, 960);
  Set(t[65], "E", 1, 1, 0, 0, 0, 0, 256, 960);
  Set(t[66], "E", 1, 1, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  Set(t[67], "E", 0, 1, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  Set(t[68], "E", 1, 0, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  Set(t[69], "E", 1, 1, 0, 1, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  Set(t[70], "E", 1, 0, 2, 0, 0, 0, 1024, 1024);
  Set(t[71], "E", 1, 1, 1, 0, 0, 0, 1024, 1024);
}
