// Frame pacing against a manual clock, including the clock's wrap.
#include <gtest/gtest.h>

#include <vector>

#include "core/timing.h"
#include "platform/clock.h"

namespace {

class Timing : public ::testing::Test {
 protected:
  void SetUp() override { ResetTimingForTests(); }
  void TearDown() override { ResetTimingForTests(); }
  // Calls `gate` once per millisecond for `ms` milliseconds; returns the times it said yes,
  // relative to the start.
  template <class Gate>
  std::vector<DWORD> Releases(DWORD ms, Gate gate) {
    std::vector<DWORD> out;
    DWORD start = m_clock.NowMs();
    for (DWORD i = 0; i < ms; ++i) {
      if (gate()) out.push_back(m_clock.NowMs() - start);
      m_clock.Advance(1);
    }
    return out;
  }
  t4::platform::ManualClock m_clock{1000};
  t4::platform::ScopedClock m_installedClock{m_clock};
};

}  // namespace

TEST_F(Timing, IntervalGateReleasesOneFrameEvery16MsAcrossTheClockWrap) {
  for (DWORD start : {1000u, 0xFFFFFF00u}) {
    ResetTimingForTests();
    m_clock.Set(start);
    auto times = Releases(100, [] { return CheckFrameInterval(60); });
    EXPECT_EQ(times, (std::vector<DWORD>{0, 16, 32, 48, 64, 80, 96})) << start;
  }
}

TEST_F(Timing, IntervalGateNeverCatchesUpAfterAStall) {
  ASSERT_TRUE(CheckFrameInterval(60));
  m_clock.Advance(100);
  EXPECT_TRUE(CheckFrameInterval(60));
  m_clock.Advance(15);
  EXPECT_FALSE(CheckFrameInterval(60));
  m_clock.Advance(1);
  EXPECT_TRUE(CheckFrameInterval(60));
  EXPECT_TRUE(CheckFrameInterval(0));  // 0 frames per second: no pacing
}

TEST_F(Timing, ScheduleGateFollowsTheGridAndCatchesUpWithinTheWindow) {
  // The same grid whether or not the clock wraps inside the window (at 512 ms, at 16 ms).
  for (DWORD start : {1000u, 0xFFFFFE00u, 0xFFFFFFF0u}) {
    SCOPED_TRACE(start);
    ResetTimingForTests();
    m_clock.Set(start);
    SetFrameScheduleActive(true);
    auto times = Releases(1000, [] { return CheckFrameSchedule(60, false, nullptr); });
    ASSERT_EQ(times.size(), 61u);
    EXPECT_EQ(times[0], 0u);
    EXPECT_EQ(times[1], 17u);  // first whole millisecond at or after 16.67
    EXPECT_EQ(times[2], 34u);  // 33.33
    EXPECT_EQ(times[3], 50u);
    EXPECT_EQ(times[31], 517u);  // 516.67, past the wrap of the second start
    EXPECT_EQ(times[59], 984u);  // 983.33
    // The 60th frame restarts the grid at its own time, so the next window's first frame is due at once.
    EXPECT_EQ(times[60], 985u);
  }

  // A stall of 100 ms in the middle of a window: the next six frames come back to back.
  ResetTimingForTests();
  SetFrameScheduleActive(true);
  // Frames 0..11 released, the last at 184 ms; then nothing runs for 100 ms.
  auto before = Releases(185, [] { return CheckFrameSchedule(60, false, nullptr); });
  ASSERT_EQ(before.back(), 184u);
  m_clock.Advance(99);
  int backToBack = 0;
  while (CheckFrameSchedule(60, false, nullptr)) ++backToBack;
  EXPECT_EQ(backToBack, 6);
}

TEST_F(Timing, ScheduleGateIsOpenWithoutADirect3DContextOrRate) {
  EXPECT_TRUE(CheckFrameSchedule(60, false, nullptr));
  EXPECT_TRUE(CheckFrameSchedule(60, false, nullptr));
  SetFrameScheduleActive(true);
  EXPECT_TRUE(CheckFrameSchedule(0, false, nullptr));
}

TEST_F(Timing, TickCounterFiresEveryNthCallAndReportsSecondStarts) {
  EXPECT_EQ(CountFrameTick(2, 60), 1);  // fresh: at the start of a second
  int fired = 0;
  for (int i = 1; i <= 180; ++i) {
    int r = CountFrameTick(1, 60);
    fired += r;
    EXPECT_EQ(r, i % 60 == 0 ? 1 : 0) << i;
    EXPECT_EQ(CountFrameTick(2, 60), i % 60 == 0 ? 1 : 0) << i;
  }
  EXPECT_EQ(fired, 3);
  CountFrameTick(1, 60);
  EXPECT_EQ(CountFrameTick(2, 60), 0);
  EXPECT_EQ(CountFrameTick(0, 60), 0);
  EXPECT_EQ(CountFrameTick(2, 60), 1);
}

TEST_F(Timing, FpsCounterReportsThePreviousWindow) {
  // One call per 10 ms: calls at 0..990 ms count in the first window; the call at 1000 ms
  // closes it and counts in neither.
  std::vector<int> seen;
  for (int i = 0; i < 250; ++i) {
    seen.push_back(CountFps(true));
    m_clock.Advance(10);
  }
  EXPECT_EQ(seen[0], 0);
  EXPECT_EQ(seen[99], 0);
  EXPECT_EQ(seen[100], 100);
  EXPECT_EQ(seen[200], 99);  // calls at 1010..1990 ms
  EXPECT_EQ(CountFps(false), 99);
}

TEST_F(Timing, StopwatchAndFrameTimerShareOneReference) {
  StartStopwatch();
  m_clock.Advance(30);
  EXPECT_EQ(GetStopwatchTime(true), 30u);
  m_clock.Advance(5);
  EXPECT_EQ(GetStopwatchTime(false), 5u);
  EXPECT_EQ(GetFrameTime(false), 1u);  // nothing measured yet
  StartFrameTimer();
  m_clock.Advance(12);
  EXPECT_EQ(GetFrameTime(true), 12u);
  m_clock.Advance(50);
  EXPECT_EQ(GetFrameTime(false), 12u);
  EXPECT_EQ(GetStopwatchTime(false), 62u);
}
