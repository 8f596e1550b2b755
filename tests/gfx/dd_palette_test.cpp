#include "core/report_log.h"
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

// An 8-bit palette picture of only 10 rows: entries 0-31 come from its pixels, 32-255 from its
// colour table, in every mode; the report log says once that the picture is short.
class ShortPalettePicture : public ::testing::TestWithParam<DDMode> {};

TEST_P(ShortPalettePicture, KeepsTheColourTableForTheRowsItLacks) {
  DDFixture f;
  const std::string log = (f.dir.Path() / "Report_Game.txt").string();
  ASSERT_EQ(InitReportLog(log.c_str()), 1);
  ASSERT_TRUE(f.Init(GetParam()));
  BmpImage img{16, 10, 8, false, false, {}, {}};
  // Table entry n is (n, 0, 255 - n); the pixel of entry n (row 8 + n / 16) has the table colour
  // of n + 100, so the two sources can be told apart.
  for (uint32_t n = 0; n < 256; ++n) img.palette.push_back(n << 16 | (255 - n));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 16; ++x) img.pixels.push_back(y < 8 ? 0u : static_cast<uint32_t>((y - 8) * 16 + x + 100));
  ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, f.Bmp("short.bmp", img).c_str()));
  const bool raw16 = !GetParam().d3d && GetParam().bpp == 16;  // the blit mode keeps 5/6-bit fields
  const auto red = [&](int n) { return raw16 ? n * 31 / 255 : n; };
  // Entry 5 from row 8 (table colour 105), entry 31 from row 9, entry 32 onwards from the table
  // (the 8-bit mode reads the whole table).
  const int fromPixels = GetParam().bpp == 8 ? 0 : 100;
  // Pixels of a 16-bit surface hold 5-bit red: one step of rounding either way.
  const int slack = GetParam().bpp == 16 ? (raw16 ? 1 : 8) : 0;
  EXPECT_NEAR(g_Palette[5].peRed, red(5 + fromPixels), slack);
  EXPECT_NEAR(g_Palette[31].peRed, red(31 + fromPixels), slack);
  EXPECT_EQ(g_Palette[32].peRed, red(32));
  EXPECT_EQ(g_Palette[200].peRed, red(200));
  EXPECT_EQ(g_Palette[200].peBlue, raw16 ? 55 * 31 / 255 : 55);
  const std::string text = f.dir.ReadFile("Report_Game.txt");
  const size_t first = text.find("smaller than 16 x 24");
  EXPECT_EQ(first == std::string::npos, GetParam().bpp == 8) << text;
  if (first != std::string::npos) {
    EXPECT_EQ(text.find("smaller than 16 x 24", first + 1), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ShortPalettePicture, ::testing::ValuesIn(kEffectModes), ModeName);

}  // namespace
}  // namespace t4::test
