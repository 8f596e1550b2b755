// Rewinding a replay: both key streams start again from the first frame wherever playback stood,
// so a second pass of a stage, and a replay file loaded into a record that was already playing,
// play the same frames as the first pass.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data/stage.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

using Words = std::pair<int16_t, int16_t>;

// Direction and button streams whose runs are longer than a frame and end at different frames,
// so that a playback position inside a run of one stream is at the end of a run of the other.
const std::vector<Words> TWO_STREAMS = {{0, 1}, {0, 1}, {2, 1}, {2, 0}, {2, 4}, {8, 4}, {0, 0}};

cReplay Recorded(const std::vector<Words>& frames) {
  cReplay replay;
  for (const Words& f : frames) {
    const int16_t words[2] = {f.first, f.second};
    replay.Record(words);
  }
  return replay;
}

std::vector<Words> PlayFrames(cReplay& replay, size_t limit) {
  std::vector<Words> frames;
  int16_t words[2] = {-1, -1};
  while (frames.size() < limit && replay.Play(words) == 0) frames.emplace_back(words[0], words[1]);
  return frames;
}

TEST(ReplayRewind, RewindingAtAnyFrameStartsBothStreamsAgain) {
  for (size_t stop = 0; stop <= TWO_STREAMS.size(); ++stop) {
    cReplay replay = Recorded(TWO_STREAMS);
    ASSERT_EQ(PlayFrames(replay, stop).size(), stop);
    replay.Rewind();
    EXPECT_EQ(PlayFrames(replay, 100), TWO_STREAMS) << "rewound after " << stop << " frames";
    // And a third pass, rewound from the end.
    replay.Rewind();
    EXPECT_EQ(PlayFrames(replay, 100), TWO_STREAMS) << "third pass after " << stop << " frames";
  }
}

TEST(ReplayRewind, AFileLoadedIntoAPlayingRecordPlaysFromItsFirstFrame) {
  TempDir dir;
  const std::string path = (dir.Path() / "r.rpl4_902").string();
  cStage stage;
  stage.m_nWidth = 20;
  stage.m_nHeight = 15;
  stage.Normalize();
  cStage settings;
  settings.CopySettingsFrom(stage);
  cSaveData save;
  cReplay written = Recorded(TWO_STREAMS);
  ASSERT_EQ(written.SaveReplayFile(path.c_str(), stage, settings, save), 1);

  // The same file loaded again while it plays (a reload of the replay), at every frame.
  for (size_t stop = 0; stop <= TWO_STREAMS.size(); ++stop) {
    cReplay playing;
    cStage loadedStage, loadedSettings;
    cSaveData loadedSave;
    ASSERT_EQ(playing.LoadReplayFile(path.c_str(), loadedStage, loadedSettings, loadedSave), 1);
    ASSERT_EQ(PlayFrames(playing, stop).size(), stop);
    ASSERT_EQ(playing.LoadReplayFile(path.c_str(), loadedStage, loadedSettings, loadedSave), 1);
    EXPECT_EQ(PlayFrames(playing, 100), TWO_STREAMS) << "reloaded after " << stop << " frames";
  }
}

}  // namespace
}  // namespace t4::test
