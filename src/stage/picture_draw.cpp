// The stage's picture list, index-parallel to the picture surfaces: drawn in a back and a front
// pass, removed with their surfaces when their time is up or the stage is set up again.
#include "gfx/scene_surfaces.h"
#include "stage/scene_play.h"

void cScenePlay::DrawPictures(DDSURFACEDATA* dst, int front, int frozen) {
  auto surface = Off_Picture.begin();
  for (auto it = m_Pictures.begin(); it != m_Pictures.end();) {
    DDSURFACEDATA* picture = surface != Off_Picture.end() ? &*surface : nullptr;
    if (picture) ++surface;
    if ((it->m_bFront != 0) != (front != 0) || !it->Draw(dst, picture, frozen)) {
      ++it;
      continue;
    }
    it = m_Pictures.erase(it);
    if (picture) DDRemoveSurfaceFromList(Off_Picture, g_PictureSlots, picture);
  }
}

void cScenePlay::ClearPictures() {
  DDReleaseSurfacePair(Off_Picture, g_PictureSlots);
  m_Pictures.clear();
}
