// Start-up and shutdown of the game on the window thread.
#pragma once

#include "platform/win_types.h"

// What the command line adds to System.ini for this run.
struct STARTOVERRIDES {
  int32_t nWindowMode = -1;  // -1 as System.ini says, 0 full screen, 1 window
  int32_t nScale = 0;        // 1-5: the window's first size; 0 as Window.dat says
  int32_t nDesktopBpp = 32;  // the display's depth
};

extern STARTOVERRIDES g_StartOverrides;

bool InitGame(const char* szCmdLine, int nCmdShow);
void ExitGame();
