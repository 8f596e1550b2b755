#include "demo_routes.h"

#include "app/menu_scene.h"
#include "gfx/dd.h"
#include "stage/input.h"
#include "stage/scene_play.h"

namespace t4::test {

namespace {

constexpr int16_t JUMP = MENU_BUTTON_1;
constexpr int16_t RIGHT = INPUT_RIGHT;

int PlayState() { return g_lpScenePlay ? g_lpScenePlay->m_nState : -2; }

}  // namespace

const std::vector<Keys> MEADOW_1 = {
    {75, RIGHT, 0}, {20, RIGHT, JUMP}, {128, RIGHT, 0}, {40, RIGHT, JUMP}, {150, RIGHT, 0}, {3, RIGHT, JUMP},
};

const std::vector<Keys> MEADOW_2 = {
    {74, RIGHT, 0},    {40, RIGHT, JUMP}, {62, RIGHT, 0},    {40, RIGHT, JUMP}, {22, RIGHT, 0},
    {10, RIGHT, JUMP}, {150, RIGHT, 0},   {40, RIGHT, JUMP}, {100, RIGHT, 0},   {40, RIGHT, JUMP},
};

int PlayToClear(MenuDriver& d, const std::vector<Keys>& keys) {
  int frame = 0;
  for (const Keys& k : keys) {
    for (int i = 0; i < k.frames; ++i, ++frame) {
      d.Frame(k.dir, k.buttons);
      if (PlayState() == PLAY_STAGE_END) return frame;
    }
  }
  for (int i = 0; i < 200; ++i, ++frame) {
    d.Frame(RIGHT, 0);
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
