// Process-wide handles that the core services need from the program shell.
#pragma once

#include <atomic>

#include "platform/win_types.h"

// The main window; set once it exists, cleared by WM_DESTROY. Fatal conditions post WM_CLOSE here.
// Set by the window thread, read by every thread that posts to the window.
extern std::atomic<HWND> g_hWnd;

// Asks the main window to close (posted, never sent). Does nothing before the window exists.
void PostCloseToMainWindow();
