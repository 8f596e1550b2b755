// Recording the suite's plays into replay files with their golden samples, and playing a replay
// file back the way the title's replay item does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "replays/plays.h"
#include "replays/samples.h"

namespace t4::test {

// File names in the replay folder: the replay and its golden samples.
std::string ReplayFileName(const std::string& name);
std::string GoldenFileName(const std::string& name);

// Plays `play` in a fresh harness and writes each replay it saves, with the samples of the play
// it holds, into `dir`. "" when done; otherwise what went wrong.
std::string RecordPlay(const Play& play, const std::filesystem::path& dir);

struct Playback {
  // The samples of each pass through the replay: a pass ends where the replay starts over (its
  // keys ran out or the hero's death was shown) or the stage ends.
  std::vector<Samples> passes;
  std::string error;
};

// Loads the replay file through the main window's request and plays it back from the title's
// replay item for `passes` passes (fewer when the stage ends); the passes after the first end
// after `laterFrames` frames.
Playback PlayBack(const std::filesystem::path& replayFile, int passes, size_t laterFrames = SIZE_MAX);

}  // namespace t4::test
