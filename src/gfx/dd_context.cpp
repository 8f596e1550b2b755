// Drawing context: start and end of the layer, draw state and the virtual back buffer.
#include <cassert>
#include <cstring>
#include <string>

#include "core/message_box.h"
#include "core/report_log.h"
#include "core/timing.h"
#include "gfx/dd_internal.h"

using namespace t4::platform::raster;

int g_bUseD3D = 0;
HWND g_hDDWnd = nullptr;
int g_nScreenWidth = 0, g_nScreenHeight = 0;
int g_nBpp = 0, g_nBytesPerPixel = 0;
int g_nWindowMode = 0;
int g_nBackBufferMode = 0;
int g_bVSync = 0;
int g_nRefreshRate = 0;
int g_bUseRefreshRate = 0;
DDSURFACEDATA* g_lpSurfaceTable = nullptr;
int g_nSurfaceCount = 0;
IMAGESLOT* g_lpImageSlots = nullptr;
int g_bDDInitDone = 0;

GraphicsSystem* g_lpD3D = nullptr;
RenderDevice* lpDevice = nullptr;
BlitDevice* g_lpDD = nullptr;
HardwarePalette* g_lpDDPalette = nullptr;
int g_lpDDClipper = 0;
RECT g_rcClient;

DDSURFACEDATA BackBuffer, VirBackBuffer, WorkSD, g_PrimarySD, g_ScreenCopySD;
DTCONTEXT* lpDTCon = nullptr;
DDCONTEXT* g_lpDDCon = nullptr;
DDCOLORMASK g_TexMask, g_BackMask;

namespace t4::gfx {

GraphicsSystem& System() {
  GraphicsSystem* s = GetGraphicsSystem();
  assert(s && "the graphics system is installed at start-up");
  return *s;
}

PixelFormat ToRasterFormat(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8: return PixelFormat::A8R8G8B8;
    case D3DFMT_X8R8G8B8: return PixelFormat::X8R8G8B8;
    case D3DFMT_R5G6B5: return PixelFormat::R5G6B5;
    case D3DFMT_A1R5G5B5: return PixelFormat::A1R5G5B5;
    default: return PixelFormat::Unknown;
  }
}

D3DFORMAT ToD3DFormat(PixelFormat format) {
  switch (format) {
    case PixelFormat::A8R8G8B8: return D3DFMT_A8R8G8B8;
    case PixelFormat::X8R8G8B8: return D3DFMT_X8R8G8B8;
    case PixelFormat::R5G6B5: return D3DFMT_R5G6B5;
    case PixelFormat::A1R5G5B5:
    case PixelFormat::X1R5G5B5: return D3DFMT_A1R5G5B5;
    default: return D3DFMT_UNKNOWN;
  }
}

bool CopyName(char (&dst)[SURFACE_NAME_SIZE], const char* src) {
  if (!src) src = "";
  const size_t n = std::strlen(src);
  if (n >= SURFACE_NAME_SIZE) return false;
  std::memcpy(dst, src, n + 1);
  return true;
}

StageState StageFor(D3DTEXTUREOP colorOp, D3DTEXTUREOP alphaOp) {
  StageState st;
  st.colorOp = colorOp;
  st.colorArg1 = D3DTA_TEXTURE;
  st.colorArg2 = D3DTA_DIFFUSE;
  st.alphaOp = alphaOp;
  st.alphaArg1 = D3DTA_TEXTURE;
  st.alphaArg2 = D3DTA_DIFFUSE;
  return st;
}

RasterSurface* PixelsOf(DDSURFACEDATA* lpSD) {
  if (!lpSD) return nullptr;
  if (lpSD->lpDT) return lpSD->lpDT->lpSurface;
  if (lpSD->lpDDPart) return lpSD->lpDDPart->lpDDS;
  return nullptr;
}

}  // namespace t4::gfx

using namespace t4::gfx;

namespace {

void SetMask(DDCOLORMASK& m, int r, int g, int b, int a, int rm, int gm, int bm, int am) {
  m = {r, g, b, a, rm, gm, bm, am};
}

// The first "ShowCursor until" loops of the set-ups: hide until negative, show until not negative.
void HideCursor() {
  while (System().ShowCursor(false) >= 0) {
  }
}
void ShowCursorUntilVisible() {
  while (System().ShowCursor(true) < 0) {
  }
}

PresentParams ToDeviceParams(const PRESENTPARAMS& p) {
  PresentParams d;
  d.width = p.nWidth != 0 ? p.nWidth : g_nScreenWidth;
  d.height = p.nHeight != 0 ? p.nHeight : g_nScreenHeight;
  d.format = ToRasterFormat(p.Format);
  d.windowed = p.bWindowed != 0;
  d.vsync = p.bIntervalDefault != 0;
  return d;
}

// The three screen records of the blit mode take the screen size; the copy lives in system memory.
void SizeScreenRecords(int w, int h) {
  for (DDSURFACEDATA* sd : {&g_PrimarySD, &BackBuffer, &g_ScreenCopySD}) {
    sd->nWidth = sd->nTexWidth = w;
    sd->nHeight = sd->nTexHeight = h;
  }
  g_PrimarySD.nDDMemory = 0;
  BackBuffer.nDDMemory = 0;
  g_ScreenCopySD.nDDMemory = 1;
}

int CreateBlitter(bool fullScreen) {
  if (System().TakeFailure(Op::CreateBlitter)) {
    WriteReportLog("DirectDrawCreateEx Err");
    return CREATEEX_ERR;
  }
  g_lpDD = new BlitDevice(System());
  if (g_lpDD->SetCooperativeLevel(fullScreen) != D3D_OK) {
    WriteReportLog("SetCooperativeLevel Err");
    return SETCOOPLEVEL_ERR;
  }
  return 0;
}

// Creates the 256-entry palette; above 8 bits the surfaces use channel masks instead of it.
int SetUpPalette(const PaletteColor* entries, int bpp) {
  if (g_lpDD->CreatePalette(entries, &g_lpDDPalette) != D3D_OK) {
    WriteReportLog("CreatePalette Err");
    return CREATEPALETTE_ERR;
  }
  if (bpp > 8) {
    DDScanPixelFormat(&g_TexMask);
  } else if (g_lpDD->SetPalette(g_lpDDPalette) != D3D_OK) {
    WriteReportLog("SetPalette Err");
    return SETPALETTE_ERR;
  }
  return 0;
}

}  // namespace

bool DDInit(BOOL bUseD3D, HWND hWnd, int nWidth, int nHeight, int nBpp, BOOL bVSync, int nWindowMode,
            int nBackBufferMode, int nRefreshRate, BOOL bUseRefreshRate, DDSURFACEDATA* lpSurfaceTable,
            IMAGESLOT* lpImageSlots, int nCount, int /*nUnused*/) {
  // Only a full screen (0) or a window (1) can be set up; anything else would leave the layer
  // without a back buffer while reporting success.
  if (nWindowMode != 0 && nWindowMode != 1) {
    WriteReportLog("DDInit WindowMode Err %d", nWindowMode);
    return false;
  }
  // A second set-up releases the first before anything new exists, so no context leaks and the
  // mode tests see only the new one.
  if (g_bDDInitDone) DDRelease();
  DDInstallReportHooks();

  g_bUseD3D = bUseD3D;
  g_hDDWnd = hWnd;
  g_nScreenWidth = nWidth;
  g_nScreenHeight = nHeight;
  g_nBpp = nBpp;
  g_nBytesPerPixel = nBpp / 8;
  g_bVSync = bVSync;
  g_nWindowMode = nWindowMode;
  g_nBackBufferMode = nBackBufferMode;
  g_nRefreshRate = nRefreshRate;
  g_bUseRefreshRate = bUseRefreshRate;
  g_lpSurfaceTable = lpSurfaceTable;
  g_lpImageSlots = lpImageSlots;
  g_nSurfaceCount = nCount;
  WriteReportLog("VSync : %d", g_bVSync);

  if (bUseD3D) {
    if (!DDInitD3D(hWnd, nWidth, nHeight, nBpp, nBackBufferMode)) return false;
  } else {
    g_lpDDCon = new DDCONTEXT();
    if (nWindowMode == 0) {
      System().GetDisplay().SetFullScreen(true);
      if (!DDCheckInitError(DDInitFullScreen(hWnd, nWidth, nHeight, nBpp, nBackBufferMode))) return false;
    } else {
      System().GetDisplay().SetFullScreen(false);
      if (!DDCheckInitError(DDInitWindow(hWnd))) return false;
    }
  }
  g_bDDInitDone = 1;
  InstallMessageBoxHook();
  return true;
}

bool DDCheckInitError(int nCode) {
  static const char* const kNames[] = {nullptr,
                                       "CREATEEX_ERR",
                                       "SETCOOPLEVEL_ERR",
                                       "SETDISPLAYMODE_ERR",
                                       "CREATESURFACE_ERR",
                                       "GETATTACHEDSURFACE_ERR",
                                       "CREATEPALETTE_ERR",
                                       "SETPALETTE_ERR",
                                       "LOADIMAGE_ERR",
                                       "SETCOLORKEY_ERR",
                                       "CLIPPER_ERR",
                                       "SETHWND_ERR",
                                       "SETCLIPPER_ERR"};
  if (nCode == 0) return true;
  if (nCode < 1 || nCode > 12 || nCode == LOADIMAGE_ERR || nCode == SETCOLORKEY_ERR) return true;
  DebugLogf("%s", kNames[nCode]);
  return false;
}

bool DDInitD3D(HWND /*hWnd*/, int w, int h, int bpp, int /*nBackBufferMode*/) {
  GraphicsSystem& sys = System();
  if (sys.driverDdiVersion < 9) {
    WriteReportLog("ビデオカードのドライバがDirectX9をサポートしていません！ %d", sys.driverDdiVersion);
    return false;
  }
  if (sys.TakeFailure(Op::CreateRenderer)) {
    WriteReportLog("ビデオカードがDirectX9をサポートしていません！");
    return false;
  }
  g_lpD3D = &sys;
  lpDTCon = new DTCONTEXT();

  PRESENTPARAMS& pp = lpDTCon->PresentParams;
  if (g_nWindowMode == 1) {
    pp.nWidth = 0;
    pp.nHeight = 0;
    pp.nRefresh = 0;
    if (g_bVSync) {
      const int rate = sys.GetDisplay().RefreshRate();
      WriteReportLog("RefreshRate : %d", rate);
      if (rate != 60) {
        g_bVSync = 0;
        WriteReportLog("リフレッシュレートの変更に失敗しました！垂直同期が無効になります！");
      }
    }
  } else {
    pp.nWidth = g_nScreenWidth;
    pp.nHeight = g_nScreenHeight;
    pp.nRefresh = 60;
  }
  pp.bIntervalDefault = g_bVSync ? 1 : 0;

  if (sys.TakeFailure(Op::GetCaps)) {
    DebugLogf("GetDeviceCaps Err");
  } else {
    DEVICECAPS& c = lpDTCon->Caps;
    c.bPow2 = sys.caps.pow2Textures;
    c.bSquareOnly = sys.caps.squareTextures;
    c.bDynamicTextures = sys.caps.dynamicTextures;
    c.bAlphaFullScreenFlipOrDiscard = sys.caps.alphaFullScreenFlipOrDiscard;
    c.nMaxTextureWidth = sys.caps.maxTextureWidth;
    c.nMaxTextureHeight = sys.caps.maxTextureHeight;
  }
  pp.bSwapDiscard = lpDTCon->Caps.bAlphaFullScreenFlipOrDiscard ? 1 : 0;
  lpDTCon->bTexPow2 = lpDTCon->Caps.bPow2;
  lpDTCon->bTexSquareOnly = lpDTCon->Caps.bSquareOnly;
  lpDTCon->bDynamicTextures = lpDTCon->Caps.bDynamicTextures;

  if (bpp == 32) {
    lpDTCon->BackBufferFormat = D3DFMT_X8R8G8B8;
    lpDTCon->TextureFormat = D3DFMT_A8R8G8B8;
    SetMask(g_TexMask, 16, 8, 0, 24, 255, 255, 255, 255);
  } else if (bpp == 16) {
    lpDTCon->BackBufferFormat = g_nWindowMode == 1 ? D3DFMT_A1R5G5B5 : D3DFMT_R5G6B5;
    lpDTCon->TextureFormat = D3DFMT_A1R5G5B5;
    SetMask(g_TexMask, 10, 5, 0, 15, 31, 31, 31, 1);
    if (g_nWindowMode == 1)
      SetMask(g_BackMask, 10, 5, 0, 15, 31, 31, 31, 1);
    else
      SetMask(g_BackMask, 11, 5, 0, 16, 31, 63, 31, 0);
  } else {
    return false;
  }

  pp.Format = lpDTCon->BackBufferFormat;
  pp.nBackBufferCount = 1;
  pp.bWindowed = g_nWindowMode == 1 ? 1 : 0;
  pp.bLockableBackBuffer = 1;

  const bool hardwareFails = sys.TakeFailure(Op::CreateDeviceHardware).has_value();
  if (sys.TakeFailure(Op::CreateDevice)) {
    DebugLogf("CreateDevice Err");
    return false;
  }
  lpDevice = new RenderDevice(sys, ToDeviceParams(pp));
  WriteReportLog(hardwareFails ? "Device HAL-SOFT" : "Device HAL-HARD");
  WriteReportLog(lpDTCon->BackBufferFormat == D3DFMT_X8R8G8B8 ? "X8R8G8B8"
                 : lpDTCon->BackBufferFormat == D3DFMT_R5G6B5 ? "R5G6B5"
                                                              : "A1R5G5B5");
  lpDTCon->CreatedFormat = pp.Format;
  sys.GetDisplay().SetFullScreen(g_nWindowMode == 0);

  DDSetDefaultRenderStates();
  DDResetDrawColor();
  DDResetColorOp();
  DDResetAlphaOp();

  DDAllocSurfaceParts(&BackBuffer);
  BackBuffer.nWidth = BackBuffer.nTexWidth = w;
  BackBuffer.nHeight = BackBuffer.nTexHeight = h;
  BackBuffer.nDDMemory = 0;
  CopyName(BackBuffer.szName, "BackBuffer");
  BackBuffer.lpDT->nSerial = 0;
  BackBuffer.lpDT->lpTexture = nullptr;
  BackBuffer.lpDT->bRenderTarget = 1;
  if (HRESULT hr = lpDevice->CreateVertexBuffer(4, &BackBuffer.lpDT->lpVB); hr != D3D_OK) {
    WriteReportLog("Back CreateVertexBuffer Err %x", static_cast<unsigned>(hr));
    return false;
  }
  lpDevice->GetBackBuffer(&BackBuffer.lpDT->lpSurface);
  lpDTCon->nTextureSerial = 1;
  lpDTCon->nFontSerial = 0;
  lpDTCon->lpRestoreTarget = &BackBuffer;

  DDAllocSurfaceParts(&VirBackBuffer);
  DDSetVirtualBackBuffer(false);
  lpDTCon->bInCopy = 0;
  if (DDCreateSurface(&VirBackBuffer, BackBuffer.nWidth, BackBuffer.nHeight, FALSE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr,
                      FALSE))
    CopyName(VirBackBuffer.szName, "VirBackBuffer");
  DDAllocSurfaceParts(&WorkSD);
  if (DDCreateSurface(&WorkSD, BackBuffer.nWidth, BackBuffer.nHeight, FALSE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, FALSE))
    CopyName(WorkSD.szName, "WorkSD");
  SetFrameScheduleActive(true);
  if (g_nWindowMode == 0) HideCursor();
  return true;
}

int DDInitFullScreen(HWND /*hWnd*/, int w, int h, int bpp, int nBackBufferMode) {
  SizeScreenRecords(w, h);
  if (const int code = CreateBlitter(true)) return code;
  HRESULT hr = g_bUseRefreshRate ? g_lpDD->SetDisplayMode(w, h, bpp, g_nRefreshRate) : -1;
  if (hr != D3D_OK) hr = g_lpDD->SetDisplayMode(w, h, bpp, 0);
  if (hr != D3D_OK) {
    WriteReportLog("SetDisplayMode Err");
    return SETDISPLAYMODE_ERR;
  }
  DDAllocSurfaceParts(&g_PrimarySD);
  DDAllocSurfaceParts(&BackBuffer);
  if (g_lpDD->CreatePrimary(w, h, nBackBufferMode == 1 ? 1 : 2, &g_PrimarySD.lpDDPart->lpDDS) != D3D_OK) {
    WriteReportLog("Primary CreateSurface Err");
    return CREATESURFACE_ERR;
  }
  if (g_lpDD->GetAttachedBackBuffer(g_PrimarySD.lpDDPart->lpDDS, &BackBuffer.lpDDPart->lpDDS) != D3D_OK) {
    WriteReportLog("GetAttachedSurface Err");
    return GETATTACHEDSURFACE_ERR;
  }
  if (!DDCreateSurface(&g_ScreenCopySD, w, h, FALSE, 1, 0, nullptr, FALSE)) return CREATESURFACE_ERR;
  PaletteColor entries[256];
  for (int i = 0; i < 256; ++i) entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0, 1};
  entries[0] = {0, 0, 255, 1};
  if (const int code = SetUpPalette(entries, bpp)) return code;
  HideCursor();
  return 0;
}

int DDInitWindow(HWND /*hWnd*/) {
  GraphicsSystem& sys = System();
  // The window's client area is the 640 x 480 screen; the presenter scales it.
  g_rcClient = {0, 0, g_nScreenWidth, g_nScreenHeight};
  const int w = g_rcClient.right - g_rcClient.left, h = g_rcClient.bottom - g_rcClient.top;
  SizeScreenRecords(w, h);
  const int desktopBpp = sys.GetDisplay().DesktopBpp();
  if (const int code = CreateBlitter(false)) return code;
  DDAllocSurfaceParts(&g_PrimarySD);
  if (g_lpDD->CreatePrimary(w, h, 0, &g_PrimarySD.lpDDPart->lpDDS) != D3D_OK) {
    WriteReportLog("Primary CreateSurface Err");
    return CREATESURFACE_ERR;
  }
  if (!DDCreateSurface(&BackBuffer, w, h, FALSE, 0, 0, nullptr, FALSE)) return CREATESURFACE_ERR;
  if (!DDCreateSurface(&g_ScreenCopySD, w, h, FALSE, 1, 0, nullptr, FALSE)) return CREATESURFACE_ERR;
  PaletteColor entries[256];
  for (int i = 0; i < 256; ++i) {
    const bool system = i < 10 || i > 245;
    entries[i] =
        system ? PaletteColor{0, 0, 0, 2} : PaletteColor{static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0, 1};
  }
  if (const int code = SetUpPalette(entries, desktopBpp)) return code;
  if (g_lpDD->CreateClipper() != D3D_OK) {
    WriteReportLog("CreateClipper Err");
    return CLIPPER_ERR;
  }
  if (sys.TakeFailure(Op::SetClipperWindow)) {
    WriteReportLog("SetHWnd Err");
    return SETHWND_ERR;
  }
  if (sys.TakeFailure(Op::SetClipper)) {
    WriteReportLog("SetClipper Err");
    return SETCLIPPER_ERR;
  }
  g_lpDDClipper = 1;
  ShowCursorUntilVisible();
  return 0;
}

void DDSetDefaultRenderStates() {
  // Culling off, no depth, source-alpha blending and point sampling with wrap addressing are
  // what the renderer always does; nothing else to set.
}

void DDSetDrawColor(D3DCOLOR color) {
  if (lpDTCon) lpDTCon->dwDrawColor = color;
}
void DDResetDrawColor() { DDSetDrawColor(0xFFFFFFFF); }
void DDSetColorOp(D3DTEXTUREOP op) {
  if (lpDTCon) lpDTCon->nColorOp = op;
}
void DDResetColorOp() { DDSetColorOp(D3DTOP_MODULATE); }
void DDSetAlphaOp(D3DTEXTUREOP op) {
  if (lpDTCon) lpDTCon->nAlphaOp = op;
}
void DDResetAlphaOp() { DDSetAlphaOp(D3DTOP_SELECTARG1); }

void DDSetTextureFailText(const char* szText) {
  if (!lpDTCon) return;
  delete[] lpDTCon->lpszFailText;
  lpDTCon->lpszFailText = nullptr;
  if (!szText) return;
  const size_t n = std::strlen(szText);
  lpDTCon->lpszFailText = new char[n + 1];
  std::memcpy(lpDTCon->lpszFailText, szText, n + 1);
}

void DDRelease() {
  if (g_lpDD) {
    for (int i = 0; i < g_nSurfaceCount && g_lpSurfaceTable; ++i) DDReleaseSurface(&g_lpSurfaceTable[i]);
    g_lpDDClipper = 0;
    if (g_lpDDPalette) g_lpDDPalette->Release();
    g_lpDDPalette = nullptr;
    DDReleaseSurface(&BackBuffer);
    DDReleaseSurface(&g_PrimarySD);
    DDReleaseSurface(&g_ScreenCopySD);
    g_lpDD->RestoreDisplayMode();
    BlitDevice* dd = g_lpDD;
    g_lpDD = nullptr;
    if (dd->Release() > 0) ShowMessageBox("解放漏れがあります", "DirectDraw", MB_ICONERROR);
  }
  delete g_lpDDCon;
  g_lpDDCon = nullptr;
  if (g_lpD3D) {
    for (int i = 0; i < g_nSurfaceCount && g_lpSurfaceTable; ++i) DDReleaseSurface(&g_lpSurfaceTable[i]);
    DDReleaseSurface(&WorkSD);
    DDReleaseSurface(&VirBackBuffer);
    DDReleaseSurface(&BackBuffer);
    if (lpDevice) lpDevice->Release();
    lpDevice = nullptr;
    g_lpD3D = nullptr;
    SetFrameScheduleActive(false);
  }
  if (lpDTCon) {
    delete[] lpDTCon->lpszFailText;
    delete lpDTCon;
    lpDTCon = nullptr;
  }
}

void DDExit() { DDRelease(); }

void DDSetVirtualBackBuffer(bool bOn) {
  if (!lpDTCon) return;
  if (lpDTCon->bVirtualBackBuffer && !bOn && VirBackBuffer.lpDT && VirBackBuffer.lpDT->lpSurface)
    DDCopyVirBackBuffer(&BackBuffer, &VirBackBuffer);
  lpDTCon->bVirtualBackBuffer = bOn ? 1 : 0;
  // Kept as the layer always had it; every draw selects its own target, so this only decides
  // which surface is current between draws.
  lpDTCon->lpRestoreTarget = bOn ? &BackBuffer : &VirBackBuffer;
  if (lpDTCon->lpRestoreTarget->lpDT && lpDTCon->lpRestoreTarget->lpDT->lpSurface)
    DDSetRenderTarget(lpDTCon->lpRestoreTarget);
}

int DDRedirectToVirBackBuffer(DDSURFACEDATA** lplpTarget) {
  if (lpDTCon && lpDTCon->bVirtualBackBuffer && *lplpTarget == &BackBuffer) {
    *lplpTarget = &VirBackBuffer;
    return 1;
  }
  return 0;
}

void DDCopyVirBackBuffer(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc) {
  if (!lpDTCon) return;
  lpDTCon->bInCopy = 1;
  DDSetAlphaOp(D3DTOP_DISABLE);
  DDBlt(lpDst, 0, 0, lpSrc->nWidth, lpSrc->nHeight, lpSrc, 0, 0, BLT_OPAQUE);
  DDResetAlphaOp();
  lpDTCon->bInCopy = 0;
}
