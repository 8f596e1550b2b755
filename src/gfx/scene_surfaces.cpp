#include "gfx/scene_surfaces.h"

#include "gfx/dd_internal.h"
#include "gfx/font.h"

std::vector<DDSURFACEDATA> Off_CharaExc;
std::vector<IMAGESLOT> g_CharaExcSlots;
std::vector<DDSURFACEDATA> Off_Sword;
std::vector<IMAGESLOT> g_SwordSlots;
std::vector<DDSURFACEDATA> Off_Effect;
std::vector<IMAGESLOT> g_EffectSlots;
std::vector<DDSURFACEDATA> Off_Scene;
std::vector<IMAGESLOT> g_SceneSlots;
std::list<DDSURFACEDATA> Off_Picture;
std::list<IMAGESLOT> g_PictureSlots;
std::list<DDSURFACEDATA> Off_Msg;
std::list<IMAGESLOT> g_MsgSlots;

namespace {

template <typename Container>
bool RestoreAll(Container& surfaces) {
  for (DDSURFACEDATA& sd : surfaces)
    if (!DDRestoreOneSurface(&sd)) return false;
  return true;
}

void RestoreDigitStrips() {
  for (int i = 0; i < 3; ++i) {
    DDSURFACEDATA& strip = g_DigitStripSD[i];
    if (!strip.lpDDPart || !strip.lpDDPart->lpDDS || !g_lpDD) continue;
    if (g_lpDD->IsLost(strip.lpDDPart->lpDDS) != DDERR_SURFACELOST) continue;
    g_lpDD->Restore(strip.lpDDPart->lpDDS);
    if (strip.nDDMemory == 0) DDDrawDigitStrip(&strip, &g_Fonts[i]);
  }
}

}  // namespace

void DDReleaseSurfacePair(std::vector<DDSURFACEDATA>& surfaces, std::vector<IMAGESLOT>& slots) {
  DDReleaseSurfaceVector(surfaces);
  surfaces.clear();
  slots.clear();
}

void DDReleaseSurfacePair(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots) {
  DDReleaseSurfaceList(surfaces);
  surfaces.clear();
  slots.clear();
}

void ReleaseSceneSurfaces() {
  DDReleaseSurfacePair(Off_CharaExc, g_CharaExcSlots);
  DDReleaseSurfacePair(Off_Sword, g_SwordSlots);
  DDReleaseSurfacePair(Off_Effect, g_EffectSlots);
  DDReleaseSurfacePair(Off_Scene, g_SceneSlots);
  DDReleaseSurfacePair(Off_Picture, g_PictureSlots);
  DDReleaseSurfacePair(Off_Msg, g_MsgSlots);
}

int RestoreSceneSurfaces() {
  if (lpDTCon || !g_lpDD) return 1;
  if (!RestoreAll(Off_CharaExc) || !RestoreAll(Off_Effect) || !RestoreAll(Off_Sword) || !RestoreAll(Off_Picture) ||
      !RestoreAll(Off_Scene) || !RestoreAll(Off_Msg))
    return 0;
  RestoreDigitStrips();
  return 1;
}
