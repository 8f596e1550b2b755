// Sprite batches of the render mode: the quads that DDBltStretch would draw are collected,
// optionally grouped by registered texture, and drawn in runs of equal texture, target and state.
// Batches nest on a stack of at most 100. In the blit mode every call here does nothing and the
// draws happen at once. Also the small routines built on blits and fills: sheet text, palette
// pixels and circles.
#pragma once

#include <list>
#include <vector>

#include "gfx/dd.h"

struct DDBATCHENTRY {
  int32_t nIndex = 0;
  int32_t nKey = 0;
  DDSURFACEDATA* lpTarget = nullptr;
  DDSURFACEDATA* lpSrc = nullptr;
  int32_t x = 0, y = 0, w = 0, h = 0;
  int32_t sx = 0, sy = 0, sw = 0, sh = 0;
  int32_t nFlags = 0;
  D3DCOLOR dwColor = 0;
  D3DTEXTUREOP nColorOp = 0;
  D3DTEXTUREOP nAlphaOp = 0;
  int32_t bRegisteredCell = 0;
};

struct DDBATCHORDER {
  DDSURFACEDATA* lpSrc = nullptr;
  int32_t bCell = 0;
  int32_t sx = 0, sy = 0;
  int32_t nKeyBase = 0;
};

struct DDBATCH {
  int32_t bActive = 0;
  std::vector<DDBATCHENTRY> Entries;
  int32_t nNextKey = 0;
  int32_t bGroupByTexture = 0;
  std::vector<DDBATCHORDER> Orders;
};

constexpr int DD_BATCH_MAX = 100;

extern std::list<DDBATCH> g_BatchList;
extern int g_nBatchCount;
extern int g_nBatchCurrent;
extern DDBATCH* g_lpBatch;

void DDBeginBatch(int bGroupByTexture);
int DDEndBatch();
void DDBatchSuspend();
void DDBatchResume();
void DDBatchOrderRect(DDSURFACEDATA* lpSrc, int sx, int sy);
void DDBatchOrder(DDSURFACEDATA* lpSrc);
void DDBatchAddOrder(const DDBATCHORDER& order);

int DDDrawSheetText(DDSURFACEDATA* lpDst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet,
                    const char* szText);
int DDDrawSheetTextF(DDSURFACEDATA* lpDst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet,
                     const char* szFormat, ...) __attribute__((format(printf, 7, 8)));
void DDPutPixelPal(DDSURFACEDATA* lpSD, int x, int y, DWORD dwPalNum);
void DDDrawCirclePal(DDSURFACEDATA* lpSD, int cx, int cy, int r, DWORD dwPalNum);
