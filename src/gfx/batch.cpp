// Sprite batches: collection, ordering and the run-wise flush.
#include "gfx/batch.h"

#include <algorithm>

#include "core/report_log.h"
#include "gfx/dd_internal.h"

std::list<DDBATCH> g_BatchList;
int g_nBatchCount = 0;
int g_nBatchCurrent = -1;
DDBATCH* g_lpBatch = nullptr;

namespace {

// Pushes refused at the limit. Their DDEndBatch calls come first (the stack is full while they
// happen) and must not pop the batches below them.
int g_nRefusedBatches = 0;

int KeyBase(size_t position) { return static_cast<int>(position + 1) * 100000; }

bool BatchAppend(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw, int sh,
                 int nFlags) {
  DDBATCH* batch = g_lpBatch;
  if (!batch || !batch->bActive || !lpDTCon) return false;
  DDBATCHENTRY e;
  bool joined = false;
  if (batch->bGroupByTexture) {
    for (const DDBATCHENTRY& old : batch->Entries) {
      if (old.lpSrc != lpSrc) continue;
      if (old.bRegisteredCell && (old.sx != sx || old.sy != sy)) continue;
      // Only the key is shared: the registered-cell flag comes from matching an order below.
      e.nKey = old.nKey;
      joined = true;
      break;
    }
  }
  if (!joined) {
    e.nKey = batch->nNextKey++;
    for (const DDBATCHORDER& order : batch->Orders) {
      if (order.lpSrc != lpSrc) continue;
      if (order.bCell) {
        if (order.sx != sx || order.sy != sy) continue;
        e.bRegisteredCell = 1;
      }
      e.nKey += order.nKeyBase;
    }
  }
  e.nIndex = static_cast<int>(batch->Entries.size());
  e.lpTarget = lpDst;
  e.lpSrc = lpSrc;
  e.x = x, e.y = y, e.w = w, e.h = h;
  e.sx = sx, e.sy = sy, e.sw = sw, e.sh = sh;
  e.nFlags = nFlags;
  e.dwColor = lpDTCon->dwDrawColor;
  e.nColorOp = lpDTCon->nColorOp;
  e.nAlphaOp = lpDTCon->nAlphaOp;
  batch->Entries.push_back(e);
  return true;
}

bool SameRun(const DDBATCHENTRY& a, const DDBATCHENTRY& b) {
  return a.lpSrc == b.lpSrc && a.lpTarget == b.lpTarget && a.dwColor == b.dwColor && a.nFlags == b.nFlags &&
         a.nColorOp == b.nColorOp && a.nAlphaOp == b.nAlphaOp;
}

void DrawRun(const DDBATCHENTRY* first, size_t n) {
  RasterVB* vb = nullptr;
  if (lpDevice->CreateVertexBuffer(4 * n, &vb) != D3D_OK) {
    WriteReportLog("CreateVertexBuffer Err");
    return;
  }
  if (DDBeginScene() && DDSetRenderTarget(first->lpTarget)) {
    // All the run's clears come before its draws, so that a later rectangle's clear never wipes
    // an earlier draw of the same run.
    for (size_t k = 0; k < n; ++k) {
      const DDBATCHENTRY& e = first[k];
      DDClearForOpaqueQuad(e.lpTarget, e.x, e.y, e.w, e.h, e.lpSrc, e.nFlags);
    }
    for (size_t k = 0; k < n; ++k) {
      const DDBATCHENTRY& e = first[k];
      DDDrawQuadNow(e.lpTarget, e.x, e.y, e.w, e.h, e.lpSrc, e.sx, e.sy, e.sw, e.sh, e.nFlags, e.dwColor, e.nColorOp,
                    e.nAlphaOp, false);
    }
  }
  DDRestoreRenderTarget();
  vb->Release();
}

void PopBatch() {
  if (g_BatchList.empty()) return;
  g_BatchList.pop_back();
  g_nBatchCount = static_cast<int>(g_BatchList.size());
  g_nBatchCurrent = g_nBatchCount - 1;
  g_lpBatch = g_BatchList.empty() ? nullptr : &g_BatchList.back();
}

}  // namespace

void DDBeginBatch(int bGroupByTexture) {
  if (!lpDTCon) return;
  g_lpfnBatchAppend = &BatchAppend;
  if (g_nBatchCount >= DD_BATCH_MAX) {
    ++g_nRefusedBatches;
    return;
  }
  DDBATCH& batch = g_BatchList.emplace_back();
  batch.bActive = 1;
  batch.bGroupByTexture = bGroupByTexture;
  g_nBatchCount = static_cast<int>(g_BatchList.size());
  g_nBatchCurrent = g_nBatchCount - 1;
  g_lpBatch = &batch;
}

int DDEndBatch() {
  if (!lpDTCon) return 1;
  if (g_nRefusedBatches > 0) {
    --g_nRefusedBatches;
    return 1;
  }
  if (!g_lpBatch) return 1;
  std::vector<DDBATCHENTRY>& entries = g_lpBatch->Entries;
  // The index makes the order total, so this equals a stable sort by key.
  if (g_lpBatch->bGroupByTexture)
    std::sort(entries.begin(), entries.end(), [](const DDBATCHENTRY& a, const DDBATCHENTRY& b) {
      return a.nKey != b.nKey ? a.nKey < b.nKey : a.nIndex < b.nIndex;
    });
  if (lpDevice) {
    for (size_t i = 0; i < entries.size();) {
      size_t end = i + 1;
      while (end < entries.size() && SameRun(entries[i], entries[end])) ++end;
      DrawRun(&entries[i], end - i);
      i = end;
    }
  }
  PopBatch();
  return 1;
}

void DDBatchSuspend() {
  if (g_lpBatch) g_lpBatch->bActive = 0;
}

void DDBatchResume() {
  if (g_lpBatch) g_lpBatch->bActive = 1;
}

void DDBatchAddOrder(const DDBATCHORDER& order) {
  if (!g_lpBatch || !g_lpBatch->bActive || !g_lpBatch->bGroupByTexture) return;
  DDSURFACEDATA* src = order.lpSrc;
  DDRedirectToSrcSD(&src);
  for (const DDBATCHORDER& old : g_lpBatch->Orders)
    if (old.lpSrc == src && (!old.bCell || !order.bCell || (old.sx == order.sx && old.sy == order.sy))) return;
  g_lpBatch->Orders.push_back({src, order.bCell, order.sx, order.sy, KeyBase(g_lpBatch->Orders.size())});
}

void DDBatchOrderRect(DDSURFACEDATA* lpSrc, int sx, int sy) { DDBatchAddOrder({lpSrc, 1, sx, sy, 0}); }

void DDBatchOrder(DDSURFACEDATA* lpSrc) { DDBatchAddOrder({lpSrc, 0, 0, 0, 0}); }
