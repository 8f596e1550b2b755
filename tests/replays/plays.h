// The plays of the replay suite: how each is played when it is recorded, as a list of steps on
// the keys, and the replay files it leaves. A step that expects something of the play (a death,
// the pause menu) stops the recording with an error when the play no longer does it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class cStage;

namespace t4::test {

struct Step {
  enum Kind : int8_t {
    HOLD,         // `frames` frames of `dir` and `buttons`
    UNTIL_RETRY,  // `dir` and `buttons` until the hero's death was shown and the stage started again (at most `frames`)
    UNTIL_CLEAR,  // `dir` and `buttons` until the stage is cleared, without a death (at most `frames`)
    PAUSE,  // the pause key, then `frames` frames in the pause menu moving the cursor, then button 2 back to the play
    SAVE,   // F1 (the current play) or, with `previous`, F2 (the play before it) saved as `file`
  };
  Kind kind = HOLD;
  int frames = 0;
  int16_t dir = 0;
  int16_t buttons = 0;
  bool previous = false;
  std::string file;
};

// Player 0's words: the direction bits and buttons 1 (jump) and 2 (shot) of the demo's hero.
constexpr int16_t LEFT = 1, RIGHT = 2, JUMP = 1, SHOT = 2;

Step Hold(int frames, int16_t dir, int16_t buttons = 0);
Step UntilRetry(int limit, int16_t dir, int16_t buttons = 0);
Step UntilClear(int limit, int16_t dir, int16_t buttons = 0);
Step Pause(int menuFrames);
Step Save(const std::string& file, bool previous = false);

struct Play {
  std::string name;
  // The demo's stage file the play starts on.
  std::string stage;
  // The millisecond timer when the play starts: the seed of its first attempt (each retry takes
  // the timer again, which stands still in the harness).
  uint32_t clock = 1000;
  // Changes the loaded stage before the play (the replay file keeps the changed stage); may be null.
  void (*patch)(cStage&) = nullptr;
  // The pause key on, as a project turns it on in its System.dat (the demo's leaves it off). Only
  // the recording needs it: a replay holds no pause.
  bool pauseKey = false;
  std::vector<Step> steps;
  // Recorded again by every test run, to prove that its replays play back as it was played: the
  // plays whose recording goes through more than keys in play (the pause menu, a death and its
  // retry, the previous play's save, a save on the results). The others share their record path.
  bool recheck = false;
};

const std::vector<Play>& SuitePlays();
// The replay files the plays leave, in order.
std::vector<std::string> SuiteReplays();

}  // namespace t4::test
