// Palette mixing and rotation, and the 8-bit colour-mixing table.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gfx/dd_effects.h"
#include "platform/files.h"

BYTE g_HbtTable[65536];

void DDBlendPalette(PALETTEENTRY* lpOut, int nFirst, int nLast, int nFactor, int nRed, int nGreen, int nBlue,
                    const PALETTEENTRY* lpSrc) {
  if (!lpOut || !lpSrc) return;
  // The range comes from callers' data: only the 256 entries of a palette exist.
  const int first = std::clamp(nFirst, 0, 255), last = std::clamp(nLast, 0, 255);
  const int f = std::clamp(nFactor, 0, 256), k = 256 - f;
  for (int i = first; i <= last; ++i) {
    const PALETTEENTRY s = lpSrc[i];
    lpOut[i].peRed = static_cast<BYTE>((s.peRed * f + nRed * k) >> 8);
    lpOut[i].peGreen = static_cast<BYTE>((s.peGreen * f + nGreen * k) >> 8);
    lpOut[i].peBlue = static_cast<BYTE>((s.peBlue * f + nBlue * k) >> 8);
    lpOut[i].peFlags = 1;
  }
}

void DDRotatePalette(PALETTEENTRY* lpOut, int nFirst, int nLast, int nAmount, int nDirection,
                     const PALETTEENTRY* lpSrc) {
  if (!lpOut || !lpSrc || !(g_nBpp == 8 || g_nBpp == 16 || g_nBpp == 32)) return;
  std::memmove(lpOut, lpSrc, 256 * sizeof(PALETTEENTRY));  // both may be the same palette
  const int first = std::clamp(nFirst, 0, 255), last = std::clamp(nLast, 0, 255);
  if (first > last || (nDirection != 0 && nDirection != 1)) return;
  // Rotating by the range's length or any multiple of it changes nothing; a negative amount
  // turns the other way.
  const int n = last - first + 1;
  const int amount = static_cast<int>(((int64_t{nAmount} % n) + n) % n);
  PALETTEENTRY* begin = lpOut + first;
  if (nDirection == 0)
    std::rotate(begin, begin + (n - amount), begin + n);
  else
    std::rotate(begin, begin + amount, begin + n);
}

bool DDLoadColorTable(BYTE* lpTable, const char* szFile) {
  if (lpDTCon) return true;
  if (!lpTable || !szFile) return false;
  FILE* fp = t4::platform::OpenFile(szFile, "rb");
  if (!fp) return false;
  // A shorter file fills only its own length.
  std::fread(lpTable, 1, 65536, fp);
  std::fclose(fp);
  return true;
}
