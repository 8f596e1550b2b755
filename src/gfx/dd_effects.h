// Screen fades, palette operations and the picture effects of the DD drawing layer: strips,
// translucent and tinted blits, rotation, lens, blur and mosaic.
#pragma once

#include "gfx/dd.h"

// ---- fades and palette operations ----
// Fade angles in degrees, one per direction and drawing mode; each rests at its start value
// between fades (fade outs at 90, fade ins at 0).
extern double g_dD3DFadeOutAngle;
extern double g_dD3DFadeInAngle;
extern double g_dDDFadeOutAngle;
extern double g_dDDFadeInAngle;
// The 8-bit colour-mixing table: entry [a + b x 256] shows index a drawn half over index b.
extern BYTE g_HbtTable[65536];

// One step of a fade from the picture to the colour (out) or from the colour to the picture (in);
// true on the step that completes the fade.
bool DDFadeOut(PALETTEENTRY* lpWork, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
               PALETTEENTRY* lpMaster, bool bSkip);
bool DDFadeIn(PALETTEENTRY* lpWork, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
              PALETTEENTRY* lpMaster, bool bSkip);
// Entries nFirst..nLast of lpSrc mixed toward the colour: factor 256 keeps them, 0 gives the colour.
void DDBlendPalette(PALETTEENTRY* lpOut, int nFirst, int nLast, int nFactor, int nRed, int nGreen, int nBlue,
                    const PALETTEENTRY* lpSrc);
// The hi-colour frame in lpSrcSD mixed toward the colour into lpDstSD (blit mode).
int DDFade_UnPal(DDSURFACEDATA* lpDstSD, int nFactor, int nRed, int nGreen, int nBlue, DDSURFACEDATA* lpSrcSD);
// Copies lpSrc to lpOut and rotates entries nFirst..nLast by nAmount places (direction 0 toward
// higher indexes, 1 toward lower ones). lpOut and lpSrc may be the same palette.
void DDRotatePalette(PALETTEENTRY* lpOut, int nFirst, int nLast, int nAmount, int nDirection,
                     const PALETTEENTRY* lpSrc);
// Render mode: lays the colour over the whole destination with strength (255 - nAlpha) / 255.
int DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha, BYTE bRed, BYTE bGreen,
                  BYTE bBlue);
int DDChangeColorEx(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpTexSD, int nAlpha,
                    BYTE bRed, BYTE bGreen, BYTE bBlue);
// Reads the 64 KB mixing table (blit mode; the render mode needs none).
bool DDLoadColorTable(BYTE* lpTable, const char* szFile);

// ---- strip effects (pieces drawn with ordinary blits) ----
int DDBltSplit(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int nStrip, int nOffset, DDSURFACEDATA* lpSrc, int sx,
               int sy, int nFlags, bool bHorizontal);
int DDBltWave(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int nWaves, double dAmplitude, int nPhase, int nStrip,
              DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags, bool bHorizontal);
int DDBltSpin(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrcA, int sxA, int syA,
              DDSURFACEDATA* lpSrcB, int sxB, int syB, int sw, int sh, int nFlags, int nCounter, int nAxis);
int DDBltBurst(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nDistance,
               int nFlags);
int DDBltCircle(DDSURFACEDATA* lpDst, int cx, int cy, int nHalfW, int nHalfH, int nRadius, int nBand,
                DDSURFACEDATA* lpSrc, int scx, int scy, int nFlags);

// ---- per-pixel effects ----
// nAlpha: 0 opaque .. 255 invisible (the quad of the render mode); the software paths mix half
// and half. lpTable is the 8-bit mixing table.
bool DDBltTrans(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
                BYTE* lpTable, int nAlpha);
bool DDBltHalfTrans(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
                    BYTE* lpTable);
// The picture mixed toward palette entry nIndex, strength 1 (half) to 4 (nearly the colour).
// lpDrawState: null or {D3DCOLOR, D3DTEXTUREOP} as DDBltState takes it.
bool DDBltTint(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int nFlags,
               const PALETTEENTRY* lpPalette, const BYTE* lpTable, int nIndex, int nStrength, const int* lpDrawState);
// The w x h picture rotated by nAngle degrees (clockwise on screen) about its pivot (px, py),
// which lands on (cx, cy).
bool DDBltRotate(DDSURFACEDATA* lpDst, int cx, int cy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* lpSrc,
                 int sx, int sy, int nFlags);
// The disc of nRadius around (scx, scy) magnified onto (cx, cy); smaller depth magnifies more.
bool DDBltLens(DDSURFACEDATA* lpDst, int cx, int cy, int nRadius, int nDepth, DDSURFACEDATA* lpSrc, int scx, int scy,
               int nFlags, bool bClearOutside, const int* lpDrawState);
bool DDBltBlur(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* lpSrc, int sx, int sy,
               int nFlags, const int* lpDrawState);
bool DDBltMosaic(DDSURFACEDATA* lpDst, int x, int y, int w, int h, int nBlock, DDSURFACEDATA* lpSrc, int sx, int sy,
                 int nFlags, const int* lpDrawState);
