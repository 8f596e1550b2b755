// Summons in a played stage: characters, items and blocks from the palettes, repeat copies,
// characters cleared from walls, block summons that place, erase and toggle cells by their
// protection and conditions, and placements with repeat counts.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data/block.h"
#include "data/cond.h"
#include "data/flow_kinds.h"
#include "data/palette.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/fire.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/spawn_summon.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "fire_fixture.h"

namespace t4::test::fire {
namespace {

cCharaDef SummonedChara(int copies, int8_t spare = 1) {
  cCharaDef def = StageFromRows({"w"}).m_CharaPlaces.At(0);
  def.m_cCopies = static_cast<int8_t>(copies);
  def.m_sCopyStepX = 40;
  def.m_cSpareFlag = spare;
  def.m_cFlight = 1;
  return def;
}

cEdShot SummonRecord(int palette, int index) {
  cEdShot p = Record(0, 1, 3);
  p.m_cSummonPalette = static_cast<int8_t>(palette);
  p.m_sSummonIndex = static_cast<int16_t>(index);
  return p;
}

TEST(SummonPlayTest, SummonedCharactersComeFromTheirPaletteEntry) {
  struct Case {
    const char* name;
    int index;
    int8_t spare;
    size_t created;
  };
  const Case cases[] = {
      {"three copies", 0, 1, 3},
      {"past the end", 1, 1, 0},
      {"negative index", -1, 1, 0},
      {"player definition", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s;
    GetStagePalette().m_Charas.clear();
    GetStagePalette().m_Charas.push_back(SummonedChara(2, c.spare));
    const int firstId = s.h.Scene().m_nCharaIdCount;
    cEdShot p = SummonRecord(1, c.index);
    p.SummonFactionMode() = 2;
    p.m_cFaction = 5;
    SummonChara(s.h.Hero(), Command(CMD_KIND_SUMMON_CHARA), p);
    const std::vector<cChara*> charas = s.h.Charas();
    ASSERT_EQ(charas.size(), c.created);
    EXPECT_EQ(s.h.Scene().m_nCharaIdCount, firstId + static_cast<int>(c.created));
    for (size_t i = 0; i < charas.size(); ++i) {
      EXPECT_EQ(charas[i]->m_nId, firstId + static_cast<int>(i));
      EXPECT_EQ(charas[i]->m_nCloneValue, static_cast<int>(i));
      EXPECT_EQ(charas[i]->m_nLayer, 5);
      EXPECT_EQ(charas[i]->m_pOwner, &s.h.Hero());
      // Each copy stands 40 dots further right than the one before.
      EXPECT_EQ(charas[i]->m_dX, charas[0]->m_dX + 40.0 * static_cast<double>(i));
    }
    EXPECT_EQ(s.h.Scene().m_CharaLayers.At(5).size(), c.created);
    EXPECT_EQ(s.h.CloseRequests(), 0);
  }
}

TEST(SummonPlayTest, SummonedCharacterInAWallIsMovedOneDotOrRemoved) {
  // A wall at stage column 10 (grid dots 640..671) from the top to the floor.
  cStage stage = StageFromRows({
      "..........#...................",
      "....H.....#...................",
      "##############################",
  });
  stage.m_nCollisionLevel = 11;
  Started s(stage);
  cCharaDef def = SummonedChara(0);
  def.m_cFlight = 0;  // a walker: blocks hold it
  cEdShot p = SummonRecord(1, 0);
  cScenePlay& scene = s.h.Scene();
  // A first one in the open tells where a summoned character's box lies in its place.
  scene.SpawnSummonedChara(g_CharaList, 480, 352, 1, 0, p, def, scene.m_nCharaIdCount, &s.h.Hero());
  ASSERT_EQ(s.h.Charas().size(), 1u);
  const cChara& probe = *s.h.Charas()[0];
  const double offX = probe.m_dX - 480;
  const double width = probe.m_dRight - probe.m_dX + 1;
  struct Case {
    const char* name;
    double depth;  // dots of the box inside the wall
    bool kept;
  };
  const Case cases[] = {{"one dot in", 1, true}, {"three dots in", 3, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = s.h.Charas().size();
    const int id = scene.m_nCharaIdCount;
    const double x = 640 + c.depth - 1 - (width - 1) - offX;
    scene.SpawnSummonedChara(g_CharaList, x, 352, 1, 0, p, def, scene.m_nCharaIdCount, &s.h.Hero());
    ASSERT_EQ(s.h.Charas().size(), before + (c.kept ? 1 : 0));
    EXPECT_EQ(scene.m_nCharaIdCount, id + (c.kept ? 1 : 0));
    if (c.kept) {
      // Moved one dot left, clear of the wall.
      EXPECT_EQ(s.h.Charas().back()->m_dRight, 639);
    }
  }
}

TEST(SummonPlayTest, SummonedItemsTakeTheCommonOrTheStagePalette) {
  // Summon records name the common palette 0 and the stage palette 1.
  Started s;
  const cSafeVector<cItemDef> savedCommon = g_CommonPalette.m_Items;
  cItemDef common;
  common.m_sGraphicNo = 77;
  cItemDef staged;
  staged.m_sGraphicNo = 88;
  g_CommonPalette.m_Items.assign(1, common);
  GetStagePalette().m_Items.assign(1, staged);
  const size_t before = g_ItemList.size();
  cEdShot fromCommon = SummonRecord(0, 0);
  SummonItem(s.h.Hero(), Command(CMD_KIND_SUMMON_ITEM), fromCommon);
  ASSERT_EQ(g_ItemList.size(), before + 1);
  EXPECT_EQ(g_ItemList.back().m_Def.m_sGraphicNo, 77);
  cEdShot fromStage = SummonRecord(1, 0);
  SummonItem(s.h.Hero(), Command(CMD_KIND_SUMMON_ITEM), fromStage);
  ASSERT_EQ(g_ItemList.size(), before + 2);
  EXPECT_EQ(g_ItemList.back().m_Def.m_sGraphicNo, 88);
  // Right of the hero: the 32 x 32 place at (480, 352).
  EXPECT_EQ(g_ItemList.back().m_dX, 480 + g_ItemList.back().m_nDrawOffsetX);
  g_CommonPalette.m_Items = savedCommon;
}

int GraphicAt(int column, int row) { return g_MapGrid.At(column + (row << ScrollX().m_nPitchShift)).m_sGraphicNo; }

cEdShot BlockRecord(int mode) {
  cEdShot p = SummonRecord(1, 0);
  p.SummonMode() = static_cast<int8_t>(mode);
  return p;
}

void InstallSummonBlock() {
  cBlock block;
  block.m_sGraphicNo = 9;
  block.m_cHit = 1;
  GetStagePalette().m_Blocks.assign(1, block);
}

TEST(SummonPlayTest, BlockSummonPlacesErasesAndTogglesOncePerFiring) {
  Started s;
  InstallSummonBlock();
  // The place right of the hero (480, 352) is grid cell (15, 11).
  cEdShot place = BlockRecord(0);
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), place);
  EXPECT_EQ(GraphicAt(15, 11), 9);
  cEdShot erase = BlockRecord(1);
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), erase);
  EXPECT_EQ(GraphicAt(15, 11), 0);
  // An explosion of two puts both on one cell: one firing toggles it once, the next back.
  cEdShot toggle = BlockRecord(2);
  toggle.m_cFormation = 4;
  toggle.m_cCount = 2;
  toggle.m_sOfsX = 64;  // from the hero's cell (14, 11) to (16, 11)
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), toggle);
  EXPECT_EQ(GraphicAt(16, 11), 9);
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), toggle);
  EXPECT_EQ(GraphicAt(16, 11), 0);
}

TEST(SummonPlayTest, BlockSummonOverTheHeroStopsItAndAGuardUndoesIt) {
  for (int guard : {0, 1}) {
    SCOPED_TRACE(guard);
    Started s;
    InstallSummonBlock();
    cEdShot p = BlockRecord(0);
    p.m_cFormation = 4;  // on the hero's own cell (14, 11)
    p.HeroGuard() = static_cast<int8_t>(guard);
    SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), p);
    EXPECT_EQ(s.h.Hero().m_nStopCount, 2);
    EXPECT_EQ(GraphicAt(14, 11), guard ? 0 : 9);
  }
}

// A protected block at grid cell (15, 11), right of the hero, that exists while the hero's
// variable 1 is 1.
cMapCell& GuardedCell(int latch) {
  cMapCell& cell = g_MapGrid.At(15 + (11 << ScrollX().m_nPitchShift));
  cBlock block;
  block.m_sGraphicNo = 5;
  block.m_cHit = 1;
  block.m_cHit2 = 1;
  cCond cond;
  cond.m_cKind = COND_CHARA_VAR;
  cond.m_sIndex = 1;
  cond.m_nValue = 1;
  cond.m_cOperator = CMP_EQ;
  block.m_Conds.assign(1, cond);
  block.CondLatch() = static_cast<int8_t>(latch);
  cell = block;
  cell.m_cState = 0;
  return cell;
}

TEST(SummonPlayTest, BlockSummonJudgesACellByItsConditionsForTheHero) {
  struct Case {
    const char* name;
    int mode;
    int latch;
    int heroVarBefore;  // the hero's variable at a first firing, -1: none
    int heroVar;        // ... and at the firing looked at
    int protectAll;
    int graphic;  // the cell afterwards
  };
  const Case cases[] = {
      // A block whose conditions fail counts as no block: it is neither protected nor erased.
      {"place, conditions fail", 0, 0, -1, 0, 0, 9},
      {"place, conditions hold: protected", 0, 0, -1, 1, 0, 5},
      {"toggle, conditions fail: placed", 2, 0, -1, 0, 0, 9},
      {"toggle over a protected cell", 2, 0, -1, 1, 0, 5},
      // Once a latched list has held, the cell stays protected after the variable changes back.
      {"latched", 0, 1, 1, 0, 0, 5},
      {"not latched", 0, 0, 1, 0, 0, 9},
      // With the setting that protects every flagged cell, the conditions are not asked.
      {"every flagged cell protected", 0, 0, -1, 0, 1, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s;
    InstallSummonBlock();
    g_SystemData.m_bCompat837 = c.protectAll;
    GuardedCell(c.latch);
    cEdShot p = BlockRecord(c.mode);
    if (c.heroVarBefore >= 0) {
      s.h.Hero().m_Vars.At(1) = c.heroVarBefore;
      SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), p);
    }
    s.h.Hero().m_Vars.At(1) = c.heroVar;
    SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), p);
    EXPECT_EQ(GraphicAt(15, 11), c.graphic);
  }
}

TEST(SummonPlayTest, CellConditionsKeepTheirLatchInTheCell) {
  Started s;
  cMapCell& cell = GuardedCell(0);
  EXPECT_EQ(SummonCellCondHolds(cell), 0);
  EXPECT_EQ(cell.m_cState, 0);
  s.h.Hero().m_Vars.At(1) = 1;
  EXPECT_EQ(SummonCellCondHolds(cell), 1);
  // The list that held sets the cell's latched byte.
  EXPECT_EQ(cell.m_cState, 1);
  // A cell without conditions always holds.
  cell.m_Conds.clear();
  cell.m_cState = 0;
  s.h.Hero().m_Vars.At(1) = 0;
  EXPECT_EQ(SummonCellCondHolds(cell), 1);
}

TEST(SummonPlayTest, BlockSummonOutsideTheGridChangesNoCell) {
  // Columns left of the grid or past its width must not wrap into a neighbouring row.
  Started s;
  InstallSummonBlock();
  std::vector<int> before;
  for (const cMapCell& cell : g_MapGrid) before.push_back(cell.m_sGraphicNo);
  const double pastRight = 32.0 * ScrollX().m_nGridTiles + 8;
  const std::pair<double, double> places[] = {
      {-40, 352}, {pastRight, 352}, {480, -40}, {480, 32.0 * ScrollY().m_nGridTiles}};
  for (const auto& [x, y] : places) {
    cEdShot p = BlockRecord(0);
    s.h.Scene().SummonBlockAt(x, y, 0, p, GetStagePalette().m_Blocks.At(0));
  }
  std::vector<int> after;
  for (const cMapCell& cell : g_MapGrid) after.push_back(cell.m_sGraphicNo);
  EXPECT_EQ(after, before);
  EXPECT_EQ(s.h.CloseRequests(), 0);
}

TEST(SummonPlayTest, PlacementRepeatCountMakesCopiesAndSkipsThoseOutsideTheGrid) {
  // Three copies 200 dots apart leftward from stage column 2: copy 2 would stand 400 dots left,
  // outside the grid, so it is skipped and the next placement takes its id.
  cStage stage = Floor();
  cCharaDef repeated = StageFromRows({"w"}).m_CharaPlaces.At(0);
  repeated.m_cCopies = 2;
  repeated.m_sCopyStepX = -200;
  repeated.m_sBlockX = 2;
  repeated.m_sBlockY = 1;
  repeated.m_cFlight = 1;
  stage.m_CharaPlaces.push_back(repeated);
  cCharaDef single = repeated;
  single.m_cCopies = 0;
  single.m_sBlockX = 20;
  stage.m_CharaPlaces.push_back(single);
  Started s(stage);
  const std::vector<cChara*> charas = s.h.Charas();
  ASSERT_EQ(charas.size(), 3u);
  EXPECT_EQ(charas[0]->m_nCloneValue, 0);
  EXPECT_EQ(charas[1]->m_nCloneValue, 1);
  EXPECT_EQ(charas[1]->m_dX, charas[0]->m_dX - 200);
  EXPECT_EQ(charas[1]->m_nId, charas[0]->m_nId + 1);
  EXPECT_EQ(charas[2]->m_nId, charas[0]->m_nId + 2);
  EXPECT_EQ(charas[2]->m_nCloneValue, 0);
}

TEST(SummonPlayTest, RepeatCopiesTakeTheirPlacePositionAlongUnlessTheSettingKeepsIt) {
  // Two copies 64 dots apart: each copy's placement position moves with it, so movements relative
  // to it stay relative to each copy; the older setting leaves every copy the first one's.
  cStage stage = Floor();
  cCharaDef repeated = StageFromRows({"w"}).m_CharaPlaces.At(0);
  repeated.m_cCopies = 1;
  repeated.m_sCopyStepX = 64;
  repeated.m_sBlockX = 8;
  repeated.m_sBlockY = 1;
  repeated.m_cFlight = 1;
  stage.m_CharaPlaces.push_back(repeated);
  for (int keep : {0, 1}) {
    SCOPED_TRACE(keep);
    StageHarness h;
    g_SystemData.m_bCompat768 = keep;
    h.Start(stage);
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    const std::vector<cChara*> charas = h.Charas();
    ASSERT_EQ(charas.size(), 2u);
    EXPECT_EQ(charas[1]->m_dX, charas[0]->m_dX + 64);
    EXPECT_EQ(charas[1]->m_dPlaceX, charas[0]->m_dPlaceX + (keep ? 0 : 64));
    EXPECT_EQ(charas[1]->m_dPlaceY, charas[0]->m_dPlaceY);
  }
}

TEST(SummonPlayTest, BlockSummonStopsTheCharactersItCovers) {
  // A block summoned onto a character's cell stops it, unless it flies through blocks (only the
  // older setting stops those too) or is not active now.
  struct Case {
    const char* name;
    int fly;
    int flyKind;  // 0: passes through blocks
    int active;
    int stopPassing;
    int stopCount;
  };
  const Case cases[] = {
      {"walker", 0, 1, 1, 0, 2},
      {"flier that blocks hold", 1, 1, 1, 0, 2},
      {"flier through blocks", 1, 0, 1, 0, 0},
      {"flier through blocks, older setting", 1, 0, 1, 1, 2},
      {"not active", 0, 1, 0, 0, 0},
  };
  cStage stage = Floor();
  cCharaDef walker = StageFromRows({"w"}).m_CharaPlaces.At(0);
  walker.m_sBlockX = 8;
  walker.m_sBlockY = 1;
  stage.m_CharaPlaces.push_back(walker);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s(stage);
    InstallSummonBlock();
    g_SystemData.m_bCompat637 = c.stopPassing;
    ASSERT_EQ(s.h.Charas().size(), 1u);
    cChara& chara = *s.h.Charas()[0];
    chara.m_bFly = c.fly;
    chara.m_nFlyKind = static_cast<int8_t>(c.flyKind);
    chara.m_bActive = c.active;
    chara.m_nStopCount = 0;
    cEdShot p = BlockRecord(0);
    // The 32 x 32 place whose cell holds the character's top-left corner.
    const double x = static_cast<int>(chara.m_dX) / 32 * 32;
    const double y = static_cast<int>(chara.m_dY) / 32 * 32;
    s.h.Scene().SummonBlockAt(x, y, 0, p, GetStagePalette().m_Blocks.At(0));
    EXPECT_EQ(GraphicAt(static_cast<int>(x) / 32, static_cast<int>(y) / 32), 9);
    EXPECT_EQ(chara.m_nStopCount, c.stopCount);
  }
}

}  // namespace
}  // namespace t4::test::fire
