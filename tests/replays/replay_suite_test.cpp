// The demo played from its committed replay files, headless, frame for frame against the golden
// samples recorded with them: a change that alters play (physics, flows, random draws, drawing)
// makes the replay it touches fail at the first frame it changes. When the change is meant,
// record them anew (README.md in this folder).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "replays/plays.h"
#include "replays/replay_session.h"
#include "support/temp_dir.h"

#ifndef T4_REPLAY_DIR
#error "the replay suite needs the folder of its replays (T4_REPLAY_DIR)"
#endif

namespace t4::test {
namespace {

namespace fs = std::filesystem;

// Frames of a restarted replay that are compared: a restart that loads, seeds or restores
// anything apart from the first start shows within them.
constexpr size_t RESTART_FRAMES = 120;

const char* const RERECORD_HINT =
    "; if the change is meant, record the replays anew: cmake --build build --target record_replays";

Samples StatesOnly(Samples samples) {
  for (Sample& s : samples) s.picture.reset();
  return samples;
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

std::vector<std::string> RecheckedPlays() {
  std::vector<std::string> names;
  for (const Play& p : SuitePlays())
    if (p.recheck) names.push_back(p.name);
  return names;
}

const Play& FindPlay(const std::string& name) {
  for (const Play& p : SuitePlays())
    if (p.name == name) return p;
  throw std::out_of_range(name);
}

class CommittedReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(CommittedReplay, PlaysBackFrameForFrame) {
  const fs::path dir = T4_REPLAY_DIR;
  std::string error;
  const Samples golden = ReadSamples(dir / GoldenFileName(GetParam()), error);
  ASSERT_EQ(error, "");
  const Playback played = PlayBack(dir / ReplayFileName(GetParam()), 2, RESTART_FRAMES);
  ASSERT_EQ(played.error, "");
  ASSERT_EQ(FirstDifference(golden, played.passes.front()), "") << RERECORD_HINT;
  // A replay whose keys ran out, or whose hero's death was shown, starts over from its file: the
  // same play again. Only the states are compared there: the icon of an item a character carries
  // blinks with every frame drawn, and the first pass drew a fade-in before its caption.
  if (played.passes.size() > 1) {
    const Samples restart = StatesOnly(played.passes[1]);
    Samples expected = StatesOnly(golden);
    expected.resize(std::min(expected.size(), restart.size()));
    EXPECT_EQ(FirstDifference(expected, restart), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Replay, CommittedReplay, ::testing::ValuesIn(SuiteReplays()), TestName);

class RecordedPlay : public ::testing::TestWithParam<std::string> {};

// A play recorded again: the steps still do what they expect (the death, the pause menu), and
// its replays play back as the play went, whatever it did in menus and retries on the way.
TEST_P(RecordedPlay, PlaysBackAsItWasPlayed) {
  TempDir dir;
  EXPECT_EQ(RecordPlay(FindPlay(GetParam()), dir.Path()), "") << RERECORD_HINT;
}

INSTANTIATE_TEST_SUITE_P(Replay, RecordedPlay, ::testing::ValuesIn(RecheckedPlays()), TestName);

}  // namespace
}  // namespace t4::test
