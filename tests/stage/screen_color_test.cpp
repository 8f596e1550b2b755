// The screen colour over a drawn stage whose picture is plain white: a change toward red shows
// as red at full strength, and its course (held, repeated, ended) follows the frames.
#include <gtest/gtest.h>

#include "data/stage_file.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

constexpr uint32_t WHITE = 0xFFFFFF;

class ScreenColorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartEmptyStage(h);
    SetPaletteRgb(PALETTE_EMPTY, WHITE);
  }
  void TearDown() override { SetPaletteRgb(PALETTE_EMPTY, EMPTY); }
  cScreenColor& Colour() { return h.Scene().m_Draw.m_ScreenColor; }
  // Red at `percent`, over `tenths` of a second.
  void Set(int percent, int tenths, int blink = 0, int count = 0, int restore = 0) {
    const int32_t p[8] = {255, 0, 0, percent, restore, tenths, blink, count};
    Colour().Set(p);
  }
  void Draw(int frozen = 0) { h.Scene().Draw(1, frozen, 0, 0); }

  StageHarness h;
};

TEST_F(ScreenColorTest, AChangeWithoutDurationIsReachedAtOnceAndHeld) {
  Draw();
  ASSERT_EQ(At(100, 100), WHITE);
  Set(100, 0);
  for (int i = 0; i < 3; ++i) {
    Draw();
    EXPECT_EQ(At(100, 100), RED) << i;
    EXPECT_EQ(Colour().m_bReached, 1);
    EXPECT_EQ(Colour().m_bActive, 1);
  }
  // A strength of nothing takes the colour away and ends the change.
  Set(0, 0);
  EXPECT_EQ(Colour().m_bReached, 1);
  Draw();
  EXPECT_EQ(At(100, 100), WHITE);
  EXPECT_EQ(Colour().m_bActive, 0);
}

TEST_F(ScreenColorTest, RestoreWithNothingToGoBackToDoesNothing) {
  Set(100, 0, 0, 0, 1);
  EXPECT_EQ(Colour().m_bActive, 0);
  Draw();
  EXPECT_EQ(At(100, 100), WHITE);
}

TEST_F(ScreenColorTest, ABlinkRunsItsCountThenEnds) {
  // 0.1 s: six frames toward red, then a frame without colour; twice.
  Set(100, 1, 1, 2);
  std::string seen;
  for (int i = 0; i < 14; ++i) {
    ASSERT_EQ(Colour().m_bActive, 1) << i;
    Draw();
    const uint32_t c = At(100, 100);
    seen += c == WHITE ? 'w' : (c >> 16) == 0xFF ? 'r' : '?';
  }
  EXPECT_EQ(seen, "wrrrrrwwrrrrrw");
  EXPECT_EQ(Colour().m_bActive, 0);
  // The strength grows with the frames: after 5 of 6, alpha 42 of 255 is left of the picture.
  Set(100, 1, 1, 2);
  for (int i = 0; i < 6; ++i) Draw();
  EXPECT_NEAR(static_cast<int>(At(100, 100) & 0xFF), 42, 1);
}

TEST_F(ScreenColorTest, FrozenFramesHoldTheChange) {
  Set(100, 1);
  Draw();
  Draw();
  EXPECT_EQ(Colour().m_nProgress, 2);
  for (int i = 0; i < 5; ++i) Draw(1);
  EXPECT_EQ(Colour().m_nProgress, 2);
  for (int i = 0; i < 5; ++i) Draw();
  EXPECT_EQ(Colour().m_nProgress, 6);
  EXPECT_EQ(Colour().m_bReached, 1);
  EXPECT_EQ(At(100, 100), RED);
}

}  // namespace
}  // namespace t4::test
