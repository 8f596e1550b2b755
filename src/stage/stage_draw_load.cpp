// The stage's own pictures loaded at scene entry: four surfaces per exclusive character bitmap
// (plain and mirrored, for drawing and for stretching) and two per effect.
#include "core/report_log.h"
#include "data/database.h"
#include "gfx/scene_surfaces.h"
#include "stage/scene_play.h"

namespace {

// A picture that cannot be loaded leaves an empty surface; the stage goes on without it.
void LoadOrLog(DDSURFACEDATA* sd, const std::string& file, int ddMemory, int memoryType, int mirrorW,
               const char* failText) {
  const int result =
      DDCreateSurfaceFromFile(sd, file.c_str(), TRUE, g_nBpp, ddMemory, memoryType, nullptr, FALSE, mirrorW, 0, FALSE);
  if (!DDCheckSurfaceError(result)) WriteReportLog(failText, file.c_str());
}

}  // namespace

void cScenePlay::LoadExclusiveBitmaps() {
  DDReleaseSurfacePair(Off_CharaExc, g_CharaExcSlots);
  const size_t n = g_Database.m_CharaExcs.size();
  if (n < 2) return;
  Off_CharaExc.resize((n - 1) * 4);
  g_CharaExcSlots.resize((n - 1) * 4);
  for (size_t i = 1; i < n; ++i) {
    const cBmpCharaExc& bmp = g_Database.m_CharaExcs[i];
    // Mirrored cell by cell, so each cell faces the other way where it stands.
    const int cell = bmp.m_nCellSizeFlag && bmp.m_nCellSize > 0 ? bmp.m_nCellSize * 32 : 32;
    DDSURFACEDATA* s = &Off_CharaExc[(i - 1) * 4];
    const char* fail = "専用bmp %s 読み込み失敗！";
    LoadOrLog(&s[0], bmp.m_strFile, 0, DTMEMORYTYPE_VIDEO_RT, 0, fail);
    LoadOrLog(&s[1], bmp.m_strFile, 0, DTMEMORYTYPE_VIDEO_RT, cell, fail);
    LoadOrLog(&s[2], bmp.m_strFile, 1, DTMEMORYTYPE_SYSTEM, 0, fail);
    LoadOrLog(&s[3], bmp.m_strFile, 1, DTMEMORYTYPE_SYSTEM, cell, fail);
  }
}

void cScenePlay::LoadEffectBitmaps() {
  DDReleaseSurfacePair(Off_Effect, g_EffectSlots);
  const size_t n = g_Database.m_Effects.size();
  if (n < 2) return;
  Off_Effect.resize((n - 1) * 2);
  g_EffectSlots.resize((n - 1) * 2);
  for (size_t i = 1; i < n; ++i) {
    const cEffectDef& effect = g_Database.m_Effects[i];
    const char* fail = "エフェクト %s 読み込み失敗！";
    LoadOrLog(&Off_Effect[(i - 1) * 2], effect.m_strFile, 0, DTMEMORYTYPE_VIDEO_RT, 0, fail);
    LoadOrLog(&Off_Effect[(i - 1) * 2 + 1], effect.m_strFile, 1, DTMEMORYTYPE_SYSTEM, 0, fail);
  }
}
