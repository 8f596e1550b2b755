// Surfaces loaded from bitmap files: file textures, bitmap copies into blit surfaces, mirrored
// cells, palette-index copies and the image-slot loader.
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/message_box.h"
#include "core/report_log.h"
#include "gfx/dd_internal.h"
#include "platform/files.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

namespace t4::gfx {

std::optional<Bitmap> LoadBitmapFile(const char* szFile) {
  if (!szFile || !*szFile) return std::nullopt;
  std::unique_ptr<FILE, int (*)(FILE*)> f(t4::platform::OpenFile(szFile, "rb"), &std::fclose);
  if (!f) return std::nullopt;
  // A bitmap of the largest accepted size at 32 bits, with headers.
  constexpr size_t kMaxBytes = static_cast<size_t>(BMP_MAX_SIDE) * BMP_MAX_SIDE * 4 + 4096;
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), f.get())) > 0) {
    if (bytes.size() + n > kMaxBytes) return std::nullopt;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  std::string error;
  auto bmp = ReadBmp(bytes, &error);
  if (!bmp) DebugLogf("%s: %s", szFile, error.c_str());
  return bmp;
}
}  // namespace t4::gfx

namespace {

// Writes a bitmap into a texture the way the texture loader does: the colour key (0x00RRGGBB)
// becomes transparent black, every other pixel opaque; the rest of a larger texture stays clear.
void FillTexture(RasterSurface& tex, const Bitmap& bmp, uint32_t keyRgb) {
  tex.Fill(0);
  const int w = std::min(bmp.width, tex.Width()), h = std::min(bmp.height, tex.Height());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t rgb = bmp.Rgb(x, y);
      tex.SetPixel(x, y, rgb == keyRgb ? 0 : FromArgb(tex.Format(), 0xFF000000u | rgb));
    }
}

uint32_t D3DKeyRgb() {
  const RGBTRIPLE& k = g_nBpp == 16 ? lpDTCon->rgbKey_16 : lpDTCon->rgbTransmit;
  return static_cast<uint32_t>(k.rgbtRed) << 16 | k.rgbtGreen << 8 | k.rgbtBlue;
}

int FieldBits(int mask) { return std::popcount(static_cast<unsigned>(mask)); }

// Mirrored position of index i in cells of c (c = 0: unchanged).
int Mirror(int i, int c) { return c > 0 ? c * (i / c + 1) - (i % c) - 1 : i; }

uint8_t MatchPaletteIndex(uint32_t rgb) {
  for (int i = 0; i < 256; ++i) {
    const PALETTEENTRY& e = g_Palette[i];
    if ((static_cast<uint32_t>(e.peRed) << 16 | e.peGreen << 8 | e.peBlue) == rgb) return static_cast<uint8_t>(i);
  }
  return 0;
}

}  // namespace

int DDCreateSurfaceFromFile(DDSURFACEDATA* lpSD, const char* szFile, BOOL bColorKey, int nBpp, int nDDMemory,
                            int nMemoryType, DDSURFACEDATA* lpSrcSD, BOOL bKeepPixels, int nMirrorW, int nMirrorH,
                            BOOL bReload) {
  if (!lpSD) return CREATESURFACE_ERR;
  // Paths come from project data: one that does not fit the record is a load failure.
  if (!szFile || std::strlen(szFile) >= SURFACE_NAME_SIZE) return LOADIMAGE_ERR;
  if (lpDTCon && lpDevice) {
    DDAllocSurfaceParts(lpSD);
    DTSURFACEDATA* dt = lpSD->lpDT;
    if (!bReload) {
      CopyName(lpSD->szName, "OffScreenFromFile");
      if (lpSD->szFile != szFile) CopyName(lpSD->szFile, szFile);
      if (dt->lpTexture || dt->lpSurface || dt->lpSystemSurface) DDReleaseSurface(lpSD), DDAllocSurfaceParts(lpSD);
      dt = lpSD->lpDT;
      dt->nMemoryType = nMemoryType;
      dt->bColorKey = bColorKey == 1 ? 1 : 0;
      if (!lpSrcSD) {
        dt->nSerial = lpDTCon->nTextureSerial++;
        if (dt->lpVB) dt->lpVB->Release();
        dt->lpVB = nullptr;
        if (HRESULT hr = lpDevice->CreateVertexBuffer(4, &dt->lpVB); hr != D3D_OK) {
          WriteReportLog("CreateVertexBuffer Err %x", static_cast<unsigned>(hr));
          return hr;
        }
      }
    }
    auto bmp = LoadBitmapFile(szFile);
    if (!bmp) {
      if (*szFile) WriteReportLog("LoadImage Err %s", szFile);
      return LOADIMAGE_ERR;
    }
    if (lpSrcSD) {
      lpSD->nWidth = lpSD->nTexWidth = bmp->width;
      lpSD->nHeight = lpSD->nTexHeight = bmp->height;
    } else {
      int tw = bmp->width, th = bmp->height;
      DDAdjustTextureSize(&tw, &th);
      CheckTextureSize(tw, th, szFile);
      const PixelFormat format = ToRasterFormat(lpDTCon->TextureFormat);
      int type = dt->nMemoryType;
      if (type == DTMEMORYTYPE_VIDEO_NORT) {
        DebugLogf(
            "DDCreateSurfaceFromFile Err "
            "DTMEMORYTYPE_VIDEO_NORTの指定は未対応です。DTMEMORYTYPE_VIDEO_RTでテクスチャを作成します。");
        type = DTMEMORYTYPE_VIDEO_RT;
      }
      if (type == DTMEMORYTYPE_VIDEO_RT) {
        dt->bRenderTarget = 0;
        if (dt->lpTexture) dt->lpTexture->Release(), dt->lpTexture = nullptr;
        const HRESULT hr = lpDevice->CreateTexture(tw, th, false, false, format, Pool::Managed, &dt->lpTexture);
        if (hr == D3DERR_OUTOFVIDEOMEMORY) {
          WriteReportLog("VRAM不足のためシステムメモリにテクスチャを作成します。(%s)", szFile);
          type = DTMEMORYTYPE_SYSTEM;
        } else if (hr != D3D_OK) {
          WriteReportLog("テクスチャの作成に失敗。(%s)", szFile);
          return hr;
        }
      }
      const bool keep = type == DTMEMORYTYPE_SYSTEM && bReload && dt->lpTexture;
      if (type == DTMEMORYTYPE_SYSTEM && !keep) {
        if (dt->lpTexture) dt->lpTexture->Release(), dt->lpTexture = nullptr;
        const HRESULT hr = lpDevice->CreateTexture(tw, th, false, true, format, Pool::SystemMem, &dt->lpTexture);
        if (hr != D3D_OK) {
          WriteReportLog("D3DXCreateTextureFromFileEx Err %x %s", static_cast<unsigned>(hr), szFile);
          FailTextureAndClose();
          return hr;
        }
      }
      dt->nMemoryType = type;
      if (!keep) FillTexture(*dt->lpTexture, *bmp, D3DKeyRgb());
      if (!dt->lpSurface) {
        dt->lpSurface = dt->lpTexture;
        dt->lpSurface->AddRef();
      }
      dt->desc = {dt->lpSurface->Width(), dt->lpSurface->Height(), ToD3DFormat(dt->lpSurface->Format())};
      lpSD->nWidth = bmp->width;
      lpSD->nHeight = bmp->height;
      lpSD->nTexWidth = dt->desc.nWidth;
      lpSD->nTexHeight = dt->desc.nHeight;
      int result = 0;
      if ((nMirrorW || nMirrorH) && !keep) {
        DDSURFACEDATA temp;
        if (DDCreateSurfaceFromFile(&temp, szFile, bColorKey, nBpp, nDDMemory, nMemoryType, nullptr, FALSE, 0, 0,
                                    FALSE) != 0 ||
            !CreateMirror(lpSD, &temp, nMirrorW, nMirrorH)) {
          WriteReportLog("CreateMirror Err");
          result = 1;
        }
        DDReleaseSurface(&temp);
      }
      if (!bReload) g_SurfaceList.push_back(lpSD);
      if (result != 0) return result;
    }
    lpSD->nMirrorW = nMirrorW;
    lpSD->nMirrorH = nMirrorH;
    lpSD->nDDMemory = nDDMemory;
    delete[] dt->lpIndexMap;
    dt->lpIndexMap = nullptr;
    if (bKeepPixels && nBpp != 8) DDBuildIndexMap(lpSD);
    return 0;
  }
  if (g_lpDDCon && g_lpDD) {
    auto bmp = LoadBitmapFile(szFile);
    if (!bmp) {
      DebugLogf("%s", szFile);
      return LOADIMAGE_ERR;
    }
    if (!DDCreateSurface(lpSD, bmp->width, bmp->height, bColorKey, nDDMemory, 0, nullptr, FALSE))
      return CREATESURFACE_ERR;
    if (!CopyBitmap(lpSD, szFile, nBpp, bKeepPixels, nMirrorW, nMirrorH)) return LOADIMAGE_ERR;
    lpSD->nMirrorW = nMirrorW;
    lpSD->nMirrorH = nMirrorH;
    lpSD->nDDMemory = nDDMemory;
    return 0;
  }
  return CREATESURFACE_ERR;
}

bool CopyBitmap(DDSURFACEDATA* lpSD, const char* szFile, int /*nBpp*/, BOOL bKeepPixels, int nMirrorW, int nMirrorH) {
  if (lpDTCon || !szFile || !*szFile) return true;
  if (!lpSD || !lpSD->lpDDPart || !lpSD->lpDDPart->lpDDS) return false;
  if (std::strlen(szFile) >= SURFACE_NAME_SIZE) return false;
  auto bmp = LoadBitmapFile(szFile);
  if (!bmp) return false;
  RasterSurface& s = *lpSD->lpDDPart->lpDDS;
  if (!DDLock(lpSD, nullptr, g_nBpp)) return false;
  const int depth = s.BytesPerPixel() * 8;
  const bool sameSize = bmp->width == s.Width() && bmp->height == s.Height();
  if (!sameSize)
    DebugLogf("CopyBitmap Err %s Surface(%d,%d) Bmp(%d,%d)", szFile, s.Width(), s.Height(), bmp->width, bmp->height);
  // A file that changed size on disk since the surface was made: palette surfaces take nothing
  // from it, the others only the common area.
  const int w = std::min(bmp->width, s.Width());
  const int h = depth == 8 && !sameSize ? 0 : std::min(bmp->height, s.Height());
  const DDCOLORMASK& m = g_TexMask;
  const uint32_t keyRgb = g_lpDDCon ? (static_cast<uint32_t>(g_lpDDCon->rgbTransmit_16.rgbtRed) << 16 |
                                       g_lpDDCon->rgbTransmit_16.rgbtGreen << 8 | g_lpDDCon->rgbTransmit_16.rgbtBlue)
                                    : 0;
  for (int y = 0; y < h; ++y) {
    const int dy = Mirror(y, nMirrorH);
    if (dy >= s.Height()) continue;
    for (int x = 0; x < w; ++x) {
      const int dx = Mirror(x, nMirrorW);
      if (dx >= s.Width()) continue;
      const uint32_t rgb = bmp->Rgb(x, y);
      const uint32_t r = rgb >> 16 & 255, g = rgb >> 8 & 255, b = rgb & 255;
      uint32_t v = 0;
      if (depth == 8) {
        v = bmp->indexes.empty() ? MatchPaletteIndex(rgb) : bmp->indexes[static_cast<size_t>(y) * bmp->width + x];
      } else if (depth == 16 && bmp->bitCount >= 24) {
        if (rgb == keyRgb) {
          v = g_dwColorKey;
        } else {
          v = (r * m.nRMask / 255) << m.nRShift | (g * m.nGMask / 255) << m.nGShift | (b * m.nBMask / 255) << m.nBShift;
          // A colour that lands on the key by rounding would vanish; keep it visible.
          if (v == g_dwColorKey) v = ((v >> m.nBShift) & m.nBMask) == static_cast<uint32_t>(m.nBMask) ? v - 1 : v + 1;
        }
      } else if (depth == 16) {
        v = (r >> (8 - FieldBits(m.nRMask))) << m.nRShift | (g >> (8 - FieldBits(m.nGMask))) << m.nGShift |
            (b >> (8 - FieldBits(m.nBMask))) << m.nBShift;
      } else {
        v = rgb;
      }
      s.SetPixel(dx, dy, v);
    }
  }
  lpSD->nWidth = s.Width();
  lpSD->nHeight = s.Height();
  lpSD->nMirrorW = nMirrorW;
  lpSD->nMirrorH = nMirrorH;
  if (lpSD->szFile != szFile) CopyName(lpSD->szFile, szFile);
  if (bKeepPixels && depth != 8) return DDBuildIndexMap(lpSD);
  delete[] lpSD->lpDDPart->lpIndexMap;
  lpSD->lpDDPart->lpIndexMap = nullptr;
  return true;
}

bool CreateMirror(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, int nMirrorW, int nMirrorH) {
  if (!lpDTCon || !lpDst || !lpSrc) return false;
  if (nMirrorW == 0 || nMirrorH != 0) return true;
  if (lpDst->lpDT && lpDst->lpDT->bRenderTarget) {
    if (DDSetRenderTarget(lpDst)) lpDevice->Clear(nullptr, lpDTCon->dwKeyColor);
    DDRestoreRenderTarget();
  }
  for (int k = 0; k < lpSrc->nWidth / nMirrorW; ++k) {
    const int x = k * nMirrorW;
    DDBltStretch(lpDst, x, 0, nMirrorW, lpSrc->nHeight, lpSrc, x + nMirrorW, 0, -nMirrorW, lpSrc->nHeight, BLT_OPAQUE);
  }
  return true;
}

bool DDBuildIndexMap(DDSURFACEDATA* lpSD) {
  if (!lpSD) return false;
  cSurfaceLock lock;
  if (!lock.Lock(lpSD)) {
    OutOfMemoryClose();
    return false;
  }
  const int w = lock.Width(), h = lock.Height();
  BYTE* map = new BYTE[static_cast<size_t>(w) * h]();
  BYTE*& slot = lpSD->lpDT ? lpSD->lpDT->lpIndexMap : lpSD->lpDDPart->lpIndexMap;
  delete[] slot;
  slot = map;
  const PixelFormat format = lock.Pixels()->Format();
  const bool keyed = lpSD->lpDT && lpSD->lpDT->bColorKey;
  const DDCOLORMASK& m = g_TexMask;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t p = lock.Get(x, y);
      int found = -1;
      if (lpDTCon && BytesPerPixel(format) == 2) {
        if (keyed && p == 0) {
          found = 0;
        } else {
          const uint32_t r = ((p >> m.nRShift) & m.nRMask) * 255 / m.nRMask;
          const uint32_t g = ((p >> m.nGShift) & m.nGMask) * 255 / m.nGMask;
          const uint32_t b = ((p >> m.nBShift) & m.nBMask) * 255 / m.nBMask;
          for (int i = 0; i < 256 && found < 0; ++i)
            if (g_Palette[i].peRed == r && g_Palette[i].peGreen == g && g_Palette[i].peBlue == b) found = i;
        }
      } else if (BytesPerPixel(format) >= 3) {
        const uint32_t rgb = p & 0xFFFFFF;
        for (int i = 0; i < 256 && found < 0; ++i)
          if ((static_cast<uint32_t>(g_Palette[i].peRed) << 16 | g_Palette[i].peGreen << 8 | g_Palette[i].peBlue) ==
              rgb)
            found = i;
      } else if (BytesPerPixel(format) == 2) {
        for (int i = 0; i < 256 && found < 0; ++i)
          if (DDPalToRGB16(&g_Palette[i]) == p) found = i;
      }
      // Pixels without a palette colour read as index 0.
      map[static_cast<size_t>(y) * w + x] = static_cast<BYTE>(found < 0 ? 0 : found);
    }
  }
  return true;
}

bool DDIsBitmapLarger(BOOL* lpbLarger, const char* szFile, int nMaxWidth, int nMaxHeight) {
  if (lpDTCon) {
    // The caller reads the flag whatever the mode.
    if (lpbLarger) *lpbLarger = 0;
    return true;
  }
  auto bmp = LoadBitmapFile(szFile);
  if (!bmp) {
    if (lpbLarger) *lpbLarger = 0;
    return false;
  }
  if (lpbLarger) *lpbLarger = (bmp->width > nMaxWidth || bmp->height > nMaxHeight) ? 1 : 0;
  return true;
}

bool DDReloadBitmap(DDSURFACEDATA* lpSD, int nBpp) {
  if (lpDTCon) return true;
  if (!lpSD || !lpSD->lpDDPart) return false;
  char file[SURFACE_NAME_SIZE];
  std::memcpy(file, lpSD->szFile, sizeof(file));
  return CopyBitmap(lpSD, file, nBpp, lpSD->lpDDPart->lpIndexMap != nullptr, lpSD->nMirrorW, lpSD->nMirrorH);
}

bool DDLoadImageSlots(DDSURFACEDATA* lpTable, const int* lpIndexes, int nCount) {
  if (!lpTable || !lpIndexes || !g_lpImageSlots) return false;
  for (int i = 0; i < nCount; ++i) {
    const int index = lpIndexes[i];
    if (index < 0 || index >= g_nSurfaceCount) continue;
    DDSURFACEDATA* sd = &lpTable[index];
    const IMAGESLOT& slot = g_lpImageSlots[index];
    DDReleaseSurface(sd);
    // Shared slots get no texture of their own; any non-null source says so.
    DDSURFACEDATA* shared = slot.bShared ? (sd->lpSrcSD ? sd->lpSrcSD : sd) : nullptr;
    char file[SURFACE_NAME_SIZE];
    std::memcpy(file, slot.szFile, sizeof(file));
    file[SURFACE_NAME_SIZE - 1] = '\0';
    if (std::strcmp(file, "E") != 0) {
      const int result = DDCreateSurfaceFromFile(sd, file, slot.bColorKey, g_nBpp, slot.nDDMemory, slot.nMemoryType,
                                                 shared, slot.bKeepPixels, slot.nMirrorW, slot.nMirrorH, FALSE);
      if (!DDCheckSurfaceError(result) && !slot.bOptional) {
        ErrorBoxf("%s の読み込みに失敗！", file);
        return false;
      }
    } else if (!DDCreateSurface(sd, slot.nWidth, slot.nHeight, slot.bColorKey, slot.nDDMemory, slot.nMemoryType, shared,
                                FALSE) &&
               !slot.bOptional) {
      OutOfMemoryClose();
      return false;
    }
  }
  return true;
}
