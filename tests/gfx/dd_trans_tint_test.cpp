#include <array>
#include <map>
#include <string>

#include "effect_fixture.h"

namespace t4::test {
namespace {

using TransTintTest = EffectTest;

// The result of a worked case in each mode, by mode name (fields as Pack takes them).
template <class T>
const T& ForMode(const std::map<std::string, T>& byMode) {
  return byMode.at(::testing::TestWithParam<DDMode>::GetParam().name);
}

TEST_P(TransTintTest, TranslucentBlitMixesHalfAndHalfInSoftware) {
  const Fields a{20, 40 % (GMax() + 1), 7}, b{10, 3, 30};
  const uint32_t s0 = Is8() ? 40 : Pack(a), d0 = Is8() ? 100 : Pack(b);
  // Source: a colour, the transparent pixel, a colour over a transparent destination pixel.
  DDSURFACEDATA* src = Make(3, 1, [&](int x, int) { return x == 1 ? Key() : s0; });
  DDSURFACEDATA* dst = Make(3, 1, [&](int x, int) { return x == 2 ? Key() : d0; });
  EXPECT_TRUE(DDBltTrans(dst, 0, 0, 3, 1, src, 0, 0, BLT_TRANSPARENT, g_HbtTable, 0));
  // Render mode: half the sum of each field (green is 8 in the 5-bit texture). 8 bits: the
  // table's entry for 40 over 100, table[40 + 100 x 256] = (3 x 40 + 100) / 4. Blit mode at 16
  // bits: through 8 bits and back, truncating (red 20 -> 164 and 10 -> 82 give 123 -> 14; green
  // 40 -> 161 and 3 -> 12 give 86 -> 21; blue 7 -> 57 and 30 -> 246 give 151 -> 18).
  const std::map<std::string, Fields> mixed = {{"d3d32", {15, 21, 18}},
                                               {"d3d16", {15, 5, 18}},
                                               {"dd8", {55, 0, 0}},
                                               {"dd16", {14, 21, 18}},
                                               {"dd32", {15, 21, 18}}};
  EXPECT_EQ(Px(dst, 0, 0), Pack(ForMode(mixed)));
  EXPECT_EQ(Px(dst, 1, 0), d0);  // a transparent source pixel leaves the destination
  // The blit mode copies onto the transparent colour (nothing under it to mix with).
  if (!Render()) {
    EXPECT_EQ(Px(dst, 2, 0), s0);
  }
}

TEST_P(TransTintTest, TranslucentBlitDrawsOnlyPixelsInsideBothSurfaces) {
  const uint32_t s0 = Is8() ? 8 : Pack({20, 20, 20}), d0 = Is8() ? 2 : Pack({2, 2, 2});
  DDSURFACEDATA* src = Plain(4, 4, s0);
  DDSURFACEDATA* dst = Plain(4, 4, d0);
  // Picture partly left of the destination, source rectangle partly above the source: only
  // destination columns 0-1 (source columns 2-3) of destination row 3 (source row 0) exist.
  DDBltTrans(dst, -1, 2, 8, 8, src, 1, -1, BLT_OPAQUE, g_HbtTable, 0);
  const uint32_t mixed = Px(dst, 0, 3);
  EXPECT_NE(mixed, d0);
  EXPECT_EQ(Px(dst, 1, 3), mixed);
  EXPECT_EQ(Px(dst, 2, 3), d0);  // source column 4 does not exist
  EXPECT_EQ(Px(dst, 0, 2), d0);  // source row -1 does not exist
}

class EightBitTransTest : public TransTintTest {};

TEST_P(EightBitTransTest, EightBitTranslucentBlitCopiesOverIndexZeroAndMixesIndexZeroWhenOpaque) {
  DDSURFACEDATA* src = Make(2, 1, [](int x, int) { return x == 0 ? 0u : 50u; });
  DDSURFACEDATA* dst = Make(2, 1, [](int x, int) { return x == 0 ? 5u : 0u; });
  DDBltTrans(dst, 0, 0, 2, 1, src, 0, 0, BLT_OPAQUE, g_HbtTable, 0);
  EXPECT_EQ(Px(dst, 0, 0), g_HbtTable[0 + 5 * 256]);
  EXPECT_EQ(Px(dst, 1, 0), 50u);
}
INSTANTIATE_TEST_SUITE_P(Modes, EightBitTransTest, ::testing::Values(kDD8), ModeName);

class RenderQuadTest : public TransTintTest {};

TEST_P(RenderQuadTest, RenderQuadUsesTheOpacity) {
  const Fields a{20, 10, 5}, b{2, 30, 9};
  DDSURFACEDATA* src = Plain(2, 2, Pack(a), true);
  for (int alpha : {0, 255, 128}) {
    DDSURFACEDATA* dst = Plain(2, 2, Pack(b), true);
    EXPECT_TRUE(DDBltTrans(dst, 0, 0, 2, 2, src, 0, 0, BLT_TRANSPARENT, g_HbtTable, alpha));
    if (alpha == 0) {
      EXPECT_EQ(Px(dst, 1, 1), Pack(a));
    }
    if (alpha == 255) {
      EXPECT_EQ(Px(dst, 1, 1), Pack(b));
    }
    if (alpha == 128 && g_nBpp == 32) {
      // Opacity 127 with the renderer's rounding (s a + d (255 - a) + 127) / 255:
      // red (20 * 127 + 2 * 128 + 127) / 255 = 11, green 20, blue 7.
      EXPECT_EQ(Px(dst, 1, 1) & 0xFFFFFF, 0x0B1407u);
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Modes, RenderQuadTest, ::testing::Values(kD3D32, kD3D16), ModeName);

TEST_P(TransTintTest, TintStepsTowardThePaletteColour) {
  PALETTEENTRY pal[256] = {};
  pal[9] = {Is16() ? BYTE{31} : BYTE{0}, 0, 0, 0};
  const Fields c{Is16() ? 25 : 200, 8, 0};
  DDSURFACEDATA* src = Plain(1, 1, Is8() ? 200 : Pack(c));
  // Red after strengths 1, 2, 3 and 5. Render mode: half way at 1, else the texel weighted by
  // (256 >> strength) / 255 (0 past 4) and the palette colour (31 -> 3 in the 5-bit field) by the
  // rest. 8 bits: each step is table[index_now x 256 + 9], three quarters of the way toward index
  // 9 in the test's table ((27 + c) / 4: 200, 56, 20, 11, 9, 9).
  // Blit mode: halves toward the colour once per step in 8 bits (16 bits: 25 -> 205, toward 255:
  // 230, 242, 248, 251, 253, back to 27, 29, 30, 30 of 31).
  const std::map<std::string, std::array<int, 4>> reds = {{"d3d32", {100, 50, 25, 0}},
                                                          {"d3d16", {14, 8, 5, 3}},
                                                          {"dd8", {56, 20, 11, 9}},
                                                          {"dd16", {27, 29, 30, 30}},
                                                          {"dd32", {100, 50, 25, 6}}};
  const std::array<int, 4> strengths = {1, 2, 3, 5};
  for (size_t i = 0; i < strengths.size(); ++i) {
    DDSURFACEDATA* dst = Plain(1, 1, Pack({}));
    EXPECT_TRUE(DDBltTint(dst, 0, 0, 1, 1, src, 0, 0, BLT_OPAQUE, pal, g_HbtTable, 9, strengths[i], nullptr));
    EXPECT_EQ(Unpack(Px(dst, 0, 0)).r, ForMode(reds)[i]) << "strength " << strengths[i];
  }
  // The worked case of the blit mode at 32 bits: red 200 toward red 0 twice is 50.
  if (!Render() && g_nBpp == 32) {
    DDSURFACEDATA* dst = Plain(1, 1, 0);
    DDBltTint(dst, 0, 0, 1, 1, src, 0, 0, BLT_OPAQUE, pal, g_HbtTable, 9, 2, nullptr);
    EXPECT_EQ(Unpack(Px(dst, 0, 0)).r, 50);
  }
}

TEST_P(TransTintTest, TintWithoutEffectDrawsNothing) {
  PALETTEENTRY pal[256] = {};
  const uint32_t before = Is8() ? 3 : Pack({1, 1, 1});
  DDSURFACEDATA* src = Plain(2, 2, Is8() ? 77 : Pack({9, 9, 9}));
  DDSURFACEDATA* dst = Plain(2, 2, before);
  // Strength 0, and palette indexes from effect data that lie outside the palette.
  for (auto [index, strength] : {std::pair{5, 0}, {-1, 2}, {256, 2}, {100000, 1}})
    EXPECT_TRUE(DDBltTint(dst, 0, 0, 2, 2, src, 0, 0, BLT_OPAQUE, pal, g_HbtTable, index, strength, nullptr));
  EXPECT_EQ(Px(dst, 1, 1), before);
  // A huge strength in the blit mode ends at the colour (or its neighbour) instead of running on.
  if (!Render()) {
    EXPECT_TRUE(DDBltTint(dst, 0, 0, 2, 2, src, 0, 0, BLT_OPAQUE, pal, g_HbtTable, 0, 2000000000, nullptr));
    EXPECT_LE(Unpack(Px(dst, 1, 1)).r, 1);
  }
}

// At 8 bits the tint skips the transparent colour, whatever index it is; only the translucent
// blit tests index 0.
class EightBitTintTest : public TransTintTest {};

TEST_P(EightBitTintTest, TintSkipsTheColourKeyNotIndexZero) {
  g_dwColorKey = 5;
  PALETTEENTRY pal[256] = {};
  DDSURFACEDATA* src = Make(2, 1, [](int x, int) { return x == 0 ? 5u : 0u; });
  DDSURFACEDATA* dst = Plain(2, 1, 77);
  EXPECT_TRUE(DDBltTint(dst, 0, 0, 2, 1, src, 0, 0, BLT_TRANSPARENT, pal, g_HbtTable, 40, 1, nullptr));
  EXPECT_EQ(Px(dst, 0, 0), 77u);                       // the key leaves the destination as it was
  EXPECT_EQ(Px(dst, 1, 0), g_HbtTable[0 * 256 + 40]);  // index 0 is an ordinary colour here
}
INSTANTIATE_TEST_SUITE_P(Modes, EightBitTintTest, ::testing::Values(kDD8), ModeName);

class RenderTintTest : public TransTintTest {};

TEST_P(RenderTintTest, RenderTintQuadBlendsWithTheFactorAlpha) {
  PALETTEENTRY pal[256] = {};
  pal[3] = {0, 0, 100, 0};
  DDSURFACEDATA* src = Plain(1, 1, Pack({200, 0, 0}), true);
  DDSURFACEDATA* dst = Plain(1, 1, Pack({}), true);
  DDBltTint(dst, 0, 0, 1, 1, src, 0, 0, BLT_OPAQUE, pal, g_HbtTable, 3, 1, nullptr);
  // Factor alpha 128: texel x 128 / 255 + colour x 127 / 255, rounded: red 200 -> 100, blue 100 -> 50.
  EXPECT_EQ(Px(dst, 0, 0), Pack({100, 0, 50}));
}
INSTANTIATE_TEST_SUITE_P(Modes, RenderTintTest, ::testing::Values(kD3D32), ModeName);

INSTANTIATE_TEST_SUITE_P(Modes, TransTintTest, ::testing::ValuesIn(kEffectModes), ModeName);

}  // namespace
}  // namespace t4::test
