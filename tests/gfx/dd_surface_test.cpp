#include <cstring>

#include "support/dd_fixture.h"

namespace t4::test {
namespace {

constexpr uint32_t MAGENTA = 0xFF00FF;

TEST(DDSurfaceTest, TextureSizeFollowsDeviceNeeds) {
  DDFixture f;
  f.system.caps.pow2Textures = true;
  f.system.caps.squareTextures = true;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  const std::string file = f.Bmp("a.bmp", MakeRgbImage(100, 60, 24, [](int, int) { return 0x102030u; }));
  DDSURFACEDATA sd;
  ASSERT_TRUE(f.Load(&sd, file));
  EXPECT_EQ(sd.nWidth, 100);
  EXPECT_EQ(sd.nHeight, 60);
  EXPECT_EQ(sd.nTexWidth, 128);
  EXPECT_EQ(sd.nTexHeight, 128);
  EXPECT_EQ(DDFixture::Pixel(&sd, 99, 59), 0xFF102030u);
  EXPECT_EQ(DDFixture::Pixel(&sd, 100, 0), 0u);
  DDReleaseSurface(&sd);
}

TEST(DDSurfaceTest, FileTexturesMakeTheTransparentColourClearWhateverTheKeyFlag) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  DDSetTransmit(255, 0, 255);
  const std::string file = f.Bmp("k.bmp", MakeRgbImage(2, 1, 24, [](int x, int) { return x ? 0x00FF00u : MAGENTA; }));
  DDSURFACEDATA sd;
  ASSERT_TRUE(f.Load(&sd, file, DTMEMORYTYPE_VIDEO_RT, FALSE));
  EXPECT_EQ(DDFixture::Pixel(&sd, 0, 0), 0u);
  EXPECT_EQ(DDFixture::Pixel(&sd, 1, 0), 0xFF00FF00u);
  DDReleaseSurface(&sd);
}

TEST(DDSurfaceTest, SixteenBitBlitSurfacesKeepKeyLookalikesVisible) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd16", false, 16, 0}));
  DDSetTransmit(255, 0, 255);  // key 0xF81F
  g_lpDDCon->rgbTransmit_16 = {255, 0, 255};
  // 250 * 31 / 255 = 30: (250, 0, 250) is not the key; (255, 3, 255) converts onto it.
  const std::string file = f.Bmp("s.bmp", MakeRgbImage(3, 1, 24, [](int x, int) {
                                   return x == 0 ? MAGENTA : x == 1 ? 0xFF03FFu : 0x0000FFu;
                                 }));
  DDSURFACEDATA sd;
  ASSERT_TRUE(f.Load(&sd, file));
  EXPECT_EQ(DDFixture::Pixel(&sd, 0, 0), 0xF81Fu);
  EXPECT_EQ(DDFixture::Pixel(&sd, 1, 0), 0xF81Eu);  // blue at its maximum: moved down by one
  EXPECT_EQ(DDFixture::Pixel(&sd, 2, 0), 0x001Fu);
  DDReleaseSurface(&sd);
}

TEST(DDSurfaceTest, ImageSlotsLoadSkipOptionalFailuresAndReportOthers) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  const std::string good = f.Bmp("g.bmp", MakeRgbImage(4, 4, 24, [](int, int) { return 0x0000FFu; }));
  std::strcpy(f.slots[1].szFile, good.c_str());
  std::strcpy(f.slots[2].szFile, "E");
  f.slots[2].nWidth = 5;
  f.slots[2].nHeight = 6;
  std::strcpy(f.slots[3].szFile, (f.dir.Str() + "/missing.bmp").c_str());
  f.slots[3].bOptional = 1;
  const int first[] = {1, 2, 3};
  EXPECT_TRUE(DDLoadImageSlots(f.table, first, 3));
  EXPECT_EQ(f.table[1].nWidth, 4);
  EXPECT_EQ(f.table[2].nHeight, 6);
  EXPECT_TRUE(f.table[3].lpDT == nullptr || f.table[3].lpDT->lpTexture == nullptr);
  EXPECT_TRUE(f.boxes.Boxes().empty());
  f.slots[3].bOptional = 0;
  const int again[] = {3};
  EXPECT_FALSE(DDLoadImageSlots(f.table, again, 1));
  ASSERT_EQ(f.boxes.Boxes().size(), 1u);
  EXPECT_NE(f.boxes.Boxes()[0].text.find("missing.bmp"), std::string::npos);
}

TEST(DDSurfaceTest, PathsThatDoNotFitAreLoadFailures) {
  DDFixture f;
  for (const DDMode& mode : {kD3D32, kDD32}) {
    ASSERT_TRUE(f.Init(mode));
    const std::string longName(300, 'a');
    DDSURFACEDATA sd;
    EXPECT_EQ(DDCreateSurfaceFromFile(&sd, longName.c_str(), TRUE, g_nBpp, 0, 0, nullptr, FALSE, 0, 0, FALSE),
              LOADIMAGE_ERR)
        << mode.name;
    DDReleaseSurface(&sd);
  }
}

TEST(DDSurfaceTest, SharedRecordsReleaseWithoutTouchingTheTexture) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  const std::string file = f.Bmp("c.bmp", MakeRgbImage(8, 4, 24, [](int x, int) { return x < 4 ? 0x10u : 0x20u; }));
  std::strcpy(f.slots[4].szFile, file.c_str());
  std::strcpy(f.slots[22].szFile, file.c_str());
  f.slots[22].bShared = 1;
  f.slots[22].nMirrorW = 4;
  LinkSurfaceData();
  const int rows[] = {4, 22};
  ASSERT_TRUE(DDLoadImageSlots(f.table, rows, 2));
  EXPECT_EQ(f.table[22].lpSrcSD, &f.table[4]);
  EXPECT_EQ(f.table[22].lpDT->lpTexture, nullptr);
  // A draw from the shared twin reads the owner's texture with the cell mirrored in place.
  DDSURFACEDATA target;
  ASSERT_TRUE(DDCreateSurface(&target, 4, 4, FALSE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr));
  DDBlt(&target, 0, 0, 2, 1, &f.table[22], 0, 0, BLT_OPAQUE);
  EXPECT_EQ(DDFixture::Pixel(&target, 0, 0), 0xFF000010u);
  DDReleaseSurface(&f.table[22]);
  ASSERT_NE(f.table[4].lpDT, nullptr);
  EXPECT_NE(f.table[4].lpDT->lpTexture, nullptr);
  EXPECT_EQ(DDFixture::Pixel(&f.table[4], 7, 0), 0xFF000020u);
  DDReleaseSurface(&target);
}

TEST(DDSurfaceTest, GrowingAVectorKeepsTheResetListValid) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  std::vector<DDSURFACEDATA> surfaces;
  std::vector<IMAGESLOT> slots;
  for (int i = 0; i < 20; ++i)
    ASSERT_TRUE(DDAddSurface(surfaces, slots, 4, 4, TRUE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr));
  size_t found = 0;
  for (DDSURFACEDATA* sd : g_SurfaceList)
    if (sd >= surfaces.data() && sd < surfaces.data() + surfaces.size()) ++found;
  EXPECT_EQ(found, 20u);
  DDReleaseSurfaceVector(surfaces);
}

TEST(DDSurfaceTest, ListsInsertAndRemoveInStep) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd32", false, 32, 1}));
  std::list<DDSURFACEDATA> surfaces;
  std::list<IMAGESLOT> slots;
  ASSERT_TRUE(DDAddSurfaceToList(surfaces, slots, 2, 2, FALSE, 1, 0, nullptr));
  ASSERT_TRUE(DDInsertSurfaceToList(surfaces, slots, 0, 3, 3, FALSE, 1, 0, nullptr));
  ASSERT_TRUE(DDInsertSurfaceToList(surfaces, slots, 99, 4, 4, FALSE, 1, 0, nullptr));
  EXPECT_FALSE(DDInsertSurfaceToList(surfaces, slots, -1, 4, 4, FALSE, 1, 0, nullptr));
  std::vector<int> widths;
  for (auto& sd : surfaces) widths.push_back(sd.nWidth);
  EXPECT_EQ(widths, (std::vector<int>{3, 2, 4}));
  EXPECT_TRUE(DDRemoveSurfaceFromList(surfaces, slots, &*std::next(surfaces.begin())));
  EXPECT_EQ(surfaces.size(), 2u);
  EXPECT_EQ(slots.size(), 2u);
  DDSURFACEDATA stranger;
  EXPECT_FALSE(DDRemoveSurfaceFromList(surfaces, slots, &stranger));
  DDReleaseSurfaceList(surfaces);
}

TEST(DDSurfaceTest, ReloadCopiesOnlyWhatFitsAndLargerFlagIsAlwaysWritten) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
  const std::string small = f.Bmp("r.bmp", MakeRgbImage(2, 2, 24, [](int, int) { return 0x111111u; }));
  DDSURFACEDATA sd;
  ASSERT_TRUE(f.Load(&sd, small));
  // The file grew on disk: the reload must stay inside the surface.
  f.Bmp("r.bmp", MakeRgbImage(50, 50, 24, [](int, int) { return 0x222222u; }));
  EXPECT_TRUE(DDReloadBitmap(&sd, 32));
  EXPECT_EQ(sd.nWidth, 2);
  EXPECT_EQ(DDFixture::Pixel(&sd, 1, 1) & 0xFFFFFF, 0x222222u);
  BOOL larger = 7;
  EXPECT_TRUE(DDIsBitmapLarger(&larger, small.c_str(), 40, 40));
  EXPECT_EQ(larger, 1);
  DDReleaseSurface(&sd);
  DDRelease();
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 1}));
  larger = 7;
  EXPECT_TRUE(DDIsBitmapLarger(&larger, small.c_str(), 40, 40));
  EXPECT_EQ(larger, 0);
  DDRelease();
  // A palette surface takes nothing from a bitmap of another size.
  ASSERT_TRUE(f.Init({"dd8", false, 8, 0}));
  const std::string indexed = f.Bmp("r8.bmp", BmpImage{2, 2, 8, false, false, {0, 0, 0, 0}, {3, 3, 3, 3}});
  DDSURFACEDATA pal;
  ASSERT_TRUE(f.Load(&pal, indexed));
  f.Bmp("r8.bmp", BmpImage{3, 2, 8, false, false, {0, 0, 0, 0, 0, 0}, {5, 5, 5, 5, 5, 5}});
  EXPECT_TRUE(DDReloadBitmap(&pal, 8));
  EXPECT_EQ(DDFixture::Pixel(&pal, 0, 0), 3u);
  EXPECT_EQ(DDFixture::Pixel(&pal, 1, 1), 3u);
  DDReleaseSurface(&pal);
}

TEST(DDSurfaceTest, EightBitSurfacesTakeIndexesOrMatchingPaletteColours) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd8", false, 8, 0}));
  g_Palette[7] = {0x10, 0x20, 0x30, 1};
  BmpImage indexed{2, 1, 4, false, false, {0, 0, 0, 0x777777}, {3, 1}};
  DDSURFACEDATA a, b;
  ASSERT_TRUE(f.Load(&a, f.Bmp("i.bmp", indexed)));
  EXPECT_EQ(DDFixture::Pixel(&a, 0, 0), 3u);
  EXPECT_EQ(DDFixture::Pixel(&a, 1, 0), 1u);
  ASSERT_TRUE(f.Load(&b, f.Bmp("t.bmp", MakeRgbImage(2, 1, 24, [](int x, int) { return x ? 0x102030u : 0x999999u; }))));
  EXPECT_EQ(DDFixture::Pixel(&b, 0, 0), 0u);
  EXPECT_EQ(DDFixture::Pixel(&b, 1, 0), 7u);
  DDReleaseSurface(&a);
  DDReleaseSurface(&b);
}

}  // namespace
}  // namespace t4::test
