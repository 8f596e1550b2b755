// The menu cursor stack that every menu moves with the arrow keys, the choice window of a menu
// of commands, and the cursor sound.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "persist/menu_command.h"

class cInput;

struct MENUCURSORSTATE {
  int32_t nColumn = 0;
  int32_t nRow = 0;
  int32_t nX = 0;
  int32_t nY = 0;
};

class cMenuCursor {
 public:
  cMenuCursor() { Reset(); }

  // One zeroed state.
  void Reset();
  // Mode 1: the new state starts as a copy of the one below.
  void Push(int nMode);
  // Mode 0 zeroes the revealed state, 2 gives it the removed state's values, others keep it.
  void Pop(int nMode);
  void MoveGrid(const cInput& input, int x0, int y0, int dx, int dy, int nColumns, int nRows);
  void MoveList(const cInput& input, int bVertical, int& nScroll, int nStart, int nStep, int nFixed, int nVisible,
                int nCount, int bPaging);

  MENUCURSORSTATE* m_lpCurrent = nullptr;
  MENUCURSORSTATE* m_lpBelow = nullptr;
  cSafeVector<MENUCURSORSTATE> m_States;

 private:
  void Relink();
};

extern cMenuCursor g_MenuCursor;

// Left edge that centres the choice window of `menu` on x.
int GetCmdWindowX(int x, const cSafeVector<cCmd>& menu);
// The choice window: a box of the second font with one enabled caption a row.
void DrawCmdWindow(int x, int y, const cSafeVector<cCmd>& menu);
// Plays sound `nSound` when the cursor moves on an axis of `nAxes` (1 horizontal, 2 vertical).
void PlayCursorSound(const cInput& input, int nAxes, int nSound);
