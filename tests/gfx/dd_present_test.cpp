#include <cstring>

#include "core/message_box.h"
#include "support/dd_fixture.h"

namespace t4::test {
namespace {

TEST(DDPresentTest, LostDeviceIsResetAndTexturesComeBack) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 0}));
  const std::string file = f.Bmp("t.bmp", MakeRgbImage(2, 2, 24, [](int, int) { return 0x123456u; }));
  DDSURFACEDATA fromFile, empty, system;
  ASSERT_TRUE(f.Load(&fromFile, file));
  ASSERT_TRUE(DDCreateSurface(&empty, 4, 4, FALSE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr));
  ASSERT_TRUE(DDCreateSurface(&system, 4, 4, FALSE, 0, DTMEMORYTYPE_SYSTEM, nullptr));
  DDFillRect(&system, 0, 0, 4, 4, 0xFF00FF00);

  lpDevice->SimulateLoss(false);
  EXPECT_EQ(DDFlip(60), 0);
  EXPECT_TRUE(f.display.IsMinimised());
  EXPECT_EQ(DDRestoreSurface(), 0);                             // not resettable yet: try again later
  DDBlt(&BackBuffer, 0, 0, 2, 2, &fromFile, 0, 0, BLT_OPAQUE);  // fails silently meanwhile
  lpDevice->MakeResettable();
  ASSERT_EQ(DDRestoreSurface(), 1);
  EXPECT_FALSE(f.display.IsMinimised());
  EXPECT_EQ(DDFixture::Pixel(&fromFile, 1, 1), 0xFF123456u);
  EXPECT_EQ(empty.bLost, 1);
  EXPECT_EQ(fromFile.bLost, 0);
  EXPECT_EQ(DDFixture::Pixel(&system, 3, 3), 0xFF00FF00u);
  DDBlt(&BackBuffer, 0, 0, 2, 2, &fromFile, 0, 0, BLT_OPAQUE);
  ASSERT_EQ(DDFlip(60), 1);
  EXPECT_EQ(f.display.LastFrame().At(1, 1), 0x123456u);
  for (DDSURFACEDATA* sd : {&fromFile, &empty, &system}) DDReleaseSurface(sd);
}

TEST(DDPresentTest, ActivationOfAWorkingFullScreenDeviceKeepsEverySurface) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32fs", true, 32, 0}));
  const std::string file = f.Bmp("t.bmp", MakeRgbImage(2, 2, 24, [](int, int) { return 0x2468ACu; }));
  DDSURFACEDATA fromFile, target;
  ASSERT_TRUE(f.Load(&fromFile, file));
  ASSERT_TRUE(DDCreateSurface(&target, 4, 4, FALSE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr));
  DDFillRect(&target, 0, 0, 4, 4, 0xFF0000FF);
  // The first activation after set-up, and every focus regain that lost nothing, ask for a
  // restore of a device that still works.
  for (int activation = 0; activation < 2; ++activation) {
    ASSERT_EQ(DDRestoreSurface(), 1);
    EXPECT_EQ(target.bLost, 0);
    EXPECT_EQ(DDFixture::Pixel(&target, 3, 3), 0xFF0000FFu);
    DDBlt(&BackBuffer, 0, 0, 2, 2, &fromFile, 0, 0, BLT_OPAQUE);
    DDBlt(&BackBuffer, 2, 0, 4, 4, &target, 0, 0, BLT_OPAQUE);
    ASSERT_EQ(DDFlip(60), 1);
    EXPECT_EQ(f.display.LastFrame().At(1, 1), 0x2468ACu);
    EXPECT_EQ(f.display.LastFrame().At(5, 3), 0x0000FFu);
  }
  for (DDSURFACEDATA* sd : {&fromFile, &target}) DDReleaseSurface(sd);
}

TEST(DDPresentTest, LostBlitSurfacesAreRestoredAtFrameStart) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
  const std::string file = f.Bmp("t.bmp", MakeRgbImage(2, 2, 24, [](int, int) { return 0x654321u; }));
  std::strcpy(f.slots[1].szFile, file.c_str());
  std::strcpy(f.slots[2].szFile, "E");
  f.slots[2].nWidth = f.slots[2].nHeight = 4;
  std::strcpy(f.slots[3].szFile, "E");
  f.slots[3].nWidth = f.slots[3].nHeight = 4;
  f.slots[3].nDDMemory = 1;
  const int rows[] = {1, 2, 3};
  ASSERT_TRUE(DDLoadImageSlots(f.table, rows, 3));
  DDFillRect(&f.table[3], 0, 0, 4, 4, 0x0000FF);

  g_lpDD->SimulateSurfaceLoss();
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 2, 2, &f.table[1], 0, 0, BLT_OPAQUE), 0);
  EXPECT_TRUE(DDRestore());
  EXPECT_EQ(DDFixture::Pixel(&f.table[1], 0, 0), 0x654321u);
  EXPECT_EQ(f.table[2].bLost, 1);
  EXPECT_EQ(f.table[3].bLost, 0);
  EXPECT_EQ(DDFixture::Pixel(&f.table[3], 1, 1), 0x0000FFu);
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 2, 2, &f.table[1], 0, 0, BLT_OPAQUE), 1);
  ASSERT_EQ(g_lpDD->Flip(g_PrimarySD.lpDDPart->lpDDS), D3D_OK);
  EXPECT_EQ(f.display.LastFrame().At(0, 0), 0x654321u);
}

TEST(DDPresentTest, EightBitScreenShowsThroughTheHardwarePalette) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"dd8", false, 8, 0}));
  PALETTEENTRY entry{0x11, 0x22, 0x33, 1};
  DDSetPaletteEntries(40, 1, &entry);
  DDFillRectPal(&BackBuffer, 0, 0, 640, 480, 40);
  ASSERT_EQ(DDBlt(&g_PrimarySD, 0, 0, 640, 480, &BackBuffer, 0, 0, BLT_OPAQUE), 1);
  EXPECT_EQ(f.display.LastFrame().At(639, 479), 0x112233u);
  EXPECT_EQ(f.display.FrameCount(), 1);
}

TEST(DDPresentTest, MessageBoxesOverTheFullScreenKeepTheAnswer) {
  DDFixture f;
  ASSERT_TRUE(f.Init({"d3d32", true, 32, 0}));
  EXPECT_FALSE(f.display.IsCursorShown());
  f.boxes.QueueAnswer(IDNO);
  EXPECT_EQ(ShowMessageBox("question", "caption", MB_YESNO), IDNO);
  EXPECT_FALSE(f.display.IsCursorShown());  // hidden again after the box
  EXPECT_EQ(DDMesBox("text", "caption", MB_OK), 1);
  ASSERT_EQ(f.boxes.Boxes().size(), 2u);
  f.system.InjectFailure(t4::platform::raster::Op::SetDialogBoxMode);
  EXPECT_EQ(DDMesBox("lost", "caption", MB_OK), 0);
  EXPECT_EQ(f.boxes.Boxes().size(), 2u);
}

}  // namespace
}  // namespace t4::test
