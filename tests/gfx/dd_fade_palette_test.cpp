#include <climits>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "effect_fixture.h"

namespace t4::test {
namespace {

// Calls of a fade with the game's arguments until it reports completion (at most 100).
int CallsUntilDone(bool bIn, double step) {
  for (int n = 1; n <= 100; ++n)
    if ((bIn ? DDFadeIn : DDFadeOut)(g_PaletteWork, 0, 255, 0, 0, 0, step, g_Palette, false)) return n;
  return -1;
}

class FadeTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    g_dD3DFadeOutAngle = g_dDDFadeOutAngle = 90;
    g_dD3DFadeInAngle = g_dDDFadeInAngle = 0;
  }
  // A back-buffer pixel (6-bit green at 16 bits in both modes here) that every fade gives back
  // exactly at full strength.
  uint32_t Grey() const {
    if (Is8()) return 7;
    if (g_nBpp == 32) return (Render() ? 0xFF000000u : 0u) | 0x141414u;
    return 31u << 11 | 63u << 5;
  }
  void FillBack(uint32_t raw) {
    cSurfaceLock lock;
    ASSERT_TRUE(lock.Lock(&BackBuffer));
    lock.Pixels()->Fill(raw);
  }
  uint32_t Back(int x, int y) { return Px(&BackBuffer, x, y) & (g_nBpp == 32 ? 0xFFFFFFu : 0xFFFFu); }
};

class FadeStepTest : public FadeTest {};

TEST_P(FadeStepTest, FadesTakeTheirStepsAndStartAfresh) {
  // The steps are the same in every depth; one mode of each kind keeps its own angles.
  for (bool bIn : {false, true}) {
    EXPECT_EQ(CallsUntilDone(bIn, 10), 10);
    EXPECT_EQ(CallsUntilDone(bIn, 10), 10);  // a completed fade puts its angle back
    EXPECT_EQ(CallsUntilDone(bIn, 7), 14);   // 90, 83, ..., 6, then 0 (clamped) completes
  }
  // An abandoned fade in goes on from where it stopped; the other direction does not disturb it.
  for (int n = 0; n < 4; ++n) DDFadeIn(g_PaletteWork, 0, 255, 0, 0, 0, 10, g_Palette, false);
  EXPECT_EQ(CallsUntilDone(false, 10), 10);
  EXPECT_EQ(CallsUntilDone(true, 10), 6);
}
INSTANTIATE_TEST_SUITE_P(Modes, FadeStepTest, ::testing::Values(kD3D32, kDD8), ModeName);

class FadeColourTest : public FadeTest {};

TEST_P(FadeColourTest, FadeOutEndsBlackAndFadeInEndsOnThePicture) {
  // The scene draws its frame, then the fade step, every frame.
  for (bool bIn : {false, true}) {
    bool done = false;
    while (!done) {
      FillBack(Grey());
      done = (bIn ? DDFadeIn : DDFadeOut)(g_PaletteWork, 0, 255, 0, 0, 0, 10, g_Palette, false);
    }
    EXPECT_EQ(Back(5, 5), bIn ? Grey() & (g_nBpp == 32 ? 0xFFFFFFu : 0xFFFFu) : 0u);
  }
}
INSTANTIATE_TEST_SUITE_P(Modes, FadeColourTest, ::testing::ValuesIn(kDrawModes), ModeName);

class BlitFadeTest : public FadeTest {};

TEST_P(BlitFadeTest, BlitModeFadeBuildsEveryStepFromTheFirstFrame) {
  const uint32_t pic = Pack({20, 20, 20});
  FillBack(pic);
  // bSkip on the first call still keeps the frame, draws black and completes.
  EXPECT_TRUE(DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, 10, g_Palette, true));
  EXPECT_EQ(Back(0, 0), 0u);
  EXPECT_EQ(Px(&g_ScreenCopySD, 0, 0), pic);
  // The scene keeps drawing during a fade, but the picture stands still.
  FillBack(pic);
  DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, 10, g_Palette, false);
  FillBack(Pack({1, 1, 1}));
  DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, 10, g_Palette, false);  // angle 80
  const int f = static_cast<int>(std::sin(80 * std::numbers::pi / 180) * 256);
  if (g_nBpp == 32) {
    EXPECT_EQ(Back(3, 3), static_cast<uint32_t>((20 * f) >> 8) * 0x010101u);
  } else {
    const int r = (20 * 255 / 31 * f) >> 8, g = (20 * 255 / 63 * f) >> 8;
    EXPECT_EQ(Back(3, 3), Pack({r * 31 / 255, g * 63 / 255, r * 31 / 255}));
  }
}
INSTANTIATE_TEST_SUITE_P(Modes, BlitFadeTest, ::testing::Values(kDD16, kDD32), ModeName);

class EightBitFadeTest : public FadeTest {};

TEST_P(EightBitFadeTest, EightBitFadeSetsTheBlendedPalette) {
  for (int i = 0; i < 256; ++i) g_Palette[i] = {200, 100, static_cast<BYTE>(i), 2};
  DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, 30, g_Palette, false);  // angle 90: the picture
  DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, 30, g_Palette, false);  // angle 60
  const int f = static_cast<int>(std::sin(60 * std::numbers::pi / 180) * 256);
  const auto& e = g_lpDDPalette->entries[40];
  EXPECT_EQ(e.red, (200 * f) >> 8);
  EXPECT_EQ(e.blue, (40 * f) >> 8);
  EXPECT_EQ(e.flags, 1);
}
INSTANTIATE_TEST_SUITE_P(Modes, EightBitFadeTest, ::testing::Values(kDD8), ModeName);

TEST_P(FadeTest, RenderModeChangeColorLaysTheColourOverTheWholeScreen) {
  FillBack(Grey());
  EXPECT_EQ(DDChangeColor(&BackBuffer, 0, 0, 10, 10, 255, 255, 0, 0), 1);
  EXPECT_EQ(Back(300, 300), Grey() & (g_nBpp == 32 ? 0xFFFFFFu : 0xFFFFu));
  EXPECT_EQ(DDChangeColor(&BackBuffer, 0, 0, 10, 10, 0, 255, 0, 0), 1);
  // The rectangle never narrowed it; the blit mode has no colour change.
  if (Render() && g_nBpp == 32) {
    EXPECT_EQ(Back(300, 300), 0xFF0000u);
  }
  if (!Render()) {
    EXPECT_EQ(Back(300, 300), Grey() & (g_nBpp == 32 ? 0xFFFFFFu : 0xFFFFu));
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, FadeTest, ::testing::ValuesIn(kEffectModes), ModeName);

TEST(FadeUnPal, SixteenBitFieldsComeBackTruncated) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd16", false, 16, 0}));
  DDSURFACEDATA src, dst;
  ASSERT_TRUE(DDCreateSurface(&src, 4, 1, FALSE, 1, 0, nullptr));
  ASSERT_TRUE(DDCreateSurface(&dst, 8, 2, FALSE, 1, 0, nullptr));
  struct Case {
    int r, g;
    int wantR, wantG;
  };
  const Case cases[] = {{1, 21, 0, 21}, {31, 63, 31, 63}, {0, 0, 0, 0}, {16, 20, 15, 19}};
  {
    cSurfaceLock lock;
    ASSERT_TRUE(lock.Lock(&src));
    for (int x = 0; x < 4; ++x) lock.Set(x, 0, static_cast<uint32_t>(cases[x].r << 11 | cases[x].g << 5));
  }
  // The source is smaller than the destination: only the common part is walked.
  EXPECT_EQ(DDFade_UnPal(&dst, 256, 0, 0, 0, &src), 1);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(DDFixture::Pixel(&dst, x, 0), static_cast<uint32_t>(cases[x].wantR << 11 | cases[x].wantG << 5)) << x;
  DDReleaseSurface(&src);
  DDReleaseSurface(&dst);
}

TEST(PaletteOps, BlendKeepsOrReplacesTheRangeOnly) {
  PALETTEENTRY src[256], out[256];
  for (int i = 0; i < 256; ++i) src[i] = out[i] = {static_cast<BYTE>(i), 50, 200, 2};
  DDBlendPalette(out, 10, 20, 256, 9, 9, 9, src);
  EXPECT_EQ(out[15].peRed, 15);
  EXPECT_EQ(out[15].peFlags, 1);
  EXPECT_EQ(out[21].peFlags, 2);
  DDBlendPalette(out, 10, 20, 0, 9, 8, 7, src);
  EXPECT_EQ(out[20].peRed, 9);
  EXPECT_EQ(out[20].peBlue, 7);
  DDBlendPalette(out, 30, 30, 128, 0, 0, 0, src);
  EXPECT_EQ(out[30].peBlue, 100);
  // Bounds beyond the palette are clamped, an empty range changes nothing.
  DDBlendPalette(out, -50, 1000, 0, 1, 1, 1, src);
  EXPECT_EQ(out[0].peRed, 1);
  EXPECT_EQ(out[255].peRed, 1);
  DDBlendPalette(out, 9, 3, 0, 77, 77, 77, src);
  EXPECT_EQ(out[5].peRed, 1);
}

TEST(PaletteOps, RotateWrapsWithinTheRange) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd8", false, 8, 0}));
  auto run = [](int first, int last, int amount, int direction) {
    PALETTEENTRY pal[256];
    for (int i = 0; i < 256; ++i) pal[i] = {static_cast<BYTE>(i), 0, 0, 0};
    DDRotatePalette(pal, first, last, amount, direction, pal);  // in place, as both callers do
    std::vector<int> red(256);
    for (int i = 0; i < 256; ++i) red[i] = pal[i].peRed;
    return red;
  };
  auto v = run(16, 207, 16, 1);
  EXPECT_EQ(v[16], 32);
  EXPECT_EQ(v[192], 16);
  EXPECT_EQ(v[207], 31);
  EXPECT_EQ(v[15], 15);
  v = run(208, 211, 1, 0);
  EXPECT_EQ((std::vector<int>{v[208], v[209], v[210], v[211], v[212]}), (std::vector<int>{211, 208, 209, 210, 212}));
  // Amounts beyond the range, negative amounts and bounds outside the palette stay inside it.
  EXPECT_EQ(run(208, 211, 5, 0), run(208, 211, 1, 0));
  EXPECT_EQ(run(208, 211, -1, 0), run(208, 211, 1, 1));
  EXPECT_EQ(run(-10, 300, 1, 1)[255], 0);
  EXPECT_EQ(run(100, 50, 3, 0)[60], 60);
  EXPECT_EQ(run(0, 255, INT_MIN, 7)[0], 0);
}

TEST(PaletteOps, ColourTableReadsWhatTheFileHolds) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd8", false, 8, 0}));
  const std::string bytes(300, static_cast<char>(0xAB));
  const std::string path = f.dir.WriteFile("hbt00.dat", bytes).string();
  static BYTE table[65536];
  std::fill_n(table, 65536, 1);
  EXPECT_TRUE(DDLoadColorTable(table, path.c_str()));
  EXPECT_EQ(table[299], 0xAB);
  EXPECT_EQ(table[300], 1);  // a short file fills only its length
  EXPECT_FALSE(DDLoadColorTable(table, (path + ".missing").c_str()));
}

}  // namespace
}  // namespace t4::test
