// The stage's world is set up anew for every stage: a stage played a second time in one process,
// after another stage, goes frame for frame as it did the first time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "stage/game.h"
#include "stage/scene_play.h"
#include "support/demo_plays.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

constexpr uint32_t SEED_TIME = 4321;

// Plays `play` from its start to its clear in the running harness: the state digest of every
// frame, and the picture's every second.
std::vector<uint64_t> PlayDigests(StageHarness& h, const DemoPlay& play) {
  std::vector<uint64_t> digests;
  g_Game.DeleteScenes();
  // The clock's time is the stage's seed.
  h.Clock().Set(SEED_TIME);
  EXPECT_TRUE(h.StartFile(play.stage));
  EXPECT_GE(h.RunUntilState(PLAY_PLAY), 0);
  int frame = 0;
  for (const KeyFrame& k : KeysFromScript(play.keys)) {
    h.Frame(k.dir, k.buttons);
    digests.push_back(h.Digest());
    if (++frame % 60 == 0) digests.push_back(FrameHash(std::string("stage_world_") + std::to_string(frame)));
    if (h.State() != PLAY_PLAY) break;
  }
  EXPECT_EQ(h.State(), PLAY_STAGE_END) << play.stage;
  return digests;
}

TEST(StageWorld, AStagePlaysTheSameAfterAnotherStageInOneProcess) {
  const DemoPlay& lifts = DemoPlays().at(0);
  const DemoPlay& between = DemoPlays().at(2);
  StageHarness h;
  const std::vector<uint64_t> first = PlayDigests(h, lifts);
  PlayDigests(h, between);
  const std::vector<uint64_t> second = PlayDigests(h, lifts);
  ASSERT_EQ(second.size(), first.size());
  for (size_t i = 0; i < first.size(); ++i) ASSERT_EQ(second[i], first[i]) << "digest " << i;
}

}  // namespace
}  // namespace t4::test
