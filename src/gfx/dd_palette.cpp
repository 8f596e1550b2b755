// The master palette, palette-index colours and the transparent colour in all its forms.
#include "core/message_box.h"
#include "core/report_log.h"
#include "gfx/dd_internal.h"

using namespace t4::platform::raster;
using namespace t4::gfx;

PALETTEENTRY g_Palette[256];
PALETTEENTRY g_PaletteWork[256];
DWORD g_dwColorKey = 0;

namespace {

BYTE DirectDrawFlags(int i) { return (i < 10 || i > 245) ? 2 : 1; }

// A colour-table colour as the blit mode keeps a palette entry at the screen's depth.
PALETTEENTRY BlitModeEntry(BYTE r, BYTE g, BYTE b) {
  if (g_nBpp != 16) return {r, g, b, 0};
  const DDCOLORMASK& m = g_TexMask;
  return {static_cast<BYTE>(r * m.nRMask / 255), static_cast<BYTE>(g * m.nGMask / 255),
          static_cast<BYTE>(b * m.nBMask / 255), 0};
}

}  // namespace

void DDSetPaletteEntries(int nFirst, int nCount, const PALETTEENTRY* lpEntries) {
  if (!g_lpDDPalette || !lpEntries || nFirst < 0 || nCount <= 0 || nFirst >= 256) return;
  nCount = std::min(nCount, 256 - nFirst);
  PaletteColor colors[256];
  for (int i = 0; i < nCount; ++i)
    colors[i] = {lpEntries[i].peRed, lpEntries[i].peGreen, lpEntries[i].peBlue, lpEntries[i].peFlags};
  g_lpDDPalette->SetEntries(nFirst, nCount, colors);
}

bool DDLoadPaletteFromFile(PALETTEENTRY* lpPalette, const char* szFile) {
  if (!lpPalette) return false;
  auto bmp = LoadBitmapFile(szFile);
  if (!bmp) return false;
  bool read = false;
  if (bmp->bitCount == 8) {
    if (lpDTCon) {
      for (int i = 0; i < 256; ++i)
        lpPalette[i] = {bmp->colorTable[i].red, bmp->colorTable[i].green, bmp->colorTable[i].blue, 255};
    } else if (g_nBpp == 8) {
      for (int i = 0; i < 256; ++i)
        lpPalette[i] = {bmp->colorTable[i].red, bmp->colorTable[i].green, bmp->colorTable[i].blue, DirectDrawFlags(i)};
      read = true;
    } else {
      // The blit mode's own entry layout (raw field values at 16 bits), so that entries a short
      // picture has no pixels for still take the colour table's colours, as in the render mode.
      for (int i = 0; i < 256 && i < static_cast<int>(bmp->colorTable.size()); ++i)
        lpPalette[i] = BlitModeEntry(bmp->colorTable[i].red, bmp->colorTable[i].green, bmp->colorTable[i].blue);
    }
  }
  if (!lpDTCon && g_nBpp == 8) DDSetPaletteEntries(0, 256, lpPalette);
  if ((g_nBpp == 16 || g_nBpp == 24 || g_nBpp == 32) && !read) {
    if (bmp->width < 16 || bmp->height < 24)
      WriteReportLog(
          "%s: the palette picture is %d x %d, smaller than 16 x 24; the entries it has no pixels for keep %s", szFile,
          bmp->width, bmp->height, bmp->bitCount == 8 ? "their colour-table colours" : "the colours they had");
    DDSURFACEDATA temp;
    if (DDCreateSurfaceFromFile(&temp, szFile, FALSE, g_nBpp, 1, DTMEMORYTYPE_SYSTEM, nullptr, FALSE, 0, 0, FALSE) == 0)
      DDSetPalette_UnPal(lpPalette, &temp);
    DDReleaseSurface(&temp);
  }
  return true;
}

DWORD PalNumToRGB(DWORD dwPalNum) {
  // Indexes come from project data: anything past the palette is colour 0 in every mode.
  if (dwPalNum > 255) {
    if (lpDTCon) DebugLogf("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %u", dwPalNum);
    return 0;
  }
  const PALETTEENTRY& e = g_Palette[dwPalNum];
  if (lpDTCon) {
    if (g_nBpp == 8) return dwPalNum;
    if (g_nBpp == 16 || g_nBpp == 32) {
      if (dwPalNum == 0) return lpDTCon->dwTransmit_32;
      return 0xFF000000u | static_cast<DWORD>(e.peRed) << 16 | e.peGreen << 8 | e.peBlue;
    }
    return 0;
  }
  switch (g_nBpp) {
    case 8: return dwPalNum;
    case 16: return DDPalToRGB16(&e);
    case 24:
    case 32: return static_cast<DWORD>(e.peRed) << 16 | e.peGreen << 8 | e.peBlue;
    default: return 0;
  }
}

WORD DDPalToRGB16(const PALETTEENTRY* lpEntry) {
  if (lpDTCon) {
    DebugLogf("DDPalToRGB16はDirect3Dでは未対応");
    return 0;
  }
  const DDCOLORMASK& m = g_TexMask;
  return static_cast<WORD>((lpEntry->peBlue & m.nBMask) << m.nBShift | (lpEntry->peGreen & m.nGMask) << m.nGShift |
                           (lpEntry->peRed & m.nRMask) << m.nRShift);
}

void DDSetTransmit(BYTE cbRed, BYTE cbGreen, BYTE cbBlue) {
  const DDCOLORMASK& m = g_TexMask;
  if (lpDTCon) {
    lpDTCon->rgbTransmit = {cbBlue, cbGreen, cbRed};
    DebugLogf(
        "SetTrans lpDTCon->rgbTransmit.rgbtRed = %d,lpDTCon->rgbTransmit.rgbtGreen = %d,lpDTCon->rgbTransmit.rgbtBlue "
        "= %d",
        cbRed, cbGreen, cbBlue);
    const D3DCOLOR opaque = 0xFF000000u | static_cast<DWORD>(cbRed) << 16 | cbGreen << 8 | cbBlue;
    if (g_nBpp == 32) {
      lpDTCon->dwTransmit_32 = 0;
      lpDTCon->dwKeyColor = opaque;
      lpDTCon->wTransmit_16 = 0;
      lpDTCon->wKeyColor_16 = 0;
      g_dwColorKey = 0;
    } else if (g_nBpp == 16) {
      lpDTCon->dwTransmit_32 = 0;
      lpDTCon->dwKeyColor = opaque;
      lpDTCon->wTransmit_16 = 0;
      lpDTCon->wKeyColor_16 = static_cast<WORD>((cbBlue & m.nBMask) << m.nBShift | (cbGreen & m.nGMask) << m.nGShift |
                                                (cbRed & m.nRMask) << m.nRShift | 1 << m.nAShift);
    }
    return;
  }
  if (g_nBpp == 32) {
    g_dwColorKey = static_cast<DWORD>(cbRed) << 16 | cbGreen << 8 | cbBlue;
    if (g_lpDDCon) g_lpDDCon->rgbTransmit = {cbBlue, cbGreen, cbRed};
  } else if (g_nBpp == 16) {
    g_dwColorKey = static_cast<DWORD>(cbBlue * m.nBMask / 255) << m.nBShift |
                   static_cast<DWORD>(cbGreen * m.nGMask / 255) << m.nGShift |
                   static_cast<DWORD>(cbRed * m.nRMask / 255) << m.nRShift;
    DebugLogf("※16bit色で　DDSetTransmit(BYTE cbRed,BYTE cbGreen,BYTE cbBlue)　は未対応！");
    if (m.nRMask && m.nGMask && m.nBMask)
      DebugErrorBoxf("Tr %u RGB32(%d,%d,%d) -> RGB16(%d,%d,%d)", g_dwColorKey, cbRed, cbGreen, cbBlue,
                     static_cast<int>(((g_dwColorKey >> m.nRShift) & m.nRMask) * 255 / m.nRMask),
                     static_cast<int>(((g_dwColorKey >> m.nGShift) & m.nGMask) * 255 / m.nGMask),
                     static_cast<int>(((g_dwColorKey >> m.nBShift) & m.nBMask) * 255 / m.nBMask));
  }
}

int DDSetTransmitFromFile(const char* szFile) {
  DDSURFACEDATA temp;
  if (DDCreateSurfaceFromFile(&temp, szFile, FALSE, g_nBpp, 1, DTMEMORYTYPE_SYSTEM, nullptr, FALSE, 0, 0, FALSE) != 0) {
    DebugLogf("%s 作成失敗！", szFile ? szFile : "");
    DDReleaseSurface(&temp);
    return 0;
  }
  cSurfaceLock lock;
  if (!lock.Lock(&temp)) {
    DebugLogf("Lock 失敗！");
    DDReleaseSurface(&temp);
    return 0;
  }
  // An empty picture has no first pixel to take the colour from.
  if (lock.Width() < 1 || lock.Height() < 1 || temp.nWidth < 1 || temp.nHeight < 1) {
    lock.Unlock();
    DDReleaseSurface(&temp);
    return 0;
  }
  const uint32_t p = lock.Get(0, 0);
  const DDCOLORMASK& m = g_TexMask;
  if (lpDTCon && g_nBpp == 16) {
    g_dwColorKey = p;
    auto bmp = LoadBitmapFile(szFile);
    if (!bmp) {
      lock.Unlock();
      DDReleaseSurface(&temp);
      return 0;
    }
    if (bmp->bitCount == 8)
      lpDTCon->rgbKey_16 = {bmp->colorTable[0].blue, bmp->colorTable[0].green, bmp->colorTable[0].red};
    DDSetTransmit(static_cast<BYTE>((p >> m.nRShift) & m.nRMask), static_cast<BYTE>((p >> m.nGShift) & m.nGMask),
                  static_cast<BYTE>((p >> m.nBShift) & m.nBMask));
    DebugLogf("SetTrans(filename) lpDTCon->wTransmit_16 = (%x)", lpDTCon->wTransmit_16);
  } else if (lpDTCon && g_nBpp == 32) {
    DDSetTransmit(static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p));
  } else if (!lpDTCon) {
    if (g_nBpp == 8 || g_nBpp == 16) {
      g_dwColorKey = p;
    } else if (g_nBpp == 32) {
      g_dwColorKey = p;
      if (g_lpDDCon)
        g_lpDDCon->rgbTransmit = {static_cast<BYTE>(p), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p >> 16)};
    }
  }
  lock.Unlock();
  DDReleaseSurface(&temp);
  return 1;
}

void DDScanPixelFormat(DDCOLORMASK* lpMask) {
  if (lpDTCon || !g_lpDD || !lpMask) return;
  const ChannelLayout l = LayoutOf(g_lpDD->DisplayFormat());
  const int bits = BitsPerPixel(g_lpDD->DisplayFormat());
  auto scan = [bits](uint32_t fullMask, int32_t& shift, int32_t& mask) {
    shift = 0;
    while (shift < bits && fullMask && !(fullMask & (1u << shift))) ++shift;
    mask = static_cast<int32_t>(fullMask >> shift);
  };
  scan(l.rMask << l.rShift, lpMask->nRShift, lpMask->nRMask);
  scan(l.gMask << l.gShift, lpMask->nGShift, lpMask->nGMask);
  scan(l.bMask << l.bShift, lpMask->nBShift, lpMask->nBMask);
}

int DDSetPalette_UnPal(PALETTEENTRY* lpOut, DDSURFACEDATA* lpSD) {
  if (!lpOut || !lpSD) return 1;
  cSurfaceLock lock;
  if (!lock.Lock(lpSD)) {
    DebugLogf("DDSetPalette_UnPal Lock Err");
    return 1;
  }
  const DDCOLORMASK& m = g_TexMask;
  const int bytes = lock.m_nBytesPerPixel;
  for (int n = 0; n < 256; ++n) {
    const int x = n % 16, y = 8 + n / 16;
    // A palette picture smaller than 16 x 24 leaves the entries it cannot hold as they were.
    if (x >= lpSD->nWidth || y >= lpSD->nHeight || x >= lock.Width() || y >= lock.Height()) continue;
    const uint32_t p = lock.Get(x, y);
    PALETTEENTRY& e = lpOut[n];
    if (lpDTCon && bytes == 4) {
      if ((p >> 24) == 0) continue;
      e = {static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p), static_cast<BYTE>(p >> 24)};
    } else if (lpDTCon && bytes == 2) {
      if (((p >> m.nAShift) & m.nAMask) == 0) continue;
      e.peRed = static_cast<BYTE>(((p >> m.nRShift) & m.nRMask) * 255 / m.nRMask);
      e.peGreen = static_cast<BYTE>(((p >> m.nGShift) & m.nGMask) * 255 / m.nGMask);
      e.peBlue = static_cast<BYTE>(((p >> m.nBShift) & m.nBMask) * 255 / m.nBMask);
    } else if (!lpDTCon && bytes == 4) {
      e = {static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p), static_cast<BYTE>(p >> 24)};
    } else if (!lpDTCon && bytes == 2) {
      e.peRed = static_cast<BYTE>((p >> m.nRShift) & m.nRMask);
      e.peGreen = static_cast<BYTE>((p >> m.nGShift) & m.nGMask);
      e.peBlue = static_cast<BYTE>((p >> m.nBShift) & m.nBMask);
    }
  }
  return 1;
}
