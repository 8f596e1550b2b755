// Frames of four filled bars, framed pictures (message and menu boxes) and numbers drawn from a
// strip of digit cells. They work in both drawing modes through the layer's own operations.
#pragma once

#include "gfx/dd.h"

int DDDrawFrame(DDSURFACEDATA* lpSD, int x, int y, int w, int h, int nThickness, int nPalNum);
int DDBltFramed(DDSURFACEDATA* lpSD, int x, int y, int w, int h, DDSURFACEDATA* lpPicture, int nThickness, int nPalNum);
// A negative value is drawn as 0: the strip has no cells for its digits.
int DDDrawNumber(DDSURFACEDATA* lpSD, int x, int y, int nDigitW, int nDigitH, DDSURFACEDATA* lpStrip, int sx, int sy,
                 int nFlags, int nValue, int nMinDigits, bool bCentre);
