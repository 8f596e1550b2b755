#include <gtest/gtest.h>

#include "platform/window/input_devices.h"
#include "stage/scene_play.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

TEST(PauseWait, SetChoosesTheLock) {
  struct Case {
    int mode, button, frames, noLock;
    int lock;
  } cases[] = {
      {WAIT_MESSAGE, 1, 0, 0, 10}, {WAIT_MESSAGE, 1, 0, 1, 0}, {WAIT_MESSAGE, 0, 30, 0, 0},
      {WAIT_PICTURE, 1, 0, 0, 0},  {WAIT_GAME, 0, 12, 0, 0},
  };
  for (const Case& c : cases) {
    cWait w;
    w.m_nReserved = 9;
    w.Set(c.mode, c.button, c.frames, c.noLock);
    EXPECT_EQ(w.m_nLock, c.lock);
    EXPECT_EQ(w.m_nMode, c.mode);
    EXPECT_EQ(w.m_bButton, c.button);
    EXPECT_EQ(w.m_nFrames, c.frames);
    EXPECT_EQ(w.m_nReserved, 0);
  }
}

class PauseThread : public testing::Test {
 protected:
  void SetUp() override {
    h.Start(StageFromRows({"..........", ".H........", "##########"}));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  }
  StageHarness h;
};

TEST_F(PauseThread, TimedWaitShowsItsFrames) {
  const int before = h.Presented();
  h.Scene().m_Wait.Set(WAIT_GAME, 0, 12, 0);
  h.Scene().RunPauseThread(0);
  EXPECT_EQ(h.Presented() - before, 12);
  EXPECT_EQ(h.Scene().m_bButtonLock, 0);
}

TEST_F(PauseThread, ClosingSceneShowsNothing) {
  const int before = h.Presented();
  h.Scene().m_bClosing = 1;
  h.Scene().m_Wait.Set(WAIT_GAME, 0, 12, 0);
  h.Scene().RunPauseThread(0);
  EXPECT_EQ(h.Presented() - before, 0);
  // The frame answers a closing scene with a close request and nothing else.
  const int frame = h.Scene().m_nPlayFrame;
  h.Frame();
  EXPECT_EQ(h.CloseRequests(), 1);
  EXPECT_EQ(h.Scene().m_nPlayFrame, frame);
}

}  // namespace
}  // namespace t4::test
