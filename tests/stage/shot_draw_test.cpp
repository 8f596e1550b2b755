// Shots and swords drawn in a played stage: the shot sheets are painted so that every cell has a
// colour of its own (the plain sheet red and blue for the two patterns, the mirrored one green and
// yellow), and the shot's screen square shows which cell, which facing and which layer was drawn.
#include <gtest/gtest.h>

#include <fstream>

#include "data/database.h"
#include "data/stage_file.h"
#include "gfx/scene_surfaces.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "support/bmp_writer.h"
#include "support/stage_harness.h"
#include "draw_probe.h"

namespace t4::test {
namespace {

constexpr int SHOT_SHEET = 20;
constexpr int GRAPHIC = 31;  // the second column pair, second row: cells (32, 16) and (48, 16)

class ShotDrawTest : public ::testing::Test {
 protected:
  void Begin(int useLayers) {
    cStage stage = StageFromRows({"....................", "..H.................", "####################"});
    stage.m_nUseLayers = useLayers;
    h.Start(stage);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
    for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
    g_Stage.m_nShowStatus = 0;
    h.Hero().m_Def.m_cTransparent = 1;
    SetPaletteRgb(PALETTE_EMPTY, EMPTY);
    const uint32_t colours[2][2] = {{RED, BLUE}, {GREEN, YELLOW}};
    for (int k = 0; k < 2; ++k) {
      // The two sheet slots normally share one loaded picture; here each gets its own.
      DDSURFACEDATA* sd = &g_SurfaceTable[SHOT_SHEET + k];
      m_Links[k] = sd->lpSrcSD;
      sd->lpSrcSD = nullptr;
      NewSurface(sd, 128, 480);
      Paint(sd, 32, 16, 16, 16, colours[k][0]);
      Paint(sd, 48, 16, 16, 16, colours[k][1]);
    }
  }
  void TearDown() override {
    for (int k = 0; k < 2; ++k) {
      DDReleaseSurface(&g_SurfaceTable[SHOT_SHEET + k]);
      g_SurfaceTable[SHOT_SHEET + k].lpSrcSD = m_Links[k];
    }
  }
  // A still shot (or sword) 64 dots right of the hero's corner, at its top.
  cShot& Fire(int kind, cEdShot p) {
    cHero& hero = h.Hero();
    FIREPARAM f;
    f.nX = static_cast<int>(hero.m_dX) + 64;
    f.nY = static_cast<int>(hero.m_dY);
    cShot shot;
    shot.Setup(1, &hero, kind, p, f);
    h.Scene().AddShot(shot);
    return h.Scene().m_Shots.back();
  }
  cEdShot ShotParams() {
    cEdShot p;
    p.m_sGraphic = GRAPHIC;
    return p;
  }
  void Draw(int frozen) { h.Scene().Draw(1, frozen, 0, 0); }
  static uint32_t Centre(const cShot& s) {
    return At(s.m_rcScreen[0] + s.m_nDrawWidth / 2, s.m_rcScreen[1] + s.m_nDrawHeight / 2);
  }

  StageHarness h;
  DDSURFACEDATA* m_Links[2] = {nullptr, nullptr};
};

TEST_F(ShotDrawTest, CellByGraphicFacingAndPattern) {
  Begin(0);
  cShot& s = Fire(CMD_KIND_SHOT, ShotParams());
  s.m_bRight = 0;
  Draw(1);
  const int x = s.m_rcScreen[0], y = s.m_rcScreen[1];
  // 16 x 16 at the screen rectangle, from the plain sheet when facing left.
  EXPECT_EQ(At(x, y), RED);
  EXPECT_EQ(At(x + 15, y + 15), RED);
  EXPECT_EQ(At(x + 16, y + 8), EMPTY);
  EXPECT_EQ(At(x + 8, y + 16), EMPTY);
  s.m_bRight = 1;
  Draw(1);
  EXPECT_EQ(At(x + 8, y + 8), GREEN);
  // The two patterns take turns every 8 played frames; frozen frames hold the pattern.
  s.m_bRight = 0;
  uint32_t seen[23];
  for (uint32_t& c : seen) {
    Draw(0);
    c = At(x + 8, y + 8);
  }
  for (int i = 0; i < 23; ++i) EXPECT_EQ(seen[i], (i + 1) / 8 % 2 ? BLUE : RED) << "frame " << i + 1;
  for (int i = 0; i < 10; ++i) Draw(1);
  EXPECT_EQ(At(x + 8, y + 8), RED);
  Draw(0);
  EXPECT_EQ(At(x + 8, y + 8), BLUE);
}

TEST_F(ShotDrawTest, LargeShotsAreStretchedAndHiddenOnesNotDrawn) {
  Begin(0);
  cEdShot p = ShotParams();
  p.m_cSize = 2;
  cShot& big = Fire(CMD_KIND_SHOT, p);
  big.m_bRight = 0;
  Draw(1);
  ASSERT_EQ(big.m_nDrawWidth, 32);
  const int x = big.m_rcScreen[0], y = big.m_rcScreen[1];
  EXPECT_EQ(At(x, y), RED);
  EXPECT_EQ(At(x + 31, y + 31), RED);
  EXPECT_EQ(At(x + 32, y + 16), EMPTY);
  big.m_Def.m_cInvisible = 1;
  Draw(1);
  EXPECT_EQ(At(x + 16, y + 16), EMPTY);
}

TEST_F(ShotDrawTest, DisplayLayersDrawShotsByTheirZ) {
  struct Case {
    int useLayers, z;
    bool drawn;
  } cases[] = {{0, 0, true}, {0, 8, true}, {1, 0, true}, {1, 7, true}, {1, 8, false}, {1, -1, false}};
  Begin(1);
  cShot& s = Fire(CMD_KIND_SHOT, ShotParams());
  s.m_bRight = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "layers " << c.useLayers << " z " << c.z);
    g_Stage.m_nUseLayers = c.useLayers;
    s.m_Def.m_cZ = static_cast<int8_t>(c.z);
    Draw(1);
    EXPECT_EQ(Centre(s), c.drawn ? RED : EMPTY);
  }
}

TEST_F(ShotDrawTest, PaddedSheetsHoldEachCellInATransparentBox) {
  Begin(0);
  h.Scene().BuildPaddedShotSheets();
  for (int k = 0; k < 2; ++k) {
    DDSURFACEDATA* padded = &g_SurfaceTable[IMAGE_SHOTS_PADDED + k];
    const uint32_t first = k ? GREEN : RED, second = k ? YELLOW : BLUE;
    // Graphic 31: column pair 1, row 1, at (8 + 64, 8 + 32) and (40 + 64, 8 + 32).
    EXPECT_EQ(RgbAt(padded, 72, 40), first) << k;
    EXPECT_EQ(RgbAt(padded, 87, 55), first) << k;
    EXPECT_EQ(RgbAt(padded, 104, 40), second) << k;
    EXPECT_EQ(RgbAt(padded, 119, 55), second) << k;
    // The box around a cell stays transparent: a stretched graphic draws nothing there.
    DRAWDESC d;
    SelectGraphicSource(d, 0, GRAPHIC_SHOT, GRAPHIC, 0, nullptr, 0);
    EXPECT_EQ(d.sx, 64);
    EXPECT_EQ(d.sy, 32);
  }
  DDFillRect(&BackBuffer, 0, 0, 640, 480, 0xFF000000u | EMPTY);
  DDBltStretch(&BackBuffer, 0, 0, 64, 64, &g_SurfaceTable[IMAGE_SHOTS_PADDED], 64, 32, 32, 32, BLT_TRANSPARENT);
  EXPECT_EQ(At(4, 4), EMPTY);
  EXPECT_EQ(At(20, 20), RED);
  EXPECT_EQ(At(44, 44), RED);
  EXPECT_EQ(At(60, 60), EMPTY);
  // A lost sheet is built again by the next frame.
  DDSURFACEDATA* padded = &g_SurfaceTable[IMAGE_SHOTS_PADDED];
  DDFillRect(padded, 0, 0, padded->nWidth, padded->nHeight, 0xFF000000u | GREY);
  padded->bLost = 1;
  Draw(1);
  EXPECT_EQ(padded->bLost, 0);
  EXPECT_EQ(RgbAt(padded, 72, 40), RED);
  EXPECT_NE(RgbAt(padded, 66, 34), GREY);
}

TEST_F(ShotDrawTest, SwordsDrawTheirEntryCellFromTheirTypesPicture) {
  // Sword picture 64 x 32: the left block red, the right block blue; the entry's cell is the
  // right block, so facing right (mirrored block by block) it is still blue.
  const BmpImage img = MakeRgbImage(64, 32, 24, [](int x, int) { return x < 32 ? RED : BLUE; });
  std::ofstream(h.ProjectDir() / "bmp" / "Sword.bmp", std::ios::binary) << EncodeBmp(img);
  g_Database.m_SwordTypes.resize(2);
  cSwordType& type = g_Database.m_SwordTypes[1];
  type.m_strText2 = "bmp\\Sword.bmp";
  type.m_Entries.assign(1, cSwordTypeEntry());
  cSwordTypeEntry& e = type.m_Entries[0];
  e.m_nImageX = 32;
  e.m_nWidth = 32;
  e.m_nHeight = 16;
  e.m_nTime = 100;
  Begin(0);
  ASSERT_EQ(Off_Sword.size(), 8u);
  EXPECT_EQ(RgbAt(&Off_Sword[4], 40, 8), BLUE);
  EXPECT_EQ(RgbAt(&Off_Sword[5], 40, 8), BLUE);
  cEdShot p;
  p.m_cMoveType = 1;
  cShot& s = Fire(CMD_KIND_SWORD, p);
  ASSERT_EQ(s.UpdateSword(), 0);
  Draw(1);
  ASSERT_EQ(s.m_nDrawWidth, 32);
  ASSERT_EQ(s.m_nDrawHeight, 16);
  EXPECT_EQ(At(s.m_rcScreen[0], s.m_rcScreen[1]), BLUE);
  EXPECT_EQ(At(s.m_rcScreen[0] + 31, s.m_rcScreen[1] + 15), BLUE);
  EXPECT_EQ(At(s.m_rcScreen[0] + 8, s.m_rcScreen[1] + 16), EMPTY);
  g_Database.m_SwordTypes.resize(1);
}

// At entry both padded sheets are made from the project's shot sheet, the mirrored one too: the
// demo's graphic 1 is a disc, so its middle shows in both, at the same place.
TEST(ShotSheets, BothPaddedSheetsAreBuiltAtEntry) {
  StageHarness h;
  h.Start(StageFromRows({"..H.", "####"}));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  DDSURFACEDATA* plain = &g_SurfaceTable[IMAGE_SHOTS_PADDED];
  DDSURFACEDATA* mirrored = &g_SurfaceTable[IMAGE_SHOTS_PADDED_MIRROR];
  const uint32_t none = RgbAt(plain, 0, 0);
  EXPECT_NE(RgbAt(plain, 16, 48), none);
  EXPECT_EQ(RgbAt(mirrored, 16, 48), RgbAt(plain, 16, 48));
  EXPECT_EQ(RgbAt(mirrored, 0, 0), none);
}

}  // namespace
}  // namespace t4::test
