// Text from a character sheet, palette-colour pixels and circles.
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "gfx/batch.h"

int DDDrawSheetText(DDSURFACEDATA* lpDst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet,
                    const char* szText) {
  if (!szText) return 0;
  DDBeginBatch(0);
  int64_t offset = 0;
  for (const char* p = szText; *p; ++p) {
    // The byte is unsigned: a signed one would give negative rows that clipping moves onto row 0.
    const unsigned c = static_cast<unsigned char>(*p);
    if (c == '\n') {
      offset = 0;
      y += nCellH;
      continue;
    }
    int row = static_cast<int>(c >> 4);
    if (c >= 0xA6 && c <= 0xBF)
      row -= 10;
    else if (c >= 0xC0 && c <= 0xDD)
      row -= 4;
    const int column = static_cast<int>(c & 15);
    DDBlt(lpDst, static_cast<int>(x + offset), y, nCellW, nCellH, lpSheet, column * nCellW, row * nCellH,
          BLT_TRANSPARENT);
    offset += nCellW;
    if (offset >= g_nScreenWidth) {
      offset = 0;
      y += nCellH;
    }
  }
  return DDEndBatch();
}

int DDDrawSheetTextF(DDSURFACEDATA* lpDst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet,
                     const char* szFormat, ...) {
  if (!szFormat) return 0;
  char buffer[256];
  va_list args;
  va_start(args, szFormat);
  std::vsnprintf(buffer, sizeof(buffer), szFormat, args);
  va_end(args);
  return DDDrawSheetText(lpDst, x, y, nCellW, nCellH, lpSheet, buffer);
}

void DDPutPixelPal(DDSURFACEDATA* lpSD, int x, int y, DWORD dwPalNum) {
  if (!lpSD || x < 0 || y < 0 || x >= lpSD->nWidth || y >= lpSD->nHeight) return;
  DDFillRectPal(lpSD, x, y, 1, 1, dwPalNum);
}

void DDDrawCirclePal(DDSURFACEDATA* lpSD, int cx, int cy, int r, DWORD dwPalNum) {
  if (r < 1) return;
  // 64-bit steps: the decision value of a large radius does not fit an int.
  int64_t x = 0, y = r, d = 3 - 2 * int64_t{r};
  const auto plot = [&](int64_t px, int64_t py) {
    if (px >= INT32_MIN && px <= INT32_MAX && py >= INT32_MIN && py <= INT32_MAX)
      DDFillRectPal(lpSD, static_cast<int>(px), static_cast<int>(py), 1, 1, dwPalNum);
  };
  while (y >= x) {
    plot(cx + x, cy + y);
    plot(cx - x, cy + y);
    plot(cx + x, cy - y);
    plot(cx - x, cy - y);
    plot(cx + y, cy + x);
    plot(cx - y, cy + x);
    plot(cx + y, cy - x);
    plot(cx - y, cy - x);
    if (d < 0) {
      d += 4 * x + 6;
    } else {
      d += 4 * (x - y) + 10;
      --y;
    }
    ++x;
  }
}
