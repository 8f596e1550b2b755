#include "persist/panel_font.h"
#include "persist/story_slots.h"

namespace {

constexpr int SLOT_LIST_W = 320;
constexpr DWORD SLOT_SEPARATOR_PAL = 240;

}  // namespace

void cSlotInfo::DrawTime(DDSURFACEDATA* lpSD, int x, int y) const {
  if (!m_bUsed) return;
  PanelFont().DrawF(lpSD, x, y, "%04d/%02d/%02d %02d:%02d\n", m_Time.wYear, m_Time.wMonth, m_Time.wDay, m_Time.wHour,
                    m_Time.wMinute);
}

void DrawStorySlots(DDSURFACEDATA* lpSD, int x, int y, const cSafeVector<cSlotInfo>& slots, int first, int rows) {
  if (rows <= 0) return;
  cFont& font = PanelFont();
  font.DrawBox(lpSD, x, y, SLOT_LIST_W, rows * PANEL_LINE_H);
  for (int r = 0; r < rows; ++r) {
    const int top = y + r * PANEL_LINE_H;
    if (r != rows - 1) DDFillRectPal(lpSD, x, top + PANEL_LINE_H - 1, SLOT_LIST_W, 1, SLOT_SEPARATOR_PAL);
    const int entry = first + r;
    if (entry >= static_cast<int>(slots.size())) break;
    // A scroll position before the list shows nothing on those lines.
    if (entry < 0) continue;
    font.DrawF(lpSD, x + 16, top, "%d", entry + 1);
    slots.At(entry).DrawTime(lpSD, x + 64, top);
  }
}
