// Records and constants of the DD drawing layer: surfaces and their two back-end parts, image
// slots, the two drawing contexts, colour masks and palette entries.
#pragma once

#include <cstdint>

#include "platform/raster/device.h"
#include "platform/win_types.h"

using HRESULT = int32_t;
using D3DCOLOR = DWORD;
using D3DFORMAT = int32_t;
using D3DTEXTUREOP = int32_t;

constexpr D3DFORMAT D3DFMT_UNKNOWN = 0;
constexpr D3DFORMAT D3DFMT_A8R8G8B8 = 21;
constexpr D3DFORMAT D3DFMT_X8R8G8B8 = 22;
constexpr D3DFORMAT D3DFMT_R5G6B5 = 23;
constexpr D3DFORMAT D3DFMT_A1R5G5B5 = 25;

constexpr D3DTEXTUREOP D3DTOP_DISABLE = 1;
constexpr D3DTEXTUREOP D3DTOP_SELECTARG1 = 2;
constexpr D3DTEXTUREOP D3DTOP_SELECTARG2 = 3;
constexpr D3DTEXTUREOP D3DTOP_MODULATE = 4;
constexpr D3DTEXTUREOP D3DTOP_ADD = 7;
constexpr D3DTEXTUREOP D3DTOP_SUBTRACT = 10;
constexpr D3DTEXTUREOP D3DTOP_BLENDFACTORALPHA = 14;

constexpr int32_t D3DTA_DIFFUSE = 0;
constexpr int32_t D3DTA_TEXTURE = 2;
constexpr int32_t D3DTA_TFACTOR = 3;

constexpr HRESULT D3D_OK = t4::platform::raster::RS_OK;
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = t4::platform::raster::RS_OUTOFVIDEOMEMORY;
constexpr HRESULT D3DERR_DEVICELOST = t4::platform::raster::RS_DEVICELOST;
constexpr HRESULT D3DERR_DEVICENOTRESET = t4::platform::raster::RS_DEVICENOTRESET;
constexpr HRESULT DDERR_SURFACELOST = t4::platform::raster::RS_SURFACELOST;

constexpr int BLT_OPAQUE = 0;
constexpr int BLT_TRANSPARENT = 1;

constexpr int DTMEMORYTYPE_VIDEO_RT = 0;
constexpr int DTMEMORYTYPE_SYSTEM = 1;
constexpr int DTMEMORYTYPE_VIDEO_NORT = 2;

// Initialisation and surface result codes.
constexpr int CREATEEX_ERR = 1;
constexpr int SETCOOPLEVEL_ERR = 2;
constexpr int SETDISPLAYMODE_ERR = 3;
constexpr int CREATESURFACE_ERR = 4;
constexpr int GETATTACHEDSURFACE_ERR = 5;
constexpr int CREATEPALETTE_ERR = 6;
constexpr int SETPALETTE_ERR = 7;
constexpr int LOADIMAGE_ERR = 8;
constexpr int SETCOLORKEY_ERR = 9;
constexpr int CLIPPER_ERR = 10;
constexpr int SETHWND_ERR = 11;
constexpr int SETCLIPPER_ERR = 12;

constexpr int SURFACE_NAME_SIZE = 260;

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

struct RGBTRIPLE {
  BYTE rgbtBlue = 0;
  BYTE rgbtGreen = 0;
  BYTE rgbtRed = 0;
};

// Shifts and right-aligned masks of a pixel format (31 for five bits).
struct DDCOLORMASK {
  int32_t nRShift = 0, nGShift = 0, nBShift = 0, nAShift = 0;
  int32_t nRMask = 0, nGMask = 0, nBMask = 0, nAMask = 0;
};

// Size and format of a texture level.
struct SURFACEDESC {
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  D3DFORMAT Format = D3DFMT_UNKNOWN;
};

using RasterSurface = t4::platform::raster::Resource;
using RasterVB = t4::platform::raster::VertexBuffer;

struct DTSURFACEDATA {
  int32_t nSerial = 0;
  RasterSurface* lpSurface = nullptr;
  RasterSurface* lpSystemSurface = nullptr;
  RasterVB* lpVB = nullptr;
  RasterSurface* lpTexture = nullptr;
  SURFACEDESC desc;
  int32_t nMemoryType = 0;
  int32_t bColorKey = 0;
  int32_t bRenderTarget = 0;
  BYTE* lpIndexMap = nullptr;
};

struct DDSURFACEPART {
  RasterSurface* lpDDS = nullptr;
  BYTE* lpIndexMap = nullptr;
};

struct DDSURFACEDATA {
  DTSURFACEDATA* lpDT = nullptr;
  DDSURFACEPART* lpDDPart = nullptr;
  char szName[SURFACE_NAME_SIZE] = {};
  int32_t nWidth = 0, nHeight = 0;
  int32_t nTexWidth = 0, nTexHeight = 0;
  char szFile[SURFACE_NAME_SIZE] = {};
  int32_t nDDMemory = 0;
  int32_t nMirrorW = 0, nMirrorH = 0;
  DDSURFACEDATA* lpSrcSD = nullptr;
  BOOL bLost = 0;
};

struct IMAGESLOT {
  char szFile[SURFACE_NAME_SIZE] = {};
  int32_t bColorKey = 0;
  int32_t nDDMemory = 0;
  int32_t nMemoryType = 0;
  int32_t bShared = 0;
  int32_t bKeepPixels = 0;
  int32_t bOptional = 0;
  int32_t nMirrorW = 0, nMirrorH = 0;
  int32_t nWidth = 0, nHeight = 0;
};

struct PRESENTPARAMS {
  int32_t nWidth = 0, nHeight = 0, nRefresh = 0;
  D3DFORMAT Format = D3DFMT_UNKNOWN;
  int32_t nBackBufferCount = 1;
  int32_t bWindowed = 1;
  int32_t bSwapDiscard = 1;
  int32_t bIntervalDefault = 0;
  int32_t bLockableBackBuffer = 1;
};

struct DEVICECAPS {
  int32_t bPow2 = 0, bSquareOnly = 0, bDynamicTextures = 0, bAlphaFullScreenFlipOrDiscard = 0;
  int32_t nMaxTextureWidth = 0, nMaxTextureHeight = 0;
};

struct DTCONTEXT {
  D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
  D3DFORMAT TextureFormat = D3DFMT_UNKNOWN;
  PRESENTPARAMS PresentParams;
  int32_t nAdapter = 0;
  int32_t nDeviceType = 1;
  D3DFORMAT CreatedFormat = D3DFMT_UNKNOWN;
  DEVICECAPS Caps;
  int32_t bTexPow2 = 0, bTexSquareOnly = 0, bDynamicTextures = 0;
  int32_t bVirtualBackBuffer = 0;
  DDSURFACEDATA* lpRestoreTarget = nullptr;
  int32_t bInCopy = 0;
  RGBTRIPLE rgbTransmit;
  RGBTRIPLE rgbKey_16;
  DWORD dwTransmit_32 = 0;
  D3DCOLOR dwKeyColor = 0;
  WORD wTransmit_16 = 0;
  WORD wKeyColor_16 = 0;
  int32_t bInScene = 0;
  D3DCOLOR dwDrawColor = 0xFFFFFFFF;
  D3DTEXTUREOP nColorOp = D3DTOP_MODULATE;
  D3DTEXTUREOP nAlphaOp = D3DTOP_SELECTARG1;
  int32_t nTextureSerial = 0;
  int32_t nFontSerial = 0;
  char* lpszFailText = nullptr;
};

struct DDCONTEXT {
  RGBTRIPLE rgbTransmit;
  RGBTRIPLE rgbTransmit_16;
  int32_t nFontSerial = 0;
};
