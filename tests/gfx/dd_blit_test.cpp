#include "support/dd_fixture.h"

namespace t4::test {
namespace {

// The colour a mode stores for an opaque 8-bit colour, as the back buffer reads it back. At 16
// bits (5/6/5) the render mode drops the low bits of each byte, the blit mode scales by 31/255
// and 63/255, truncating: red 80 is 10 or 9 of 31, red 248 is 31 or 30.
uint32_t Stored(uint32_t rgb) {
  if (g_nBpp == 32) return lpDTCon ? 0xFF000000u | rgb : rgb;
  struct Row {
    uint32_t rgb, render, blit;
  };
  static const Row k16[] = {
      {0x000000, 0x0000, 0x0000}, {0xFF0000, 0xF800, 0xF800}, {0x00FF00, 0x07E0, 0x07E0}, {0x0000FF, 0x001F, 0x001F},
      {0xFFFFFF, 0xFFFF, 0xFFFF}, {0xFF00FF, 0xF81F, 0xF81F}, {0x500000, 0x5000, 0x4800}, {0xF80000, 0xF800, 0xF000},
  };
  for (const Row& row : k16)
    if (row.rgb == rgb) return lpDTCon ? row.render : row.blit;
  ADD_FAILURE() << "no stored value for " << std::hex << rgb;
  return 0xDEADBEEF;
}

class DDBlitTest : public ::testing::TestWithParam<DDMode> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(f.Init(GetParam()));
    DDSetTransmit(lpDTCon && g_nBpp == 16 ? 31 : 255, 0, lpDTCon && g_nBpp == 16 ? 31 : 255);
    if (g_lpDDCon) g_lpDDCon->rgbTransmit_16 = {255, 0, 255};
    if (lpDTCon) lpDTCon->rgbKey_16 = {255, 0, 255};
    // 4 x 2 cell: columns 0..3 red, green, magenta (transparent), blue; second row white.
    const uint32_t row0[] = {0xFF0000, 0x00FF00, 0xFF00FF, 0x0000FF};
    src = f.Bmp("cell.bmp", MakeRgbImage(4, 2, 24, [&](int x, int y) { return y ? 0xFFFFFFu : row0[x]; }));
    ASSERT_TRUE(f.Load(&cell, src));
    DDClear(&BackBuffer, 0);
    if (lpDTCon) DDClear(&BackBuffer, 0xFF000000);
  }
  void TearDown() override { DDReleaseSurface(&cell); }
  uint32_t At(int x, int y) { return DDFixture::Pixel(&BackBuffer, x, y); }
  uint32_t Black() { return lpDTCon ? Stored(0) : 0; }

  DDFixture f;
  std::string src;
  DDSURFACEDATA cell;
};

TEST_P(DDBlitTest, OpaqueAndTransparentCopies) {
  DDBlt(&BackBuffer, 10, 10, 4, 2, &cell, 0, 0, BLT_TRANSPARENT);
  EXPECT_EQ(At(10, 10), Stored(0xFF0000));
  EXPECT_EQ(At(13, 10), Stored(0x0000FF));
  EXPECT_EQ(At(12, 10), Black());  // transparent pixel leaves the old one
  EXPECT_EQ(At(11, 11), Stored(0xFFFFFF));
  DDBlt(&BackBuffer, 20, 10, 4, 2, &cell, 0, 0, BLT_OPAQUE);
  // An opaque copy shows the transparent colour where the picture is transparent.
  EXPECT_EQ(At(22, 10), Stored(0xFF00FF));
  EXPECT_EQ(At(24, 10), Black());
}

TEST_P(DDBlitTest, ClipsAtEveryEdge) {
  struct Case {
    int x, y;
    int probeX, probeY;
    uint32_t rgb;
  };
  const Case cases[] = {
      {-1, 0, 0, 0, 0x00FF00},         // left: the second column lands at x = 0
      {0, -1, 1, 0, 0xFFFFFF},         // top
      {638, 479, 639, 479, 0x00FF00},  // right and bottom
  };
  for (const Case& c : cases) {
    DDBlt(&BackBuffer, c.x, c.y, 4, 2, &cell, 0, 0, BLT_OPAQUE);
    EXPECT_EQ(At(c.probeX, c.probeY), Stored(c.rgb)) << c.x << "," << c.y;
  }
  // Fully outside and degenerate rectangles draw nothing and touch nothing.
  DDClear(&BackBuffer, lpDTCon ? 0xFF000000 : 0);
  for (auto [x, y, w] : {std::tuple{640, 0, 4}, {-4, 0, 4}, {0, 480, 4}, {0, 0, 0}, {100000, -100000, 4}})
    DDBlt(&BackBuffer, x, y, w, 2, &cell, 0, 0, BLT_OPAQUE);
  EXPECT_EQ(At(0, 0), Black());
  EXPECT_EQ(At(639, 0), Black());
}

TEST_P(DDBlitTest, NegativeDestinationDrawsTheRightPartOfTheCell) {
  DDSURFACEDATA wide;
  ASSERT_TRUE(f.Load(
      &wide, f.Bmp("w.bmp", MakeRgbImage(32, 1, 24, [](int x, int) { return static_cast<uint32_t>(x * 8) << 16; }))));
  DDBlt(&BackBuffer, -10, 0, 32, 1, &wide, 0, 0, BLT_OPAQUE);
  EXPECT_EQ(At(0, 0), Stored(80u << 16));
  EXPECT_EQ(At(21, 0), Stored(248u << 16));
  EXPECT_EQ(At(22, 0), Black());
  DDReleaseSurface(&wide);
}

TEST_P(DDBlitTest, StretchDoublesEachPixel) {
  DDBltStretch(&BackBuffer, 0, 0, 8, 4, &cell, 0, 0, 4, 2, BLT_OPAQUE);
  EXPECT_EQ(At(0, 0), Stored(0xFF0000));
  EXPECT_EQ(At(1, 1), Stored(0xFF0000));
  EXPECT_EQ(At(2, 0), Stored(0x00FF00));
  EXPECT_EQ(At(7, 3), Stored(0xFFFFFF));
  EXPECT_EQ(At(8, 0), Black());
}

TEST_P(DDBlitTest, FillsAreCutToTheSurface) {
  g_Palette[5] = lpDTCon || g_nBpp != 16 ? PALETTEENTRY{0, 0, 255, 0} : PALETTEENTRY{0, 0, 31, 0};
  DDFillRectPal(&BackBuffer, -5, 470, 700, 20, 5);
  EXPECT_EQ(At(0, 479), Stored(0x0000FF));
  EXPECT_EQ(At(639, 470), Stored(0x0000FF));
  EXPECT_EQ(At(639, 469), Black());
  DDFillRectPal(&BackBuffer, -1000, -1000, 10, 10, 5);
  EXPECT_EQ(At(0, 0), Black());
}

INSTANTIATE_TEST_SUITE_P(Modes, DDBlitTest, ::testing::ValuesIn(kDrawModes), ModeName);

TEST(DDBlitRender, DrawStateAndSystemMemorySources) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  DDSURFACEDATA video, system;
  const std::string file = f.Bmp("g.bmp", MakeRgbImage(2, 1, 24, [](int, int) { return 0x808080u; }));
  ASSERT_TRUE(f.Load(&video, file));
  ASSERT_TRUE(f.Load(&system, file, DTMEMORYTYPE_SYSTEM));
  const int state[2] = {static_cast<int>(0xFFFF0000u), D3DTOP_MODULATE};
  DDBltState(&BackBuffer, 0, 0, 2, 1, &video, 0, 0, BLT_OPAQUE, state);
  EXPECT_EQ(DDFixture::Pixel(&BackBuffer, 0, 0), 0xFF800000u);
  // The locked-pixel path ignores the draw state.
  DDBltState(&BackBuffer, 0, 1, 2, 1, &system, 0, 0, BLT_OPAQUE, state);
  EXPECT_EQ(DDFixture::Pixel(&BackBuffer, 0, 1), 0xFF808080u);
  EXPECT_EQ(lpDTCon->dwDrawColor, 0xFFFFFFFFu);
  // Half-transparent draw colour blends with what is there.
  DDClear(&BackBuffer, 0xFF0000FF);
  DDSetDrawColor(0x80FFFFFF);
  DDSetAlphaOp(D3DTOP_MODULATE);
  DDBlt(&BackBuffer, 0, 0, 1, 1, &video, 0, 0, BLT_TRANSPARENT);
  DDResetDrawColor();
  DDResetAlphaOp();
  EXPECT_EQ(DDFixture::Pixel(&BackBuffer, 0, 0), 0xBF4040BFu);
  DDReleaseSurface(&video);
  DDReleaseSurface(&system);
}

TEST(DDBlitRender, TransparentFillOfAKeyedTargetClearsEvenInAFillBatch) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  g_Palette[16] = {0, 255, 0, 255};
  DDSURFACEDATA work;
  ASSERT_TRUE(DDCreateSurface(&work, 8, 8, TRUE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr));
  DDClearPal(&work, 16);
  EXPECT_EQ(DDFixture::Pixel(&work, 3, 3), 0xFF00FF00u);
  DDBeginFillBatch();
  DDFillRectPal(&work, 0, 0, 4, 8, 0);
  DDFillRectPal(&work, 4, 0, 4, 8, 0);
  EXPECT_EQ(DDFixture::Pixel(&work, 1, 1), 0u);  // cleared at once
  DDFillRect(&work, 6, 6, 2, 2, 0xFFFF0000);
  EXPECT_EQ(DDFixture::Pixel(&work, 7, 7), 0u);  // batched
  DDEndFillBatch();
  EXPECT_EQ(DDFixture::Pixel(&work, 7, 7), 0xFFFF0000u);
  DDReleaseSurface(&work);
}

TEST(DDBlitRender, VirtualBackBufferTakesTheFrameAndCopiesBack) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  g_Palette[9] = {10, 20, 30, 255};
  DDClear(&BackBuffer, 0xFF000000);
  DDSetVirtualBackBuffer(true);
  DDFillRectPal(&BackBuffer, 0, 0, 4, 4, 9);
  EXPECT_EQ(DDFixture::Pixel(&VirBackBuffer, 1, 1), 0xFF0A141Eu);
  lpDTCon->bVirtualBackBuffer = 0;
  EXPECT_EQ(DDFixture::Pixel(&BackBuffer, 1, 1), 0xFF000000u);
  lpDTCon->bVirtualBackBuffer = 1;
  ASSERT_EQ(DDFlip(60), 1);
  EXPECT_EQ(f.display.LastFrame().At(1, 1), 0x0A141Eu);
  DDSetVirtualBackBuffer(false);
  EXPECT_EQ(DDFixture::Pixel(&BackBuffer, 1, 1), 0xFF0A141Eu);
}

}  // namespace
}  // namespace t4::test
