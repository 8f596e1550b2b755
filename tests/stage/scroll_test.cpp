#include "stage/scroll.h"

#include <gtest/gtest.h>

#include "data/stage_file.h"

namespace {

// An X axis over a stage of `tiles` tiles with the limits at the stage's ends.
cScroll AxisX(int tiles) {
  cScroll s;
  s.Setup(0, tiles, tiles * 32, BitCount(static_cast<uint32_t>(tiles + 19)));
  s.SetLimits(0, 0, 0, 0);
  return s;
}

TEST(Scroll, ClampKeepsTheViewInsideTheLimits) {
  struct Case {
    int tiles;
    double pos;
    double expected;
    int edge;
  } cases[] = {
      // 40 tiles: limits 320 .. 1600, so positions 320 .. 960.
      {40, 320.0, 320.0, 1},  // exactly on the lower limit counts as at the edge
      {40, 100.0, 320.0, 1},
      {40, 500.5, 500.5, 0},
      {40, 959.0, 959.0, 0},
      {40, 960.0, 960.0, 1},  // the far edge reaches the upper limit
      {40, 2000.0, 960.0, 1},
      // 10 tiles, narrower than the view: the lower limit always wins.
      {10, 400.0, 320.0, 1},
      {10, 0.0, 320.0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tiles << " tiles at " << c.pos);
    cScroll s = AxisX(c.tiles);
    s.m_dPos = c.pos;
    s.Clamp(0);
    EXPECT_EQ(s.m_dPos, c.expected);
    EXPECT_EQ(s.m_bAtEdge, c.edge);
  }
}

TEST(Scroll, LimitsCountInStageTiles) {
  struct Case {
    int lower, upper, lowerOn, upperOn;
    int32_t expectedLower, expectedUpper;
  } cases[] = {
      {5, 50, 1, 1, 320 + 5 * 32, 320 + 51 * 32},
      {5, 50, 0, 0, 320, (100 + 10) * 32},
      {5, 50, 1, 0, 480, 3520},
      // An upper tile left of the lower one: the upper limit is raised to the lower.
      {10, 3, 1, 1, 640, 640},
  };
  for (const Case& c : cases) {
    cScroll s = AxisX(100);
    s.SetLimits(c.lower, c.upper, c.lowerOn, c.upperOn);
    EXPECT_EQ(s.m_nLowerLimit, c.expectedLower);
    EXPECT_EQ(s.m_nUpperLimit, c.expectedUpper);
  }
}

TEST(Scroll, AxisGeometry) {
  // 13 tiles: 13 + 19 = 32 has 6 binary digits, so the row pitch is 64; 12 tiles give 31 and 32.
  cScroll wide;
  wide.Setup(0, 13, 416, BitCount(13 + 19));
  EXPECT_EQ(wide.m_nPitchShift, 6);
  EXPECT_EQ(wide.m_nPitch, 64);
  EXPECT_EQ(wide.m_nGridTiles, 33);
  EXPECT_EQ(wide.m_nGridExtent, 416 + 640);
  EXPECT_EQ(wide.m_nStageStart, 320);
  EXPECT_EQ(wide.m_nStageEnd, 23 * 32);
  EXPECT_EQ(wide.m_nView, 640);
  cScroll narrow;
  narrow.Setup(0, 12, 384, BitCount(12 + 19));
  EXPECT_EQ(narrow.m_nPitch, 32);
  cScroll y;
  y.Setup(1, 15, 480, 7);
  EXPECT_EQ(y.m_nPitch, 35);
  EXPECT_EQ(y.m_nPitchShift, 0);
  EXPECT_EQ(y.m_nView, 480);
  EXPECT_EQ(y.m_nStageEnd, 25 * 32);
}

class ScrollAuto : public testing::Test {
 protected:
  void SetUp() override {
    m_nSaved = g_Stage.m_nCollisionLevel;
    g_Stage.SetCollisionLevel(4);
  }
  void TearDown() override { g_Stage.SetCollisionLevel(m_nSaved); }
  int32_t m_nSaved = 0;
};

TEST_F(ScrollAuto, SpeedIsSpreadOverTheSubSteps) {
  // Level 4: four sub-steps a frame; 10 tenths of a dot a frame is 0.25 a sub-step.
  cScroll s = AxisX(100);
  s.SetAutoScroll(1, 10);
  EXPECT_EQ(s.m_dAutoSpeed, 0.25);
  EXPECT_EQ(s.m_bAuto, 1);
  s.m_dPos = 320.0;
  for (int i = 0; i < 4; ++i) s.Step();
  EXPECT_EQ(s.m_dPos, 321.0);
  EXPECT_EQ(s.m_bAtEdge, 0);
  s.SetAutoScroll(0, 10);
  EXPECT_EQ(s.m_dAutoSpeed, 0.0);
  EXPECT_EQ(s.m_bAuto, 0);
}

TEST_F(ScrollAuto, NegativeSpeedStopsAtTheLowerLimit) {
  cScroll s = AxisX(100);
  s.SetAutoScroll(1, -20);
  s.m_dPos = 321.0;
  s.Step();
  EXPECT_EQ(s.m_dPos, 320.5);
  EXPECT_EQ(s.m_bAtEdge, 0);
  s.Step();
  s.Step();
  EXPECT_EQ(s.m_dPos, 320.0);
  EXPECT_EQ(s.m_bAtEdge, 1);
}

}  // namespace
