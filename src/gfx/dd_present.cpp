// Present, modal dialogs over the game, and recovery after lost surfaces or a lost device.
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/timing.h"
#include "gfx/dd_internal.h"
#include "platform/clock.h"
#include "platform/message_box.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

int g_bBltPresent = 0;
DDFontRestoreFn g_lpfnFontRestore = nullptr;

bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD) { return lpSD == &BackBuffer && g_nWindowMode == 0; }

int DDFlip(unsigned nFps, bool bShowInfo, DDSURFACEDATA* lpInfoSD) {
  if (!lpDTCon || !lpDevice) return 1;
  if (lpDTCon->bVirtualBackBuffer) DDCopyVirBackBuffer(&BackBuffer, &VirBackBuffer);
  if (!g_bVSync)
    while (!CheckFrameSchedule(nFps, bShowInfo, lpInfoSD)) t4::platform::Sleep(1);
  DDEndScene();
  if (lpDevice->Present() == D3DERR_DEVICELOST) {
    if (g_nWindowMode == 0) System().GetDisplay().Minimise();
    return 0;
  }
  return 1;
}

int DDRestoreSurface() {
  if (!lpDTCon || !lpDevice) {
    DebugLogf("DDではDDRestoreSurfaceは未対応");
    return 1;
  }
  DebugLogf("Restore In");
  // Only a lost device gives up its surfaces: an activation that finds the device working (the
  // first one after start-up, or coming back after a focus loss that lost nothing) must leave every
  // texture and the back buffer in place, or nothing would re-create them.
  if (lpDevice->TestCooperativeLevel() == D3D_OK) {
    DebugLogf("Restore Out");
    return 1;
  }
  for (DDSURFACEDATA* sd : g_SurfaceList) {
    DTSURFACEDATA* dt = sd->lpDT;
    if (!dt || dt->nMemoryType == DTMEMORYTYPE_SYSTEM) continue;
    if (dt->lpTexture) dt->lpTexture->Release();
    if (dt->lpSurface) dt->lpSurface->Release();
    dt->lpTexture = dt->lpSurface = nullptr;
  }
  if (BackBuffer.lpDT && BackBuffer.lpDT->lpSurface) {
    BackBuffer.lpDT->lpSurface->Release();
    BackBuffer.lpDT->lpSurface = nullptr;
  }
  if (lpDevice->TestCooperativeLevel() != D3DERR_DEVICENOTRESET) {
    DebugLogf("復旧失敗…リセット可能な状態ではありません…");
    return 0;
  }
  PresentParams params = lpDevice->Params();
  if (lpDevice->Reset(params) != D3D_OK) return 0;
  lpDTCon->bInScene = 0;
  DDSetDefaultRenderStates();
  if (BackBuffer.lpDT) lpDevice->GetBackBuffer(&BackBuffer.lpDT->lpSurface);
  for (DDSURFACEDATA* sd : g_SurfaceList) {
    DTSURFACEDATA* dt = sd->lpDT;
    if (!dt) continue;
    const bool hasFile = sd->szFile[0] != '\0' && !(sd->szFile[0] == 'E' && sd->szFile[1] == '\0');
    if (hasFile) {
      if (DDCreateSurfaceFromFile(sd, sd->szFile, dt->bColorKey, g_nBpp, sd->nDDMemory, dt->nMemoryType, sd->lpSrcSD,
                                  FALSE, sd->nMirrorW, sd->nMirrorH, TRUE) != 0)
        DebugLogf("Err");
    } else {
      if (!DDCreateSurface(sd, sd->nWidth, sd->nHeight, dt->bColorKey, sd->nDDMemory, dt->nMemoryType, sd->lpSrcSD,
                           TRUE))
        DebugLogf("Err");
      sd->bLost = 1;
    }
  }
  if (g_lpfnFontRestore) g_lpfnFontRestore();
  if (g_nWindowMode == 0) System().GetDisplay().RestoreWindow();
  DDRestoreRenderTarget();
  DebugLogf("Restore Out");
  return 1;
}

bool DDIsPrimaryLost() {
  if (lpDTCon || !g_lpDD || !g_PrimarySD.lpDDPart || !g_PrimarySD.lpDDPart->lpDDS) return false;
  return g_lpDD->IsLost(g_PrimarySD.lpDDPart->lpDDS) == DDERR_SURFACELOST;
}

bool DDRestoreOneSurface(DDSURFACEDATA* lpSD) {
  if (lpDTCon || !g_lpDD || !lpSD || !lpSD->lpDDPart || !lpSD->lpDDPart->lpDDS) return true;
  if (g_lpDD->IsLost(lpSD->lpDDPart->lpDDS) != DDERR_SURFACELOST) return true;
  g_lpDD->Restore(lpSD->lpDDPart->lpDDS);
  // A system-memory surface keeps its pixels through a loss.
  if (lpSD->nDDMemory != 0) return true;
  const bool hasFile = lpSD->szFile[0] != '\0' && !(lpSD->szFile[0] == 'E' && lpSD->szFile[1] == '\0');
  if (hasFile) return DDReloadBitmap(lpSD, g_nBpp);
  lpSD->bLost = 1;
  return true;
}

bool DDRestore() {
  if (lpDTCon) {
    DebugLogf("D3DではDDRestoreは未対応");
    return true;
  }
  if (!g_lpDD || !g_PrimarySD.lpDDPart || !g_PrimarySD.lpDDPart->lpDDS) return true;
  RasterSurface* primary = g_PrimarySD.lpDDPart->lpDDS;
  if (g_lpDD->IsLost(primary) != DDERR_SURFACELOST) return true;
  g_lpDD->Restore(primary);
  if (BackBuffer.lpDDPart && BackBuffer.lpDDPart->lpDDS &&
      g_lpDD->IsLost(BackBuffer.lpDDPart->lpDDS) == DDERR_SURFACELOST)
    g_lpDD->Restore(BackBuffer.lpDDPart->lpDDS);
  if (g_ScreenCopySD.lpDDPart && g_ScreenCopySD.lpDDPart->lpDDS) g_lpDD->Restore(g_ScreenCopySD.lpDDPart->lpDDS);
  // The table keeps going past a picture that cannot be reloaded; its owner sees it missing.
  for (int i = 0; i < g_nSurfaceCount && g_lpSurfaceTable; ++i) DDRestoreOneSurface(&g_lpSurfaceTable[i]);
  if (g_nBpp == 8) DDSetPaletteEntries(0, 256, g_PaletteWork);
  if (g_lpfnFontRestore) g_lpfnFontRestore();
  return true;
}

int DDSetDialogMode(BOOL bOn) {
  if (g_nWindowMode != 0) return 1;
  GraphicsSystem* sys = GetGraphicsSystem();
  if (lpDTCon && lpDevice) {
    if (bOn) {
      DDEndScene();
      if (lpDevice->SetDialogBoxMode(true) != D3D_OK) {
        DebugLogf("D3D_OK != lpDevice->SetDialogBoxMode(TRUE)");
        return 0;
      }
      if (sys) sys->ShowCursor(true);
    } else {
      if (sys)
        while (sys->ShowCursor(false) >= 0) {
        }
      if (lpDevice->SetDialogBoxMode(false) != D3D_OK) return 0;
    }
  } else if (g_lpDD) {
    if (bOn) {
      if (g_lpDD->FlipToGdiSurface() != D3D_OK) return 0;
      if (sys) sys->ShowCursor(true);
    } else if (sys) {
      while (sys->ShowCursor(false) >= 0) {
      }
    }
  }
  return 1;
}

namespace {

// Shows a box over the full screen; the answer is kept so that questions work there too.
bool ShowBoxOverScreen(const char* szText, const char* szCaption, UINT uType, int* pnResult) {
  if (!DDSetDialogMode(TRUE)) {
    DebugLogf("DDMesBox 失敗! %s, %s", szText ? szText : "", szCaption ? szCaption : "");
    return false;
  }
  const int answer = t4::platform::GetMessageBoxBackend().Show(szText ? szText : "", szCaption ? szCaption : "", uType);
  DDSetDialogMode(FALSE);
  if (pnResult) *pnResult = answer;
  return true;
}

bool FullScreenBoxHook(const char* szText, const char* szCaption, UINT uType, int* pnResult) {
  if (!g_bDDInitDone || g_nWindowMode != 0) return false;
  // A box the screen cannot make room for is not shown at all (a window box would sit unseen
  // behind the full screen); the caller goes on as after a dismissed box.
  if (!ShowBoxOverScreen(szText, szCaption, uType, pnResult) && pnResult) *pnResult = 0;
  return true;
}

}  // namespace

namespace t4::gfx {
void InstallMessageBoxHook() { SetFullScreenMessageBoxHook(&FullScreenBoxHook); }
}  // namespace t4::gfx

int DDMesBox(const char* szText, const char* szCaption, UINT uType) {
  return ShowBoxOverScreen(szText, szCaption, uType, nullptr) ? 1 : 0;
}
