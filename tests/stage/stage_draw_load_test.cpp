// The stage's exclusive character bitmaps, loaded at scene entry from the files the database
// names: four surfaces each, the mirrored ones turned cell by cell; a missing file is logged and
// leaves an empty surface while the stage goes on.
#include <gtest/gtest.h>

#include <fstream>

#include "data/database.h"
#include "gfx/scene_surfaces.h"
#include "stage/scene_play.h"
#include "support/bmp_writer.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

TEST(StageDrawLoad, ExclusiveBitmapsLoadFourWaysAndToleratesAMissingFile) {
  StageHarness h;
  // 128 x 64: cells of 2 blocks; the left half of each 64-dot cell red, the right half blue.
  const BmpImage img = MakeRgbImage(128, 64, 24, [](int x, int) { return x % 64 < 32 ? RED : BLUE; });
  std::ofstream(h.ProjectDir() / "bmp" / "Exc.bmp", std::ios::binary) << EncodeBmp(img);
  g_Database.m_CharaExcs.resize(3);
  g_Database.m_CharaExcs[1].m_strFile = "bmp\\Exc.bmp";
  g_Database.m_CharaExcs[1].m_nCellSizeFlag = 1;
  g_Database.m_CharaExcs[1].m_nCellSize = 2;
  g_Database.m_CharaExcs[2].m_strFile = "bmp\\Missing.bmp";
  h.Start(StageFromRows({"..H.", "####"}));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  ASSERT_EQ(Off_CharaExc.size(), 8u);
  for (int i : {0, 2}) {
    EXPECT_EQ(Off_CharaExc[i].nWidth, 128) << i;
    EXPECT_EQ(RgbAt(&Off_CharaExc[i], 0, 0), RED) << i;
    EXPECT_EQ(RgbAt(&Off_CharaExc[i], 32, 0), BLUE) << i;
    EXPECT_EQ(RgbAt(&Off_CharaExc[i], 64, 10), RED) << i;
  }
  // Mirrored within each 64-dot cell.
  for (int i : {1, 3}) {
    EXPECT_EQ(RgbAt(&Off_CharaExc[i], 0, 0), BLUE) << i;
    EXPECT_EQ(RgbAt(&Off_CharaExc[i], 32, 0), RED) << i;
    EXPECT_EQ(RgbAt(&Off_CharaExc[i], 64, 10), BLUE) << i;
  }
  for (int i = 4; i < 8; ++i) EXPECT_FALSE(HasPixels(&Off_CharaExc[static_cast<size_t>(i)])) << i;
  EXPECT_EQ(h.CloseRequests(), 0);
  h.Frames(3);
  EXPECT_EQ(h.State(), PLAY_PLAY);
  DDReleaseSurfacePair(Off_CharaExc, g_CharaExcSlots);
  DDReleaseSurfacePair(Off_Effect, g_EffectSlots);
}

}  // namespace
}  // namespace t4::test
