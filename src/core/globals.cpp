#include "core/globals.h"

#include "platform/messages.h"

std::atomic<HWND> g_hWnd{nullptr};

void PostCloseToMainWindow() {
  if (g_hWnd) t4::platform::PostMessage(g_hWnd, WM_CLOSE, 0, 0);
}
