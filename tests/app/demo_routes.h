// Key streams that play the demo's stages to their clears through the menu driver, and a check
// of what a menu picture shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/dd_types.h"
#include "menu_driver.h"

namespace t4::test {

// A stretch of frames with the same keys held.
struct Keys {
  int frames;
  int16_t dir;
  int16_t buttons;
};

// The meadow's first stage (demo1-1): a jump onto the floating ledge over the first pit, the
// spring up to the high ledge, a long jump from its end over the spikes, and a short hop at the
// brick that ends below the star. The jump button is let go two frames before the star is
// touched, so the clear display takes the next press of button 1 as a new one.
extern const std::vector<Keys> MEADOW_1;
// The meadow's second stage (demo1-2): the long jump over the first pit from its very edge, a hop
// over the spring, a low jump under the ledge over the second pit, onto the long ledge over the
// third, and up onto the ledge by the brick wall that leads to the star.
extern const std::vector<Keys> MEADOW_2;

// Plays `keys` from the first frame of play, then holds right until the stage is cleared: the
// frame of the clear counted from the first played frame, or -1 when it never comes.
int PlayToClear(MenuDriver& d, const std::vector<Keys>& keys);
// Waits out the clear display (its counter reaches 200 at 4 a frame) and leaves it with button 1.
void LeaveClearDisplay(MenuDriver& d);

// Every pixel of the w x h cell at (sx, sy) of `sheet` that is not transparent shows at (x, y)
// of `picture`.
::testing::AssertionResult ShowsCell(DDSURFACEDATA* picture, int x, int y, DDSURFACEDATA* sheet, int sx, int sy, int w,
                                     int h);

}  // namespace t4::test
