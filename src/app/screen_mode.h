// The screen mode a run asks of the drawing layer, chosen from System.ini, System.dat and the
// desktop.
#pragma once

#include <cstdint>

struct SCREENMODEINPUT {
  int32_t bDirect3D = 1;
  int32_t nWindowMode = 0;  // System.ini WindowMode
  int32_t nBpp = 0;         // System.ini Bpp (0 automatic)
  int32_t nVSync = 2;       // System.ini VSync (2 automatic)
  int32_t nDesktopBpp = 32;
  int32_t bFullColour = 0;  // System.dat colour mode 1
  int32_t nD3DDepth = 0;    // System.dat preferred depths
  int32_t nDDDepth = 0;
  int32_t bModernOS = 1;  // IsOSVersionAtLeast (6, 0)
};

struct SCREENMODE {
  int32_t bValid = 0;
  const char* lpError = nullptr;  // the message of an invalid combination
  int32_t bWindowed = 0;
  int32_t nBpp = 0;
  int32_t nVSync = 0;
};

SCREENMODE SelectScreenMode(const SCREENMODEINPUT& in);
