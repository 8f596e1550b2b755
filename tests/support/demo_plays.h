// Plays of the demo's later stages and of its challenge stages from the start to the clear, as
// key streams for the stage harness (also the plays to record as replays). A stream is written
// as spans "N[L|R|U|D][A][B]": N frames with those directions and buttons held (A button 1, the
// jump; B button 2, the shot); a span of only a number waits. The frames count from the first
// frame of play.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace t4::test {

struct KeyFrame {
  int16_t dir = 0;
  int16_t buttons = 0;
};

// One KeyFrame per frame of the stream.
inline std::vector<KeyFrame> KeysFromScript(const std::string& script) {
  std::vector<KeyFrame> frames;
  std::istringstream in(script);
  std::string span;
  while (in >> span) {
    KeyFrame k;
    for (char c : span) {
      switch (c) {
        case 'L': k.dir |= 1; break;
        case 'R': k.dir |= 2; break;
        case 'U': k.dir |= 4; break;
        case 'D': k.dir |= 8; break;
        case 'A': k.buttons |= 1; break;
        case 'B': k.buttons |= 2; break;
        default: break;
      }
    }
    frames.insert(frames.end(), static_cast<size_t>(std::atoi(span.c_str())), k);
  }
  return frames;
}

struct DemoPlay {
  const char* stage;   // the stage file as the game names it
  const char* keys;    // the key stream
  int clearFrame;      // the frame of play on which the stage ends cleared
  int32_t stageScore;  // the stage's score then
  bool boss;           // the stage is cleared by beating its boss
};

// Three and four shots, ten frames apart.
#define T4_DEMO_SHOTS3 "1B 9 1B 9 1B 9 "
#define T4_DEMO_SHOTS4 "1B 9 1B 9 1B 9 1B 9 "

inline const std::vector<DemoPlay>& DemoPlays() {
  // clang-format off
  static const std::vector<DemoPlay> plays = {
      // Two side lifts (the hero waits for each to come back), a frog shot down, the up lift to
      // the top of the wall, past the knight and a second frog to the star.
      {"data\\stg4\\demo3-1.stg4",
       "80R 220 10R 172 30R " T4_DEMO_SHOTS3 "70R 174 16R 166 40R 158 8R 168 300R", 1547, 300, false},
      // The slime and the knight shot, the side lift, the frog shot, the up lift to the ledge and
      // down into the hall, where the boss is worn down from both sides.
      {"data\\stg4\\demo4-1.stg4",
       "1B 9 1B 9 1B 30 40R 66R 143 10R 172 10R " T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 "1B 9 99R 209 6R 170 30R 120R "
       T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 "1L " T4_DEMO_SHOTS4 T4_DEMO_SHOTS4,
       1437, 5900, true},
      // Two slimes shot, two spike pits jumped, a short hop onto the star's brick.
      {"data\\stg4\\c01-1.stg4", "1B 9 1B 20 110R 25RA 40R " T4_DEMO_SHOTS4 "104R 25RA 60R 8RA 30R", 457, 300, false},
      // Springs over the valley, a leap from the low platform to the high one, a bird shot, a
      // jump onto the platform over the last pit.
      {"data\\stg4\\c02-1.stg4", "235R 25RA 40R " T4_DEMO_SHOTS4 "1B 9 104R 25RA 100R", 557, 200, false},
      // The boss met head on.
      {"data\\stg4\\c03-1.stg4",
       "140R " T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 T4_DEMO_SHOTS4 T4_DEMO_SHOTS4, 307, 5000,
       true},
  };
  // clang-format on
  return plays;
}

#undef T4_DEMO_SHOTS3
#undef T4_DEMO_SHOTS4

}  // namespace t4::test
