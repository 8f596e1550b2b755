#include <gtest/gtest.h>

#include "data/stage_file.h"
#include "platform/random.h"
#include "persist/system_data.h"
#include "platform/window/input_devices.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

cStage Flat(int width) {
  return StageFromRows({std::string(static_cast<size_t>(width), '.'),
                        ".H...w.f" + std::string(static_cast<size_t>(width - 8), '.'),
                        std::string(static_cast<size_t>(width), '#')});
}

TEST(StageFrame, SubStepsFollowTheCollisionLevel) {
  struct Case {
    int level;
    int n;
  } cases[] = {{10, 10}, {4, 4}, {1, 1}, {13, 3}, {19, 9}, {0, 10}, {25, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << c.level);
    cStage stage = Flat(20);
    stage.m_nCollisionLevel = c.level;
    StageHarness h;
    h.Start(stage);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    h.Frames(3);
    EXPECT_EQ(h.Scene().m_nSubStepCount, 3 * c.n);
    EXPECT_EQ(h.Scene().m_nSubStep, c.n);
    EXPECT_EQ(h.Scene().m_nPlayFrame, 3);
    EXPECT_EQ(h.Scene().m_ContactSchedule.size(), static_cast<size_t>(c.n));
  }
}

TEST(StageFrame, AutoScrollMovesTheViewEveryPlayFrame) {
  // 100 tiles at level 4 with an X speed of 10: a quarter dot a sub-step, one dot a frame.
  cStage stage = Flat(100);
  stage.m_nCollisionLevel = 4;
  stage.m_nScrollModeX = 1;
  stage.m_nAutoScrollX = 10;
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  EXPECT_EQ(h.Scene().m_ScrollX.m_dPos, 320.0);
  h.Frames(30);
  EXPECT_EQ(h.Scene().m_ScrollX.m_dPos, 350.0);
  EXPECT_EQ(h.Scene().m_ScrollX.m_bAtEdge, 0);
  EXPECT_EQ(h.Scene().m_ScrollY.m_dPos, 320.0);
}

TEST(StageFrame, AutoScrollStopsAtTheUpperLimit) {
  // The view may end at tile 25: from 320 it has 320 dots to go, at 4 dots a frame.
  cStage stage = Flat(100);
  stage.m_nCollisionLevel = 2;
  stage.m_nScrollModeX = 1;
  stage.m_nAutoScrollX = 40;
  stage.m_nLimitRightOn = 1;
  stage.m_nLimitRight = 29;
  StageHarness h;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  h.Frames(79);
  EXPECT_EQ(h.Scene().m_ScrollX.m_dPos, 636.0);
  h.Frames(5);
  EXPECT_EQ(h.Scene().m_ScrollX.m_dPos, 640.0);
  EXPECT_EQ(h.Scene().m_ScrollX.m_bAtEdge, 1);
}

std::vector<uint64_t> Play(uint32_t seedClock, int frames) {
  StageHarness h(seedClock);
  h.Start(Flat(40));
  std::vector<uint64_t> digests;
  for (int i = 0; i < frames; ++i) {
    const int16_t dir = (i / 7) % 2 ? INPUT_RIGHT : INPUT_LEFT;
    h.Frame(dir, static_cast<int16_t>(i % 5 == 0 ? 1 : 0));
    digests.push_back(h.Digest());
  }
  return digests;
}

TEST(StageFrame, SameSeedAndInputPlayTheSame) {
  const std::vector<uint64_t> a = Play(1234, 80);
  const std::vector<uint64_t> b = Play(1234, 80);
  EXPECT_EQ(a, b);
  const std::vector<uint64_t> c = Play(1235, 80);
  EXPECT_NE(a.back(), c.back());
}

TEST(StageFrame, SeedStartsTheGameThreadsGenerator) {
  for (uint32_t seed : {1u, 1000u, 0x7FFFu}) {
    StageHarness h(seed);
    h.Start(Flat(20));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    // Nothing of this stage draws a number: the generator still holds the seed.
    EXPECT_EQ(platform::GetRandState(), seed);
    // The first draw of the classic generator after the seed: (seed x 214013 + 2531011) >> 16.
    const uint32_t expected = ((seed * 214013u + 2531011u) >> 16) & 0x7FFF;
    EXPECT_EQ(static_cast<uint32_t>(platform::Rand()), expected);
  }
}

}  // namespace
}  // namespace t4::test
