// Screen effects over a drawn stage whose background is a 640 x 480 picture, red on the left half
// and blue on the right, so each distortion shows in a few exact pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "data/database.h"
#include "data/stage_file.h"
#include "stage/effect_states.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

class ScreenEffectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> rows(14, std::string(40, '.'));
    rows[12][3] = 'H';
    rows.push_back(std::string(40, '#'));
    h.Start(StageFromRows(rows));
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
    g_Stage.m_nShowStatus = 0;
    h.Hero().m_Def.m_cTransparent = 1;
    SetPaletteRgb(PALETTE_EMPTY, EMPTY);
    for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
    if (g_Stage.m_Backgrounds.empty()) g_Stage.m_Backgrounds.resize(1);
    cBackground& bg = g_Stage.m_Backgrounds[0];
    bg.m_nVisible = 1;
    bg.m_nFillOn = bg.m_nFront = bg.m_nAutoX = bg.m_nAutoY = 0;
    bg.m_dRatioX = bg.m_dRatioY = 1.0;
    DDSURFACEDATA* sd = &g_SurfaceTable[IMAGE_BACKGROUND_FIRST];
    NewSurface(sd, 640, 480);
    Paint(sd, 0, 0, 320, 480, RED);
    Paint(sd, 320, 0, 320, 480, BLUE);
    h.Scene().m_ScrollX.m_dPos = 320;
    h.Scene().m_ScrollY.m_dPos = 320;
  }
  cScrEffect& Effect() { return h.Scene().m_Draw.m_ScrEffect; }
  void Start(int kind, int p0, int p1, int p2, int p3 = 0, int p4 = 0) {
    cScrEffectDef def;
    def.m_nKind = kind;
    const int p[5] = {p0, p1, p2, p3, p4};
    for (int i = 0; i < 5; ++i) def.m_nParam[i] = p[i];
    g_Database.m_ScrEffects.push_back(def);
    // Effects start from states prepared from the database.
    PrepareEffectStates();
    Effect().Start(static_cast<int>(g_Database.m_ScrEffects.size()) - 1, 0, 0);
    ASSERT_NE(Effect().m_nEffect, 0);
  }
  void Draw(int frozen) { h.Scene().Draw(1, frozen, 0, 0); }
  void ExpectUnchanged() {
    EXPECT_EQ(At(0, 0), RED);
    EXPECT_EQ(At(319, 240), RED);
    EXPECT_EQ(At(320, 240), BLUE);
    EXPECT_EQ(At(639, 479), BLUE);
  }

  StageHarness h;
};

TEST_F(ScreenEffectTest, ZoomByTheWidthOfTheView) {
  Start(SCREFFECT_ZOOM, 10, 640, 640);
  Draw(1);
  ExpectUnchanged();
  // Half size in the middle of an empty screen: the frame covers 160..479 x 120..359.
  Start(SCREFFECT_ZOOM, 10, 320, 320);
  Draw(1);
  EXPECT_EQ(At(159, 240), EMPTY);
  EXPECT_EQ(At(160, 240), RED);
  EXPECT_EQ(At(319, 240), RED);
  EXPECT_EQ(At(320, 240), BLUE);
  EXPECT_EQ(At(479, 240), BLUE);
  EXPECT_EQ(At(480, 240), EMPTY);
  EXPECT_EQ(At(320, 119), EMPTY);
  EXPECT_EQ(At(320, 120), BLUE);
  EXPECT_EQ(At(320, 359), BLUE);
  EXPECT_EQ(At(320, 360), EMPTY);
  // Double size around the hero, who stands near the left edge: the region is held inside the
  // frame, so the view shows its left 320 x 240, all red.
  ASSERT_LT(h.Hero().m_rcScreen[0], 160);
  Start(SCREFFECT_ZOOM, 10, 1280, 1280);
  Draw(1);
  EXPECT_EQ(At(0, 0), RED);
  EXPECT_EQ(At(639, 479), RED);
}

TEST_F(ScreenEffectTest, MoveWithoutRunTimeShowsTheEndPositionOnce) {
  Start(SCREFFECT_MOVE, 0, 0, 0, 100, 50);
  Draw(0);
  EXPECT_EQ(At(99, 240), EMPTY);
  EXPECT_EQ(At(100, 240), RED);
  EXPECT_EQ(At(300, 49), EMPTY);
  EXPECT_EQ(At(300, 50), RED);
  EXPECT_EQ(Effect().m_nEffect, 0);
  Draw(0);
  ExpectUnchanged();
}

// Ends at the far edges of what a file can hold: the distance between them is worked out without
// wrapping round.
TEST_F(ScreenEffectTest, MoveBetweenFarApartEndsStepsByTheirWholeDistance) {
  Start(SCREFFECT_MOVE, 10, -2000000000, 0, 2000000000, 0);
  Draw(0);
  EXPECT_EQ(Effect().m_nKind1, -2000000000);
  Draw(0);
  // A sixtieth of 4000000000 past the start.
  EXPECT_EQ(Effect().m_nKind1, -1933333333);
  EXPECT_EQ(Effect().m_nKind2, 0);
}

TEST_F(ScreenEffectTest, SplitStripsAlternate) {
  // Seven strips of 480 rows are 69 rows each; alternate strips move the red / blue edge at x 320
  // ten dots one way or the other.
  Start(SCREFFECT_SPLIT_X, 10, 10, 10, 7);
  Draw(1);
  for (int x : {315, 325}) {
    EXPECT_NE(At(x, 68), At(x, 69)) << x;
    EXPECT_EQ(At(x, 69), At(x, 137)) << x;
    EXPECT_NE(At(x, 137), At(x, 138)) << x;
    EXPECT_EQ(At(x, 0), At(x, 138)) << x;
    EXPECT_EQ(At(x, 69), At(x, 207)) << x;
  }
  EXPECT_EQ(At(309, 68), RED);
  EXPECT_EQ(At(309, 69), RED);
  EXPECT_EQ(At(331, 68), BLUE);
  EXPECT_EQ(At(331, 69), BLUE);
  // No strip count: the frame stays in one piece.
  Start(SCREFFECT_SPLIT_X, 10, 0, 0, 0);
  Draw(0);
  ExpectUnchanged();
  Start(SCREFFECT_SPLIT_Y, 10, 0, 0, 0);
  Draw(0);
  ExpectUnchanged();
}

TEST_F(ScreenEffectTest, ShakeMakesOneFullSwingPerCount) {
  // Amplitude 8, one swing in 1 s: 60 frames travel 4 x 8 dots, out to +8, over to -8 and back.
  Start(SCREFFECT_SHAKE_X, 10, 8, 1);
  double travel = 0, lo = 0, hi = 0, last = 0;
  for (int i = 0; i < 60; ++i) {
    Draw(0);
    const double d = Effect().m_dValue2;
    travel += std::abs(d - last);
    lo = std::min(lo, d);
    hi = std::max(hi, d);
    last = d;
  }
  // Each of the two turns may clip up to one step (32 / 60 dots) of the sum of rounded steps.
  const double step = 32.0 / 60;
  EXPECT_NEAR(travel, 32.0, 2 * step + 1e-9);
  EXPECT_LE(std::abs(last), 2 * step + 1e-9);
  EXPECT_EQ(hi, 8.0);
  EXPECT_EQ(lo, -8.0);
  // With the frame moved right by d = 5, it is drawn from x 5; the strip it uncovers is empty.
  Start(SCREFFECT_SHAKE_X, 10, 8, 1);
  Effect().m_dValue2 = 5.0;
  Draw(1);
  EXPECT_EQ(At(4, 100), EMPTY);
  EXPECT_EQ(At(5, 100), RED);
  EXPECT_EQ(At(324, 100), RED);
  EXPECT_EQ(At(325, 100), BLUE);
}

// The most negative amplitude a file can hold: the swing turns at its mirror image, which an int
// cannot hold.
TEST_F(ScreenEffectTest, ShakeOfTheMostNegativeAmplitudeTurnsAtItsMirror) {
  Start(SCREFFECT_SHAKE_X, 10, INT32_MIN, 1);
  Draw(0);
  EXPECT_EQ(Effect().m_dValue2, static_cast<double>(INT32_MIN));
  Draw(0);
  EXPECT_EQ(Effect().m_dValue2, 2147483648.0);
}

TEST_F(ScreenEffectTest, BlinkAlternatesFrameAndBackgrounds) {
  // A yellow block at screen (0, 0) shows only while the blink lets the frame through.
  DDSURFACEDATA* sheet = &g_SurfaceTable[IMAGE_BLOCKS];
  NewSurface(sheet, 64, 480);
  Paint(sheet, 0, 32, 32, 32, YELLOW);
  g_MapGrid.At(10 + (10 << h.Scene().m_ScrollX.m_nPitchShift)).m_sGraphicNo = 1;
  Start(SCREFFECT_BLINK, 100, 2, 0);
  std::string seen;
  for (int i = 0; i < 10; ++i) {
    Draw(0);
    seen += At(5, 5) == YELLOW ? '#' : '.';
  }
  EXPECT_EQ(seen, "..##..##..");
}

TEST_F(ScreenEffectTest, FrozenFramesKeepTheDistortion) {
  Start(SCREFFECT_WAVE_X, 10, 20, 40, 4, 8);
  Draw(0);
  Draw(0);
  const double value = Effect().m_dValue;
  const int phase = Effect().m_nKind1;
  Draw(1);
  const uint64_t a = FrameHash("screen_wave_frozen");
  Draw(1);
  EXPECT_EQ(FrameHash("screen_wave_frozen"), a);
  EXPECT_EQ(Effect().m_dValue, value);
  EXPECT_EQ(Effect().m_nKind1, phase);
  Draw(0);
  EXPECT_GT(Effect().m_dValue, value);
  EXPECT_EQ(Effect().m_nKind1, phase + 1);
}

// A kind from a damaged ScrEffect.dat runs as "none": the frame is untouched and the effect
// stays until another replaces it.
TEST_F(ScreenEffectTest, UnknownKindsRunAsNone) {
  for (int kind : {14, -1, 200}) {
    Start(kind, 1, 0, 10);
    for (int i = 0; i < 20; ++i) Draw(0);
    ExpectUnchanged();
    EXPECT_NE(Effect().m_nEffect, 0);
  }
}

// The lens clears a square of its radius in the work surface; far from the middle that square is
// much larger than the surface and is cut to it.
TEST_F(ScreenEffectTest, LensFarFromTheMiddleStaysInsideItsSurfaces) {
  for (const auto& [dx, dy] : {std::pair{-320, 240}, {INT32_MAX, INT32_MIN}}) {
    Start(SCREFFECT_LENS, 1, 1500, 5, dx, dy);
    for (int i = 0; i < 8; ++i) Draw(0);
    EXPECT_EQ(Effect().m_nEffect, 0) << dx;
  }
  for (const auto& [kind, p1, p2] : {std::tuple{SCREFFECT_ROTATE, 0, 90},
                                     {SCREFFECT_CIRCLE, 400, 0},
                                     {SCREFFECT_MOSAIC, 1, 60},
                                     {SCREFFECT_WAVE_Y, 0, 640}}) {
    Start(kind, 1, p1, p2, 8, 8);
    for (int i = 0; i < 8; ++i) Draw(0);
    EXPECT_EQ(Effect().m_nEffect, 0) << kind;
  }
  ExpectUnchanged();
}

}  // namespace
}  // namespace t4::test
