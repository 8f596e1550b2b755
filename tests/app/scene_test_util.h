// What the menu scene tests share: the scenes' states they wait for, the scene objects they look
// into, and reading back the files and pictures the scenes leave.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "app/scene_challenge.h"
#include "app/scene_worldmap.h"
#include "gfx/dd.h"
#include "stage/game.h"
#include "support/temp_dir.h"

namespace t4::test {

// Title.
constexpr int TITLE_MENU = 1;
constexpr int TITLE_NEW_GAME_SLOT = 2;
constexpr int TITLE_CONTINUE_SLOT = 3;
constexpr int TITLE_FADE_OUT = 4;
// World map.
constexpr int MAP_WALK = 1;
constexpr int MAP_CONFIRM = 2;
constexpr int MAP_FADE_OUT = 3;
// The world map's menu.
constexpr int MAPMENU_MENU = 1;
constexpr int MAPMENU_SAVE_SLOT = 2;
constexpr int MAPMENU_AUTO_SAVE = 3;
constexpr int MAPMENU_TO_TITLE = 5;
constexpr int MAPMENU_FADE_OUT = 6;
// Options.
constexpr int OPTION_MENU = 1;
constexpr int OPTION_FADE_OUT = 2;
// Challenge select.
constexpr int CHALLENGE_SELECT = 1;
constexpr int CHALLENGE_FADE_OUT = 2;

inline cSceneWorldMap& Map() { return *static_cast<cSceneWorldMap*>(g_Game.GetScene(SCENE_WORLDMAP)); }
inline cSceneChallenge& List() { return *static_cast<cSceneChallenge*>(g_Game.GetScene(SCENE_CHALLENGE)); }

// A pixel of the surface in the surface's own format.
inline uint32_t Pixel(DDSURFACEDATA* lpSD, int x, int y) {
  cSurfaceLock lock;
  EXPECT_TRUE(lock.Lock(lpSD));
  return lock.Pixels() ? lock.Get(x, y) : 0;
}

}  // namespace t4::test
