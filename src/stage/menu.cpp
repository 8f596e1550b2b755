#include "stage/menu.h"

#include <algorithm>

#include "audio/sound_effects.h"
#include "core/sjis_text.h"
#include "gfx/dd.h"
#include "gfx/font.h"
#include "stage/input.h"

cMenuCursor g_MenuCursor;

void cMenuCursor::Relink() {
  const int n = static_cast<int>(m_States.size());
  m_lpCurrent = n > 0 ? &m_States.At(n - 1) : nullptr;
  m_lpBelow = n > 1 ? &m_States.At(n - 2) : nullptr;
}

void cMenuCursor::Reset() {
  m_States.assign(1, MENUCURSORSTATE{});
  Relink();
}

void cMenuCursor::Push(int nMode) {
  MENUCURSORSTATE state;
  if (nMode == 1 && !m_States.empty()) state = m_States.back();
  m_States.push_back(state);
  Relink();
}

void cMenuCursor::Pop(int nMode) {
  if (m_States.size() < 2) return;
  const MENUCURSORSTATE removed = m_States.back();
  m_States.pop_back();
  Relink();
  if (nMode == 0)
    *m_lpCurrent = MENUCURSORSTATE{};
  else if (nMode == 2)
    *m_lpCurrent = removed;
}

void cMenuCursor::MoveGrid(const cInput& input, int x0, int y0, int dx, int dy, int nColumns, int nRows) {
  if (nColumns < 0 || nRows < 0) return;
  MENUCURSORSTATE& s = *m_lpCurrent;
  if (input.m_sDir & INPUT_LEFT)
    --s.nColumn;
  else if (input.m_sDir & INPUT_RIGHT)
    ++s.nColumn;
  if (input.m_sDir & INPUT_UP)
    --s.nRow;
  else if (input.m_sDir & INPUT_DOWN)
    ++s.nRow;
  if (s.nRow < 0)
    s.nRow = nRows - 1;
  else if (s.nRow >= nRows)
    s.nRow = 0;
  if (s.nColumn < 0)
    s.nColumn = nColumns - 1;
  else if (s.nColumn >= nColumns)
    s.nColumn = 0;
  s.nX = x0 + dx * s.nColumn;
  s.nY = y0 + dy * s.nRow;
}

void cMenuCursor::MoveList(const cInput& input, int bVertical, int& nScroll, int nStart, int nStep, int nFixed,
                           int nVisible, int nCount, int bPaging) {
  MENUCURSORSTATE& s = *m_lpCurrent;
  int32_t& r = bVertical ? s.nRow : s.nColumn;
  if (input.m_sDir & INPUT_UP) {
    if (r - nScroll < 1) --nScroll;
    --r;
  } else if (input.m_sDir & INPUT_DOWN) {
    if (r - nScroll >= nVisible - 1) ++nScroll;
    ++r;
  }
  if (bPaging) {
    if (input.m_sDir & INPUT_RIGHT) {
      if (nScroll == nCount - nVisible) {
        r = nCount - 1;
      } else {
        nScroll += nVisible - 1;
        r += nVisible - 1;
      }
    } else if (input.m_sDir & INPUT_LEFT) {
      if (nScroll == 0) {
        r = 0;
      } else {
        nScroll -= nVisible - 1;
        r -= nVisible - 1;
      }
    }
  }
  if (r > nCount - 1) r = nCount - 1;
  if (r < 0) r = 0;
  if (nScroll < 0)
    nScroll = 0;
  else if (nScroll > std::max(nCount - nVisible, 0))
    nScroll = std::max(nCount - nVisible, 0);
  if (bVertical) {
    s.nY = nStart + nStep * (r - nScroll);
    s.nX = nFixed;
  } else {
    s.nX = nStart + nStep * (r - nScroll);
    s.nY = nFixed;
  }
}

namespace {

int LongestCaption(const cSafeVector<cCmd>& menu) {
  int longest = 0;
  for (const cCmd& cmd : menu)
    if (cmd.m_bEnabled) longest = std::max(longest, CountChars(cmd.m_strCaption.c_str()));
  return longest;
}

}  // namespace

int GetCmdWindowX(int x, const cSafeVector<cCmd>& menu) {
  const int longest = LongestCaption(menu);
  return longest == 0 ? x : x - ((longest + 1) * 16) / 2;
}

void DrawCmdWindow(int x, int y, const cSafeVector<cCmd>& menu) {
  const int longest = LongestCaption(menu);
  if (longest == 0) return;
  const int count = cCmd::GetCmdCount(menu);
  g_Fonts[1].DrawBox(&BackBuffer, x, y, (longest + 1) * 16, count * 16);
  for (int j = 0; j < count; ++j)
    g_Fonts[1].Draw(&BackBuffer, x + 16, y + 16 * j, menu.At(cCmd::GetCmdNum(j, menu)).m_strCaption.c_str());
}

void PlayCursorSound(const cInput& input, int nAxes, int nSound) {
  if (nSound < 0 || nSound >= static_cast<int>(g_SoundList.size())) return;
  if ((nAxes & 1) && (input.m_sDir & (INPUT_LEFT | INPUT_RIGHT))) DS_Play(&g_SoundList.At(nSound), 0);
  if ((nAxes & 2) && (input.m_sDir & (INPUT_UP | INPUT_DOWN))) DS_Play(&g_SoundList.At(nSound), 0);
}
