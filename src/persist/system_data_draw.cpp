#include <algorithm>
#include <string>

#include "core/sjis_text.h"
#include "persist/panel_font.h"
#include "persist/system_data.h"

void DrawTextList(int x, int y, int nFirst, int nCount, bool bCursor) {
  if (nCount <= 0) return;
  const int nCursor = bCursor ? 1 : 0;
  int nLongest = 0;
  for (int i = nFirst; i < nFirst + nCount; ++i)
    nLongest = std::max(nLongest, CountChars(g_SystemData.m_Texts.At(i).c_str()));
  cFont& font = PanelFont();
  font.DrawBox(&BackBuffer, x, y, (nLongest + nCursor) * PANEL_LINE_H, nCount * PANEL_LINE_H);
  // Each text on its own line, as it stands (a per-cent sign in a project text is an ordinary
  // character); the cursor cell is a blank before it.
  for (int i = 0; i < nCount; ++i) {
    const std::string line = (bCursor ? " " : "") + g_SystemData.m_Texts.At(nFirst + i);
    font.Draw(&BackBuffer, x, y + i * PANEL_LINE_H, line.c_str());
  }
}
