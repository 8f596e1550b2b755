// The keyboard rules that hold while a dialog is open: a copy of each key stroke goes to the
// dialog window (special keys through their own message), Tab and an Enter meant for the IME
// composition are left to the dialog, and Escape does nothing in a window that is not one of
// the framework's dialogs (the file selection) unless it cancels a composition.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

// Posted by the hook for the special keys; the dialog turns it back into WM_KEYDOWN.
constexpr UINT WM_HOOK_SPECIAL_KEY = 2024;

class cHook {
 public:
  // Marks `hWnd` as this hook's window and installs the keyboard hook when none is; true when a
  // hook is installed.
  bool Attach(HWND hWnd, int nMode);
  // The window is going away: it stops being this hook's window.
  void Detach();
  static bool IsSpecialKey(int vk);
  // One key event while the hook is installed, in the window `hActive` (null: a window that is
  // not a framework dialog). True swallows the event.
  static bool HookProc(HWND hActive, bool bComposing, int vk, bool bDown);

  HWND m_hWnd = nullptr;
  int32_t m_nMode = 0;
};

bool IsKeyboardHooked();
void UnhookKeyboard();
