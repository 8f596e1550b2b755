#include <climits>

#include "effect_fixture.h"

namespace t4::test {
namespace {

// The strip effects only blit: the render mode's pieces go through one sprite batch into a
// render target, the blit mode's straight onto the surface.
class StripTest : public EffectTest {
 protected:
  uint32_t Colour(int n) const { return Pack({1 + n % 200, 1 + n / 200, 9}); }
  DDSURFACEDATA* Picture(int w, int h) {
    return Make(
        w, h, [&](int x, int y) { return Colour(x + 100 * y); }, true);
  }
  DDSURFACEDATA* Screen() { return Plain(64, 48, Bg(), true); }
  uint32_t Bg() const { return Pack({0, 0, 200}); }
};

TEST_P(StripTest, SplitDrawsEveryBandShiftedAlternately) {
  DDSURFACEDATA* src = Picture(10, 7);
  DDSURFACEDATA* dst = Screen();
  // Bands of 3 rows: 0-2 right, 3-5 left; the last single row is a partial band and not drawn.
  DDBltSplit(dst, 5, 5, 10, 7, 3, 2, src, 0, 0, BLT_OPAQUE, false);
  EXPECT_EQ(Px(dst, 7, 5), Colour(0));
  EXPECT_EQ(Px(dst, 16, 7), Colour(209));
  EXPECT_EQ(Px(dst, 3, 8), Colour(300));
  EXPECT_EQ(Px(dst, 12, 10), Colour(509));
  for (int col = 0; col < 20; ++col) EXPECT_EQ(Px(dst, col, 11), Bg()) << col;
  // Strips of 4 columns across 10: two whole strips, the 2 columns left over are not drawn.
  DDSURFACEDATA* dst2 = Screen();
  DDBltSplit(dst2, 5, 5, 10, 7, 4, 2, src, 0, 0, BLT_OPAQUE, true);
  EXPECT_EQ(Px(dst2, 5, 7), Colour(0));
  EXPECT_EQ(Px(dst2, 9, 3), Colour(4));
  EXPECT_EQ(Px(dst2, 12, 7), Colour(407));
  for (int row = 0; row < 20; ++row) EXPECT_EQ(Px(dst2, 13, row), Bg()) << row;
}

TEST_P(StripTest, SplitSpecialStrips) {
  DDSURFACEDATA* src = Picture(10, 7);
  DDSURFACEDATA* dst = Screen();
  DDBltSplit(dst, 5, 5, 10, 7, 0, 9, src, 0, 0, BLT_OPAQUE, true);  // a plain blit
  EXPECT_EQ(Px(dst, 5, 5), Colour(0));
  DDBltSplit(dst, 20, 5, 10, 7, 50, 3, src, 0, 0, BLT_OPAQUE, true);  // no whole strip: nothing drawn
  EXPECT_EQ(Px(dst, 20, 8), Bg());
  EXPECT_EQ(Px(dst, 29, 8), Bg());

  // A negative strip draws nothing. Strips of one column over a huge width: only the columns the
  // source has (5-9 at destination 0-4) are drawn, odd ones 3 rows up, even ones 3 rows down.
  DDSURFACEDATA* edge = Screen();
  EXPECT_EQ(DDBltSplit(edge, 40, 5, 10, 7, -3, 3, src, 0, 0, BLT_OPAQUE, true), 1);
  EXPECT_EQ(AllPixels(edge), AllPixels(Screen()));
  DDBltSplit(edge, -5, 5, INT_MAX, 7, 1, 3, src, 0, 0, BLT_OPAQUE, true);
  EXPECT_EQ(Px(edge, 0, 2), Colour(5));
  EXPECT_EQ(Px(edge, 1, 8), Colour(6));
  EXPECT_EQ(Px(edge, 4, 8), Colour(609));
  EXPECT_EQ(Px(edge, 0, 1), Bg());
  for (int row = 0; row < 48; ++row) EXPECT_EQ(Px(edge, 5, row), Bg()) << row;
}

TEST_P(StripTest, WaveDisplacesEachPieceBySine) {
  DDSURFACEDATA* src = Picture(10, 1);
  DDSURFACEDATA* dst = Screen();
  // One wave over 4 columns: sums 90, 180, 270, 360 degrees.
  DDBltWave(dst, 10, 20, 4, 1, 1, 5.0, 0, 1, src, 0, 0, BLT_OPAQUE, true);
  EXPECT_EQ(Px(dst, 10, 25), Colour(0));
  EXPECT_EQ(Px(dst, 11, 20), Colour(1));
  EXPECT_EQ(Px(dst, 12, 15), Colour(2));
  EXPECT_EQ(Px(dst, 13, 20), Colour(3));
  // Amplitude 0 draws the picture unchanged in strips; the last of 3 columns is 1 wide.
  DDBltWave(dst, 30, 30, 10, 1, 3, 0.0, 45, 3, src, 0, 0, BLT_OPAQUE, true);
  EXPECT_EQ(Px(dst, 39, 30), Colour(9));
  EXPECT_EQ(Px(dst, 40, 30), Bg());
  // Strips of no width, and a displacement far beyond the surface: nothing is drawn.
  const std::vector<uint32_t> before = AllPixels(dst);
  EXPECT_EQ(DDBltWave(dst, 0, 0, 10, 1, 1, 1e300, 0, 0, src, 0, 0, BLT_OPAQUE, true), 1);
  DDBltWave(dst, 0, 0, 10, 1, 1, 1e300, 7, 2, src, 0, 0, BLT_OPAQUE, true);
  EXPECT_EQ(AllPixels(dst), before);
}

TEST_P(StripTest, SpinTurnsBetweenTheTwoFaces) {
  DDSURFACEDATA* a = Plain(64, 1, Colour(1), true);
  DDSURFACEDATA* b = Plain(64, 1, Colour(2), true);
  struct Case {
    int counter, left, width;
    bool faceB;
  };
  for (const Case& c :
       {Case{0, 0, 64, false}, {31, 31, 2, false}, {32, 31, 2, true}, {63, 0, 64, true}, {96, 31, 2, false}}) {
    DDSURFACEDATA* dst = Plain(64, 1, Bg(), true);
    DDBltSpin(dst, 0, 0, 64, 1, a, 0, 0, b, 0, 0, 64, 1, BLT_OPAQUE, c.counter, 0);
    const uint32_t face = c.faceB ? Colour(2) : Colour(1);
    EXPECT_EQ(Px(dst, c.left, 0), face) << c.counter;
    EXPECT_EQ(Px(dst, c.left + c.width - 1, 0), face) << c.counter;
    if (c.left > 0) {
      EXPECT_EQ(Px(dst, c.left - 1, 0), Bg()) << c.counter;
    }
  }
  DDSURFACEDATA* dst = Plain(4, 4, Bg(), true);
  EXPECT_EQ(DDBltSpin(dst, 0, 0, 1, 4, a, 0, 0, b, 0, 0, 1, 4, BLT_OPAQUE, 7, 0), 1);  // no half to turn about
  EXPECT_EQ(DDBltSpin(dst, 0, 0, 4, 4, a, 0, 0, b, 0, 0, 4, 4, BLT_OPAQUE, 7, 5), 4);
  EXPECT_EQ(Px(dst, 0, 0), Bg());
}

TEST_P(StripTest, BurstMovesTheFourQuarters) {
  DDSURFACEDATA* src = Picture(5, 3);
  DDSURFACEDATA* dst = Screen();
  DDBltBurst(dst, 10, 10, 5, 3, src, 0, 0, 0, BLT_OPAQUE);
  EXPECT_EQ(Px(dst, 13, 10), Colour(3));
  EXPECT_EQ(Px(dst, 14, 10), Bg());  // the odd last column is dropped
  EXPECT_EQ(Px(dst, 10, 12), Bg());  // and the odd last row
  DDBltBurst(dst, 30, 30, 4, 4, src, 0, 0, 3, BLT_OPAQUE);
  EXPECT_EQ(Px(dst, 27, 27), Colour(0));
  EXPECT_EQ(Px(dst, 35, 27), Colour(2));
  EXPECT_EQ(Px(dst, 27, 35), Colour(200));
}

TEST_P(StripTest, CircleDrawsRowsOfTheDisc) {
  DDSURFACEDATA* src = Plain(64, 48, Colour(5), true);
  const auto widths = [&](int band, int halfH) {
    DDSURFACEDATA* dst = Screen();
    DDBltCircle(dst, 32, 24, 100, halfH, 10, band, src, 32, 24, BLT_OPAQUE);
    std::vector<int> w;
    for (int y = 24 + 9; y >= 24 - 10; --y) {
      int n = 0;
      for (int x = 0; x < 64; ++x) n += Px(dst, x, y) == Colour(5);
      w.push_back(n);
    }
    return w;
  };
  EXPECT_EQ(widths(1, 100),
            (std::vector<int>{8, 12, 14, 16, 16, 18, 18, 18, 18, 18, 18, 18, 18, 18, 16, 16, 14, 12, 8, 0}));
  // Bands of 5 rows take the half-width of their middle row.
  EXPECT_EQ(widths(5, 100),
            (std::vector<int>{14, 14, 14, 14, 14, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 12, 12, 12, 12, 12}));
  // halfH 3 keeps rows -3 .. 2 only.
  EXPECT_EQ(widths(1, 3), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 18, 18, 18, 18, 18, 18, 0, 0, 0, 0, 0, 0, 0}));
  // Radius and clipping sizes far beyond the surfaces cost no more than the destination.
  DDSURFACEDATA* dst = Screen();
  for (int band : {1, 7}) DDBltCircle(dst, 32, 24, INT_MAX, INT_MAX, INT_MAX, band, src, 32, 24, BLT_OPAQUE);
  EXPECT_EQ(Px(dst, 0, 0), Colour(5));
  EXPECT_EQ(DDBltCircle(dst, 32, 24, 10, 10, 0, 1, src, 32, 24, BLT_OPAQUE), 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, StripTest, ::testing::Values(kD3D32, kDD32), ModeName);

}  // namespace
}  // namespace t4::test
