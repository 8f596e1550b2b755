// The DD drawing layer: one interface over the two drawing back ends (textured quads on a render
// device, or blits on a blit device), both running on the software renderer.
#pragma once

#include <list>
#include <vector>

#include "gfx/dd_types.h"

// ---- layer settings and objects ----
extern int g_bUseD3D;
extern HWND g_hDDWnd;
extern int g_nScreenWidth, g_nScreenHeight;
extern int g_nBpp, g_nBytesPerPixel;
extern int g_nWindowMode;
extern int g_nBackBufferMode;
extern int g_bVSync;
extern int g_nRefreshRate;
extern int g_bUseRefreshRate;
extern DDSURFACEDATA* g_lpSurfaceTable;
extern int g_nSurfaceCount;
extern IMAGESLOT* g_lpImageSlots;
extern int g_bDDInitDone;

extern t4::platform::raster::GraphicsSystem* g_lpD3D;
extern t4::platform::raster::RenderDevice* lpDevice;
extern t4::platform::raster::BlitDevice* g_lpDD;
extern t4::platform::raster::HardwarePalette* g_lpDDPalette;
extern int g_lpDDClipper;  // the clipper exists (windowed blit mode)
extern RECT g_rcClient;

extern DDSURFACEDATA BackBuffer, VirBackBuffer, WorkSD, g_PrimarySD, g_ScreenCopySD;
extern DTCONTEXT* lpDTCon;
extern DDCONTEXT* g_lpDDCon;
extern DDCOLORMASK g_TexMask, g_BackMask;

extern PALETTEENTRY g_Palette[256];
extern PALETTEENTRY g_PaletteWork[256];
extern DWORD g_dwColorKey;
extern std::list<DDSURFACEDATA*> g_SurfaceList;
extern int g_bBltPresent;

// ---- context and initialisation ----
bool DDInit(BOOL bUseD3D, HWND hWnd, int nWidth, int nHeight, int nBpp, BOOL bVSync, int nWindowMode,
            int nBackBufferMode, int nRefreshRate, BOOL bUseRefreshRate, DDSURFACEDATA* lpSurfaceTable,
            IMAGESLOT* lpImageSlots, int nCount, int nUnused = 0);
void DDRelease();
void DDExit();
bool DDInitD3D(HWND hWnd, int w, int h, int bpp, int nBackBufferMode);
int DDInitFullScreen(HWND hWnd, int w, int h, int bpp, int nBackBufferMode);
int DDInitWindow(HWND hWnd);
bool DDCheckInitError(int nCode);
void DDSetDefaultRenderStates();
void DDSetDrawColor(D3DCOLOR color);
void DDResetDrawColor();
void DDSetColorOp(D3DTEXTUREOP op);
void DDResetColorOp();
void DDSetAlphaOp(D3DTEXTUREOP op);
void DDResetAlphaOp();
void DDSetVirtualBackBuffer(bool bOn);
int DDRedirectToVirBackBuffer(DDSURFACEDATA** lplpTarget);
void DDCopyVirBackBuffer(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc);
// Lets the display report ask the drawing layer for its mode, depth, video memory and device.
void DDInstallReportHooks();
// Stores the text shown when a texture cannot be created (start-up, after a Direct3D DDInit).
void DDSetTextureFailText(const char* szText);

// ---- surfaces and image slots ----
void DDAllocSurfaceParts(DDSURFACEDATA* lpSD);
bool DDCreateSurface(DDSURFACEDATA* lpSD, int nWidth, int nHeight, BOOL bColorKey, int nDDMemory, int nMemoryType,
                     DDSURFACEDATA* lpSrcSD, BOOL bReload = FALSE);
int DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const char* szFile, BOOL bColorKey, int nBpp, int nDDMemory,
                            int nMemoryType, DDSURFACEDATA* lpSrcSD, BOOL bKeepPixels, int nMirrorW, int nMirrorH,
                            BOOL bReload);
bool DDCheckSurfaceError(int nResult);
bool DDLoadImageSlots(DDSURFACEDATA* lpTable, const int* lpIndexes, int nCount);
bool DDAddSurface(std::vector<DDSURFACEDATA>& surfaces, std::vector<IMAGESLOT>& slots, int nWidth, int nHeight,
                  BOOL bColorKey, int nDDMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD);
bool DDAddSurfaceToList(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots, int nWidth, int nHeight,
                        BOOL bColorKey, int nDDMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD);
bool DDInsertSurfaceToList(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots, int nPos, int nWidth,
                           int nHeight, BOOL bColorKey, int nDDMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD);
bool DDRemoveSurfaceFromList(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots, DDSURFACEDATA* lpSD);
void DDReleaseSurface(DDSURFACEDATA* lpSD);
inline void DDFreeSurface(DDSURFACEDATA* lpSD) { DDReleaseSurface(lpSD); }
void DDReleaseSurfaceVector(std::vector<DDSURFACEDATA>& surfaces);
void DDReleaseSurfaceList(std::list<DDSURFACEDATA>& surfaces);
bool DDReloadBitmap(DDSURFACEDATA* lpSD, int nBpp);
bool CopyBitmap(DDSURFACEDATA* lpSD, const char* szFile, int nBpp, BOOL bKeepPixels, int nMirrorW, int nMirrorH);
bool CreateMirror(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, int nMirrorW, int nMirrorH);
bool DDBuildIndexMap(DDSURFACEDATA* lpSD);
bool DDIsBitmapLarger(BOOL* lpbLarger, const char* szFile, int nMaxWidth, int nMaxHeight);
void DDRedirectToSrcSD(DDSURFACEDATA** lplpSD);
void LinkSurfaceData();
bool DDLock(DDSURFACEDATA* lpSD, BYTE** lplpBits, int nBpp);
void DDAdjustTextureSize(int* lpnWidth, int* lpnHeight);

// Pixel access to a record, through both redirections in the render mode.
class cSurfaceLock {
 public:
  cSurfaceLock() = default;
  ~cSurfaceLock() { Unlock(); }
  cSurfaceLock(const cSurfaceLock&) = delete;
  cSurfaceLock& operator=(const cSurfaceLock&) = delete;

  bool Lock(DDSURFACEDATA* lpSD);
  void Unlock();
  // The locked pixels as the renderer holds them (null while not locked).
  RasterSurface* Pixels() const { return m_lpLocked; }
  uint32_t Get(int x, int y) const { return m_lpLocked->GetPixel(x, y); }
  void Set(int x, int y, uint32_t v) { m_lpLocked->SetPixel(x, y, v); }
  int Width() const { return m_lpLocked ? m_lpLocked->Width() : 0; }
  int Height() const { return m_lpLocked ? m_lpLocked->Height() : 0; }

  DDSURFACEDATA* m_lpSD = nullptr;
  BYTE* m_lpBits = nullptr;
  int32_t m_nPitch = 0;
  int32_t m_nBpp = 0;
  int32_t m_nBytesPerPixel = 0;

 private:
  RasterSurface* m_lpLocked = nullptr;
  int32_t m_nKind = 0;  // 0 none, 1 direct, 2 render-target copy
};

// ---- palette and transparent colour ----
bool DDLoadPaletteFromFile(PALETTEENTRY* lpPalette, const char* szFile);
DWORD PalNumToRGB(DWORD dwPalNum);
WORD DDPalToRGB16(const PALETTEENTRY* lpEntry);
void DDSetTransmit(BYTE cbRed, BYTE cbGreen, BYTE cbBlue);
int DDSetTransmitFromFile(const char* szFile);
void DDScanPixelFormat(DDCOLORMASK* lpMask);
int DDSetPalette_UnPal(PALETTEENTRY* lpOut, DDSURFACEDATA* lpSD);
// Sets entries of the 8-bit hardware palette (what the palette object's SetEntries does).
void DDSetPaletteEntries(int nFirst, int nCount, const PALETTEENTRY* lpEntries);

// ---- blits, fills, scenes ----
int DDBlt(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags);
int DDBltStretch(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw, int sh,
                 int nFlags);
int DDBltStretchState(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
                      int sh, int nFlags, const int* lpState);
int DDBltState(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
               const int* lpState);
int DDClipBlt(DDSURFACEDATA* lpDst, int* x, int* y, int* w, int* h, DDSURFACEDATA* lpSrc, int* sx, int* sy, int* sw,
              int* sh);
void DDAdjustMirror(DDSURFACEDATA* lpSrc, int* sx, int* sy, int* sw, int* sh);
int DDFillRectPal(DDSURFACEDATA* lpSD, int x, int y, int w, int h, DWORD dwPalNum);
int DDClearPal(DDSURFACEDATA* lpSD, DWORD dwPalNum);
int DDFillRect(DDSURFACEDATA* lpSD, int x, int y, int w, int h, DWORD dwColor);
int DDClear(DDSURFACEDATA* lpSD, DWORD dwColor);
void DDBeginFillBatch();
int DDEndFillBatch();
bool DDBeginScene();
void DDEndScene();
bool DDSetRenderTarget(DDSURFACEDATA* lpSD);
// Makes the context's restore render target current again.
void DDRestoreRenderTarget();

// A deferred-draw collector (the sprite batches) takes render-mode quads while it is active:
// it returns true when it kept the draw. Null while no collector is installed.
using DDBatchAppendFn = bool (*)(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy,
                                 int sw, int sh, int nFlags);
extern DDBatchAppendFn g_lpfnBatchAppend;
// Draws one quad of `lpSrc` into the current render target now (used by the batches' flush too).
// An opaque draw of a colour-keyed source first clears its rectangle to the key, unless the
// caller did that already (`bClearFirst` false: a batch run clears all its rectangles first).
void DDDrawQuadNow(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
                   int sh, int nFlags, D3DCOLOR dwColor, D3DTEXTUREOP nColorOp, D3DTEXTUREOP nAlphaOp,
                   bool bClearFirst = true);
// The clear of an opaque draw of a colour-keyed source: its rectangle of the render target to
// the target's key. Nothing for other draws.
void DDClearForOpaqueQuad(DDSURFACEDATA* lpDst, int x, int y, int w, int h, const DDSURFACEDATA* lpSrc, int nFlags);

// ---- present, dialogs, restore ----
int DDFlip(unsigned nFps = 60, bool bShowInfo = false, DDSURFACEDATA* lpInfoSD = nullptr);
int DDRestoreSurface();
bool DDRestore();
// Blit mode: whether the screen's surfaces were lost (always false in the render mode).
bool DDIsPrimaryLost();
// Blit mode: restores one lost surface; one with a file is reloaded from it (false when that
// fails), one without is marked lost for its owner to draw again. True when it was not lost.
bool DDRestoreOneSurface(DDSURFACEDATA* lpSD);
int DDSetDialogMode(BOOL bOn);
int DDMesBox(const char* szText, const char* szCaption, UINT uType);
bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD);
// The fonts restore their caches after a loss (installed by the font module).
using DDFontRestoreFn = void (*)();
extern DDFontRestoreFn g_lpfnFontRestore;
