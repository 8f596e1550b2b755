// The three game fonts, their descriptors and digit strips.
#include "core/report_log.h"
#include "gfx/font.h"

// Declared before the fonts: a font leaves the list when it is destroyed.
std::list<cFont*> g_FontList;
cFont g_Fonts[3];
DDSURFACEDATA g_DigitStripSD[3];

FONTDESC g_FontDescs[3] = {
    {"ＭＳ ゴシック", 0, 9, 10, 10, 241, 46, 1, 240, 51, 2},
    {"ＭＳ ゴシック", 0, 16, 16, 16, 241, 46, 1, 240, 51, 2},
    {"ＭＳ ゴシック", 0, 30, 32, 32, 241, 46, 1, 240, 51, 0},
};

IMAGESLOT g_DigitStripSlots[3] = {
    {.szFile = "", .bColorKey = 1},
    {.szFile = "", .bColorKey = 1},
    {.szFile = "", .bColorKey = 1},
};

namespace {

DDSURFACEDATA* TableSurface(int index) {
  if (!g_lpSurfaceTable || index < 0 || index >= g_nSurfaceCount) return nullptr;
  return &g_lpSurfaceTable[index];
}

}  // namespace

int DDCreateFonts(cFont* fonts, const FONTDESC* descs, int count) {
  if (!fonts || !descs) return 0;
  for (int i = 0; i < count; ++i) {
    const FONTDESC& d = descs[i];
    if (!fonts[i].Create(d.szFace, d.nWidth, d.nHeight, d.nCellW, d.nCellH, d.nPalColor, TableSurface(d.nBoxPicture),
                         d.nFrameThick, d.nFramePal, TableSurface(d.nSymbolPicture), d.nCacheMode))
      return 0;
  }
  return 1;
}

int DDDrawDigitStrip(DDSURFACEDATA* lpSD, cFont* lpFont) {
  if (!lpSD || !lpFont) return 0;
  DDClearPal(lpSD, 0);
  lpFont->Draw(lpSD, 0, 0, "0123456789", FALSE);
  lpSD->bLost = 0;
  return 1;
}

int DDCreateDigitStrips(DDSURFACEDATA* strips, const IMAGESLOT* slots, int count, cFont* fonts, const FONTDESC* descs) {
  if (!strips || !slots || !fonts || !descs) return 0;
  for (int i = 0; i < count; ++i) {
    const FONTDESC& d = descs[i];
    if (d.nCellW <= 0 || d.nCellH <= 0 ||
        !DDCreateSurface(&strips[i], 10 * d.nCellW, d.nCellH, slots[i].bColorKey, slots[i].nDDMemory,
                         slots[i].nMemoryType, nullptr)) {
      WriteReportLog("DDCreateDigitStrips Err %d", i);
      return 0;
    }
    DDDrawDigitStrip(&strips[i], &fonts[i]);
  }
  return 1;
}
