// The stage drawing through the played scene: backgrounds with parallax, tiling and auto-scroll,
// map blocks, the status line, display layers and what drawing decides about the dead. Frames are
// drawn frozen straight from the scene with sheets painted in known colours, so every expected
// pixel follows from the layout rules by hand.
#include <gtest/gtest.h>

#include "data/database.h"
#include "data/stage_file.h"
#include "gfx/scene_surfaces.h"
#include "core/timing.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "draw_probe.h"
#include "play_constants.h"

namespace t4::test {
namespace {

constexpr int BORDER_DOTS = 320;

cStage OpenField() {
  std::vector<std::string> rows(14, std::string(40, '.'));
  rows[12][3] = 'H';
  rows.push_back(std::string(40, '#'));
  return StageFromRows(rows);
}

// A played stage whose frame shows only what a test puts in: no block pictures, no status line,
// an invisible hero, palette 16 in a colour of its own and the view at the stage's top-left.
class StageDrawTest : public ::testing::Test {
 protected:
  void Begin(cStage stage) {
    h.Start(stage);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
    g_Stage.m_nShowStatus = 0;
    h.Hero().m_Def.m_cTransparent = 1;
    SetPaletteRgb(PALETTE_EMPTY, EMPTY);
    h.Scene().m_ScrollX.m_dPos = BORDER_DOTS;
    h.Scene().m_ScrollY.m_dPos = BORDER_DOTS;
  }
  void DrawFrozen() { h.Scene().Draw(1, 1, 0, 0); }
  cBackground& Layer(size_t i) {
    if (g_Stage.m_Backgrounds.size() <= i) g_Stage.m_Backgrounds.resize(i + 1);
    return g_Stage.m_Backgrounds[i];
  }
  // Background picture i: 64 x 32, the left half red and the right half blue.
  void TwoColourLayer(size_t i) {
    DDSURFACEDATA* sd = &g_SurfaceTable[IMAGE_BACKGROUND_FIRST + i];
    NewSurface(sd, 64, 32);
    Paint(sd, 0, 0, 32, 32, RED);
    Paint(sd, 32, 0, 32, 32, BLUE);
    cBackground& bg = Layer(i);
    bg.m_nVisible = 1;
    bg.m_nFillOn = 0;
    bg.m_nFront = 0;
    bg.m_dRatioX = bg.m_dRatioY = 1.0;
    bg.m_nAutoX = bg.m_nAutoY = 0;
  }

  StageHarness h;
};

TEST_F(StageDrawTest, WithoutShownLayersTheScreenIsTheEmptyColour) {
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  DrawFrozen();
  for (auto [x, y] : {std::pair{0, 0}, {639, 479}, {320, 100}}) EXPECT_EQ(At(x, y), EMPTY) << x << "," << y;
}

TEST_F(StageDrawTest, ImageLayersTileFromTheScrollTimesTheirSpeed) {
  struct Case {
    const char* name;
    double scrollX, ratio;
    int lastRed, firstBlue, nextRed;
  } cases[] = {
      // x0 = (trunc(scroll + 0.5) - 320) x ratio; the first tile starts at -(x0 mod 64).
      {"at the stage's edge", 320, 1.0, 31, 32, 64},
      {"ten dots in", 330, 1.0, 21, 22, 54},
      {"half speed", 330, 0.5, 26, 27, 59},
      {"rounded half a dot", 329.5, 1.0, 21, 22, 54},
      {"past a whole tile", 320 + 64 + 10, 1.0, 21, 22, 54},
  };
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  TwoColourLayer(0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Layer(0).m_dRatioX = c.ratio;
    h.Scene().m_ScrollX.m_dPos = c.scrollX;
    DrawFrozen();
    EXPECT_EQ(At(c.lastRed, 100), RED);
    EXPECT_EQ(At(c.firstBlue, 100), BLUE);
    EXPECT_EQ(At(c.nextRed - 1, 100), BLUE);
    EXPECT_EQ(At(c.nextRed, 100), RED);
    EXPECT_EQ(At(c.nextRed, 479), RED);
  }
}

TEST_F(StageDrawTest, AutoScrollWrapsWithinThePicture) {
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  TwoColourLayer(0);
  cBackground& bg = Layer(0);
  bg.m_nAutoX = 1;
  bg.m_dAutoSpeedX = 3.0;
  for (int i = 0; i < 21; ++i) h.Scene().ScrollBackgrounds();
  DrawFrozen();  // a drawn frame scrolls too: the 22nd step
  // 22 x -3 = -66, which is 62 within a 64-dot picture.
  EXPECT_DOUBLE_EQ(bg.m_dAutoOffsetX, 62.0);
  // x0 = 0 + 62: the first tile starts at -62, so screen x 0 and 1 show picture x 62 and 63,
  // and the next tile's red runs from 2 to 33.
  EXPECT_EQ(At(1, 50), BLUE);
  EXPECT_EQ(At(2, 50), RED);
  EXPECT_EQ(At(33, 50), RED);
  EXPECT_EQ(At(34, 50), BLUE);
}

// A picture that could not be loaded is empty: it is left out rather than tiled by a width of 0.
TEST_F(StageDrawTest, AnEmptyLayerPictureIsSkipped) {
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  TwoColourLayer(0);
  Layer(0).m_nAutoX = Layer(0).m_nAutoY = 1;
  Layer(0).m_dAutoSpeedX = Layer(0).m_dAutoSpeedY = 5.0;
  DDReleaseSurface(&g_SurfaceTable[IMAGE_BACKGROUND_FIRST]);
  h.Scene().ScrollBackgrounds();
  EXPECT_EQ(Layer(0).m_dAutoOffsetX, 0.0);
  DrawFrozen();
  EXPECT_EQ(At(10, 10), EMPTY);
}

TEST_F(StageDrawTest, ColourLayersAndFrontLayers) {
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  SetPaletteRgb(17, YELLOW);
  cBackground& back = Layer(0);
  back.m_nVisible = 1;
  back.m_nFillOn = 1;
  back.m_nFillColor = 17;
  back.m_nFront = 0;
  DrawFrozen();
  EXPECT_EQ(At(300, 300), YELLOW);
  // A front picture goes over the back colour, its transparent parts letting it through.
  TwoColourLayer(1);
  Paint(&g_SurfaceTable[IMAGE_BACKGROUND_FIRST + 1], 32, 0, 32, 32, 0);
  DDFillRect(&g_SurfaceTable[IMAGE_BACKGROUND_FIRST + 1], 32, 0, 32, 32,
             TransparentFillColor(&g_SurfaceTable[IMAGE_BACKGROUND_FIRST + 1]));
  Layer(1).m_nFront = 1;
  DrawFrozen();
  EXPECT_EQ(At(10, 10), RED);
  EXPECT_EQ(At(40, 10), YELLOW);
}

TEST_F(StageDrawTest, MapBlocksByPassFlagAndVisibility) {
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  // Block sheet: 32-dot cells, 15 to a column; graphic 1 is green, graphic 16 (column 1) yellow.
  DDSURFACEDATA* sheet = &g_SurfaceTable[IMAGE_BLOCKS];
  NewSurface(sheet, 64, 480);
  Paint(sheet, 0, 32, 32, 32, GREEN);
  Paint(sheet, 32, 32, 32, 32, YELLOW);
  struct Case {
    int graphic, hidden;
    uint32_t expected;
  } cases[] = {{1, 0, GREEN}, {16, 0, YELLOW}, {1, 1, EMPTY}, {0, 0, EMPTY}};
  const int k = h.Scene().m_ScrollX.m_nPitchShift;
  // The view starts at grid dot (320, 320): grid cell (12, 11) is at screen (64, 32), and a
  // scroll of 5 more dots on each axis moves it to (59, 27).
  h.Scene().m_ScrollX.m_dPos = BORDER_DOTS + 5;
  h.Scene().m_ScrollY.m_dPos = BORDER_DOTS + 5;
  cMapCell& cell = g_MapGrid.At(12 + (11 << k));
  for (const Case& c : cases) {
    cell.m_sGraphicNo = static_cast<int16_t>(c.graphic);
    cell.m_cHidden = static_cast<int8_t>(c.hidden);
    DrawFrozen();
    EXPECT_EQ(At(59, 27), c.expected) << c.graphic << " hidden " << c.hidden;
    EXPECT_EQ(At(90, 58), c.expected);
    EXPECT_EQ(At(58, 27), EMPTY);
    EXPECT_EQ(At(91, 59), EMPTY);
  }
}

TEST_F(StageDrawTest, StatusLineGaugeFillsByTheValueAndItsLowLevel) {
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  g_Stage.m_nShowStatus = 1;
  DDSURFACEDATA* picture = &g_SurfaceTable[IMAGE_STATUS_PICTURE];
  NewSurface(picture, 640, 20);
  // The status picture only has a stripe at its left end, where no item is drawn.
  Paint(picture, 0, 0, 4, 20, BLUE);
  DDSURFACEDATA* acc = &g_SurfaceTable[IMAGE_ACCESSORY_SHEET];
  NewSurface(acc, 128, 176);
  Paint(acc, 0, 128, 50, 16, GREY);
  Paint(acc, 0, 144, 50, 16, GREEN);
  Paint(acc, 0, 160, 50, 16, RED);
  for (cStatusItem& item : g_SystemData.m_StatusItems) item.m_bShown = 0;
  DrawFrozen();
  EXPECT_EQ(At(1, 10), EMPTY) << "nothing shown: not even the picture";

  cStatusItem& hp = g_SystemData.m_StatusItems.At(2);
  hp.m_bShown = 1;
  hp.m_bIcon = 1;
  hp.m_bGaugeValue = 0;
  hp.m_bLowPercent = 0;
  hp.m_nLowLevel = 2;
  // One item 16 + 50 wide: gap (638 - 66) / 2 = 286; icon at 286, gauge from 302 to 351.
  struct Case {
    int hp, max;
    int lastFilled;  // last x of the filled part, 301 when nothing is filled
    uint32_t fill;
  } cases[] = {{5, 10, 326, GREEN}, {10, 10, 351, GREEN}, {2, 10, 311, RED}, {0, 10, 301, RED}, {7, 0, 301, GREEN}};
  for (const Case& c : cases) {
    h.Hero().m_nHp = c.hp;
    h.Hero().m_Def.m_nMaxHp = c.max;
    DrawFrozen();
    EXPECT_EQ(At(1, 10), BLUE);
    EXPECT_EQ(At(301, 10), EMPTY) << c.hp << "/" << c.max;
    if (c.lastFilled > 301) {
      EXPECT_EQ(At(302, 10), c.fill) << c.hp << "/" << c.max;
      EXPECT_EQ(At(c.lastFilled, 10), c.fill) << c.hp << "/" << c.max;
    }
    if (c.lastFilled < 351) {
      EXPECT_EQ(At(c.lastFilled + 1, 10), GREY) << c.hp << "/" << c.max;
    }
    EXPECT_EQ(At(352, 10), EMPTY);
  }
}

TEST_F(StageDrawTest, SightMaskLeavesAHoleAroundTheHero) {
  Begin(OpenField());
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  SetPaletteRgb(17, YELLOW);
  Layer(0).m_nVisible = 1;
  Layer(0).m_nFillOn = 1;
  Layer(0).m_nFillColor = 17;
  struct Case {
    int shape, radius, dx, dy;
    uint32_t expected;
  } cases[] = {
      {1, 32, 0, 0, YELLOW},
      {1, 32, 0, 28, YELLOW},
      {1, 32, 40, 0, EMPTY},
      {1, 32, 26, 26, EMPTY},
      {3, 32, 26, 26, YELLOW},
      {3, 32, 31, -32, YELLOW},
      {3, 32, 32, 0, EMPTY},
      {1, 0, 0, 0, EMPTY},
      // A negative sight (a status operation may give one) is no sight at all, not a failure.
      {1, -40, 0, 0, EMPTY},
      {0, 32, 200, 0, YELLOW},
  };
  cHero& hero = h.Hero();
  for (const Case& c : cases) {
    hero.m_Def.m_cSightShape = static_cast<int8_t>(c.shape);
    hero.m_nSightDots = c.radius;
    h.Scene().MakeSightMask();
    DrawFrozen();
    const int cx = hero.m_rcScreen[0] + (hero.m_nDrawWidth >> 1);
    const int cy = hero.m_rcScreen[1] + (hero.m_nDrawHeight >> 1);
    EXPECT_EQ(At(cx + c.dx, cy + c.dy), c.expected) << c.shape << " r " << c.radius << " at " << c.dx << "," << c.dy;
    EXPECT_EQ(h.CloseRequests(), 0);
  }
}

TEST_F(StageDrawTest, GraphicSourceByKind) {
  Begin(OpenField());
  g_Database.m_CharaExcs.resize(4);
  Off_CharaExc.resize(12);
  g_Database.m_CharaExcs[1].m_nCellSizeFlag = 1;
  g_Database.m_CharaExcs[1].m_nCellSize = 20;  // more than a 16-cell row holds
  g_Database.m_CharaExcs[2].m_nCellSizeFlag = 1;
  g_Database.m_CharaExcs[2].m_nCellSize = 2;
  g_Database.m_CharaExcs[3].m_nCellSizeFlag = 0;
  cStageObject facingRight;
  facingRight.m_bRight = 1;
  struct Case {
    const char* name;
    int type, kind, n, frame, extra;
    const cStageObject* object;
    DDSURFACEDATA* src;
    int sx, sy;
  } cases[] = {
      {"block 16", 0, GRAPHIC_BLOCK, 16, 0, 0, nullptr, &g_SurfaceTable[2], 32, 32},
      {"character 2, frame 3", 0, GRAPHIC_CHARA, 2, 3, 0, nullptr, &g_SurfaceTable[4], 96, 64},
      {"character 17: second sheet", 0, GRAPHIC_CHARA, 17, 0, 0, nullptr, &g_SurfaceTable[6], 0, 64},
      {"character facing right", 1, GRAPHIC_CHARA, 1, 1, 2, &facingRight, &g_SurfaceTable[5], 96, 32},
      {"character 130: past the sheets", 0, GRAPHIC_CHARA, 130, 0, 0, nullptr, &g_SurfaceTable[22], 0, 0},
      {"character cell past its sheet", 0, GRAPHIC_CHARA, 1, 500, 0, nullptr, &g_SurfaceTable[22], 0, 0},
      {"item 16, pattern 1", 2, GRAPHIC_ITEM, 16, 0, 1, nullptr, &g_SurfaceTable[40], 96, 32},
      {"shot 31", 0, GRAPHIC_SHOT, 31, 0, 0, nullptr, &g_SurfaceTable[64], 64, 32},
      {"exclusive, cell size 20 held to 16", 0, GRAPHIC_EXCLUSIVE, 1, 3, 0, nullptr, &Off_CharaExc[0], 0, 1536},
      {"exclusive, cell size 2", 0, GRAPHIC_EXCLUSIVE, 2, 9, 0, nullptr, &Off_CharaExc[4], 64, 64},
      {"exclusive, no cell size", 0, GRAPHIC_EXCLUSIVE, 3, 17, 0, nullptr, &Off_CharaExc[8], 32, 32},
      {"exclusive 4: none", 0, GRAPHIC_EXCLUSIVE, 4, 0, 0, nullptr, nullptr, 0, 0},
      {"exclusive 0: none", 0, GRAPHIC_EXCLUSIVE, 0, 0, 0, nullptr, nullptr, 0, 0},
      {"kind 5: none", 0, 5, 1, 0, 0, nullptr, nullptr, 0, 0},
  };
  for (const Case& c : cases) {
    DRAWDESC d;
    SelectGraphicSource(d, c.type, c.kind, c.n, c.frame, c.object, c.extra);
    EXPECT_EQ(d.lpSrc, c.src) << c.name;
    if (!c.src) continue;
    EXPECT_EQ(d.sx, c.sx) << c.name;
    EXPECT_EQ(d.sy, c.sy) << c.name;
  }
  Off_CharaExc.clear();
}

// The time-limit warning sounds at the start of a counting period, within the warning time, and
// only from a frame that asks for it (the play state's).
TEST_F(StageDrawTest, TimeLimitWarningSoundsOnlyWhenAskedAndInTime) {
  Begin(OpenField());
  g_Stage.m_nTimeLimitOn = 1;
  g_Stage.m_nTimeWarning = 10;
  h.Scene().m_bNoTimeLimit = 0;
  std::vector<int> sounds;
  h.OnSystemSound([&sounds](int sound) { sounds.push_back(sound); });
  struct Case {
    int left, warningSound;
    bool sounds;
  } cases[] = {{5, 1, true}, {10, 1, true}, {1, 1, true}, {5, 0, false}, {11, 1, false}, {0, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.left << " left, warning " << c.warningSound);
    sounds.clear();
    h.Scene().m_nTimeLeft = c.left;
    CountFrameTick(0, 0);
    h.Scene().Draw(1, 1, c.warningSound, 0);
    EXPECT_EQ(sounds, c.sounds ? std::vector<int>{13} : std::vector<int>{});
  }
}

// The hero falls into the pit; its display layer is given by its Z order.
TEST(StageDrawLayers, AHeroOutsideTheDisplayLayersStillEndsItsLife) {
  for (int z : {3, 8}) {
    SCOPED_TRACE(z);
    StageHarness h;
    cStage stage = StageFromRows(PIT);
    stage.m_nUseLayers = 1;
    for (cCharaDef& c : stage.m_CharaPlaces) c.m_cZOrder = static_cast<int8_t>(z);
    h.Start(stage);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    const int setups = h.Scene().m_nSetStageCount;
    int frames = 0;
    while (!h.Hero().m_bDead && frames++ < 300) h.Frame();
    ASSERT_TRUE(h.Hero().m_bDead);
    h.Frames(59);
    EXPECT_EQ(h.State(), PLAY_PLAY);
    h.Frame();
    EXPECT_EQ(h.State(), PLAY_START);
    EXPECT_EQ(h.Scene().m_nSetStageCount, setups + 1);
  }
}

TEST(StageDrawLayers, DeadCharactersLeaveInEveryLayerButNotOnFrozenFrames) {
  struct Case {
    int useLayers, z;
  } cases[] = {{0, 3}, {1, 3}, {1, 7}, {1, 8}, {1, 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.z);
    StageHarness h;
    cStage stage = StageFromRows({"....................", "..H.......w.........", "####################"});
    stage.m_nUseLayers = c.useLayers;
    for (cCharaDef& d : stage.m_CharaPlaces)
      if (d.m_cController) d.m_cZOrder = static_cast<int8_t>(c.z);
    h.Start(stage);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    ASSERT_EQ(h.Charas().size(), 1u);
    h.Charas()[0]->m_bDead = 1;
    h.Scene().DrawFrozen();
    EXPECT_EQ(h.Charas().size(), 1u);
    h.Scene().Draw(1, 0, 0, 0);
    EXPECT_EQ(h.Charas().size(), 0u);
  }
}

// Dead characters spread over the display layers, two of them side by side in one layer, leave
// in one frame; the living keep their order.
TEST(StageDrawLayers, DeadCharactersOfSeveralLayersLeaveInOneFrame) {
  StageHarness h;
  cStage stage = StageFromRows({"....................", "..H.w.w.w.w.w.w.....", "####################"});
  stage.m_nUseLayers = 1;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  const std::vector<cChara*> charas = h.Charas();
  ASSERT_EQ(charas.size(), 6u);
  const int z[] = {5, 2, 5, 0, 2, 7}, dead[] = {1, 0, 1, 1, 0, 0};
  std::vector<int32_t> living;
  for (size_t i = 0; i < charas.size(); ++i) {
    charas[i]->m_Def.m_cZOrder = static_cast<int8_t>(z[i]);
    charas[i]->m_bDead = dead[i];
    if (!dead[i]) living.push_back(charas[i]->m_nId);
  }
  h.Scene().Draw(1, 0, 0, 0);
  std::vector<int32_t> left;
  for (const cChara* c : h.Charas()) left.push_back(c->m_nId);
  EXPECT_EQ(left, living);
}

// With display layers a hero outside them is still drawn (over them all); another character
// there is not.
TEST(StageDrawLayers, OnlyTheHeroIsDrawnOutsideTheDisplayLayers) {
  StageHarness h;
  cStage stage = StageFromRows({"....................", "..H.......w.........", "####################"});
  stage.m_nUseLayers = 1;
  h.Start(stage);
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  g_Stage.m_nShowStatus = 0;
  SetPaletteRgb(PALETTE_EMPTY, EMPTY);
  DDSURFACEDATA* links[2];
  for (int k = 0; k < 2; ++k) {
    DDSURFACEDATA* sheet = &g_SurfaceTable[IMAGE_CHARAS + k];
    links[k] = sheet->lpSrcSD;
    sheet->lpSrcSD = nullptr;
    NewSurface(sheet, 256, 480);
    Paint(sheet, 0, 0, 256, 480, GREEN);
  }
  ASSERT_EQ(h.Charas().size(), 1u);
  cHero& hero = h.Hero();
  cChara& chara = *h.Charas()[0];
  auto centre = [](const cCharaBase& c) { return At(c.m_rcScreen[0] + 16, c.m_rcScreen[1] + 16); };
  struct Case {
    int z;
    uint32_t hero, chara;
  } cases[] = {{0, GREEN, GREEN}, {7, GREEN, GREEN}, {8, GREEN, EMPTY}, {-1, GREEN, EMPTY}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.z);
    hero.m_Def.m_cZOrder = chara.m_Def.m_cZOrder = static_cast<int8_t>(c.z);
    h.Scene().Draw(1, 1, 0, 0);
    EXPECT_EQ(centre(hero), c.hero);
    EXPECT_EQ(centre(chara), c.chara);
  }
  for (int k = 0; k < 2; ++k) {
    DDReleaseSurface(&g_SurfaceTable[IMAGE_CHARAS + k]);
    g_SurfaceTable[IMAGE_CHARAS + k].lpSrcSD = links[k];
  }
}

// Characters are batched by the sheet they come from: exclusive bitmaps over block-sheet
// pictures, whatever the list order; without the batch the list order decides.
TEST(StageDrawLayers, CharacterBatchPutsExclusiveBitmapsOverBlockPictures) {
  StageHarness h;
  h.Start(StageFromRows({"....................", "..H.....w.w.........", "####################"}));
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
  for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
  g_Stage.m_nShowStatus = 0;
  h.Hero().m_Def.m_cTransparent = 1;
  DDSURFACEDATA* links[2];
  for (int k = 0; k < 2; ++k) {
    DDSURFACEDATA* sheet = &g_SurfaceTable[IMAGE_BLOCKS + k];
    links[k] = sheet->lpSrcSD;
    sheet->lpSrcSD = nullptr;
    NewSurface(sheet, 256, 480);
    Paint(sheet, 0, 0, 256, 480, RED);
  }
  g_Database.m_CharaExcs.resize(2);
  Off_CharaExc.resize(4);
  for (DDSURFACEDATA& sd : Off_CharaExc) {
    NewSurface(&sd, 512, 512);
    Paint(&sd, 0, 0, 512, 512, BLUE);
  }
  std::vector<cChara*> charas = h.Charas();
  ASSERT_EQ(charas.size(), 2u);
  // The first in the list is the exclusive bitmap, the second the block picture on top of it.
  charas[0]->m_Def.m_cGraphicKind = GRAPHIC_EXCLUSIVE;
  charas[0]->m_nGraphic = 1;
  charas[1]->m_Def.m_cGraphicKind = GRAPHIC_BLOCK;
  charas[1]->m_dX = charas[0]->m_dX;
  charas[1]->m_dRight = charas[0]->m_dRight;
  const int32_t noBatch = g_SystemData.m_bCompat855;
  for (int batch : {1, 0}) {
    SCOPED_TRACE(batch);
    g_SystemData.m_bCompat855 = !batch;
    h.Scene().Draw(1, 1, 0, 0);
    EXPECT_EQ(At(charas[0]->m_rcScreen[0] + 16, charas[0]->m_rcScreen[1] + 16), batch ? BLUE : RED);
  }
  g_SystemData.m_bCompat855 = noBatch;
  DDReleaseSurfacePair(Off_CharaExc, g_CharaExcSlots);
  for (int k = 0; k < 2; ++k) {
    DDReleaseSurface(&g_SurfaceTable[IMAGE_BLOCKS + k]);
    g_SurfaceTable[IMAGE_BLOCKS + k].lpSrcSD = links[k];
  }
}

}  // namespace
}  // namespace t4::test
