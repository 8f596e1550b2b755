// What a replay sample holds: the state of the play after one of its frames, folded into one
// number, and (every PICTURE_EVERY frames) the drawn picture.
#pragma once

#include <cstdint>

namespace t4::test {

class StageHarness;

constexpr int PICTURE_EVERY = 60;

// The harness's digest plus what it leaves out: every shot, the effect objects, the message
// windows, the save data's totals and the scene's end request.
uint64_t StateDigest(StageHarness& h);
// The back buffer's pixels as 0xRRGGBB.
uint64_t PictureDigest();

}  // namespace t4::test
