#include "support/dd_fixture.h"

namespace t4::test {
namespace {

// A 16 x 24 palette picture: entry n at (n mod 16, 8 + n / 16), the top-left pixel `corner`.
BmpImage PalettePicture(uint32_t corner, int height = 24) {
  BmpImage img = MakeRgbImage(16, height, 24, [](int x, int y) {
    const int n = (y - 8) * 16 + x;
    return y < 8 ? 0x808080u : static_cast<uint32_t>(n) << 16 | static_cast<uint32_t>(255 - n);
  });
  img.pixels[0] = corner;
  return img;
}

TEST(DDPaletteTest, RenderModeSixteenBitTransparentColourFromFile) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d16", true, 16, 1}));
  ASSERT_EQ(DDSetTransmitFromFile(f.Bmp("p.bmp", PalettePicture(0xFF00FF)).c_str()), 1);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtRed, 31);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtGreen, 0);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtBlue, 31);
  EXPECT_EQ(lpDTCon->wKeyColor_16, 0xFC1F);
  EXPECT_EQ(lpDTCon->dwKeyColor, 0xFF1F001Fu);
  EXPECT_EQ(PalNumToRGB(0), 0u);  // index 0 is always the transparent value
}

TEST(DDPaletteTest, ColourValuesPerModeAndDepth) {
  {
    DDFixture f;
    ASSERT_TRUE(f.Init({"dd16", false, 16, 0}));
    g_Palette[3] = {31, 32, 0, 1};
    EXPECT_EQ(PalNumToRGB(3), 0xFC00u);
    DDSetTransmit(255, 128, 0);
    EXPECT_EQ(g_dwColorKey, 0xFBE0u);
    EXPECT_EQ(PalNumToRGB(256), 0u);
  }
  {
    DDFixture f;
    ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
    DDSetTransmit(0x12, 0x34, 0x56);
    EXPECT_EQ(g_dwColorKey, 0x00123456u);
    g_Palette[255] = {1, 2, 3, 0};
    EXPECT_EQ(PalNumToRGB(255), 0x010203u);
    EXPECT_EQ(PalNumToRGB(1000), 0u);
  }
  {
    DDFixture f;
    ASSERT_TRUE(f.Init({"dd8", false, 8, 0}));
    EXPECT_EQ(PalNumToRGB(200), 200u);
    EXPECT_EQ(PalNumToRGB(300), 0u);
  }
}

TEST(DDPaletteTest, LoadsFromColourTableOrPixels) {
  {
    DDFixture f;
    ASSERT_TRUE(f.Init({"dd8", false, 8, 0}));
    BmpImage img{2, 2, 8, false, false, {}, {0, 0, 0, 0}};
    for (uint32_t i = 0; i < 256; ++i) img.palette.push_back(i << 8);
    ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, f.Bmp("p8.bmp", img).c_str()));
    EXPECT_EQ(g_Palette[9].peGreen, 9);
    EXPECT_EQ(g_Palette[9].peFlags, 2);
    EXPECT_EQ(g_Palette[10].peFlags, 1);
    EXPECT_EQ(g_lpDDPalette->entries[200].green, 200);
  }
  {
    DDFixture f;
    ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
    ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, f.Bmp("p.bmp", PalettePicture(0)).c_str()));
    EXPECT_EQ(g_Palette[17].peRed, 17);
    EXPECT_EQ(g_Palette[17].peBlue, 238);
    EXPECT_FALSE(DDLoadPaletteFromFile(g_Palette, (f.dir.Str() + "/none.bmp").c_str()));
  }
}

TEST(DDPaletteTest, SmallPalettePictureKeepsEntriesItCannotHold) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
  for (auto& e : g_Palette) e = {9, 9, 9, 9};
  ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, f.Bmp("small.bmp", PalettePicture(0, 10)).c_str()));
  EXPECT_EQ(g_Palette[31].peRed, 31);  // row 9 exists
  EXPECT_EQ(g_Palette[32].peRed, 9);   // row 10 does not
  EXPECT_EQ(g_Palette[255].peRed, 9);
}

}  // namespace
}  // namespace t4::test
