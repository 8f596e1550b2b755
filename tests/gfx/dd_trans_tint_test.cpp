#include "effect_fixture.h"

namespace t4::test {
namespace {

using TransTintTest = EffectTest;

// Scales of a field to 8 bits and back, truncating.
int To8(int v, int mask) { return v * 255 / mask; }
int From8(int v, int mask) { return v * mask / 255; }

TEST_P(TransTintTest, TranslucentBlitMixesHalfAndHalfInSoftware) {
  const Fields a{20, 40 % (GMax() + 1), 7}, b{10, 3, 30};
  const uint32_t s0 = Is8() ? 40 : Pack(a), d0 = Is8() ? 100 : Pack(b);
  // Source: a colour, the transparent pixel, a colour over a transparent destination pixel.
  DDSURFACEDATA* src = Make(3, 1, [&](int x, int) { return x == 1 ? Key() : s0; });
  DDSURFACEDATA* dst = Make(3, 1, [&](int x, int) { return x == 2 ? Key() : d0; });
  EXPECT_TRUE(DDBltTrans(dst, 0, 0, 3, 1, src, 0, 0, BLT_TRANSPARENT, g_HbtTable, 0));
  uint32_t want = 0;
  if (Is8()) {
    want = g_HbtTable[s0 + d0 * 256];
  } else if (Render()) {
    want = Pack({(a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1});
  } else {
    const auto mix = [](int u, int v, int mask) { return From8((To8(u, mask) + To8(v, mask)) >> 1, mask); };
    want = Pack({mix(a.r, b.r, RMax()), mix(a.g, b.g, GMax()), mix(a.b, b.b, RMax())});
  }
  EXPECT_EQ(Px(dst, 0, 0), want);
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
      // Opacity 127 with the renderer's rounding (s a + d (255 - a) + 127) / 255.
      const auto mix = [](int s, int d) { return (s * 127 + d * 128 + 127) / 255; };
      EXPECT_EQ(Px(dst, 1, 1) & 0xFFFFFF, Pack({mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)}) & 0xFFFFFF);
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Modes, RenderQuadTest, ::testing::Values(kD3D32, kD3D16), ModeName);

TEST_P(TransTintTest, TintStepsTowardThePaletteColour) {
  PALETTEENTRY pal[256] = {};
  pal[9] = {Is16() ? BYTE{31} : BYTE{0}, 0, 0, 0};
  const Fields c{Is16() ? 25 : 200, 8, 0};
  DDSURFACEDATA* src = Plain(1, 1, Is8() ? 200 : Pack(c));
  for (int strength : {1, 2, 3, 5}) {
    DDSURFACEDATA* dst = Plain(1, 1, Pack({}));
    EXPECT_TRUE(DDBltTint(dst, 0, 0, 1, 1, src, 0, 0, BLT_OPAQUE, pal, g_HbtTable, 9, strength, nullptr));
    const Fields got = Unpack(Px(dst, 0, 0));
    int want = c.r;
    if (Is8()) {
      for (int k = 0; k < strength; ++k) want = g_HbtTable[want * 256 + 9];
    } else if (Render()) {
      const int t = Is16() ? 31 * 31 / 255 : 0;  // the palette byte scaled to the texture field
      const int k = strength <= 4 ? 256 >> strength : 0;
      want = strength == 1 ? (c.r + t) >> 1 : static_cast<int>(c.r * (k / 255.0) + t * (1 - k / 255.0));
    } else {
      const int mask = RMax(), t = Is16() ? To8(31, 31) : 0;
      int v = Is16() ? To8(c.r, mask) : c.r;
      for (int k = 0; k < strength; ++k) v = (v + t) >> 1;
      want = Is16() ? From8(v, mask) : v;
    }
    EXPECT_EQ(got.r, want) << "strength " << strength;
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

class RenderTintTest : public TransTintTest {};

TEST_P(RenderTintTest, RenderTintQuadBlendsWithTheFactorAlpha) {
  PALETTEENTRY pal[256] = {};
  pal[3] = {0, 0, 100, 0};
  DDSURFACEDATA* src = Plain(1, 1, Pack({200, 0, 0}), true);
  DDSURFACEDATA* dst = Plain(1, 1, Pack({}), true);
  DDBltTint(dst, 0, 0, 1, 1, src, 0, 0, BLT_OPAQUE, pal, g_HbtTable, 3, 1, nullptr);
  // Factor alpha 128: texel x 128 / 255 + colour x 127 / 255, rounded.
  EXPECT_EQ(Px(dst, 0, 0), Pack({(200 * 128 + 127) / 255, 0, (100 * 127 + 127) / 255}));
}
INSTANTIATE_TEST_SUITE_P(Modes, RenderTintTest, ::testing::Values(kD3D32), ModeName);

INSTANTIATE_TEST_SUITE_P(Modes, TransTintTest, ::testing::ValuesIn(kEffectModes), ModeName);

}  // namespace
}  // namespace t4::test
