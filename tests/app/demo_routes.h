// Key streams that play the demo's meadow through the menu driver (the streams of the later and
// the challenge stages are support/demo_plays.h's), and a check of what a menu picture shows.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gfx/dd_types.h"
#include "menu_driver.h"

namespace t4::test {

// The meadow's first stage (demo1-1): a jump onto the floating ledge over the first pit, the
// spring up to the high ledge, a long jump from its end over the spikes, and a short hop at the
// brick that ends below the star.
inline const char* const MEADOW_1 = "75R 20RA 128R 40RA 150R 3RA";
// The meadow's second stage (demo1-2): the long jump over the first pit from its very edge, a hop
// over the spring, a low jump under the ledge over the second pit, onto the long ledge over the
// third, and up onto the ledge by the brick wall that leads to the star.
inline const char* const MEADOW_2 = "74R 40RA 62R 40RA 22R 10RA 150R 40RA 100R 40RA";

// Plays the key stream `script` (support/demo_plays.h's notation) from the first frame of play,
// then holds right until the stage is cleared: the frames played up to and with the one of the
// clear, or -1 when it never comes.
int PlayToClear(MenuDriver& d, const std::string& script);
// Challenge records of an earlier run, written to the project: the second stage cleared with 1200,
// two stages open.
::testing::AssertionResult SaveEarlierChallengeRecords();
// Waits out the clear display (its counter reaches 200 at 4 a frame) and leaves it with button 1.
void LeaveClearDisplay(MenuDriver& d);

// Every pixel of the w x h cell at (sx, sy) of `sheet` that is not transparent shows at (x, y)
// of `picture`.
::testing::AssertionResult ShowsCell(DDSURFACEDATA* picture, int x, int y, DDSURFACEDATA* sheet, int sx, int sy, int w,
                                     int h);

}  // namespace t4::test
