// The shot and sword pictures a stage prepares at entry: the padded copies of the shot sheet
// that stretched shot graphics are taken from, and four surfaces per sword type.
#include "core/report_log.h"
#include "data/database.h"
#include "gfx/dd.h"
#include "gfx/image_slots.h"
#include "gfx/scene_surfaces.h"
#include "stage/graphic_source.h"
#include "stage/scene_play.h"

namespace {

constexpr int SHOT_ROWS = 30;
constexpr int SHOT_COLUMN_PAIRS = 4;
constexpr int PADDED_CELL = 32;
constexpr int PADDING = (PADDED_CELL - SHOT_CELL) / 2;
constexpr int SWORD_MIRROR_CELL = 32;

// A picture that cannot be loaded leaves an empty surface; the stage goes on without it.
void LoadSword(DDSURFACEDATA* sd, const std::string& file, int ddMemory, int memoryType, int mirror) {
  const int result =
      DDCreateSurfaceFromFile(sd, file.c_str(), TRUE, g_nBpp, ddMemory, memoryType, nullptr, FALSE, mirror, 0, FALSE);
  if (!DDCheckSurfaceError(result)) WriteReportLog("ソード %s 読み込み失敗！", file.c_str());
}

}  // namespace

void cScenePlay::BuildPaddedShotSheets() {
  for (int k = 0; k < 2; ++k) {
    DDSURFACEDATA* padded = &g_SurfaceTable[IMAGE_SHOTS_PADDED + k];
    padded->bLost = 0;
    if (!HasPixels(padded)) continue;
    DDFillRect(padded, 0, 0, padded->nWidth, padded->nHeight, TransparentFillColor(padded));
    DDSURFACEDATA* sheet = &g_SurfaceTable[SelectSourceImage(IMAGE_SHOTS + k, 0)];
    // The mirrored sheet may be a view of the plain one's picture.
    DDSURFACEDATA* pixels = sheet;
    DDRedirectToSrcSD(&pixels);
    if (!HasPixels(pixels)) continue;
    // Each 16-dot cell stands in the middle of a 32-dot transparent box, so that a stretched
    // shot never takes in its neighbour's edge.
    for (int c = 0; c < SHOT_ROWS; ++c)
      for (int d = 0; d < SHOT_COLUMN_PAIRS; ++d)
        for (int half = 0; half < 2; ++half)
          DDBlt(padded, PADDING + 2 * PADDED_CELL * d + PADDED_CELL * half, PADDING + PADDED_CELL * c, SHOT_CELL,
                SHOT_CELL, sheet, 2 * SHOT_CELL * d + SHOT_CELL * half, SHOT_CELL * c, BLT_TRANSPARENT);
  }
}

void cScenePlay::LoadSwordBitmaps() {
  DDReleaseSurfacePair(Off_Sword, g_SwordSlots);
  const size_t n = g_Database.m_SwordTypes.size();
  if (n == 0) return;
  Off_Sword.resize(n * 4);
  g_SwordSlots.resize(n * 4);
  for (size_t i = 0; i < n; ++i) {
    // The sword type's picture is its second text, after the name.
    const std::string& file = g_Database.m_SwordTypes[i].m_strText2;
    DDSURFACEDATA* s = &Off_Sword[i * 4];
    if (file.empty()) continue;
    // Mirrored block by block, so each facing finds an entry's cell at the same place.
    LoadSword(&s[0], file, 0, DTMEMORYTYPE_VIDEO_RT, 0);
    LoadSword(&s[1], file, 0, DTMEMORYTYPE_VIDEO_RT, SWORD_MIRROR_CELL);
    LoadSword(&s[2], file, 1, DTMEMORYTYPE_SYSTEM, 0);
    LoadSword(&s[3], file, 1, DTMEMORYTYPE_SYSTEM, SWORD_MIRROR_CELL);
  }
}
