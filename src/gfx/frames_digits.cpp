#include "gfx/frames_digits.h"

int DDDrawFrame(DDSURFACEDATA* lpSD, int x, int y, int w, int h, int nThickness, int nPalNum) {
  const DWORD pal = static_cast<DWORD>(nPalNum);
  DDBeginFillBatch();
  DDFillRectPal(lpSD, x, y, w, nThickness, pal);
  DDFillRectPal(lpSD, x, y + h - nThickness, w, nThickness, pal);
  DDFillRectPal(lpSD, x, y, nThickness, h, pal);
  DDFillRectPal(lpSD, x + w - nThickness, y, nThickness, h, pal);
  return DDEndFillBatch();
}

int DDBltFramed(DDSURFACEDATA* lpSD, int x, int y, int w, int h, DDSURFACEDATA* lpPicture, int nThickness,
                int nPalNum) {
  DDBlt(lpSD, x, y, w, h, lpPicture, 0, 0, BLT_TRANSPARENT);
  return DDDrawFrame(lpSD, x - nThickness, y - nThickness, w + 2 * nThickness, h + 2 * nThickness, nThickness, nPalNum);
}

int DDDrawNumber(DDSURFACEDATA* lpSD, int x, int y, int nDigitW, int nDigitH, DDSURFACEDATA* lpStrip, int sx, int sy,
                 int nFlags, int nValue, int nMinDigits, bool bCentre) {
  // Counts and times only: below zero there is nothing to show but 0 (and INT_MIN has no
  // positive form to take digits from).
  if (nValue < 0) nValue = 0;
  int digits[10];
  int n = 0;
  int rest = nValue;
  do {
    digits[n++] = rest % 10;
    rest /= 10;
  } while (rest != 0 && n < 10);
  if (rest != 0) return 0;
  int offset = 0;
  if (n < nMinDigits) {
    offset = (nMinDigits - n) * nDigitW;
    if (bCentre) offset /= 2;
  }
  for (int i = n - 1; i >= 0; --i) {
    DDBlt(lpSD, x + offset, y, nDigitW, nDigitH, lpStrip, sx + digits[i] * nDigitW, sy, nFlags);
    x += nDigitW;
  }
  return 1;
}
