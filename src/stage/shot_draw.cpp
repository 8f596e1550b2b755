// The picture of a shot or sword at its screen rectangle.
#include "data/db_records.h"
#include "gfx/batch.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "persist/system_ini.h"
#include "stage/graphic_source.h"
#include "stage/scene_play.h"
#include "stage/shot.h"

namespace {

constexpr int SHOTS_PER_COLUMN = 30;

// The blit mode stretches straight from the surfaces it draws from when the card stretches.
bool StretchFromDrawSurface() { return !g_bUseD3D && g_SystemIni.m_nDDVideoStretch; }

}  // namespace

void cShot::Draw(DDSURFACEDATA* dest, int frozen) {
  if (m_Def.m_cInvisible) return;
  const int x = m_rcScreen[0];
  const int y = m_rcScreen[1];
  const bool large = m_Def.m_cSize > 1;
  if (m_bShot) {
    const int pattern = frozen ? m_Anime.GetPattern() : m_Anime.Update();
    // The shot sheet is 30 graphics to a column, each graphic two cells side by side (its two
    // patterns), as the padded sheets copy it.
    const int g = m_nGraphic;
    const int sx = ((g / SHOTS_PER_COLUMN) * 2 + pattern) * SHOT_CELL;
    const int sy = (g % SHOTS_PER_COLUMN) * SHOT_CELL;
    const int slot = IMAGE_SHOTS + (m_bRight ? 1 : 0);
    if (!large) {
      DDBlt(dest, x, y, SHOT_CELL, SHOT_CELL, &g_SurfaceTable[SelectSourceImage(slot, 0)], sx, sy, BLT_TRANSPARENT);
    } else {
      DDSURFACEDATA* src = &g_SurfaceTable[SelectSourceImage(slot, StretchFromDrawSurface() ? 0 : 1)];
      DDBltStretch(dest, x, y, m_nDrawWidth, m_nDrawHeight, src, sx, sy, SHOT_CELL, SHOT_CELL, BLT_TRANSPARENT);
    }
    return;
  }
  // A sword's animation ends on its end marker, so it is never advanced: its picture is the
  // entry's own cell.
  const cSwordTypeEntry* e = FindSwordEntry(m_Def.m_cMoveType, m_nSwordEntry);
  const int index = 4 * m_Def.m_cMoveType + (m_bRight ? 1 : 0) + (large && !StretchFromDrawSurface() ? 2 : 0);
  if (!e || index >= static_cast<int>(Off_Sword.size())) return;
  DDSURFACEDATA* src = &Off_Sword[static_cast<size_t>(index)];
  if (!large)
    DDBlt(dest, x, y, m_nDrawWidth, m_nDrawHeight, src, e->m_nImageX, e->m_nImageY, BLT_TRANSPARENT);
  else
    DDBltStretch(dest, x, y, m_nDrawWidth, m_nDrawHeight, src, e->m_nImageX, e->m_nImageY, m_nBaseDrawWidth,
                 m_nBaseDrawHeight, BLT_TRANSPARENT);
}

void cScenePlay::DrawShots(DDSURFACEDATA* dst, int layer, int frozen) {
  const auto draw = [dst, frozen](cShot& shot) {
    if (!shot.IsOnScreen()) return;
    shot.UpdateScreenRect();
    shot.Draw(dst, frozen);
  };
  DDBeginBatch(1);
  if (InLayerRange(layer)) {
    if (!m_bShotsByZ || m_nShotsByZAt != m_nShotChanges) {
      for (std::vector<cShot*>& shots : m_ShotsByZ) shots.clear();
      for (cShot& shot : m_Shots)
        if (InLayerRange(shot.m_Def.m_cZ)) m_ShotsByZ[static_cast<size_t>(shot.m_Def.m_cZ)].push_back(&shot);
      m_nShotsByZAt = m_nShotChanges;
      m_bShotsByZ = true;
    }
    for (cShot* shot : m_ShotsByZ[static_cast<size_t>(layer)]) draw(*shot);
  } else {
    for (cShot& shot : m_Shots)
      if (layer < 0 || shot.m_Def.m_cZ == layer) draw(shot);
  }
  DDEndBatch();
}
