#include "demo_routes.h"

#include "app/menu_scene.h"
#include "gfx/dd.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "support/demo_plays.h"

namespace t4::test {

namespace {

int PlayState() { return g_lpScenePlay ? g_lpScenePlay->m_nState : -2; }

}  // namespace

::testing::AssertionResult SaveEarlierChallengeRecords() {
  cSaveData earlier;
  earlier.Reset(g_SystemData.m_nChallengeCount);
  earlier.m_ChallengeResults.At(1).m_bCleared = 1;
  earlier.m_ChallengeResults.At(1).m_nBest = 1200;
  earlier.m_nWorldTotal = 1200;
  earlier.m_nChallengeOpen = 2;
  if (earlier.SaveChallenge()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the challenge records could not be written";
}

int PlayToClear(MenuDriver& d, const std::string& script) {
  int frame = 0;
  for (const KeyFrame& k : KeysFromScript(script)) {
    d.Frame(k.dir, k.buttons);
    ++frame;
    if (PlayState() == PLAY_STAGE_END) return frame;
  }
  for (int i = 0; i < 200; ++i) {
    d.Frame(INPUT_RIGHT, 0);
    ++frame;
    if (PlayState() == PLAY_STAGE_END) return frame;
  }
  return -1;
}

void LeaveClearDisplay(MenuDriver& d) {
  d.Frames(55);
  d.Button(MENU_BUTTON_1);
}

::testing::AssertionResult ShowsCell(DDSURFACEDATA* picture, int x, int y, DDSURFACEDATA* sheet, int sx, int sy, int w,
                                     int h) {
  cSurfaceLock to;
  cSurfaceLock from;
  if (!to.Lock(picture) || !from.Lock(sheet)) return ::testing::AssertionFailure() << "not locked";
  int shown = 0;
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const uint32_t p = from.Get(sx + i, sy + j);
      if ((p >> 24) == 0) continue;  // transparent
      if (to.Get(x + i, y + j) != p) return ::testing::AssertionFailure() << "differs at " << i << "," << j;
      ++shown;
    }
  }
  if (shown == 0) return ::testing::AssertionFailure() << "the cell is all transparent";
  return ::testing::AssertionSuccess();
}

}  // namespace t4::test
