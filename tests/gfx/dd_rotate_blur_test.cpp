#include <climits>

#include "effect_fixture.h"

namespace t4::test {
namespace {

class PixelEffectTest : public EffectTest {
 protected:
  // Distinct opaque colours for a picture's pixels (never the transparent pixel).
  uint32_t Colour(int n) const {
    return Is8() ? static_cast<uint32_t>(1 + n % 250) : Pack({1 + n % 30, 1 + (n / 30) % 30, 3});
  }
};

TEST_P(PixelEffectTest, RotateByZeroCopiesThePictureAndNothingAround) {
  const uint32_t bg = Is8() ? 250 : Pack({0, 0, 31});
  DDSURFACEDATA* src = Make(6, 4, [&](int x, int y) { return Colour(x + 6 * y); });
  DDSURFACEDATA* dst = Plain(20, 20, bg);
  EXPECT_TRUE(DDBltRotate(dst, 10, 10, 6, 4, 3, 2, 0, src, 0, 0, BLT_OPAQUE));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Px(dst, 7 + x, 8 + y), Colour(x + 6 * y)) << x << "," << y;
  for (auto [x, y] : {std::pair{6, 8}, {13, 8}, {7, 7}, {7, 12}}) EXPECT_EQ(Px(dst, x, y), bg) << x << "," << y;
}

TEST_P(PixelEffectTest, RotateByNinetyTurnsTheTopEdgeToTheRight) {
  const uint32_t bg = Is8() ? 250 : Pack({0, 0, 31});
  DDSURFACEDATA* src = Make(4, 4, [&](int x, int y) { return Colour(x + 4 * y); });
  DDSURFACEDATA* dst = Plain(20, 20, bg);
  DDBltRotate(dst, 10, 10, 4, 4, 2, 2, 90, src, 0, 0, BLT_OPAQUE);
  // Source row 0 lands in the column right of the pivot's picture box, top to bottom.
  for (int u = 0; u < 4; ++u) EXPECT_EQ(Px(dst, 10 - 2 + 4, 10 - 2 + u), Colour(u)) << u;
}

TEST_P(PixelEffectTest, RotateNeverReadsBeforeOrAfterTheSource) {
  const uint32_t bg = Is8() ? 250 : Pack({0, 0, 31});
  DDSURFACEDATA* src = Make(4, 4, [&](int x, int y) { return Colour(x + 4 * y); });
  DDSURFACEDATA* dst = Plain(16, 16, bg);
  // Negative source positions: only the pixels that exist are drawn.
  DDBltRotate(dst, 8, 8, 4, 4, 2, 2, 0, src, -2, -1, BLT_OPAQUE);
  EXPECT_EQ(Px(dst, 6, 6), bg);
  EXPECT_EQ(Px(dst, 8, 7), Colour(0));
  // Huge and inverted sizes stay bounded by the destination: the huge picture turns about a
  // pivot far from the four source pixels, which land outside; the others have no pixels.
  const std::vector<uint32_t> before = AllPixels(dst);
  for (auto [w, h] : {std::pair{INT_MAX / 2, 3}, {-5, -5}, {0, 7}})
    EXPECT_TRUE(DDBltRotate(dst, 8, 8, w, h, w / 2, h / 2, 33, src, 0, 0, BLT_TRANSPARENT)) << w;
  EXPECT_EQ(AllPixels(dst), before);
}

class RenderRotateTest : public PixelEffectTest {};

TEST_P(RenderRotateTest, RenderRotateQuadLandsThePivotOnTheCentre) {
  DDSURFACEDATA* src = Make(
      4, 4, [&](int x, int y) { return Colour(x + 4 * y); }, true);
  DDSURFACEDATA* dst = Plain(20, 20, Pack({}), true);
  EXPECT_TRUE(DDBltRotate(dst, 10, 10, 4, 4, 2, 2, 0, src, 0, 0, BLT_OPAQUE));
  EXPECT_EQ(Px(dst, 8, 8), Colour(0));
  EXPECT_EQ(Px(dst, 11, 11), Colour(15));
  EXPECT_TRUE(DDBltRotate(nullptr, 0, 0, 4, 4, 2, 2, 0, src, 0, 0, BLT_OPAQUE));
}
INSTANTIATE_TEST_SUITE_P(Modes, RenderRotateTest, ::testing::Values(kD3D32, kD3D16), ModeName);

TEST_P(PixelEffectTest, LensMagnifiesTowardTheCentre) {
  const uint32_t plain = Colour(1), mark = Colour(2), bg = Colour(3);
  // Radius 100, depth 100: L = 141; the centre row's pixel 50 samples pixel 38, its neighbours 37
  // and 39.
  DDSURFACEDATA* src = Make(300, 300, [&](int x, int y) { return x == 150 + 38 && y == 150 ? mark : plain; });
  DDSURFACEDATA* dst = Plain(300, 300, bg);
  EXPECT_TRUE(DDBltLens(dst, 150, 150, 100, 100, src, 150, 150, BLT_OPAQUE, false, nullptr));
  EXPECT_EQ(Px(dst, 200, 150), mark);
  EXPECT_EQ(Px(dst, 199, 150), plain);
  EXPECT_EQ(Px(dst, 201, 150), plain);
  EXPECT_EQ(Px(dst, 150 + 71, 150 + 71), bg);  // outside the disc
}

TEST_P(PixelEffectTest, LensEdgeCasesDrawNothingOrStayInside) {
  const uint32_t bg = Colour(3);
  DDSURFACEDATA* src = Plain(8, 8, Colour(1));
  DDSURFACEDATA* dst = Plain(8, 8, bg);
  EXPECT_TRUE(DDBltLens(dst, 4, 4, 0, 5, src, 4, 4, BLT_OPAQUE, false, nullptr));    // radius 0
  EXPECT_FALSE(DDBltLens(dst, 4, 4, 3, -1, src, 4, 4, BLT_OPAQUE, false, nullptr));  // negative depth
  EXPECT_FALSE(DDBltLens(dst, 4, 4, -1, 3, src, 4, 4, BLT_OPAQUE, false, nullptr));  // negative radius
  EXPECT_EQ(Px(dst, 4, 4), bg);
  // A radius from effect data far beyond the surfaces: no overflow, work bounded by the destination.
  EXPECT_TRUE(DDBltLens(dst, 4, 4, INT_MAX, INT_MAX, src, 4, 4, BLT_OPAQUE, false, nullptr));
  EXPECT_TRUE(DDBltLens(dst, 4, 4, 1000000, 3, src, 4, 4, BLT_OPAQUE, false, nullptr));
}

TEST_P(PixelEffectTest, LensClearsOutsideOnlyForRenderTargetsAtThirtyTwoBits) {
  const uint32_t bg = Colour(3);
  DDSURFACEDATA* src = Plain(16, 16, Colour(1));
  DDSURFACEDATA* dst = Plain(16, 16, bg);
  DDBltLens(dst, 8, 8, 4, 2, src, 8, 8, BLT_TRANSPARENT, true, nullptr);
  EXPECT_EQ(Px(dst, 8, 8), Colour(1));
  EXPECT_EQ(Px(dst, 4, 4), Render() && g_nBpp == 32 ? 0u : bg);  // a corner of the square
  EXPECT_EQ(Px(dst, 1, 1), bg);                                  // outside the square
}

TEST_P(PixelEffectTest, BlurAveragesTheWindowAboveAndLeft) {
  const Fields f00{4, 8, 12}, f10{8, 4, 0}, f01{0, 0, 4}, f11{12, 12, 8};
  const uint32_t bg = Is8() ? 250 : Pack({1, 1, 1});
  DDSURFACEDATA* src = Make(2, 2, [&](int x, int y) { return Pack(y ? (x ? f11 : f01) : (x ? f10 : f00)); });
  DDSURFACEDATA* dst = Plain(2, 2, bg);
  EXPECT_TRUE(DDBltBlur(dst, 0, 0, 2, 2, 1, 1, src, 0, 0, BLT_OPAQUE, nullptr));
  if (Is8()) {
    EXPECT_EQ(Px(dst, 1, 1), bg);  // no 8-bit blur
    return;
  }
  EXPECT_EQ(Px(dst, 0, 0), Pack(f00));  // no neighbours above or left inside the picture
  EXPECT_EQ(Px(dst, 1, 0), Pack({(4 + 8) / 2, (8 + 4) / 2, 12 / 2}));
  EXPECT_EQ(Px(dst, 1, 1), Pack({(4 + 8 + 0 + 12) / 4, (8 + 4 + 0 + 12) / 4, (12 + 0 + 4 + 8) / 4}));
}

class ColourBlurTest : public PixelEffectTest {};

TEST_P(ColourBlurTest, BlurSkipsTransparentPixelsAndTheOutsideOfTheSource) {
  const uint32_t bg = Pack({1, 1, 1});
  // Column 0 transparent, columns 1 and 2 opaque.
  DDSURFACEDATA* src = Make(3, 1, [&](int x, int) { return x == 0 ? Key() : Pack({x * 10, 2, 2}); });
  DDSURFACEDATA* dst = Plain(3, 1, bg);
  DDBltBlur(dst, 0, 0, 3, 1, 1, 1, src, 0, 0, BLT_TRANSPARENT, nullptr);
  EXPECT_EQ(Px(dst, 0, 0), bg);                // transparent stays as it was
  EXPECT_EQ(Px(dst, 1, 0), Pack({10, 2, 2}));  // averaged only with itself
  EXPECT_EQ(Px(dst, 2, 0), Pack({15, 2, 2}));
  // A picture rectangle reaching past the source: pixels outside it are not counted.
  DDSURFACEDATA* dst2 = Plain(6, 6, bg);
  DDBltBlur(dst2, 0, 0, 6, 6, 2, 2, src, -1, -2, BLT_TRANSPARENT, nullptr);
  EXPECT_EQ(Px(dst2, 0, 0), bg);
  EXPECT_EQ(Px(dst2, 1, 2), bg);
  EXPECT_EQ(Px(dst2, 2, 2), Pack({15, 2, 2}));
  EXPECT_EQ(Px(dst2, 3, 2), Pack({15, 2, 2}));
  // rx 0 and a negative radius draw nothing at all; a huge radius makes one window of the
  // whole picture: both opaque pixels become (10 + 20) / 2.
  DDSURFACEDATA* dst3 = Plain(3, 1, bg);
  EXPECT_TRUE(DDBltBlur(dst3, 0, 0, 3, 1, 0, 1, src, 0, 0, BLT_OPAQUE, nullptr));
  EXPECT_TRUE(DDBltBlur(dst3, 0, 0, 3, 1, -3, -3, src, 0, 0, BLT_OPAQUE, nullptr));
  EXPECT_EQ(AllPixels(dst3), std::vector<uint32_t>(3, bg));
  EXPECT_TRUE(DDBltBlur(dst3, 0, 0, 3, 1, INT_MAX, INT_MAX, src, 0, 0, BLT_TRANSPARENT, nullptr));
  EXPECT_EQ(AllPixels(dst3), (std::vector<uint32_t>{bg, Pack({15, 2, 2}), Pack({15, 2, 2})}));
}
INSTANTIATE_TEST_SUITE_P(Modes, ColourBlurTest, ::testing::ValuesIn(kDrawModes), ModeName);

TEST_P(PixelEffectTest, MosaicTakesEachBlocksTopLeftPixel) {
  const uint32_t bg = Is8() ? 250 : Pack({0, 0, 31});
  DDSURFACEDATA* src = Make(40, 2, [&](int x, int y) { return Colour(x + 40 * y); });
  DDSURFACEDATA* dst = Plain(48, 4, bg);
  EXPECT_TRUE(DDBltMosaic(dst, 0, 0, 40, 2, 16, src, 0, 0, BLT_OPAQUE, nullptr));
  EXPECT_EQ(Px(dst, 15, 1), Colour(0));
  EXPECT_EQ(Px(dst, 16, 0), Colour(16));
  EXPECT_EQ(Px(dst, 39, 1), Colour(32));  // the last column of blocks is 8 wide
  EXPECT_EQ(Px(dst, 40, 0), bg);
  EXPECT_EQ(Px(dst, 0, 2), bg);
  // Block 1 is a plain copy.
  DDBltMosaic(dst, 0, 2, 40, 2, 1, src, 0, 0, BLT_OPAQUE, nullptr);
  EXPECT_EQ(Px(dst, 7, 3), Colour(47));
}

TEST_P(PixelEffectTest, MosaicEdgeCasesDrawNothingOutsideTheirSurfaces) {
  const uint32_t bg = Is8() ? 250 : Pack({0, 0, 31});
  DDSURFACEDATA* src = Make(8, 8, [&](int x, int y) { return Colour(x + 8 * y); });
  DDSURFACEDATA* dst = Plain(8, 8, bg);
  for (int block : {0, -4}) EXPECT_TRUE(DDBltMosaic(dst, 0, 0, 8, 8, block, src, 0, 0, BLT_OPAQUE, nullptr));
  EXPECT_EQ(Px(dst, 3, 3), bg);
  // Blocks whose corner lies outside the source are skipped.
  DDBltMosaic(dst, 0, 0, 8, 8, 4, src, -4, 4, BLT_OPAQUE, nullptr);
  EXPECT_EQ(Px(dst, 0, 0), bg);
  EXPECT_EQ(Px(dst, 5, 1), Colour(32));
  EXPECT_EQ(Px(dst, 5, 5), bg);  // source row 8 does not exist
  // One block larger than everything: the whole destination takes source pixel (0, 0).
  EXPECT_TRUE(DDBltMosaic(dst, -100, -100, INT_MAX, INT_MAX, INT_MAX, src, 0, 0, BLT_OPAQUE, nullptr));
  EXPECT_EQ(AllPixels(dst), std::vector<uint32_t>(64, Colour(0)));
}

INSTANTIATE_TEST_SUITE_P(Modes, PixelEffectTest, ::testing::ValuesIn(kEffectModes), ModeName);

}  // namespace
}  // namespace t4::test
