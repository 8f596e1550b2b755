// The picture of a shot or sword at its screen rectangle.
#include "data/db_records.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "stage/shot.h"

namespace {

constexpr int IMAGE_SHOTS_LEFT = 20;

}  // namespace

void cShot::Draw(DDSURFACEDATA* dest, int frozen) {
  if (m_Def.m_cInvisible) return;
  const int x = m_rcScreen[0];
  const int y = m_rcScreen[1];
  const int size = m_Def.m_cSize;
  if (m_bShot) {
    const int pattern = frozen ? m_Anime.GetPattern() : m_Anime.Update();
    const int g = m_nGraphic;
    DDSURFACEDATA* src = &g_SurfaceTable[IMAGE_SHOTS_LEFT + (m_bRight ? 1 : 0)];
    const int sx = (g % 30) * 16;
    const int sy = (pattern + (g / 30) * 2) * 16;
    if (size <= 1)
      DDBlt(dest, x, y, 16, 16, src, sx, sy, BLT_TRANSPARENT);
    else
      DDBltStretch(dest, x, y, m_nDrawWidth, m_nDrawHeight, src, sx, sy, 16, 16, BLT_TRANSPARENT);
    return;
  }
  // A sword's animation ends on its end marker, so it is never advanced: its picture is the
  // entry's own cell.
  const cSwordTypeEntry* e = FindSwordEntry(m_Def.m_cMoveType, m_nSwordEntry);
  const int index = 4 * m_Def.m_cMoveType + (m_bRight ? 1 : 0);
  if (!e || index >= static_cast<int>(Off_Sword.size())) return;
  DDSURFACEDATA* src = &Off_Sword[index];
  if (size <= 1)
    DDBlt(dest, x, y, m_nDrawWidth, m_nDrawHeight, src, e->m_nImageX, e->m_nImageY, BLT_TRANSPARENT);
  else
    DDBltStretch(dest, x, y, m_nDrawWidth, m_nDrawHeight, src, e->m_nImageX, e->m_nImageY, e->m_nWidth,
                 e->m_nHeight, BLT_TRANSPARENT);
}
