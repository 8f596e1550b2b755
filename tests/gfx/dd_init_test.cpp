#include "support/dd_fixture.h"

namespace t4::test {
namespace {

using t4::platform::raster::Op;

TEST(DDInitTest, EachModeSetsUpItsContextAndFormats) {
  struct Case {
    DDMode mode;
    D3DFORMAT backFormat;  // render mode only
    int rShift, gMask;
  };
  const Case cases[] = {
      {{"d3d32", true, 32, 1}, D3DFMT_X8R8G8B8, 16, 255},
      {{"d3d16 window", true, 16, 1}, D3DFMT_A1R5G5B5, 10, 31},
      {{"d3d16 full", true, 16, 0}, D3DFMT_R5G6B5, 10, 31},
      {{"dd16 full", false, 16, 0}, 0, 11, 63},
      {{"dd32 full", false, 32, 0}, 0, 16, 255},
  };
  for (const Case& c : cases) {
    DDFixture f;
    ASSERT_TRUE(f.Init(c.mode)) << c.mode.name;
    EXPECT_EQ(lpDTCon != nullptr, c.mode.d3d) << c.mode.name;
    EXPECT_EQ(g_lpDDCon != nullptr, !c.mode.d3d) << c.mode.name;
    if (c.mode.d3d) {
      EXPECT_EQ(lpDTCon->BackBufferFormat, c.backFormat) << c.mode.name;
      EXPECT_STREQ(VirBackBuffer.szName, "VirBackBuffer");
      EXPECT_EQ(BackBuffer.lpDT->nSerial, 0);
    }
    EXPECT_EQ(g_TexMask.nRShift, c.rShift) << c.mode.name;
    EXPECT_EQ(g_TexMask.nGMask, c.gMask) << c.mode.name;
    EXPECT_EQ(f.display.IsFullScreen(), c.mode.windowMode == 0) << c.mode.name;
  }
}

TEST(DDInitTest, RefusesWhatItCannotSetUp) {
  DDFixture f;
  EXPECT_FALSE(f.Init({"window mode 2", false, 32, 2}));
  EXPECT_EQ(g_bDDInitDone, 0);
  EXPECT_FALSE(f.Init({"d3d 24", true, 24, 1}));
  DDRelease();
  f.system.driverDdiVersion = 8;
  EXPECT_FALSE(f.Init({"old driver", true, 32, 1}));
  DDRelease();
  f.system.driverDdiVersion = 9;
  // The start-up fallback: render mode fails, the blit mode comes up clean.
  f.system.InjectFailure(Op::CreateDevice);
  EXPECT_FALSE(f.Init({"no device", true, 32, 1}));
  DDRelease();
  EXPECT_EQ(lpDTCon, nullptr);
  ASSERT_TRUE(f.Init({"fallback", false, 24, 0}));
  EXPECT_NE(g_lpDDCon, nullptr);
}

TEST(DDInitTest, BlitSetUpReportsTheFailingStep) {
  const std::pair<Op, int> cases[] = {
      {Op::CreateBlitter, CREATEEX_ERR},   {Op::SetCooperativeLevel, SETCOOPLEVEL_ERR},
      {Op::CreatePrimary, CREATESURFACE_ERR}, {Op::GetAttachedSurface, GETATTACHEDSURFACE_ERR},
      {Op::CreatePalette, CREATEPALETTE_ERR}, {Op::SetPalette, SETPALETTE_ERR},
  };
  for (const auto& [op, code] : cases) {
    DDFixture f;
    f.system.InjectFailure(op);
    EXPECT_FALSE(f.Init({"dd8", false, 8, 0})) << code;
  }
  DDFixture f;
  f.system.InjectFailure(Op::SetDisplayMode);
  EXPECT_FALSE(f.Init({"dd8", false, 8, 0}));
  EXPECT_TRUE(DDCheckInitError(0) && DDCheckInitError(42) && !DDCheckInitError(SETCLIPPER_ERR));
}

TEST(DDInitTest, SecondInitReleasesTheFirstWithoutLeaks) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
  DDSURFACEDATA* first = &f.table[5];
  ASSERT_TRUE(DDCreateSurface(first, 8, 8, TRUE, 0, 0, nullptr));
  ASSERT_TRUE(f.Init({"dd32 again", false, 32, 0}));
  EXPECT_NE(g_lpDDCon, nullptr);
  EXPECT_EQ(first->lpDDPart, nullptr);
  DDRelease();
  EXPECT_EQ(f.system.LiveResources(), 0);
  EXPECT_TRUE(f.boxes.Boxes().empty());
  // A surface that outlives the layer is a leak the player is told about.
  ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
  RasterSurface* kept = nullptr;
  ASSERT_EQ(g_lpDD->CreateSurface(4, 4, true, &kept), D3D_OK);
  DDRelease();
  ASSERT_EQ(f.boxes.Boxes().size(), 1u);
  EXPECT_EQ(f.boxes.Boxes()[0].text, "解放漏れがあります");
  kept->Release();
}

TEST(DDInitTest, DrawStateOnlyInRenderMode) {
  DDFixture f;
  DDSetDrawColor(0x12345678);  // no context: nothing to change, nothing to crash
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  DDSetDrawColor(0x80FFFFFF);
  DDSetColorOp(D3DTOP_ADD);
  DDSetAlphaOp(D3DTOP_MODULATE);
  EXPECT_EQ(lpDTCon->dwDrawColor, 0x80FFFFFFu);
  DDResetDrawColor();
  DDResetColorOp();
  DDResetAlphaOp();
  EXPECT_EQ(lpDTCon->dwDrawColor, 0xFFFFFFFFu);
  EXPECT_EQ(lpDTCon->nColorOp, D3DTOP_MODULATE);
  EXPECT_EQ(lpDTCon->nAlphaOp, D3DTOP_SELECTARG1);
}

}  // namespace
}  // namespace t4::test
